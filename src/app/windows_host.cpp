#include "app/windows_host.h"

#include "app/check_box.h"
#include "app/form.h"
#include "app/program.h"
#include "clock/load_error_window.h"
#include "clock/message_window.h"
#include "clock/sound_module.h"
#include "clock/warning_window.h"
#include "dialogs/overwrite_window.h"
#include "dialogs/settings_window.h"
#include "platform/text_editor.h"
#include "wallpaper/wallpaper_window.h"

#include <QCoreApplication>

QDateTime WindowsHost::now() { return p.platform.now(); }
Form4Controls& WindowsHost::lists()
{
    p.alarmListWindow().Load();
    return *p.alarmListControls;
}

ListBox& WindowsHost::lstData() { return lists().lstData; }
ListBox& WindowsHost::lstMessage() { return lists().lstMessage; }
bool WindowsHost::listsLoaded() { return p.alarmListWindow().Loaded(); }

TwipsPlace WindowsHost::listWindowPlace()
{
    const FormBase& w = p.alarmListWindow();
    return {w.TopTwips(), w.LeftTwips()};
}

void WindowsHost::moveListWindow(TwipsPlace at) { p.alarmListWindow().MoveTwips(at.top, at.left); }

void WindowsHost::ring(const QString& playTimes, const QString& time)
{
    Form9& sound = p.form9();
    sound.PlaySound(playTimes, p.gSongPath);
    if (lists().lstMessage.ListCount() >= 1) sound.sShowMsg(time);
    sound.Unload();
}

void WindowsHost::announceMissed(const QString& time)
{
    Form6& msg = p.form6();
    if (!msg.Visible()) {
        msg.SetMsgText(QStringLiteral("alarm at ") + time);
        msg.Show();
        QCoreApplication::processEvents();
    } else {
        p.gForegroundResult = p.platform.setForegroundWindow(msg.window());
        msg.SetMsgText(msg.MsgText() + QString(199, QLatin1Char(' ')) + QStringLiteral("\r\n ^-^ alarm at ") + time);
    }
}

void WindowsHost::showMessage(const QString& time)
{
    p.form9().sShowMsg(time);
    p.form9().Unload();
}

void WindowsHost::tell(const QString& text) { p.form11().AnswerOk(text); }

void WindowsHost::askOverwrite(std::function<void()> write) { p.form13().FileAlreadyExist(std::move(write)); }

void WindowsHost::showLoadErrors(const QStringList& lines)
{
    p.platform.beep();
    Form10& errors = p.form10();
    for (const QString& line : lines) errors.AddErrorLine(line);
    errors.Show();
}

void WindowsHost::setSoundSettings(std::int16_t soundOn, std::int16_t errMsgPop)
{
    // The settings window's boxes set the flags (and show the values when it is open).
    Form7& f7 = p.form7();
    f7.Load();
    f7.chkSoundOn->setValue(soundOn);
    f7.chkErrMsgPop->setValue(errMsgPop);
    if (!f7.Visible()) f7.Unload();
}

void WindowsHost::loadWallpaperWindowHidden() { p.form12().Load(); }

bool WindowsHost::openTextEditor(const QString& path) { return startTextEditor(p.platform, path); }

void WindowsHost::trySong(const QString& path) { p.platform.sndPlaySound(path, SND_ASYNC); }
