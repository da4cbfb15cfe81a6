#pragma once
#include <QByteArray>
#include <QString>

class QFileInfo;

// Why something in a file's place cannot be read as a file of ours: "it is a folder", "it is not
// a plain file" (a pipe or device, whose reading could block or never end); empty for a plain file
// or nothing at all.
QString notPlainFileReason(const QFileInfo& info);

enum class FileRead { Read, TooLarge, Failed };

// Reads a whole plain file (through a symbolic link too) of at most maxBytes; memory stays near
// the file's size. TooLarge, with nothing read, for a bigger file, also one that grows past the
// limit while it is read. Failed with the reason, in words for the user, when it cannot be read:
// not a plain file, or the system refused (permissions, an I/O error).
FileRead readWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* reason = nullptr);
