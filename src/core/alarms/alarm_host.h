#pragma once
#include "core/alarms/alarm_tick.h"

#include <QStringList>
#include <cstdint>
#include <functional>

// A window's place in twips.
struct TwipsPlace {
    double top = 0;
    double left = 0;
};

// The alarm engine's one view of the program around it: the lists, the user, the clock, and the
// few effects on the desktop it asks for. The windows implement it; the engine tells, the
// windows show. Tests record it.
class AlarmHost : public AlarmTickHost {
public:
    // lstData() and now() come with the tick's view. Both lists live with the Alarm Set window:
    // reaching one loads it.
    virtual ListBox& lstMessage() = 0;
    // The Alarm Set window is loaded, so its lists are the alarm list (asking loads nothing).
    virtual bool listsLoaded() = 0;
    virtual TwipsPlace listWindowPlace() = 0;
    virtual void moveListWindow(TwipsPlace at) = 0;

    // A warning for the user, in the warning window.
    virtual void tell(const QString& text) = 0;
    // Asks before a file is written again; `write` runs only on "Yes". Returns at once: the
    // answer comes later.
    virtual void askOverwrite(std::function<void()> write) = 0;
    // The lines a load rejected, the file's name first: a beep and the load-error window.
    virtual void showLoadErrors(const QStringList& lines) = 0;
    // "Sound on" and "Show error message..." as record 4 holds them (check box values: 0, 1,
    // 2 grayed; others are refused), set as the settings window's boxes set them.
    virtual void setSoundSettings(std::int16_t soundOn, std::int16_t errMsgPop) = 0;
    // At start, when the wallpaper schedule was left on: the wallpaper window, loaded unseen.
    virtual void loadWallpaperWindowHidden() = 0;
    // Opens the file in the desktop's text editor; false when none could be started.
    virtual bool openTextEditor(const QString& path) = 0;
    // Plays a wave file once, whatever "Sound on" says; a file that cannot play stays silent.
    virtual void trySong(const QString& path) = 0;
};
