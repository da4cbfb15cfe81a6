#pragma once
#include "platform/platform.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Records every platform call; time stands still until the test moves it.
class FakePlatform : public Platform {
public:
    QDateTime clock = QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0));
    QStringList calls;  // one line per call, in order
    std::function<void(int)> trayCallback;
    std::function<void(bool)> trayHostCallback;
    QMenu* trayMenu = nullptr;
    QPoint menuPosition{600, 700};
    std::vector<NotifyIconData> trayCalls;
    std::vector<int> trayMessages;
    QStringList messageBoxes;
    std::function<void(const QString&)> onMessageBox;
    int beeps = 0;
    bool waveResult = true;
    int mciPlayResult = 0;
    QStringList wavesPlayed;  // "path xN"
    QString runtimeDir;
    bool ended = false;
    QHash<QString, QString> programsOnPath;
    bool startResult = true;
    std::vector<std::pair<QString, QStringList>> started;

    void setTime(const QString& hhmmss) { clock.setTime(QTime::fromString(hhmmss, QStringLiteral("HH:mm:ss"))); }
    void advanceMs(int ms) { clock = clock.addMSecs(ms); }
    int countCalls(const QString& prefix) const
    {
        int n = 0;
        for (const QString& c : calls) n += c.startsWith(prefix) ? 1 : 0;
        return n;
    }

    QDateTime now() override { return clock; }
    int registerIcon(const QImage&) override { return ++m_icons; }
    void shellNotifyIcon(int message, const NotifyIconData& data) override
    {
        trayMessages.push_back(message);
        trayCalls.push_back(data);
        calls << QStringLiteral("tray %1 icon %2").arg(message).arg(data.hIcon);
    }
    void setTrayCallback(std::function<void(int)> callback) override { trayCallback = std::move(callback); }
    void setTrayMenu(QMenu* menu) override { trayMenu = menu; }
    QPoint trayMenuPosition() override { return menuPosition; }
    void setTrayHostCallback(std::function<void(bool)> callback) override { trayHostCallback = std::move(callback); }
    std::int32_t setForegroundWindow(QWidget* w) override
    {
        calls << QStringLiteral("foreground %1").arg(objectName(w));
        return 1;
    }
    std::int32_t setWindowPosTopmost(QWidget* w) override
    {
        calls << QStringLiteral("topmost %1").arg(objectName(w));
        return 1;
    }
    void beep() override
    {
        ++beeps;
        calls << QStringLiteral("beep");
    }
    void messageBox(const QString& text) override
    {
        messageBoxes << text;
        calls << QStringLiteral("messagebox ") + text;
        if (onMessageBox) onMessageBox(text);
    }
    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        started.emplace_back(program, arguments);
        calls << QStringLiteral("start ") + program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return startResult;
    }
    QString findProgram(const QString& name) override { return programsOnPath.value(name); }
    bool sndPlaySound(const QString& path, int flags) override
    {
        calls << QStringLiteral("snd \"%1\" %2").arg(path).arg(flags);
        return true;
    }
    bool playWave(const QString& path, int times) override
    {
        wavesPlayed << QStringLiteral("%1 x%2").arg(path).arg(times);
        calls << QStringLiteral("wave %1 x%2").arg(path, QString::number(times));
        return waveResult;
    }
    int mciSendString(const QString& command) override
    {
        calls << QStringLiteral("mci ") + command;
        return command.startsWith(QLatin1String("play")) ? mciPlayResult : 0;
    }
    QString runtimeFolder() override { return runtimeDir; }
    bool setWallpaper(const QString& path) override
    {
        wallpapers << path;
        if (!wallpaperFailure.isEmpty() && wallpaperFailed) wallpaperFailed(wallpaperFailure);
        return true;
    }
    void setWallpaperFailureCallback(std::function<void(const QString&)> callback) override
    {
        wallpaperFailed = std::move(callback);
    }
    QStringList wallpapers; // every wallpaper asked for, in order ("" for a removal)
    QString wallpaperFailure;  // when set, every change is refused for this reason
    std::function<void(const QString&)> wallpaperFailed;
    void endProgram() override
    {
        ended = true;
        calls << QStringLiteral("end");
    }

private:
    static QString objectName(QWidget* w);
    int m_icons = 0;
};
