#pragma once
#include "core/model/program_state.h"
#include "platform/platform.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Form1;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;
class Form8;
class Form9;
class Form10;
class Form11;
class Form12;
class Form13;
class Form14;
class FormBase;
class FrontWindow;
class AlarmHost;
struct Form4Controls;
namespace Rodidad {
class _Class1;
}

// The program-wide variables with the platform, and the single instance of every window object.
// Tests build one per case with a fake platform. The windows reach each other through it; only
// its construction knows them all (program_windows.cpp), so this file depends on none of them.
class Program : public ProgramState {
public:
    // Both in program_windows.cpp: they make and destroy every window object.
    explicit Program(Platform& platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform;

    // The tray icon's record, kept for the later modify and delete calls.
    NotifyIconData gTrayIcon;

    // The present time of day as "HH:MM:SS".
    QString timeOfDay() const;

    // Window objects: created with the program, their windows loaded on first touch.
    Form1& form1();
    Form3& form3();
    Form4& form4();
    Form5& form5();
    Form6& form6();
    Form7& form7();
    Form8& form8();
    Form9& form9();
    Form10& form10();
    Form11& form11();
    Form12& form12();
    Form13& form13();
    Form14& form14();

    // The windows as the alarm engine and the tick see them.
    AlarmHost& host();

    // The Alarm Set window, and its controls while it is loaded: they hold the alarm list.
    FormBase& alarmListWindow();
    Form4Controls* alarmListControls = nullptr;

    // A further copy of the warning window, for a warning while one is showing. Made and
    // released by the warning window (warning_window.cpp).
    Form11& newForm11Copy();
    void releaseForm11Copy(Form11* copy);
    const std::vector<std::unique_ptr<Form11>>& form11Copies() const { return m_form11Copies; }

    // Makes a fresh Rodidad Class1 for one call; null, with the reason, when the library cannot
    // be loaded.
    std::function<std::unique_ptr<Rodidad::_Class1>(QString* reason)> createClass1;

    // Stops (false) and starts again (true) the clock tick; the main window gives it. A sound
    // error box holds the tick while it shows, without knowing the main window.
    std::function<void(bool run)> setTickRunning;

    // Every dialog that keeps the foreground by rank, so a closing one can find the window it
    // puts back on top without knowing the windows.
    std::vector<FrontWindow*> frontWindows;

    // Activation moved between two of our windows (null `to` means another program took it).
    void activationChanged(FormBase* to);

private:
    std::unique_ptr<AlarmHost> m_host;
    FormBase* m_alarmListWindow = nullptr;
    std::unique_ptr<Form1> m_form1;
    std::unique_ptr<Form3> m_form3;
    std::unique_ptr<Form4> m_form4;
    std::unique_ptr<Form5> m_form5;
    std::unique_ptr<Form6> m_form6;
    std::unique_ptr<Form7> m_form7;
    std::unique_ptr<Form8> m_form8;
    std::unique_ptr<Form9> m_form9;
    std::unique_ptr<Form10> m_form10;
    std::unique_ptr<Form11> m_form11;
    std::unique_ptr<Form12> m_form12;
    std::unique_ptr<Form13> m_form13;
    std::unique_ptr<Form14> m_form14;
    std::vector<std::unique_ptr<Form11>> m_form11Copies;
    std::vector<std::unique_ptr<Form11>> m_retiredCopies;
    FormBase* m_lastActive = nullptr;

    friend class FormBase;
    void formDestroyed(FormBase* form);
};
