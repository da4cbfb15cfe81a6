#pragma once
#include <QDateTime>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

// The notification-area icon record the program keeps, so that modify and delete name the same icon.
struct NotifyIconData {
    std::uint32_t cbSize = 88;
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 1;
    std::uint32_t uFlags = 7;               // message + icon + tip
    std::uint32_t uCallbackMessage = 0x200;
    int hIcon = 0;                          // handle from Platform::registerIcon
    char szTip[64] = {};
};

inline constexpr int NIM_ADD = 0;
inline constexpr int NIM_MODIFY = 1;
inline constexpr int NIM_DELETE = 2;
inline constexpr int WM_LBUTTONUP = 0x202;
inline constexpr int WM_RBUTTONUP = 0x205;
inline constexpr int SND_ASYNC = 1;
inline constexpr int SND_NODEFAULT_STOP = 4;  // with an empty name: stop what plays

// Every service of the desktop the program uses. The Qt/X11 implementation drives the real
// desktop; tests use a recording fake.
class Platform {
public:
    virtual ~Platform() = default;

    // Time of day and date, from the clock the platform was given.
    virtual QDateTime now() = 0;

    // Tray icon. The callback receives the mouse message of the icon (WM_LBUTTONUP, WM_RBUTTONUP).
    virtual int registerIcon(const QImage& image) = 0;
    virtual void shellNotifyIcon(int message, const NotifyIconData& data) = 0;
    virtual void setTrayCallback(std::function<void(int mouseMessage)> callback) = 0;
    // The icon's menu, for hosts that draw it themselves; its actions are triggered as the menu's
    // own. Set before NIM_ADD.
    virtual void setTrayMenu(QMenu* menu) = 0;
    // Where the menu of the last right-click opens: the pointer, or the point a host asked for.
    virtual QPoint trayMenuPosition() = 0;
    // Told true when a notification area shows the icon and false when there is none: after
    // NIM_ADD only once a few seconds went by without one, later as soon as it goes away.
    virtual void setTrayHostCallback(std::function<void(bool shown)> callback) = 0;

    // Window order and focus.
    virtual std::int32_t setForegroundWindow(QWidget* window) = 0;
    virtual std::int32_t setWindowPosTopmost(QWidget* window) = 0;
    virtual void beep() = 0;

    // A system-modal box with one OK button; returns when the user closed it.
    virtual void messageBox(const QString& text) = 0;

    // Starts a program detached, without a shell. False when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    // Finds an installed program by name on the search path; empty when there is none.
    virtual QString findProgram(const QString& name) = 0;

    // Wave sound: plays a file asynchronously (flags SND_ASYNC), or stops every wave sound
    // (empty name). True when playback started.
    virtual bool sndPlaySound(const QString& path, int flags) = 0;
    // Plays a sound file `times` times (0 = until stopped). False when it is no sound file that
    // can be decoded or when no audio output can play it. Stopped like sndPlaySound.
    virtual bool playWave(const QString& path, int times) = 0;
    // MCI-style command strings for the MIDI tune: "open FILE type sequencer alias NAME",
    // "play NAME", "close NAME". 0 on success.
    virtual int mciSendString(const QString& command) = 0;

    // A per-user working folder for files the program copies before use (ends in "/").
    virtual QString runtimeFolder() = 0;

    // Makes the picture at `path` the running desktop's wallpaper; an empty path removes the
    // wallpaper (a plain background). False when the desktop could not be told at all. Every
    // failure, at once or when the desktop refuses later, reaches the failure callback on this
    // (the windows') thread with its reason.
    virtual bool setWallpaper(const QString& path) = 0;
    virtual void setWallpaperFailureCallback(std::function<void(const QString& reason)> callback) = 0;

    // Ends the program at once: no further events run.
    virtual void endProgram() = 0;
};
