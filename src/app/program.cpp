#include "app/program.h"

#include "app/form.h"
#include "core/alarms/time_text.h"

QString Program::timeOfDay() const { return timeOfDayText(platform.now()); }

Form1& Program::form1() { return *m_form1; }
Form3& Program::form3() { return *m_form3; }
Form4& Program::form4() { return *m_form4; }
Form5& Program::form5() { return *m_form5; }
Form6& Program::form6() { return *m_form6; }
Form7& Program::form7() { return *m_form7; }
Form8& Program::form8() { return *m_form8; }
Form9& Program::form9() { return *m_form9; }
Form10& Program::form10() { return *m_form10; }
Form11& Program::form11() { return *m_form11; }
Form12& Program::form12() { return *m_form12; }
Form13& Program::form13() { return *m_form13; }
Form14& Program::form14() { return *m_form14; }
AlarmHost& Program::host() { return *m_host; }
FormBase& Program::alarmListWindow() { return *m_alarmListWindow; }

void Program::activationChanged(FormBase* to)
{
    if (!to) return;  // another program took the activation: that does not count
    FormBase* from = m_lastActive;
    m_lastActive = to;
    if (from && from != to) from->Form_Deactivate();
}

void Program::formDestroyed(FormBase* form)
{
    if (m_lastActive == form) m_lastActive = nullptr;
}
