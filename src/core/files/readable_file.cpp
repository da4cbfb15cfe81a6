#include "core/files/readable_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString notPlainFileReason(const QFileInfo& info)
{
    if (!info.exists() || info.isFile()) return {};
    if (info.isDir()) return QStringLiteral("it is a folder");
    return QStringLiteral("it is not a plain file");
}

FileRead readWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* reason)
{
    bytes.clear();
    auto fail = [reason](const QString& why) {
        if (reason) *reason = why;
        return FileRead::Failed;
    };
    const QString kind = notPlainFileReason(QFileInfo(path));
    if (!kind.isEmpty()) return fail(kind);
    // Non-blocking, in case a pipe took the file's place after the look above.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail(qt_error_string(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            return fail(S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder") : QStringLiteral("it is not a plain file"));
        }
        if (st.st_size > maxBytes) {
            ::close(fd);
            return FileRead::TooLarge;
        }
        // One allocation of the file's size; some files (of /proc) say 0 and still hold bytes.
        bytes.reserve(static_cast<qsizetype>(st.st_size));
    }
    char chunk[65536];
    while (true) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int code = errno;
            ::close(fd);
            bytes = QByteArray();
            return fail(qt_error_string(code));
        }
        if (n == 0) break;
        if (bytes.size() + n > maxBytes) {
            ::close(fd);
            bytes = QByteArray();
            return FileRead::TooLarge;
        }
        bytes.append(chunk, n);
    }
    ::close(fd);
    return FileRead::Read;
}
