#pragma once
#include <QDateTime>
#include <QString>
#include <QStringView>

// Times of day are "HH:MM:SS" texts compared field by field as two-character text, which for
// well-formed times is numeric order.
struct TimeKey {
    QStringView h, m, s;
};

// The fields of the time in the last 8 characters of an entry.
inline TimeKey timeKeyOf(QStringView entry)
{
    const QStringView t = entry.size() >= 8 ? entry.right(8) : entry;
    return {t.mid(0, 2), t.mid(3, 2), t.mid(6, 2)};
}

// <0, 0, >0 by hour, then minute, then second.
inline int compareTimeKeys(const TimeKey& a, const TimeKey& b)
{
    if (int c = a.h.compare(b.h)) return c;
    if (int c = a.m.compare(b.m)) return c;
    return a.s.compare(b.s);
}

// The time of the entry is not later than now: the passed-time and missed-alarm rule.
inline bool timeNotLaterThan(QStringView entry, QStringView now)
{
    return compareTimeKeys(timeKeyOf(entry), timeKeyOf(now)) <= 0;
}

// The time of day as the program compares it: "HH:MM:SS", 24-hour.
inline QString timeOfDayText(const QDateTime& t) { return t.time().toString(QStringLiteral("HH:mm:ss")); }

// Is this exactly HH:MM:SS with hour 00-23, minute and second 00-59?
bool isValidTimeText(QStringView t);
