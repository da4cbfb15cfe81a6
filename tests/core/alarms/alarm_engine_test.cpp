#include "core/files/settings_file.h"
#include "support/full_disk.h"
#include "support/unreadable_file.h"
#include "recording_host.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
struct AlarmEngineTest : EngineTest {
    VBool Switch = VTrue;  // the Alarm Set window's variables as its load sets them
    QString strTimesOfPlay = QStringLiteral("once");
    void typed(const char* h, const char* m, const char* s, const char* am)
    {
        c.txtTime[1].setText(QString::fromLatin1(h));
        c.txtTime[2].setText(QString::fromLatin1(m));
        c.txtTime[3].setText(QString::fromLatin1(s));
        c.txtAm.setText(QString::fromLatin1(am));
    }
    void add() { e.AddClick(Switch, c.txtTime, c.txtAm, c.cbPlayTimes, strTimesOfPlay, c.cbHour, c.cbMin, c.cbSec); }
    void typeAndAdd(const char* h, const char* m, const char* s, const char* am)
    {
        typed(h, m, s, am);
        add();
    }
};
}  // namespace

TEST_F(AlarmEngineTest, TypedTimeIsPaddedAndTurnedTo24Hours)
{
    typeAndAdd("7", "5", "3", "PM");
    const QStringList boxes{c.txtTime[1].Text(), c.txtTime[2].Text(), c.txtTime[3].Text()};
    EXPECT_EQ(boxes, (QStringList{"07", "05", "03"}));
    EXPECT_EQ(c.lstData.items(), QStringList{"once 19:05:03"});
    EXPECT_EQ(p.gTimerArmed, VTrue);
    EXPECT_EQ(p.gHasAlarms, VTrue);
    EXPECT_EQ(p.gListChanged, VTrue);

    typeAndAdd("12", "00", "00", "PM");
    EXPECT_EQ(c.lstData.items().first(), QStringLiteral("once 12:00:00"));
    typeAndAdd("12", "30", "00", "AM");  // 00:30:00 has passed at 10:00
    EXPECT_EQ(host.told, QStringList{"Time was passed or next day"});
}

TEST_F(AlarmEngineTest, RefusalsShowTheirWarningAndLeaveTheList)
{
    const struct {
        const char *h, *m, *s;
    } cases[] = {{"0", "10", "10"}, {"13", "10", "10"}, {"11", "60", "00"}, {"11", "00", "60"}, {"11", "", "00"}};
    for (const auto& k : cases) typeAndAdd(k.h, k.m, k.s, "AM");
    EXPECT_EQ(host.told, QStringList(5, QStringLiteral("Invalid input")));
    EXPECT_TRUE(c.lstData.items().isEmpty());
    EXPECT_EQ(p.gHasAlarms, VFalse);
    EXPECT_EQ(p.gTimerArmed, VFalse);

    typeAndAdd("10", "00", "00", "AM");  // exactly now
    typeAndAdd("10", "00", "01", "AM");
    c.cbPlayTimes.setListIndex(1);
    add();  // same time, other word
    EXPECT_EQ(host.told.mid(5), (QStringList{"Time was passed or next day", "Double time alarm is not permitted"}));
    EXPECT_EQ(c.lstData.items(), QStringList{"once 10:00:01"});
    EXPECT_EQ(strTimesOfPlay, QStringLiteral("twice"));
}

