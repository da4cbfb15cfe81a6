#pragma once
#include "support/qt_print.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class QTemporaryDir;
struct SettingsRecord;

// The whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Writes the whole file; false when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes);
// Writes a file into a temporary folder and returns its path.
QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
SettingsRecord makeRecord(const QString& label, std::int16_t v1 = 0, std::int16_t v2 = 0, const QString& text = {});
// Stores record n of voz.ini in the program folder.
void storeRecordIn(const QString& folder, int n, const QString& label, std::int16_t v1, std::int16_t v2,
                   const QString& text = {});
