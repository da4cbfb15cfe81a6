#pragma once
#include <QByteArray>
#include <QString>

class QFileInfo;

// Why something in a file's place cannot be read as a file of ours: "it is a folder", "it is not
// a plain file" (a pipe or device, whose reading could block or never end); empty for a plain file
// or nothing at all.
QString notPlainFileReason(const QFileInfo& info);

// Reads a whole plain file (through a symbolic link too). False with the reason, in words for the
// user, when it cannot: not a plain file, or the system refused (permissions, an I/O error).
bool readWholeFile(const QString& path, QByteArray& bytes, QString* reason = nullptr);