TEST_F(AlarmEngineTest, ListModeTakesTheDropDownsAndNeedsAllThree)
{
    e.HourDropDown(Switch, c.txtTime, c.shpInputTime, c.shpClickTime);
    EXPECT_EQ(Switch, VFalse);
    EXPECT_FALSE(c.txtTime[1].Enabled());
    EXPECT_TRUE(c.shpClickTime.Visible());
    EXPECT_FALSE(c.shpInputTime.Visible());
    e.MinDropDown(Switch, c.cbMin, c.shpInputTime, c.shpClickTime, c.txtTime);
    e.MinDropDown(Switch, c.cbMin, c.shpInputTime, c.shpClickTime, c.txtTime);
    EXPECT_EQ(c.cbMin.ListCount(), 60);
    EXPECT_EQ(c.cbMin.List(59), QStringLiteral("59"));

    typed("", "", "", "PM");  // the boxes are not looked at in list mode
    c.cbHour.setListIndex(2);  // "03"
    c.cbMin.setListIndex(45);
    add();
    EXPECT_EQ(host.told, QStringList{"invalid input"});
    EXPECT_EQ(p.gHasAlarms, 0);
    e.SecDropDown(Switch, c.cbSec, c.shpInputTime, c.shpClickTime, c.txtTime);
    c.cbSec.setListIndex(7);
    add();
    EXPECT_EQ(c.lstData.items(), QStringList{"once 15:45:07"});

    e.Label1Click(Switch, c.shpInputTime, c.shpClickTime, c.txtTime);
    EXPECT_EQ(Switch, VTrue);
    EXPECT_TRUE(c.txtTime[3].Enabled());
    EXPECT_TRUE(c.shpInputTime.Visible());
    EXPECT_FALSE(c.shpClickTime.Visible());
}

TEST_F(AlarmEngineTest, AmPmSwitchAndMessageRemoval)
{
    TextBox am;
    am.setText(QStringLiteral("AM"));
    e.UpClick(am);
    EXPECT_EQ(am.Text(), QStringLiteral("PM"));
    e.DownClick(am);
    EXPECT_EQ(am.Text(), QStringLiteral("AM"));
    am.setText(QStringLiteral("pm"));
    e.UpClick(am);
    EXPECT_EQ(am.Text(), QStringLiteral("pm"));

    c.lstData.setItems({"once 11:00:00"});
    c.lstData.setListIndex(0);
    c.lstMessage.setItems({"a at 11:00:00", "b at 12:00:00", "c at 11:00:00"});
    e.cClearMsg(c.lstMessage, c.lstData);
    EXPECT_EQ(c.lstMessage.items(), (QStringList{"b at 12:00:00", "c at 11:00:00"}));
}

TEST_F(AlarmEngineTest, LoadShowsBadLinesAndBeepsOnceThenMissingFileWarns)
{
    writeFile(QStringLiteral("day.dat"), "\"once 11:00:00\"\r\n\"bad\"\r\n\"twice 10:30:00\"\r\n\"worse\"\r\n");
    e.LoadClick(QStringLiteral("day.dat"));
    EXPECT_EQ(host.loadErrors,
              (QList<QStringList>{{"day.dat", "Invalid data in file, Data  2", "Invalid data in file, Data  4"}}));
    EXPECT_EQ(c.lstData.items(), (QStringList{"twice 10:30:00", "once 11:00:00"}));
    EXPECT_EQ(p.gTimerArmed, VTrue);
    EXPECT_EQ(p.gHasAlarms, VTrue);
    writeFile(QStringLiteral("good.dat"), "\"thrice 09:00:00\"\r\n");
    e.LoadClick(QStringLiteral("good.dat"));
    EXPECT_EQ(host.loadErrors.size(), 1) << "a clean file shows no error window";

    p.gTimerArmed = VFalse;
    e.LoadClick(QStringLiteral("none.dat"));
    EXPECT_EQ(host.told, QStringList{"none.dat, file not found"});
    EXPECT_EQ(p.gTimerArmed, VFalse);
}

TEST_F(AlarmEngineTest, LoadingAFileTooLargeOrUnreadableSaysWhyAndChangesNothing)
{
    c.lstData.setItems({"once 11:00:00"});
    QStringList expected;
    // Too large to be a day's alarms: 2 GiB, sparse.
    writeFile(QStringLiteral("my.dat"), {});
    ASSERT_TRUE(QFile::resize(path(QStringLiteral("my.dat")), std::int64_t{2} << 30));
    e.LoadClick(QStringLiteral("my.dat"));
    expected << QStringLiteral("my.dat, file is too large: a data file holds at most 64 MB");
    for (const UnreadableFile& kind : unreadableFiles()) {
        SCOPED_TRACE(kind.what);
        placeUnreadable(path(QStringLiteral("my.dat")), kind);
        p.gTimerArmed = VFalse;
        e.LoadClick(QStringLiteral("my.dat"));
        expected << QStringLiteral("my.dat, file cannot be read: ") + kind.reason;
        EXPECT_EQ(host.told, expected);
        EXPECT_EQ(c.lstData.items(), QStringList{"once 11:00:00"});
        EXPECT_TRUE(host.loadErrors.isEmpty());
        EXPECT_EQ(p.gTimerArmed, VFalse);
    }
    QFile::remove(path(QStringLiteral("my.dat")));
}

