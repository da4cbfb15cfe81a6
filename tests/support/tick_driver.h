#pragma once
#include "clock/main_window.h"
#include "dialogs/alarm_set_window.h"
#include "support/test_program.h"

#include <QStringList>

// Steps the fake clock in 800 ms ticks, as Timer1 does, running the tick while the timer runs.
inline void tickUntil(TestProgram& t, const QString& hhmmss)
{
    const QTime end = QTime::fromString(hhmmss, QStringLiteral("HH:mm:ss"));
    while (t.platform.clock.time() < end) {
        t.platform.advanceMs(800);
        if (t.program.form1().Timer1Enabled()) t.program.form1().Timer1_Timer();
    }
}

inline void tickOnce(TestProgram& t, int ms = 800)
{
    t.platform.advanceMs(ms);
    t.program.form1().Timer1_Timer();
}

// Puts alarms and messages straight into the list, as a load would, and arms the clock.
inline void queue(TestProgram& t, const QStringList& alarms, const QStringList& messages = {})
{
    Form4Controls& c = t.program.form4().c();
    c.lstData.setItems(alarms);
    c.lstMessage.setItems(messages);
    t.program.gTimerArmed = VTrue;
    t.program.gListChanged = VTrue;
    t.program.gHasAlarms = toVBool(!alarms.isEmpty());
}
