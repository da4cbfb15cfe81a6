#include "clock/message_window.h"
#include "clock/sound_module.h"
#include "support/tick_driver.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
struct SoundModuleTest : ProgramTest {
    Form9& s = p.form9();
    void SetUp() override
    {
        ProgramTest::SetUp();
        QDir().mkpath(t.platform.runtimeDir);
        p.gNextAlarmTime = QStringLiteral("07:30:00");
    }
};
}  // namespace

TEST_F(SoundModuleTest, PlayCountReachesThePlayerAndSoundOffPlaysNothing)
{
    t.writeFile(QStringLiteral("ding.wav"), "RIFF");
    s.PlaySound(QStringLiteral("repeat"), p.gSongPath);
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gSongPath + QStringLiteral(" x0")});
    p.gSoundOn = VFalse;
    s.PlaySound(QStringLiteral("once"), p.gSongPath);
    EXPECT_EQ(t.platform.wavesPlayed.size(), 1);
    EXPECT_TRUE(t.platform.messageBoxes.isEmpty());
}

TEST_F(SoundModuleTest, MissingSongStopsTheClockAndTrayWhileItsBoxIsUp)
{
    t.platform.waveResult = false;
    p.gSongPath = p.gAppPath + QStringLiteral("bell.wav");
    bool clockStopped = false, trayOff = false;
    int trayActionsDuringBox = 0;
    t.platform.onMessageBox = [&](const QString&) {
        clockStopped = !p.form1().Timer1Enabled();
        trayOff = p.gTrayMenuOn == VFalse;
        const int before = t.platform.calls.size();
        t.platform.trayCallback(WM_LBUTTONUP);
        trayActionsDuringBox = t.platform.calls.size() - before;
    };
    s.PlaySound(QStringLiteral("once"), p.gSongPath);
    // The program folder is taken off the path, whatever its length.
    EXPECT_EQ(t.platform.messageBoxes, QStringList{"bell.wav, wave file not found, alarm at 07:30:00"});
    EXPECT_TRUE(clockStopped);
    EXPECT_TRUE(trayOff);
    EXPECT_EQ(trayActionsDuringBox, 0);
    EXPECT_TRUE(p.form1().Timer1Enabled());
    EXPECT_EQ(p.gTrayMenuOn, VTrue);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("mci")), 0);  // no fallback tune

    t.platform.messageBoxes.clear();
    p.gSongPath = QStringLiteral("/elsewhere/songs/bell.wav");
    s.PlaySound(QStringLiteral("once"), p.gSongPath);
    EXPECT_EQ(t.platform.messageBoxes,
              QStringList{QStringLiteral("/elsewhere/songs/bell.wav, wave file not found, alarm at 07:30:00")});
}

TEST_F(SoundModuleTest, UnplayableSongFallsBackToTheMidiTune)
{
    t.platform.waveResult = false;
    t.writeFile(QStringLiteral("ding.wav"), "not a wave");
    t.writeFile(QStringLiteral("air.mid"), "MThd tune");
    s.PlaySound(QStringLiteral("once"), p.gSongPath);
    const QString copy = t.platform.runtimeDir + QStringLiteral("air.mid");
    EXPECT_EQ(QFile(copy).size(), 9);
    const QStringList mci = t.platform.calls.filter(QStringLiteral("mci "));
    EXPECT_EQ(mci, (QStringList{QStringLiteral("mci close tmpMidiPlay"),
                                QStringLiteral("mci open \"") + copy + QStringLiteral("\" type sequencer alias tmpMidiPlay"),
                                QStringLiteral("mci play tmpMidiPlay")}));
    EXPECT_TRUE(t.platform.messageBoxes.isEmpty());

    // The tune fails too: the error box, with the clock stopped meanwhile.
    t.platform.mciPlayResult = 263;
    s.PlaySound(QStringLiteral("once"), p.gSongPath);
    EXPECT_EQ(t.platform.messageBoxes, QStringList{"Error found, Sound cannot be played, alarm at 07:30:00"});

    // With error messages off nothing is played or shown.
    t.platform.calls.clear();
    t.platform.messageBoxes.clear();
    p.gErrMsgPop = VFalse;
    s.PlaySound(QStringLiteral("once"), p.gSongPath);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("mci")), 0);
    EXPECT_TRUE(t.platform.messageBoxes.isEmpty());
}

TEST_F(SoundModuleTest, ShowMessageTakesTheFirstForItsTimeAndAppendsToAnOpenWindow)
{
    queue(t, {}, {"first at 07:30:00", "other at 08:00:00", "second at 07:30:00"});
    s.sShowMsg(QStringLiteral("09:00:00"));
    EXPECT_FALSE(p.form6().Loaded());  // no message, no window

    s.sShowMsg(QStringLiteral("07:30:00"));
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("first at 07:30:00"));
    EXPECT_EQ(p.form4().c().lstMessage.items(), (QStringList{"other at 08:00:00", "second at 07:30:00"}));

    p.form6().Minimize();
    s.sShowMsg(QStringLiteral("07:30:00"));
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("first at 07:30:00") + QString(199, QLatin1Char(' ')) +
                                       QStringLiteral("\r\n ^-^ *************\r\nsecond at 07:30:00"));
    EXPECT_FALSE(p.form6().Minimized());
    EXPECT_EQ(p.form4().c().lstMessage.items(), QStringList{QStringLiteral("other at 08:00:00")});
}

TEST_F(SoundModuleTest, SoundOffStillShowsTheMessageOfAFiringAlarm)
{
    p.gSoundOn = VFalse;
    t.platform.setTime(QStringLiteral("07:29:59"));
    queue(t, {QStringLiteral("once 07:30:00")}, {QStringLiteral("Tea at 07:30:00")});
    tickUntil(t, QStringLiteral("07:30:00"));
    EXPECT_TRUE(t.platform.wavesPlayed.isEmpty());
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("Tea at 07:30:00"));
}
