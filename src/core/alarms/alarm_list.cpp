#include "core/alarms/alarm_list.h"

#include "core/alarms/time_text.h"

#include <algorithm>

namespace {
// First index whose time is greater than T's.
int upperBound(const ListBox& lstData, const TimeKey& key)
{
    const auto it = std::upper_bound(lstData.items().cbegin(), lstData.items().cend(), key,
                                     [](const TimeKey& k, const QString& entry) {
                                         return compareTimeKeys(k, timeKeyOf(entry)) < 0;
                                     });
    return static_cast<int>(it - lstData.items().cbegin());
}
}  // namespace

SortResult insertSorted(ListBox& lstData, const QString& T, const QString& W)
{
    const QString entry = W + QLatin1Char(' ') + T;
    if (lstData.items().isEmpty()) {
        lstData.AddItem(entry);
        return SortResult::Inserted;
    }
    const TimeKey key = timeKeyOf(T);
    const int i = upperBound(lstData, key);
    if (i > 0 && compareTimeKeys(key, timeKeyOf(lstData.items().at(i - 1))) == 0) return SortResult::Refused;
    lstData.InsertItem(i, entry);
    return SortResult::Inserted;
}

int findTime(const ListBox& lstData, const QString& T)
{
    const TimeKey key = timeKeyOf(T);
    const int i = upperBound(lstData, key);
    if (i > 0 && compareTimeKeys(key, timeKeyOf(lstData.items().at(i - 1))) == 0) return i - 1;
    return -1;
}

bool timePassed(const QString& line, const QString& now) { return timeNotLaterThan(line, now); }

bool isMessageRecord(const QString& record)
{
    const QStringView tail = record.size() >= 12 ? QStringView(record).right(12) : QStringView(record);
    return tail.left(3) == QLatin1String(" at");
}
