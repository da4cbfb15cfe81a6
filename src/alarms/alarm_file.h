#pragma once
#include "app/controls.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class CheckKit;

// The fields of a data file: a field that begins with a double quote runs to the next double
// quote; any other field runs to the next comma or line end, blanks before it skipped.
// CR LF, LF and CR all end a line. Bytes are read as UTF-8.
QStringList readDataFields(const QByteArray& content);

// Both lists as a data file: every alarm entry, then every message entry, each a quoted line
// ending in CR LF. Empty lists give an empty file.
QByteArray composeDataFile(const ListBox& lstData, const ListBox& lstMessage);

// Writes the whole file through a temporary file in the same folder that is renamed over the
// target once every byte is on the disk, so that a failed write (a full disk, a file size limit)
// leaves the old file as it was. False with the system's reason otherwise.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// What a load found wrong, for the load-error window.
struct LoadReport {
    QStringList errorLines;  // the file name, then one line per bad record, as shown
    int badRecords = 0;
    qint64 recordsRead = 0;
    QStringList addedAlarmTimes;  // the times of the alarm entries the load added
};

// Merges the records of a data file into the lists, exactly as loading one by one would:
// passed times, times already in the list and second messages for a time are dropped without
// a word; bad records are reported (at most 8, then the rest of the file is not read).
LoadReport mergeDataFile(const QByteArray& content, const QString& fileName, const QString& now,
                         const CheckKit& kit, ListBox& lstData, ListBox& lstMessage);
