#include "app/program.h"

#include "alarms/alarm_engine.h"
#include "app/form.h"
#include "clock/load_error_window.h"
#include "clock/main_window.h"
#include "clock/message_window.h"
#include "clock/sound_module.h"
#include "clock/warning_window.h"
#include "dialogs/about_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/settings_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/overwrite_window.h"
#include "rodidad/class1_interface.h"
#include "wallpaper/wallpaper_window.h"

#include <algorithm>

Program::Program(Platform& pf)
    : platform(pf),
      m_form1(std::make_unique<Form1>(*this)),
      m_form3(std::make_unique<Form3>(*this)),
      m_form4(std::make_unique<Form4>(*this)),
      m_form5(std::make_unique<Form5>(*this)),
      m_form6(std::make_unique<Form6>(*this)),
      m_form7(std::make_unique<Form7>(*this)),
      m_form8(std::make_unique<Form8>(*this)),
      m_form9(std::make_unique<Form9>(*this)),
      m_form10(std::make_unique<Form10>(*this)),
      m_form11(std::make_unique<Form11>(*this, false)),
      m_form12(std::make_unique<Form12>(*this)),
      m_form13(std::make_unique<Form13>(*this)),
      m_form14(std::make_unique<Form14>(*this))
{
}

Program::~Program()
{
    m_destroying = true;
    m_form14.reset();
    m_form13.reset();
    m_form12.reset();
    m_form11Copies.clear();
    m_retiredCopies.clear();
    m_form11.reset();
    m_form10.reset();
    m_form7.reset();
    m_form6.reset();
    m_form5.reset();
    m_form4.reset();
    m_form3.reset();
    m_form1.reset();
}

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

Form11& Program::newForm11Copy()
{
    m_retiredCopies.clear();
    m_form11Copies.push_back(std::make_unique<Form11>(*this, true));
    return *m_form11Copies.back();
}

void Program::releaseForm11Copy(Form11* copy)
{
    // Kept until the next copy is made: the copy may be releasing itself from its own handler.
    auto it = std::find_if(m_form11Copies.begin(), m_form11Copies.end(),
                           [copy](const std::unique_ptr<Form11>& f) { return f.get() == copy; });
    if (it == m_form11Copies.end()) return;
    m_retiredCopies.push_back(std::move(*it));
    m_form11Copies.erase(it);
}

void Program::LoadWallpaperWindowHidden() { form12().Load(); }

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
