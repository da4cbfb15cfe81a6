#include "core/alarms/alarm_tick.h"

#include "core/alarms/alarm_list.h"
#include "core/alarms/time_text.h"

#include <optional>

namespace {
QString timeText(const QDateTime& t) { return t.time().toString(QStringLiteral("HH:mm:ss")); }

// Removes the first entry of the time; the day goes with its last entry.
void removeEntry(ProgramState& s, ListBox& lstData, const QString& time)
{
    for (int i = 0; i < lstData.ListCount(); ++i) {
        if (lstData.List(i).right(8) == time) {
            lstData.RemoveItem(i);
            break;
        }
    }
    if (lstData.List(0).isEmpty()) s.gHasAlarms = VFalse;
    if (findTime(lstData, time) < 0) s.gAlarmDays.remove(time);
}

bool ringIfNow(ProgramState& s, AlarmTickHost& host)
{
    if (s.gNextAlarmTime.isEmpty()) return false;
    const QDateTime now = host.now();
    if (s.gNextAlarmDay != now.date() || timeText(now) != s.gNextAlarmTime) return false;
    s.gListChanged = VTrue;
    removeEntry(s, host.lstData(), s.gNextAlarmTime);
    host.ring(s.gPlayTimes, s.gNextAlarmTime);
    return true;
}

// rungTime: the alarm rung in this tick; a second entry of that very time counts as passed.
bool reportMissed(ProgramState& s, AlarmTickHost& host, const QString& rungTime)
{
    if (s.gNextAlarmTime.isEmpty()) return false;
    const QDateTime now = host.now();
    const QDate today = now.date();
    const bool passed =
        s.gNextAlarmDay < today ||
        (s.gNextAlarmDay == today && (compareTimeKeys(timeKeyOf(s.gNextAlarmTime), timeKeyOf(timeText(now))) < 0 ||
                                      s.gNextAlarmTime == rungTime));
    if (!passed) return false;
    // The window lets events run, which may change the list and clear gNextAlarmTime.
    const QString time = s.gNextAlarmTime;
    host.announceMissed(time);
    removeEntry(s, host.lstData(), time);
    host.showMessage(time);
    s.gListChanged = VTrue;
    return true;
}
}  // namespace

void readNextAlarm(ProgramState& s, AlarmTickHost& host)
{
    if (s.gListChanged != VTrue) return;
    s.gListChanged = VFalse;
    if (s.gHasAlarms != VTrue) {
        s.gNextAlarmTime.clear();
        s.gPlayTimes.clear();
        s.gNextAlarmDay = QDate();
        s.gAlarmDays.clear();
        return;
    }
    const ListBox& lstData = host.lstData();
    const QDate today = host.now().date();
    // The list is in time order, so the first entry of the earliest day is the next alarm.
    int next = -1;
    QDate nextDay;
    for (int i = 0; i < lstData.ListCount(); ++i) {
        auto day = s.gAlarmDays.find(lstData.List(i).right(8));
        if (day == s.gAlarmDays.end()) day = s.gAlarmDays.insert(lstData.List(i).right(8), today);
        if (next < 0 || *day < nextDay) {
            next = i;
            nextDay = *day;
        }
    }
    const QString entry = lstData.List(next);  // "" for an empty list
    const QString two = entry.left(2);
    if (two == QLatin1String("on")) s.gPlayTimes = QStringLiteral("once");
    else if (two == QLatin1String("tw")) s.gPlayTimes = QStringLiteral("twice");
    else if (two == QLatin1String("th")) s.gPlayTimes = QStringLiteral("thrice");
    else if (two == QLatin1String("re")) s.gPlayTimes = QStringLiteral("repeat");
    s.gNextAlarmTime = entry.right(8);
    s.gNextAlarmDay = nextDay;
}

