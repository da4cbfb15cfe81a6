#pragma once
#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <csignal>

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
