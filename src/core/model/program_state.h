#pragma once
#include "core/files/settings_file.h"
#include "core/model/truth.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <cstdint>

// Ranks of the five dialogs that keep the foreground ("front code"): a dialog that loses the
// activation takes it back unless gFrontCode holds a higher rank.
inline constexpr std::int16_t kFrontMessageInput = 1;
inline constexpr std::int16_t kFrontFileChooser = 13;
inline constexpr std::int16_t kFrontOverwrite = 157;
inline constexpr std::int16_t kFrontWarning = 25547;
inline constexpr std::int16_t kFrontMessage = 30000;

// The program-wide variables: all state that more than one window needs. docs/architecture.md
// gives each one's meaning. Text starts empty and numbers at 0 until fForm1Load gives start values.
struct ProgramState {
    QString gAppPath;               // program folder, ending in "/"; every file of ours lies in it
    QString gNextAlarmTime;         // time of alarm entry 0, "HH:MM:SS", empty when none
    QString gPlayTimes;             // play-count word of entry 0
    QDate gNextAlarmDay;            // the day gNextAlarmTime belongs to
    // The day each alarm entry was added or loaded on, by its time (times are unique in the list).
    // In memory only: the data file holds times of day.
    QHash<QString, QDate> gAlarmDays;
    QString gSongPath;              // full path of the song every alarm plays
    VBool gListChanged = VFalse;    // the alarm list changed: the tick reads entry 0 again
    VBool gHasAlarms = VFalse;      // the alarm list holds at least one entry
    VBool gTimerArmed = VFalse;     // the tick does its alarm, chime and wallpaper work
    VBool gTrayMenuOn = VFalse;     // the tray icon answers clicks (not while a sound error box is up)
    VBool gSoundOn = VFalse;        // "Sound on"
    VBool gErrMsgPop = VFalse;      // "Show error message if sound cannot be played"
    VBool gAlarmWindowOpen = VFalse;  // the Alarm Set window is open: the tick must not unload it
    VBool gEMPlayOn = VFalse;       // the every-N-minutes chime ("EM") is on
    std::int16_t gEMInterval = 0;   // chime interval in minutes; 60 is hourly
    std::int16_t gEMNextTime = 0;   // minute (or hour, when hourly) of the next chime
    std::int16_t gWallNextTime = 0; // minute or hour of the next wallpaper change; -1: no schedule
    std::int16_t gWallInterval = 0; // wallpaper interval in minutes
    VBool gWallByTimer = VFalse;    // the tick asked the wallpaper window to plan again
    std::int16_t gFrontCode = 0;    // rank of the dialog that last claimed the foreground; 0 none
    VBool gMsgWindowLoaded = VFalse;  // the message window is loaded
    SettingsRecord settingsRecord;  // the one buffer for every settings read and write
    bool settingsWriteFailureTold = false;  // a failed write of voz.ini was told (once a run)
    std::int32_t gForegroundResult = 0;  // results of the last foreground and topmost calls; unread
    std::int32_t gWindowPosResult = 0;
};
