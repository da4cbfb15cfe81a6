#pragma once
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <cerrno>
#include <csignal>
#include <optional>
#include <string>

// A folder on a small file system of its own (tmpfs, mounted in a private mount namespace of
// this process) that can be filled to the last byte. Needs the right to mount, as root has;
// otherwise ok() is false and whyNot() says why.
class FullDiskFolder {
public:
    explicit FullDiskFolder(int kib = 64);
    ~FullDiskFolder();
    FullDiskFolder(const FullDiskFolder&) = delete;
    FullDiskFolder& operator=(const FullDiskFolder&) = delete;

    bool ok() const { return m_mounted; }
    QString whyNot() const { return m_error; }
    QString path() const { return m_dir.path(); }
    // Takes all free space with a file named "filler".
    void fill() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_error;
};

// While it lives, this process may not make a file larger than the limit: a write past it fails
// with EFBIG, for root as well, instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    struct sigaction m_oldAction {};
};

// Ways for a write to find less room than it needs; both fail for root too.
enum class NoRoom { FullFileSystem, FileSizeLimit };
inline constexpr NoRoom kNoRooms[] = {NoRoom::FullFileSystem, NoRoom::FileSizeLimit};
inline std::string noRoomName(const ::testing::TestParamInfo<NoRoom>& info)
{
    return info.param == NoRoom::FullFileSystem ? "FullFileSystem" : "FileSizeLimit";
}

// A folder (path() ends in '/') in which starved() runs a write with less room than it needs:
// on a small file system filled first, or under a file size limit of `limit` bytes.
struct NoRoomFolder {
    explicit NoRoomFolder(NoRoom how)
    {
        if (how == NoRoom::FullFileSystem) disk.emplace();
    }
    QString path() const { return (disk ? disk->path() : plain.path()) + QLatin1Char('/'); }
    template <class Write> bool starved(rlim_t limit, Write write) const
    {
        if (disk) {
            disk->fill();
            return write();
        }
        const FileSizeLimit cap(limit);
        return write();
    }
    // The reason the failed write gives.
    QString error() const { return qt_error_string(disk ? ENOSPC : EFBIG); }

    QTemporaryDir plain;
    std::optional<FullDiskFolder> disk;
};
