#include "support/full_disk.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
// Once per process: our mounts stay out of everybody else's view.
QString privateMounts()
{
    static const QString error = []() -> QString {
        if (::unshare(CLONE_NEWNS) != 0) return QStringLiteral("cannot unshare the mount namespace: ") + qt_error_string(errno);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("cannot make the mounts private: ") + qt_error_string(errno);
        return {};
    }();
    return error;
}
}  // namespace

FullDiskFolder::FullDiskFolder(int kib)
{
    m_error = privateMounts();
    if (!m_error.isEmpty()) return;
    const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0700";
    if (::mount("voztest", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_error = QStringLiteral("cannot mount a tmpfs: ") + qt_error_string(errno);
        return;
    }
    m_mounted = true;
}

FullDiskFolder::~FullDiskFolder()
{
    if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void FullDiskFolder::fill() const
{
    const int fd = ::open(QFile::encodeName(m_dir.path() + QStringLiteral("/filler")).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const QByteArray chunk(4096, 'f');
    for (qsizetype size = chunk.size(); size > 0; size /= 2)
        while (::write(fd, chunk.constData(), size_t(size)) > 0) {}
    ::close(fd);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &m_oldAction);
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    sigaction(SIGXFSZ, &m_oldAction, nullptr);
}
