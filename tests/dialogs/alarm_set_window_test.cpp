#include "clock/main_window.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "support/test_program.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct AlarmSetWindowTest : ProgramTest {
    Form4& f = p.form4();
    AlarmSetWindowTest() { t.platform.setTime(QStringLiteral("09:00:00")); }
    void SetUp() override
    {
        ProgramTest::SetUp();
        p.form1().StopTimer1();  // ticks are the clock tests' business
        p.form1().mAlarmSet_Click();
    }
    template <typename W = QWidget>
    W* w(const char* name)
    {
        auto* widget = qobject_cast<W*>(f.Widget(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QStringList alarms() { return f.c().lstData.items(); }
    void type(const char* box, const char* text) { QTest::keyClicks(w(box), QString::fromLatin1(text)); }
    void pick(const char* combo, int index)
    {
        auto* cb = w<QComboBox>(combo);
        cb->showPopup();  // runs the drop-down handler first
        cb->hidePopup();
        cb->setCurrentIndex(index);
        emit cb->activated(index);
    }
};
}  // namespace

TEST_F(AlarmSetWindowTest, TypedTimeWithItsFiltersAndAmPmAddsOnEnter)
{
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(w<QLineEdit>("txtAm")->text(), QStringLiteral("AM"));
    EXPECT_FALSE(w("shpInputTime")->isVisibleTo(f.window()));

    // Letters beep and go nowhere; digits go in, at most two.
    type("txtTime1", "a7");
    EXPECT_EQ(t.platform.beeps, 1);
    type("txtTime2", "305");
    type("txtTime3", "0");
    EXPECT_EQ(w<QLineEdit>("txtTime1")->text(), QStringLiteral("7"));
    EXPECT_EQ(w<QLineEdit>("txtTime2")->text(), QStringLiteral("30"));
    EXPECT_TRUE(w("shpInputTime")->isVisibleTo(f.window()));

    QTest::mouseClick(w("cmdUp"), Qt::LeftButton);
    EXPECT_EQ(w<QLineEdit>("txtAm")->text(), QStringLiteral("PM"));
    pick("cbPlayTimes", 1);
    QTest::keyClick(w("txtTime3"), Qt::Key_Return);
    EXPECT_EQ(alarms(), QStringList{QStringLiteral("twice 19:30:00")});
    EXPECT_EQ(p.gTimerArmed, VTrue);
    // The engine padded the boxes; the widgets show it.
    EXPECT_EQ(w<QLineEdit>("txtTime1")->text(), QStringLiteral("07"));

    // Typing into the lists' edit fields: the time lists beep, the others stay silent.
    const int beeps = t.platform.beeps;
    type("cbHour", "1");
    type("cbPlayTimes", "x");
    EXPECT_EQ(t.platform.beeps, beeps + 1);
    EXPECT_EQ(w<QComboBox>("cbHour")->currentText(), QStringLiteral("hour"));
    EXPECT_EQ(w<QComboBox>("cbPlayTimes")->currentText(), QStringLiteral("twice"));
}

TEST_F(AlarmSetWindowTest, ListModeGrowsTheMinuteListOnceAndTakesItsTime)
{
    EXPECT_EQ(w<QComboBox>("cbMin")->count(), 10);
    pick("cbHour", 10);  // "11"
    EXPECT_FALSE(w("txtTime1")->isEnabled());
    EXPECT_TRUE(w("shpClickTime")->isVisibleTo(f.window()));
    pick("cbMin", 45);
    pick("cbMin", 45);
    EXPECT_EQ(w<QComboBox>("cbMin")->count(), 60);
    pick("cbSec", 5);
    EXPECT_EQ(w<QComboBox>("cbSec")->count(), 60);
    QTest::mouseClick(w("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(alarms(), QStringList{QStringLiteral("once 11:45:05")});
    EXPECT_TRUE(warnings().isEmpty());

    // "Alarm time is" goes back to the typed boxes.
    QTest::mouseClick(w("lblLabel1"), Qt::LeftButton);
    EXPECT_TRUE(w("txtTime1")->isEnabled());
    EXPECT_TRUE(w("shpInputTime")->isVisibleTo(f.window()));
}

TEST_F(AlarmSetWindowTest, DeleteTakesTheAlarmAndItsMessageAndExitKeepsTheList)
{
    Form4Controls& c = f.c();
    c.lstData.setItems({"once 10:00:00", "twice 11:00:00", "once 12:00:00"});
    c.lstMessage.setItems({QStringLiteral("Tea at 11:00:00"), QStringLiteral("Noon at 12:00:00")});
    p.gHasAlarms = VTrue;
    p.gNextAlarmTime = QStringLiteral("10:00:00");

    // Nothing selected: nothing changes.
    QTest::mouseClick(w("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(alarms().size(), 3);
    EXPECT_EQ(p.gNextAlarmTime, QStringLiteral("10:00:00"));

    // A click in the view selects; the selection is the list's.
    auto* view = w<QListView>("lstData");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(c.lstData.index(1)).center());
    EXPECT_EQ(c.lstData.ListIndex(), 1);
    QTest::mouseClick(w("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(alarms(), (QStringList{QStringLiteral("once 10:00:00"), QStringLiteral("once 12:00:00")}));
    EXPECT_EQ(c.lstMessage.items(), QStringList{QStringLiteral("Noon at 12:00:00")});
    EXPECT_EQ(p.gListChanged, VTrue);
    EXPECT_TRUE(p.gNextAlarmTime.isEmpty());

    QTest::mouseClick(w("cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(p.gAlarmWindowOpen, VTrue);
    p.form1().mAlarmSet_Click();
    EXPECT_EQ(alarms().size(), 2);

    QTest::mouseClick(w("cmdDeleteAll"), Qt::LeftButton);
    EXPECT_TRUE(alarms().isEmpty());
    EXPECT_TRUE(c.lstMessage.items().isEmpty());
    EXPECT_EQ(p.gHasAlarms, VFalse);

    c.lstData.setItems({QStringLiteral("once 10:00:00"), QStringLiteral("repeat 11:00:00")});
    screenshot(f.window(), QStringLiteral("alarm_set_window.png"));
}
