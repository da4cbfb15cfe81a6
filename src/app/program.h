#pragma once
#include "app/settings_file.h"
#include "app/truth.h"
#include "platform/platform.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class Form1;
class Form4;
class Form6;
class Form8;
class Form9;
class Form10;
class Form11;
class Form13;
class Form14;
class FormBase;

// Front codes of the five dialogs that keep the foreground by rank.
inline constexpr std::int16_t kFrontMessageInput = 1;
inline constexpr std::int16_t kFrontFileChooser = 13;
inline constexpr std::int16_t kFrontOverwrite = 157;
inline constexpr std::int16_t kFrontWarning = 25547;
inline constexpr std::int16_t kFrontMessage = 30000;

// All state that more than one window needs, and the single instance of every window object.
// Tests build one per case with a fake platform.
class Program {
public:
    explicit Program(Platform& platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform;

    // Program-wide variables. Text starts empty and numbers at 0 until fForm1Load gives start values.
    QString gAppPath;
    NotifyIconData gTrayIcon;
    QString gNextAlarmTime;
    QString gPlayTimes;
    QString gSongPath;
    VBool gListChanged = VFalse;
    VBool gHasAlarms = VFalse;
    VBool gTimerArmed = VFalse;
    VBool gTrayMenuOn = VFalse;
    VBool gSoundOn = VFalse;
    VBool gErrMsgPop = VFalse;
    VBool gAlarmWindowOpen = VFalse;
    VBool gEMPlayOn = VFalse;
    std::int16_t gEMInterval = 0;
    std::int16_t gEMNextTime = 0;
    std::int16_t gWallNextTime = 0;
    std::int16_t gWallInterval = 0;
    VBool gWallByTimer = VFalse;
    std::int16_t gFrontCode = 0;
    VBool gMsgWindowLoaded = VFalse;
    SettingsRecord settingsRecord;      // the one buffer for every settings read and write
    std::int32_t gForegroundResult = 0; // results of the last foreground and topmost calls; unread
    std::int32_t gWindowPosResult = 0;

    // The present time of day as "HH:MM:SS".
    QString timeOfDay() const;

    // Window objects: created with the program, their windows loaded on first touch.
    Form1& form1();
    Form4& form4();
    Form6& form6();
    Form8& form8();
    Form9& form9();
    Form10& form10();
    Form11& form11();
    Form13& form13();
    Form14& form14();

    // A further copy of the warning window, for a warning while one is showing.
    Form11& newForm11Copy();
    void releaseForm11Copy(Form11* copy);
    const std::vector<std::unique_ptr<Form11>>& form11Copies() const { return m_form11Copies; }

    // Services whose windows are not part of the program yet.
    void LoadWallpaperWindowHidden();
    // Applies stored "Sound on" and error-message check box states to the flags, as the
    // settings window's check boxes do.
    void ApplySoundSettings(std::int16_t soundOn, std::int16_t errMsgPop);

    // Activation moved between two of our windows (null `to` means another program took it).
    void activationChanged(FormBase* to);

private:
    std::unique_ptr<Form1> m_form1;
    std::unique_ptr<Form4> m_form4;
    std::unique_ptr<Form6> m_form6;
    std::unique_ptr<Form8> m_form8;
    std::unique_ptr<Form9> m_form9;
    std::unique_ptr<Form10> m_form10;
    std::unique_ptr<Form11> m_form11;
    std::unique_ptr<Form13> m_form13;
    std::unique_ptr<Form14> m_form14;
    std::vector<std::unique_ptr<Form11>> m_form11Copies;
    std::vector<std::unique_ptr<Form11>> m_retiredCopies;
    FormBase* m_lastActive = nullptr;
    bool m_destroying = false;

    friend class FormBase;
    void formDestroyed(FormBase* form);
};
