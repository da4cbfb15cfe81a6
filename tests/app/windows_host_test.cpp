#include "app/windows_host.h"
#include "clock/load_error_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/overwrite_window.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

// What the engine asks of its host reaches the windows: a place at the Alarm Set window's load,
// load errors, the overwrite question's answer, trying a song.
TEST_F(ProgramTest, HostCarriesTheEnginesRequestsToTheWindows)
{
    t.storeRecord(1, "[TimeInputLoc]", 1500, 3000, {});
    p.form4().Load();
    EXPECT_EQ(p.form4().window()->pos(), QPoint(200, 100));

    AlarmHost& host = p.host();
    const int beeps = t.platform.beeps;
    host.showLoadErrors({QStringLiteral("day.dat"), QStringLiteral("Invalid data in file, Data  2")});
    EXPECT_EQ(t.platform.beeps, beeps + 1);
    ASSERT_TRUE(p.form10().Visible());
    EXPECT_EQ(p.form10().ErrorLines(),
              (QStringList{QStringLiteral("day.dat"), QStringLiteral("Invalid data in file, Data  2")}));

    int writes = 0;
    host.askOverwrite([&] { ++writes; });
    p.form13().cmdCancel_Click();
    EXPECT_EQ(writes, 0);
    host.askOverwrite([&] { ++writes; });
    ASSERT_TRUE(p.form13().Visible());
    p.form13().cmdYes_Click();
    EXPECT_EQ(writes, 1);
    EXPECT_FALSE(p.form13().Loaded());

    host.trySong(QStringLiteral("/x/bell.wav"));
    EXPECT_EQ(t.platform.calls.last(), QStringLiteral("snd \"/x/bell.wav\" 1"));
}
