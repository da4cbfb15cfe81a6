#include "app/readable_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

QString notPlainFileReason(const QFileInfo& info)
{
    if (!info.exists() || info.isFile()) return {};
    if (info.isDir()) return QStringLiteral("it is a folder");
    return QStringLiteral("it is not a plain file");
}

bool readWholeFile(const QString& path, QByteArray& bytes, QString* reason)
{
    bytes.clear();
    auto fail = [reason](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    const QString kind = notPlainFileReason(QFileInfo(path));
    if (!kind.isEmpty()) return fail(kind);
    // Non-blocking, in case a pipe took the file's place after the look above.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail(qt_error_string(errno));
    char chunk[65536];
    while (true) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int code = errno;
            ::close(fd);
            bytes.clear();
            return fail(qt_error_string(code));
        }
        if (n == 0) break;
        bytes.append(chunk, n);
    }
    ::close(fd);
    return true;
}