void alarmTick(ProgramState& s, AlarmTickHost& host)
{
    readNextAlarm(s, host);
    const bool rang = ringIfNow(s, host);
    const QString rungTime = rang ? s.gNextAlarmTime : QString();
    readNextAlarm(s, host);
    if (!reportMissed(s, host, rungTime)) return;
    readNextAlarm(s, host);
    if (!rang && ringIfNow(s, host)) readNextAlarm(s, host);
}

namespace {
// A moment as wall-clock fields, day and second of the day, which order like the moments.
struct Moment {
    qint64 day = 0;
    int second = 0;
    bool operator<(const Moment& o) const { return day != o.day ? day < o.day : second < o.second; }
    bool operator<=(const Moment& o) const { return !(o < *this); }
};

int secondsOf(QStringView hhmmss)
{
    const TimeKey k = timeKeyOf(hhmmss);
    return k.h.toInt() * 3600 + k.m.toInt() * 60 + k.s.toInt();
}

bool wellFormed(QStringView hhmmss) { return hhmmss.size() == 8 && isValidTimeText(hhmmss); }

// The first start of minute `value` of an hour (or of hour `value` of a day) after `now`.
Moment nextMinuteOrHour(int value, bool hourly, const Moment& now)
{
    Moment m = now;
    if (hourly) {
        m.second = value * 3600;
        if (m <= now) ++m.day;
    } else {
        m.second = now.second / 3600 * 3600 + value * 60;
        if (m <= now) m.second += 3600;
        if (m.second >= 86400) {
            m.second -= 86400;
            ++m.day;
        }
    }
    return m;
}

void keepEarlier(std::optional<Moment>& best, const Moment& m)
{
    if (!best || m < *best) best = m;
}
}  // namespace

QDateTime nextDueSecond(const ProgramState& s, const ListBox* lstData, const QDateTime& now)
{
    if (s.gTimerArmed != VTrue || !now.isValid()) return {};
    const QDate today = now.date();
    const Moment at{today.toJulianDay(), now.time().msecsSinceStartOfDay() / 1000};
    std::optional<Moment> best;

    // The next alarm as read is the earliest entry: when it lies ahead, no other can come first.
    if (s.gListChanged != VTrue && wellFormed(s.gNextAlarmTime) && s.gNextAlarmDay.isValid() &&
        at < Moment{s.gNextAlarmDay.toJulianDay(), secondsOf(s.gNextAlarmTime)}) {
        best = Moment{s.gNextAlarmDay.toJulianDay(), secondsOf(s.gNextAlarmTime)};
    } else if (lstData && s.gHasAlarms == VTrue) {
        for (const QString& entry : lstData->items()) {
            const QStringView time = QStringView(entry).right(8);
            if (!wellFormed(time)) continue;
            const QDate day = s.gAlarmDays.value(time.toString(), today);
            const Moment m{day.toJulianDay(), secondsOf(time)};
            if (at < m) keepEarlier(best, m);
        }
    }
    if (s.gEMPlayOn == VTrue) {
        const bool hourly = s.gEMInterval == 60;
        if (s.gEMNextTime >= 0 && s.gEMNextTime < (hourly ? 24 : 60))
            keepEarlier(best, nextMinuteOrHour(s.gEMNextTime, hourly, at));
    }
    if (s.gWallNextTime != -1) {
        const bool hourly = s.gWallInterval >= 60;
        if (s.gWallNextTime >= 0 && s.gWallNextTime < (hourly ? 24 : 60))
            keepEarlier(best, nextMinuteOrHour(s.gWallNextTime, hourly, at));
    }
    if (!best) return {};
    QDateTime due = now;
    due.setDate(QDate::fromJulianDay(best->day));
    due.setTime(QTime(0, 0).addSecs(best->second));
    return due;
}

SortResult addAlarmEntry(ProgramState& s, ListBox& lstData, const QString& T, const QString& W, const QDate& today)
{
    const SortResult r = insertSorted(lstData, T, W);
    if (r == SortResult::Inserted) s.gAlarmDays.insert(T, today);
    s.gListChanged = VTrue;
    return r;
}
