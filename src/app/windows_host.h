#pragma once
#include "core/alarms/alarm_host.h"
#include "core/alarms/alarm_set_controls.h"

class Program;

// The windows as the alarm engine and the tick see them: the lists of the Alarm Set window, the
// warning, overwrite and load-error windows, the settings window's boxes, sound and messages.
class WindowsHost final : public AlarmHost {
public:
    explicit WindowsHost(Program& program) : p(program) {}

    QDateTime now() override;
    ListBox& lstData() override;
    ListBox& lstMessage() override;
    bool listsLoaded() override;
    TwipsPlace listWindowPlace() override;
    void moveListWindow(TwipsPlace at) override;

    void ring(const QString& playTimes, const QString& time) override;
    void announceMissed(const QString& time) override;
    void showMessage(const QString& time) override;

    void tell(const QString& text) override;
    void askOverwrite(std::function<void()> write) override;
    void showLoadErrors(const QStringList& lines) override;
    void setSoundSettings(std::int16_t soundOn, std::int16_t errMsgPop) override;
    void loadWallpaperWindowHidden() override;
    bool openTextEditor(const QString& path) override;
    void trySong(const QString& path) override;

private:
    // The Alarm Set window's controls, loading the window when it is not.
    Form4Controls& lists();
    Program& p;
};