TEST_F(AlarmEngineTest, SavingWritesBothListsAndNeverOverwritesWithoutAsking)
{
    c.lstData.setItems({"once 11:00:00", "twice 12:00:00"});
    c.lstMessage.setItems({"Noon at 12:00:00"});
    e.SaveFileClick(QStringLiteral("day.dat"));
    EXPECT_EQ(readFile(QStringLiteral("day.dat")),
              QByteArray("\"once 11:00:00\"\r\n\"twice 12:00:00\"\r\n\"Noon at 12:00:00\"\r\n"));
    c.lstData.Clear();
    e.SaveFileClick(QStringLiteral("day.dat"));
    EXPECT_EQ(readFile(QStringLiteral("day.dat")).count('\n'), 3);  // asked, not yet answered
    // "Yes" runs the write it was given; with the Alarm Set window gone there is nothing to write.
    ASSERT_TRUE(host.pendingWrite);
    host.loaded = false;
    host.pendingWrite();
    EXPECT_EQ(readFile(QStringLiteral("day.dat")).count('\n'), 3);
    EXPECT_EQ(host.told, QStringList{"day.dat, file cannot be saved: the alarm list is no longer open"});
    host.loaded = true;
    host.pendingWrite();
    EXPECT_EQ(readFile(QStringLiteral("day.dat")), QByteArray("\"Noon at 12:00:00\"\r\n"));
}

TEST_F(AlarmEngineTest, SavingOnAFullDiskKeepsTheOldFileAndWarns)
{
    FullDiskFolder disk;
    if (!disk.ok()) GTEST_SKIP() << qPrintable(disk.whyNot());
    p.gAppPath = disk.path() + QLatin1Char('/');
    c.lstData.setItems({"once 11:00:00"});
    e.SaveFileClick(QStringLiteral("my.dat"));
    const QByteArray old = QByteArray("\"once 11:00:00\"\r\n");
    disk.fill();
    for (int i = 0; i < 100; ++i) c.lstData.AddItem(QStringLiteral("twice 12:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
    // The overwrite confirmation's way of writing the file again.
    EXPECT_FALSE(e.WriteDataFile(QStringLiteral("my.dat")));
    EXPECT_EQ(readFile(QStringLiteral("my.dat")), old);
    EXPECT_EQ(host.told, QStringList{"my.dat, file cannot be saved: No space left on device"});
}

TEST_F(AlarmEngineTest, WindowStartAndExitUseTheSettingsFile)
{
    storeRecordIn(p.gAppPath, 1, QStringLiteral("[TimeInputLoc]"), 1500, 3000);
    storeRecordIn(p.gAppPath, 3, QStringLiteral("[SongName]"), 0, 0, QStringLiteral("bell"));
    storeRecordIn(p.gAppPath, 4, QStringLiteral("[Setting]"), 0, 1);
    host.clock.setTime(QTime(13, 0));
    Form4Controls fresh;
    e.fForm4Load(fresh.txtAm, fresh.chkEMPlay, fresh.cbEMPlay);
    EXPECT_EQ(fresh.txtAm.Text(), QStringLiteral("PM"));
    EXPECT_EQ(p.gSongPath, p.gAppPath + QStringLiteral("bell.wav"));
    EXPECT_EQ(host.soundSettings, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(std::pair(host.place.top, host.place.left), std::pair(1500.0, 3000.0));

    e.fForm4ExitClick(fresh.lstData);
    EXPECT_EQ(p.gAlarmWindowOpen, VFalse);
    SettingsRecord back;
    SettingsReader(p.gAppPath).read(1, back);
    EXPECT_EQ(trimBlanks(back.Label()), QStringLiteral("[TimeInputLoc]"));
    EXPECT_EQ(back.Value1, 1500);
    EXPECT_EQ(back.Value2, 3000);
    fresh.lstData.setItems({"once 14:00:00"});
    e.fForm4ExitClick(fresh.lstData);
    EXPECT_EQ(p.gAlarmWindowOpen, VTrue);
}
