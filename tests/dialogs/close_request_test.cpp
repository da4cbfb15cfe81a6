#include "alarms/alarm_engine.h"
#include "clock/load_error_window.h"
#include "clock/message_window.h"
#include "clock/warning_window.h"
#include "dialogs/about_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/overwrite_window.h"
#include "dialogs/settings_window.h"
#include "support/tick_driver.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>

// A close request (a tiling manager's close key, wmctrl -c, WM_DELETE_WINDOW) reaches a window
// as a close event, whatever its title bar shows: it must do what the window's own way out does.
namespace {
struct CloseRequestTest : ::testing::Test {
    TestProgram t;
    Program& p = t.program;
    Form4& f = p.form4();
    void SetUp() override
    {
        t.platform.setTime(QStringLiteral("09:00:00"));
        t.start();
        p.form1().mAlarmSet_Click();
    }
    // The alarm once at 09:00:25 with its message, typed and added as the user does.
    void addAlarmSoonDue()
    {
        Form4Controls& c = f.c();
        c.txtTime[1].setText(QStringLiteral("9"));
        c.txtTime[2].setText(QStringLiteral("0"));
        c.txtTime[3].setText(QStringLiteral("25"));
        f.cmdAdd_Click();
        c.lstMessage.AddItem(QStringLiteral("Tea at 09:00:25"));
        ASSERT_EQ(c.lstData.items(), QStringList{QStringLiteral("once 09:00:25")});
    }
    static void closeRequest(FormBase& form) { form.window()->close(); }
};
}  // namespace

TEST_F(CloseRequestTest, AlarmSetIsOnlyHiddenAndItsAlarmSoonDueStillRings)
{
    addAlarmSoonDue();
    f.window()->move(200, 100);
    closeRequest(f);
    EXPECT_TRUE(f.Loaded());
    EXPECT_FALSE(f.Visible());
    // As "Exit": the position is stored and the clock keeps the window.
    SettingsRecord r;
    SettingsReader(p.gAppPath).read(1, r);
    EXPECT_EQ(trimBlanks(r.Label()), QStringLiteral("[TimeInputLoc]"));
    EXPECT_EQ(r.Value1, 1500);
    EXPECT_EQ(r.Value2, 3000);
    EXPECT_EQ(p.gAlarmWindowOpen, VTrue);

    tickUntil(t, QStringLiteral("09:00:25"));
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gAppPath + QStringLiteral("ding.wav x1")});
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("Tea at 09:00:25"));
}

TEST_F(CloseRequestTest, YesToOverwriteAfterTheCloseWritesTheListElseKeepsTheFile)
{
    addAlarmSoonDue();
    const QByteArray old("\"twice 23:00:00\"\r\n");
    t.writeFile(QStringLiteral("my.dat"), old);
    p.form8().SaveFileClick(QStringLiteral("my.dat"));
    ASSERT_TRUE(p.form13().Visible());
    closeRequest(f);
    p.form13().cmdYes_Click();
    EXPECT_EQ(t.readFile(QStringLiteral("my.dat")), QByteArray("\"once 09:00:25\"\r\n\"Tea at 09:00:25\"\r\n"));

    // The clock unloads the window once its list is empty and it is closed: a Yes then has no
    // list to write, and a fresh window's empty one must not replace the file.
    t.writeFile(QStringLiteral("my.dat"), old);
    p.form8().SaveFileClick(QStringLiteral("my.dat"));
    f.cmdDeleteAll_Click();
    closeRequest(f);
    tickOnce(t);
    ASSERT_FALSE(f.Loaded());
    p.form13().cmdYes_Click();
    EXPECT_EQ(t.readFile(QStringLiteral("my.dat")), old);
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(p.form11().LabelText(),
              QStringLiteral("my.dat, file cannot be saved: the alarm list is no longer open"));
}

TEST_F(CloseRequestTest, EveryOtherWindowClosesAsItsOwnButtonDoes)
{
    addAlarmSoonDue();
    f.c().lstData.setListIndex(0);
    const struct {
        const char* name;
        std::function<FormBase&()> open;
    } windows[] = {
        {"About", [&]() -> FormBase& { p.form3().Show(); return p.form3(); }},
        {"Message", [&]() -> FormBase& { p.form6().SetMsgText(QStringLiteral("Hi")); p.form6().Show(); return p.form6(); }},
        {"Load errors", [&]() -> FormBase& { p.form10().AddErrorLine(QStringLiteral("x.dat")); p.form10().Show(); return p.form10(); }},
        {"Warning", [&]() -> FormBase& { p.form11().AnswerOk(QStringLiteral("Hello")); return p.form11(); }},
        {"Overwrite", [&]() -> FormBase& { p.form13().FileAlreadyExist(QStringLiteral("AlarmSet"), QStringLiteral("my.dat")); return p.form13(); }},
        {"Files", [&]() -> FormBase& { f.cmdLoad_Click(); return p.form14(); }},
        {"Input message", [&]() -> FormBase& { f.lstData_DblClick(); return p.form5(); }},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        FormBase& form = w.open();
        ASSERT_TRUE(form.Visible());
        closeRequest(form);
        EXPECT_FALSE(form.Loaded());
        EXPECT_EQ(p.gFrontCode, 0);
    }
    // None of them took anything from the lists.
    EXPECT_EQ(f.c().lstData.items(), QStringList{QStringLiteral("once 09:00:25")});
    EXPECT_EQ(f.c().lstMessage.items(), QStringList{QStringLiteral("Tea at 09:00:25")});
    EXPECT_TRUE(f.c().lstData.Visible());
}
