#include "core/alarms/alarm_engine.h"
#include "clock/load_error_window.h"
#include "clock/message_window.h"
#include "clock/warning_window.h"
#include "dialogs/about_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/overwrite_window.h"
#include "support/tick_driver.h"

#include <gtest/gtest.h>

// A close request (a tiling manager's close key, wmctrl -c, WM_DELETE_WINDOW) reaches a window
// as a close event whatever its title bar shows: it must do what the window's own way out does.
namespace {
struct CloseRequestTest : ProgramTest {
    Form4& f = p.form4();
    void SetUp() override
    {
        ProgramTest::SetUp();  // 09:00:00
        p.form1().mAlarmSet_Click();
        Form4Controls& c = f.c();
        c.txtTime[1].setText("9");
        c.txtTime[2].setText("0");
        c.txtTime[3].setText("25");
        f.cmdAdd_Click();
        c.lstMessage.AddItem("Tea at 09:00:25");
    }
    QStringList lists() { return f.c().lstData.items() + f.c().lstMessage.items(); }
};
}  // namespace

TEST_F(CloseRequestTest, AlarmSetIsHiddenAsByExitAndItsAlarmSoonDueStillRings)
{
    f.window()->move(200, 100);
    f.window()->close();
    EXPECT_FALSE(f.Visible());
    const SettingsRecord r = t.record(1);
    EXPECT_EQ(r.Label().trimmed() + QString::number(r.Value1), QStringLiteral("[TimeInputLoc]1500"));
    tickUntil(t, QStringLiteral("09:00:25"));
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gAppPath + QStringLiteral("ding.wav x1")});
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("Tea at 09:00:25"));
}

TEST_F(CloseRequestTest, YesAfterTheCloseWritesTheListAndNeverAFreshWindowsEmptyOne)
{
    const QByteArray old("\"twice 23:00:00\"\r\n");
    t.writeFile(QStringLiteral("my.dat"), old);
    p.form8().SaveFileClick(QStringLiteral("my.dat"));
    f.window()->close();
    p.form13().cmdYes_Click();
    EXPECT_EQ(t.readFile(QStringLiteral("my.dat")), QByteArray("\"once 09:00:25\"\r\n\"Tea at 09:00:25\"\r\n"));

    // Emptied and closed, the window is unloaded by the clock: a Yes then has no list to write.
    t.writeFile(QStringLiteral("my.dat"), old);
    p.form8().SaveFileClick(QStringLiteral("my.dat"));
    f.cmdDeleteAll_Click();
    f.window()->close();
    tickOnce(t);
    p.form13().cmdYes_Click();
    EXPECT_EQ(t.readFile(QStringLiteral("my.dat")), old);
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(p.form11().LabelText(), QStringLiteral("my.dat, file cannot be saved: the alarm list is no longer open"));
}

TEST_F(CloseRequestTest, EveryOtherWindowClosesAsItsOwnButtonAndTakesNothingFromTheLists)
{
    f.c().lstData.setListIndex(0);
    const QStringList before = lists();
    p.form3().Show();
    p.form6().Show();
    p.form10().Show();
    p.form11().AnswerOk(QStringLiteral("Hello"));
    p.form13().FileAlreadyExist([] {});
    for (FormBase* form : std::initializer_list<FormBase*>{&p.form3(), &p.form6(), &p.form10(), &p.form11(), &p.form13()}) {
        form->window()->close();
        EXPECT_FALSE(form->Loaded());
    }
    // The chooser, then the message input that took the alarm's message out for editing.
    f.cmdLoad_Click();
    p.form14().window()->close();
    f.lstData_DblClick();
    EXPECT_EQ(lists().size(), before.size() - 1);
    p.form5().window()->close();
    EXPECT_FALSE(p.form14().Loaded() || p.form5().Loaded());
    EXPECT_EQ(p.gFrontCode, 0);
    EXPECT_EQ(lists(), before);
    EXPECT_TRUE(f.c().lstData.Visible());
}
