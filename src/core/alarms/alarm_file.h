#pragma once
#include "core/model/controls.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class CheckKit;

// The largest data file a load takes: 64 MiB. A file holds the alarms of one day, at most one a
// second, each with a message of at most 626 characters: 86400 x (19 + 644) bytes, 57 MB. Past
// that it is not a file of ours, and reading it would stall the clock and could end the program.
constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

// Every field of a data file (its rules: core/files/quoted_fields.h and kDataFileFields).
QStringList readDataFields(const QByteArray& content);

// Both lists as a data file: every alarm entry, then every message entry, each a quoted line
// ending in CR LF. Empty lists give an empty file.
QByteArray composeDataFile(const ListBox& lstData, const ListBox& lstMessage);

// Writes the whole file through a temporary file in the same folder that is renamed over the
// target once every byte is on the disk, so that a failed write (a full disk, a file size limit)
// leaves the old file as it was. Only a plain file (or nothing) is replaced, also through a
// symbolic link; a device, pipe or folder in its place is left alone. False with the reason
// otherwise.
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
