#include "app/windows_host.h"
#include "clock/load_error_window.h"
#include "dialogs/alarm_set_window.h"
#include "support/test_program.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// What the engine asks of its host reaches the windows: a place at the Alarm Set window's load,
// load errors, trying a song. The overwrite question: file_chooser_test's save over a file.
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
    EXPECT_EQ(p.form10().ErrorLines(), (QStringList{"day.dat", "Invalid data in file, Data  2"}));
    QTest::mouseClick(p.form10().cmdOk, Qt::LeftButton);
    EXPECT_FALSE(p.form10().Loaded());
    EXPECT_TRUE(p.form10().ErrorLines().isEmpty());  // closing emptied the list

    host.trySong(QStringLiteral("/x/bell.wav"));
    EXPECT_EQ(t.platform.calls.last(), QStringLiteral("snd \"/x/bell.wav\" 1"));
}
