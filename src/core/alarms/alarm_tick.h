#pragma once
#include "core/alarms/alarm_list.h"
#include "core/model/controls.h"
#include "core/model/program_state.h"

#include <QDateTime>
#include <QString>

// What the alarm steps of the clock tick need from the windows around them.
class AlarmTickHost {
public:
    virtual ~AlarmTickHost() = default;
    virtual QDateTime now() = 0;
    virtual ListBox& lstData() = 0;
    // Plays the song for the play-count word and shows the message of the time, if there is one.
    virtual void ring(const QString& playTimes, const QString& time) = 0;
    // "alarm at" and the time in the message window. Pending events run meanwhile, so the list
    // may have changed when it returns.
    virtual void announceMissed(const QString& time) = 0;
    // The message of the time, if there is one, in the message window; no sound.
    virtual void showMessage(const QString& time) = 0;
};

// The alarm steps of one tick. Each entry belongs to the day it was added or loaded on
// (gAlarmDays), so the next alarm is the entry of the earliest day and time: entry 0 while all
// entries belong to one day. In one tick at most one alarm rings and at most one is reported
// missed:
//  - the next alarm rings when it is of today and its time is the present second;
//  - else, or after that, the next alarm is reported missed when its second has passed (any
//    time of an earlier day has), so an alarm a few seconds behind it can still ring in its own
//    second, in this tick when that is now.
// Afterwards gNextAlarmTime, gNextAlarmDay and gPlayTimes describe the next alarm.
void alarmTick(ProgramState& s, AlarmTickHost& host);

// The start of the first second after now's in which the tick has timed work: the next alarm of
// its own day (an entry without a day counts as today's), the next chime, the next wallpaper
// change. Invalid when the tick is not armed or nothing lies ahead. lstData is null while the
// Alarm Set window, with the list, is not loaded. Changes nothing, so it may be asked any time.
QDateTime nextDueSecond(const ProgramState& s, const ListBox* lstData, const QDateTime& now);

// After a change of the list: the next alarm into gNextAlarmTime, gPlayTimes and gNextAlarmDay.
// An entry without a day (put into the list by other means) gets today's.
void readNextAlarm(ProgramState& s, AlarmTickHost& host);

// Sorting's insertion: the entry goes to its place in lstData and belongs to `today`; refused
// when its time is in the list already. Either way the tick reads the next alarm again.
SortResult addAlarmEntry(ProgramState& s, ListBox& lstData, const QString& T, const QString& W, const QDate& today);
