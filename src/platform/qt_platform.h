#pragma once
#include "platform/platform.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <memory>

class QSystemTrayIcon;
class WavePlayer;
class MidiPlayer;
class DesktopWallpaper;

// The platform on a Linux desktop, through Qt: the tray icon (XEmbed or StatusNotifierItem),
// window order, PulseAudio/PipeWire sound, FluidSynth for MIDI, the desktop's own wallpaper setting.
class QtPlatform : public QObject, public Platform {
    Q_OBJECT
public:
    QtPlatform();
    ~QtPlatform() override;

    QDateTime now() override;
    int registerIcon(const QImage& image) override;
    void shellNotifyIcon(int message, const NotifyIconData& data) override;
    void setTrayCallback(std::function<void(int)> callback) override;
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
    void endProgram() override;

private:
    QHash<int, QIcon> m_icons;
    int m_nextIcon = 1;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    std::function<void(int)> m_trayCallback;
    std::unique_ptr<WavePlayer> m_wave;
    std::unique_ptr<MidiPlayer> m_midi;
    std::unique_ptr<DesktopWallpaper> m_wallpaper;
};
