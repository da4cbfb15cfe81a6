#include "core/alarms/alarm_engine.h"
#include "clock/main_window.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "support/test_program.h"
#include "support/unreadable_file.h"

#include <gtest/gtest.h>

namespace {
// Each test starts the program itself, after putting its files in place.
struct ProgramStart : ProgramTest {
    void SetUp() override {}
};
}  // namespace

TEST_F(ProgramStart, TrayIconAndTimerWithoutSettingsFile)
{
    t.start();
    EXPECT_TRUE(p.gAppPath.endsWith(QLatin1Char('/')));
    EXPECT_FALSE(p.form4().Loaded());  // nothing to load without automatic loading
    EXPECT_FALSE(p.form8().Loaded());  // the engine is released after start

    EXPECT_STREQ(p.gTrayIcon.szTip, "Voz");  // the tooltip; the record's other fields are read by no one
    ASSERT_EQ(t.platform.trayMessages.size(), 1u);
    EXPECT_EQ(t.platform.trayMessages[0], NIM_ADD);
    EXPECT_EQ(t.platform.trayCalls[0].hIcon, p.form1().Image1Handle());
    EXPECT_TRUE(p.form1().Timer1Enabled());
}

TEST_F(ProgramStart, SettingsRecordsFourToSixAtStart)
{
    // A flag holding 1 is not true: record 4 as "AutomaticLoadOn" loads my.dat, other words do not.
    for (const char* word : {"AutomaticLoadOn", "AutomaticLoadOff", "", "  AutomaticLoadOn  "}) {
        TestProgram t;
        t.platform.setTime(QStringLiteral("08:00:00"));
        t.storeRecord(4, QStringLiteral("garbage label"), 0, 0, QString::fromLatin1(word));  // label not compared
        t.writeFile(QStringLiteral("my.dat"), "\"once 09:00:00\"\r\n\"Wake up at 09:00:00\"\r\n");
        t.start();
        const bool on = QString::fromLatin1(word).trimmed() == QLatin1String("AutomaticLoadOn");
        SCOPED_TRACE(word);
        EXPECT_EQ(t.program.form4().Loaded(), on);
        if (on) {
            EXPECT_EQ(t.program.form4().c().lstData.items(), QStringList{QStringLiteral("once 09:00:00")});
            EXPECT_EQ(t.program.form4().c().lstMessage.items(), QStringList{QStringLiteral("Wake up at 09:00:00")});
            EXPECT_EQ(t.program.gTimerArmed, VTrue);
            EXPECT_EQ(t.program.gHasAlarms, VTrue);
        } else {
            EXPECT_EQ(t.program.gTimerArmed, VFalse);
        }
    }
}

TEST_F(ProgramStart, AutomaticLoadWithoutMyDatWarns)
{
    t.storeRecord(4, {}, 0, 0, QStringLiteral("AutomaticLoadOn"));
    t.start();
    EXPECT_EQ(warnings(), QStringList{QStringLiteral("my.dat, file not found")});
}

TEST_F(ProgramStart, UnreadableSettingsFileRunsOnDefaultsAndSaysSoOnce)
{
    for (const UnreadableFile& kind : unreadableFiles()) {
        SCOPED_TRACE(kind.what);
        TestProgram t;
        placeUnreadable(t.path(QStringLiteral("voz.ini")), kind);
        t.start();
        Program& p = t.program;
        EXPECT_EQ(t.warnings(), QStringList{"voz.ini, file cannot be read: " + kind.reason +
                                            ". Voz uses its default settings."});
        EXPECT_EQ(p.gSoundOn, VTrue);
        EXPECT_EQ(p.gErrMsgPop, VTrue);
        EXPECT_EQ(p.gSongPath, p.gAppPath + QStringLiteral("ding.wav"));
        // Windows that read it later keep their defaults quietly.
        p.form4().c();
        EXPECT_TRUE(p.form11Copies().empty());
    }
}
