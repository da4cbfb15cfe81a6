#pragma once
#include <QString>
#include <vector>

// Things that can stand where a file of ours should be and cannot be read, even by root.
struct UnreadableFile {
    const char* what;  // for the test's trace
    QString reason;    // what the user is told after the file's name
};

// The kinds this system can make: a folder, a named pipe, a file whose every read fails with an
// I/O error, and (not for root) a file without read permission.
std::vector<UnreadableFile> unreadableFiles();

// Puts the kind named by `what` at path, replacing whatever was there.
void placeUnreadable(const QString& path, const UnreadableFile& kind);
