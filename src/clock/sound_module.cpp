#include "clock/sound_module.h"

#include "app/program.h"
#include "clock/message_window.h"
#include "dialogs/alarm_set_window.h"
#include "clock/sound_kit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

Form9::Form9(Program& program) : p(program) {}

void Form9::PlaySound(const QString& strTimes, const QString& sSoundName)
{
    m_loaded = true;
    if (p.gSoundOn == 0) return;
    std::int16_t iCanPlay = -1;
    {
        SoundKit kit(p.platform);
        kit.PlayWave(strTimes, sSoundName, iCanPlay);
    }
    if (iCanPlay == 0) eErrorSong(iCanPlay);
}

QString Form9::SongPathForMessage() const
{
    if (!p.gAppPath.isEmpty() && p.gSongPath.startsWith(p.gAppPath)) return p.gSongPath.mid(p.gAppPath.size());
    return p.gSongPath;
}

void Form9::ErrorBox(const QString& text)
{
    p.gTrayMenuOn = VFalse;
    p.setTickRunning(false);
    p.platform.messageBox(text);
    p.setTickRunning(true);
    p.gTrayMenuOn = VTrue;
}

void Form9::eErrorSong(std::int16_t& iCanPlay)
{
    m_loaded = true;
    if (!QFileInfo(p.gSongPath).isFile()) {
        ErrorBox(SongPathForMessage() + QStringLiteral(", wave file not found, alarm at ") + p.gNextAlarmTime);
        return;
    }
    if (iCanPlay == 0 && p.gErrMsgPop == VTrue && p.gSoundOn == VTrue) MidiSound();
}

void Form9::MidiSound()
{
    m_loaded = true;
    if (p.gSoundOn == 0) return;
    const QString source = p.gAppPath + QStringLiteral("air.mid");
    const QString copy = p.platform.runtimeFolder() + QStringLiteral("air.mid");
    if (QFileInfo(source).isFile()) {
        QFile::remove(copy);
        QFile::copy(source, copy);
    }
    p.platform.mciSendString(QStringLiteral("close tmpMidiPlay"));
    p.platform.mciSendString(QStringLiteral("open \"") + copy + QStringLiteral("\" type sequencer alias tmpMidiPlay"));
    const int result = p.platform.mciSendString(QStringLiteral("play tmpMidiPlay"));
    if (result != 0)
        ErrorBox(QStringLiteral("Error found, Sound cannot be played, alarm at ") + p.gNextAlarmTime);
}

void Form9::sShowMsg(const QString& tTime)
{
    m_loaded = true;
    ListBox& lstMessage = p.form4().c().lstMessage;
    QString found;
    bool any = false;
    for (const QString& item : lstMessage.items()) {
        if (item.right(8) == tTime) {
            found = item;
            any = true;
            break;
        }
    }
    if (!any) return;
    Form6& msg = p.form6();
    if (msg.Visible()) {
        // Built in one piece: the text may be megabytes long.
        const QString before = msg.MsgText();
        const QString joint = QString(199, QLatin1Char(' ')) + QStringLiteral("\r\n ^-^ *************\r\n");
        QString text;
        text.reserve(before.size() + joint.size() + found.size());
        text += before;
        text += joint;
        text += found;
        msg.SetMsgText(text);
        msg.SetNormalState();
    } else {
        msg.SetMsgText(found);
        msg.Show();
        QCoreApplication::processEvents();
    }
    // Pending events may have changed the list meanwhile: remove the message itself, not an index.
    ListBox& list = p.form4().c().lstMessage;
    const int at = static_cast<int>(list.items().indexOf(found));
    if (at >= 0) list.RemoveItem(at);
}
