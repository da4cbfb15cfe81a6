#include "support/unreadable_file.h"
#include "support/files.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

std::vector<UnreadableFile> unreadableFiles()
{
    std::vector<UnreadableFile> kinds{
        {"folder", QStringLiteral("it is a folder")},
        {"pipe", QStringLiteral("it is not a plain file")},
        {"io-error", QStringLiteral("Input/output error")},
    };
    if (::geteuid() != 0) kinds.push_back({"no-permission", QStringLiteral("Permission denied")});
    return kinds;
}

void placeUnreadable(const QString& path, const UnreadableFile& kind)
{
    QDir(path).removeRecursively();
    QFile::remove(path);
    const QByteArray name = QFile::encodeName(path);
    if (std::strcmp(kind.what, "folder") == 0) {
        QDir().mkpath(path + QStringLiteral("/inside"));
    } else if (std::strcmp(kind.what, "pipe") == 0) {
        ::mkfifo(name.constData(), 0600);
    } else if (std::strcmp(kind.what, "io-error") == 0) {
        // The reading process's own memory from address 0, which is never mapped: a plain file
        // to stat, and every read of its first pages fails with EIO.
        (void)!::symlink("/proc/self/mem", name.constData());
    } else {
        writeFile(path, "\"once 23:00:00\"\r\n");
        ::chmod(name.constData(), 0);
    }
}
