#pragma once
#include "platform/platform.h"

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;
class StatusNotifierItem;
class X11TrayWatch;
class WavePlayer;
class MidiPlayer;
class DesktopWallpaper;

// The platform on a Linux desktop, through Qt: the tray icon (XEmbed or StatusNotifierItem),
// window order, PulseAudio/PipeWire sound, FluidSynth for MIDI, the desktop's own wallpaper setting.
// The sound output and the MIDI synthesizer are modules loaded on first use from `moduleFolder`
// (default: the program's own folder).
class QtPlatform : public QObject, public Platform {
    Q_OBJECT
public:
    explicit QtPlatform(const QString& moduleFolder = {});
    ~QtPlatform() override;

    QDateTime now() override;
    int registerIcon(const QImage& image) override;
    void shellNotifyIcon(int message, const NotifyIconData& data) override;
    void setTrayCallback(std::function<void(int)> callback) override;
    void setTrayMenu(QMenu* menu) override;
    QPoint trayMenuPosition() override;
    void setTrayHostCallback(std::function<void(bool)> callback) override;
    std::int32_t setForegroundWindow(QWidget* window) override;
    std::int32_t setWindowPosTopmost(QWidget* window) override;
    void beep() override;
    void messageBox(const QString& text) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    QString findProgram(const QString& name) override;
    bool sndPlaySound(const QString& path, int flags) override;
    bool playWave(const QString& path, int times) override;
    int mciSendString(const QString& command) override;
    QString runtimeFolder() override;
    bool setWallpaper(const QString& path) override;
    void setWallpaperFailureCallback(std::function<void(const QString&)> callback) override;
    void endProgram() override;

private:
    void startTrayWatch();
    void updateTray(bool xTrayReplaced = false);
    void makeEmbeddedIcon();
    void reportTrayHost();
    void postTrayMessage(int message);

    QHash<int, QIcon> m_icons;
    QHash<int, QImage> m_images;
    int m_nextIcon = 1;
    // The icon lives in whichever host is there: a StatusNotifierWatcher's (preferred) or an
    // XEmbed tray's (QSystemTrayIcon, made anew for each tray manager).
    bool m_iconAdded = false;
    int m_iconHandle = 0;
    QString m_tip;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    StatusNotifierItem* m_sni = nullptr;
    X11TrayWatch* m_xTray = nullptr;
    QPointer<QMenu> m_trayMenu;
    std::optional<QPoint> m_menuAt;  // asked for by the host; else the pointer
    QTimer m_hostGrace;
    std::optional<bool> m_hostReported;
    std::function<void(bool)> m_hostCallback;
    std::function<void(int)> m_trayCallback;
    std::unique_ptr<WavePlayer> m_wave;
    std::unique_ptr<MidiPlayer> m_midi;
    std::unique_ptr<DesktopWallpaper> m_wallpaper;
    std::function<void(const QString&)> m_wallpaperFailed;
};
