#pragma once
#include <QByteArray>
#include <QString>

class QTemporaryDir;

// The whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Writes the whole file; false when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes);
// Writes a file into a temporary folder and returns its path.
QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
