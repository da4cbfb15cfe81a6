// The one place that knows every window: the program's construction and teardown. Kept apart
// from program.cpp, which the windows reach each other through, so that no window depends on
// all the others; only main and the tests' program build a Program.
#include "app/program.h"

#include "app/windows_host.h"
#include "clock/load_error_window.h"
#include "clock/main_window.h"
#include "clock/message_window.h"
#include "clock/sound_module.h"
#include "clock/warning_window.h"
#include "core/alarms/alarm_engine.h"
#include "dialogs/about_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/overwrite_window.h"
#include "dialogs/settings_window.h"
#include "rodidad/class1_interface.h"
#include "wallpaper/wallpaper_window.h"

Program::Program(Platform& pf)
    : platform(pf),
      m_host(std::make_unique<WindowsHost>(*this)),
      m_form1(std::make_unique<Form1>(*this)),
      m_form3(std::make_unique<Form3>(*this)),
      m_form4(std::make_unique<Form4>(*this)),
      m_form5(std::make_unique<Form5>(*this)),
      m_form6(std::make_unique<Form6>(*this)),
      m_form7(std::make_unique<Form7>(*this)),
      m_form8(std::make_unique<Form8>(*this, *m_host)),
      m_form9(std::make_unique<Form9>(*this)),
      m_form10(std::make_unique<Form10>(*this)),
      m_form11(std::make_unique<Form11>(*this, false)),
      m_form12(std::make_unique<Form12>(*this)),
      m_form13(std::make_unique<Form13>(*this)),
      m_form14(std::make_unique<Form14>(*this))
{
    m_alarmListWindow = m_form4.get();
}

Program::~Program()
{
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
