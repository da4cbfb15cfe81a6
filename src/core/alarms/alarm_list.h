#pragma once
#include "core/model/controls.h"

#include <QString>

// Alarm entries are "word HH:MM:SS"; message entries are "text at HH:MM:SS". Both lists are
// addressed by index and by the time in their last 8 characters.

enum class SortResult { Inserted, Refused };

// Inserts "W T" into lstData at the place that keeps ascending time order, or refuses a time
// that is already in the list. The list is always in order, so the place is found by halving.
SortResult insertSorted(ListBox& lstData, const QString& T, const QString& W);

// Index of the entry whose time equals T, or -1.
int findTime(const ListBox& lstData, const QString& T);

// The time in the last 8 characters of the entry is not later than now (equal counts as passed).
bool timePassed(const QString& line, const QString& now);

// A record is a message entry when its last 12 characters begin with " at".
bool isMessageRecord(const QString& record);
