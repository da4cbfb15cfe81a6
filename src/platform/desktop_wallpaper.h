#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// Who is told about a new wallpaper on the running desktop.
enum class WallpaperBackend {
    None,      // no desktop we know how to reach (e.g. an unknown Wayland compositor)
    Gnome,     // gsettings org.gnome.desktop.background (also Unity, Budgie, Pantheon)
    Cinnamon,  // gsettings org.cinnamon.desktop.background
    Mate,      // gsettings org.mate.background
    Xfce,      // xfconf-query, channel xfce4-desktop
    Plasma,    // plasmashell's evaluateScript over D-Bus
    Lxde,      // pcmanfm --set-wallpaper
    Lxqt,      // pcmanfm-qt --set-wallpaper
    Sway,      // swaymsg output * bg
    X11Root,   // the root window's background pixmap
};

// The back end for XDG_CURRENT_DESKTOP (a colon-separated list; the first name we know wins)
// and the session. A known desktop is reached the same way under X11 and Wayland; sway is also
// known by its socket (SWAYSOCK); any other desktop gets the root window when the session is X11
// and has a display.
WallpaperBackend chooseWallpaperBackend(const QString& currentDesktop, const QString& sessionType,
                                        const QString& waylandDisplay, const QString& display,
                                        const QString& swaySocket = {});
WallpaperBackend chooseWallpaperBackend(const QProcessEnvironment& env);

// Sets the running desktop's wallpaper. The desktop is told on a worker thread, one change at a
// time, so a slow or hung settings tool never freezes the windows; a change asked for while
// another is under way replaces any still waiting. Every picture is first copied to a fresh
// name in `cacheFolder`, because the caller reuses one file name for its conversions and a
// desktop told the name it already shows keeps the old picture; the copy shown before is
// removed once the desktop has the new one.
class DesktopWallpaper {
public:
    // Why a change failed, told on the worker thread.
    using FailureHandler = std::function<void(const QString& reason)>;

    // `env` is the session's environment (desktop, display, D-Bus address), also handed to the
    // settings tools. `failed` hears of every change the desktop did not take.
    DesktopWallpaper(QProcessEnvironment env, QString cacheFolder, FailureHandler failed = {});
    ~DesktopWallpaper();
    DesktopWallpaper(const DesktopWallpaper&) = delete;
    DesktopWallpaper& operator=(const DesktopWallpaper&) = delete;

    WallpaperBackend backend() const { return m_backend; }

    // Empty path: remove the wallpaper (a plain background). False, with the reason, when there
    // is no back end or the picture is no file; the desktop's own answer is not waited for (a
    // refusal goes to the failure handler).
    bool set(const QString& path, QString* reason = nullptr);

    // Waits until every change asked for has been handed to the desktop; false on time-out.
    bool waitForIdle(int msecs);

    class Worker;

private:
    QProcessEnvironment m_env;
    QString m_cacheFolder;
    WallpaperBackend m_backend;
    FailureHandler m_failed;
    quint64 m_lastStamp = 0;
    Worker* m_worker = nullptr;  // deliberately left running if it will not stop at exit
};
