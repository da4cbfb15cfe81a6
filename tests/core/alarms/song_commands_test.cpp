#include "recording_host.h"

#include <gtest/gtest.h>

using SongCommandsTest = EngineTest;

TEST_F(SongCommandsTest, SongListHoldsExactWaveNamesInNameOrderOnce)
{
    for (const char* name : {"bell.wav", "Gong.wav", "notes.txt", "x.WAV", "alarm.wav"})
        writeFile(QString::fromLatin1(name), "RIFF");
    VBool filled = VFalse;  // as the Alarm Set window's load sets it
    e.SongDropDown(filled, c.cmbSong);
    const QStringList names{"alarm", "bell", "Gong"};
    EXPECT_EQ(c.cmbSong.items(), names);
    EXPECT_EQ(filled, VTrue);

    writeFile(QStringLiteral("chime.wav"), "RIFF");  // not seen until the window is new
    e.SongDropDown(filled, c.cmbSong);
    EXPECT_EQ(c.cmbSong.ListCount(), 3);
}

TEST_F(SongCommandsTest, ChoosingASongSetsThePathAndStoresRecordThree)
{
    const QString before = p.gSongPath;
    const QByteArray iniBefore = readFile(QStringLiteral("voz.ini"));
    c.cmbSong.AddItems({"alarm", "bell"});
    e.SongClick(c.cmbSong);  // nothing chosen
    e.PlayBClick(c.cmbSong);
    EXPECT_EQ(p.gSongPath, before);
    EXPECT_EQ(readFile(QStringLiteral("voz.ini")), iniBefore);
    EXPECT_TRUE(host.tried.isEmpty());

    p.settingsRecord.Value1 = 77;  // left in the shared buffer by an earlier record
    c.cmbSong.setListIndex(1);
    e.SongClick(c.cmbSong);
    EXPECT_EQ(p.gSongPath, p.gAppPath + QStringLiteral("bell.wav"));
    const QByteArray ini = readFile(QStringLiteral("voz.ini"));
    ASSERT_EQ(ini.size(), 3 * 51);
    EXPECT_EQ(ini.mid(2 * 51), makeRecord(QStringLiteral("[SongName]"), 0, 0, QStringLiteral("bell")).toBytes());
}

TEST_F(SongCommandsTest, TryingTheSongPlaysItOnceEvenWithSoundOff)
{
    p.gSoundOn = VFalse;
    ComboBox songs;  // a list of its own: picking in the window's list would choose the song
    songs.AddItems({"alarm", "bell"});
    songs.setListIndex(0);
    e.PlayBClick(songs);
    EXPECT_EQ(host.tried, QStringList{p.gAppPath + QStringLiteral("alarm.wav")});
    EXPECT_EQ(p.gSongPath, p.gAppPath + QStringLiteral("ding.wav"));  // trying is not choosing
}

TEST_F(SongCommandsTest, MessageViewShowsAllMessagesJoinedAndHidesAgain)
{
    e.ViewMClick(c.txtViewM, c.lstMessage, c.cmdViewM);  // no messages
    EXPECT_FALSE(c.txtViewM.Visible());
    EXPECT_TRUE(c.txtViewM.Text().isEmpty());
    EXPECT_EQ(c.cmdViewM.Caption(), QStringLiteral("View Message"));

    c.lstMessage.AddItems({"tea at 07:30:00", "bus at 08:00:00", "call at 09:15:00"});
    e.ViewMClick(c.txtViewM, c.lstMessage, c.cmdViewM);
    const QString joint = QString(199, QLatin1Char(' ')) + QStringLiteral("\r\n ^-^ ");
    EXPECT_EQ(c.txtViewM.Text(),
              QStringLiteral("tea at 07:30:00") + joint + QStringLiteral("bus at 08:00:00") + joint +
                  QStringLiteral("call at 09:15:00"));
    EXPECT_TRUE(c.txtViewM.Visible());
    EXPECT_EQ(c.cmdViewM.Caption(), QStringLiteral("Hide Message"));

    e.ViewMClick(c.txtViewM, c.lstMessage, c.cmdViewM);
    EXPECT_FALSE(c.txtViewM.Visible());
    EXPECT_TRUE(c.txtViewM.Text().isEmpty());
    EXPECT_EQ(c.cmdViewM.Caption(), QStringLiteral("View Message"));
}
