#include "core/alarms/alarm_engine.h"
#include "clock/message_window.h"
#include "support/tick_driver.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <gtest/gtest.h>

#include <functional>

namespace {
struct ClockTickTest : ProgramTest {
    Form1& f = p.form1();
    ClockTickTest() { t.platform.setTime(QStringLiteral("07:29:50")); }
    void SetUp() override
    {
        ProgramTest::SetUp();
        t.platform.clock = t.platform.clock.addMSecs(100);
    }
    QStringList alarms() { return p.form4().c().lstData.items(); }
    QStringList messages() { return p.form4().c().lstMessage.items(); }
    int songs() const { return t.platform.wavesPlayed.size(); }
};
}  // namespace

TEST_F(ClockTickTest, AlarmFiresAtItsSecondWithSongAndMessage)
{
    queue(t, {QStringLiteral("twice 07:30:00"), QStringLiteral("once 08:00:00")},
          {QStringLiteral("Wake up at 07:30:00")});
    tickUntil(t, QStringLiteral("07:29:59"));
    EXPECT_EQ(p.gNextAlarmTime, QStringLiteral("07:30:00"));
    EXPECT_EQ(p.gPlayTimes, QStringLiteral("twice"));
    EXPECT_EQ(songs(), 0);
    tickUntil(t, QStringLiteral("07:30:00"));
    // Fired in this tick; the same tick already prepared the following alarm.
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gAppPath + QStringLiteral("ding.wav x2")});
    EXPECT_TRUE(p.form6().Visible());
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("Wake up at 07:30:00"));
    EXPECT_EQ(alarms(), QStringList{QStringLiteral("once 08:00:00")});
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(p.gNextAlarmTime, QStringLiteral("08:00:00"));
    EXPECT_EQ(p.gListChanged, VFalse);
    // The rest of the second (a second tick in it) fires nothing more.
    tickUntil(t, QStringLiteral("07:30:02"));
    EXPECT_EQ(songs(), 1);
    EXPECT_TRUE(p.form6().Caption().startsWith(QStringLiteral("Message  ")));
}

TEST_F(ClockTickTest, AlarmWithoutATickInItsSecondIsMissedSilently)
{
    queue(t, {QStringLiteral("once 07:30:00"), QStringLiteral("once 07:45:00")},
          {QStringLiteral("Stand up at 07:30:00")});
    tickUntil(t, QStringLiteral("07:29:59"));
    f.mDisabled_Click();
    t.platform.setTime(QStringLiteral("07:30:20"));
    f.mDisabled_Click();
    tickOnce(t);  // the first tick that sees it reports it, without waiting for second 0
    EXPECT_EQ(songs(), 0);
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("alarm at 07:30:00") + QString(199, QLatin1Char(' ')) +
                                       QStringLiteral("\r\n ^-^ *************\r\nStand up at 07:30:00"));
    EXPECT_EQ(alarms(), QStringList{QStringLiteral("once 07:45:00")});
    tickOnce(t);
    EXPECT_EQ(p.gNextAlarmTime, QStringLiteral("07:45:00"));
}

TEST_F(ClockTickTest, SeveralMissedAlarmsAreHandledOnePerTickAfterTheClockRunsAgain)
{
    queue(t, {QStringLiteral("once 07:35:00"), QStringLiteral("repeat 07:40:00"), QStringLiteral("once 07:50:00"),
              QStringLiteral("once 09:00:00")});
    tickOnce(t);
    f.mDisabled_Click();
    t.platform.setTime(QStringLiteral("07:59:59"));
    t.platform.advanceMs(500);
    f.mDisabled_Click();
    tickOnce(t);  // 08:00:00.3, second 0: the first is shown as missed
    EXPECT_EQ(alarms().size(), 3);
    tickOnce(t);
    EXPECT_EQ(alarms().size(), 2);
    tickOnce(t);
    EXPECT_EQ(alarms(), QStringList{QStringLiteral("once 09:00:00")});
    tickUntil(t, QStringLiteral("08:00:10"));
    EXPECT_EQ(alarms().size(), 1);
    EXPECT_EQ(songs(), 0);
    const QString text = p.form6().MsgText();
    EXPECT_EQ(text.count(QStringLiteral("alarm at ")), 3);
    EXPECT_TRUE(text.startsWith(QStringLiteral("alarm at 07:35:00")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(" ^-^ alarm at 07:50:00")));
}

TEST_F(ClockTickTest, EntryBehindAHandledMissedOneFiresInItsOwnSecond)
{
    // The first entry has passed: the tick reports it missed and then fires the following entry,
    // whose second it is, with its own sound and message. A second tick in that second does
    // nothing more.
    t.platform.setTime(QStringLiteral("07:30:00"));
    t.platform.advanceMs(50);
    queue(t, {QStringLiteral("once 07:29:59"), QStringLiteral("thrice 07:30:00")},
          {QStringLiteral("late at 07:29:59"), QStringLiteral("next at 07:30:00")});
    f.Timer1_Timer();
    EXPECT_TRUE(alarms().isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gAppPath + QStringLiteral("ding.wav x3")});
    EXPECT_EQ(p.form6().MsgText().count(QStringLiteral("alarm at")), 1);
    EXPECT_TRUE(p.form6().MsgText().endsWith(QStringLiteral("next at 07:30:00")));
    tickOnce(t);  // 07:30:00.85, same second
    EXPECT_EQ(songs(), 1);
}

namespace {
// Something done to the program; a row of the parameterised tests below.
struct Step {
    const char* name;
    std::function<void(TestProgram&)> act;
};
void PrintTo(const Step& s, std::ostream* os) { *os << s.name; }
std::string stepName(const ::testing::TestParamInfo<Step>& info) { return info.param.name; }

void typeAndAdd(TestProgram& t, const char* h, const char* m, const char* s, const char* ampm = "AM")
{
    Form4& w = t.program.form4();
    Form4Controls& c = w.c();
    c.txtTime[1].setText(QString::fromLatin1(h));
    c.txtTime[2].setText(QString::fromLatin1(m));
    c.txtTime[3].setText(QString::fromLatin1(s));
    c.txtAm.setText(QString::fromLatin1(ampm));
    t.program.form8().AddClick(w.Switch, c.txtTime, c.txtAm, c.cbPlayTimes, w.strTimesOfPlay, c.cbHour, c.cbMin,
                               c.cbSec);
}

// A change of the list in the last moment before an alarm's second.
struct ChangeJustBeforeAnAlarm : ClockTickTest, ::testing::WithParamInterface<Step> {};
}  // namespace

TEST_P(ChangeJustBeforeAnAlarm, StillFiresItWithSound)
{
    queue(t, {QStringLiteral("once 07:30:00"), QStringLiteral("once 09:00:00")}, {QStringLiteral("Up at 07:30:00")});
    tickOnce(t);  // reads the alarm
    ASSERT_EQ(p.gNextAlarmTime, QStringLiteral("07:30:00"));
    t.platform.setTime(QStringLiteral("07:29:59"));
    t.platform.advanceMs(600);
    GetParam().act(t);
    ASSERT_EQ(p.gListChanged, VTrue);
    tickOnce(t, 600);  // 07:30:00.2
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gAppPath + QStringLiteral("ding.wav x1")});
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("Up at 07:30:00"));
    EXPECT_FALSE(alarms().join(u',').contains(QStringLiteral("07:30:00")));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangeJustBeforeAnAlarm,
    ::testing::Values(Step{"AnotherAlarmAdded", [](TestProgram& t) { typeAndAdd(t, "8", "15", "0"); }},
                      Step{"DoubleTimeRefused", [](TestProgram& t) { typeAndAdd(t, "7", "30", "0"); }},
                      Step{"FileLoaded",
                                 [](TestProgram& t) {
                                     t.writeFile(QStringLiteral("more.dat"), "\"twice 10:00:00\"\r\n");
                                     t.program.form8().LoadClick(QStringLiteral("more.dat"));
                                 }}),
    stepName);

namespace {
// Something the user does in the Alarm Set window while the missed alarm's message shows.
struct DuringMessage {
    const char* name;
    std::function<void(TestProgram&)> act;
    QStringList left;
};
void PrintTo(const DuringMessage& d, std::ostream* os) { *os << d.name; }

struct MissedAlarmWhileTheListChanges : ClockTickTest, ::testing::WithParamInterface<DuringMessage> {};
}  // namespace

TEST_P(MissedAlarmWhileTheListChanges, RemovesTheEntryItHandled)
{
    queue(t, {QStringLiteral("once 07:29:30"), QStringLiteral("twice 07:45:00"), QStringLiteral("once 08:00:00")},
          {QStringLiteral("Gone at 07:29:30"), QStringLiteral("Stay at 07:45:00")});
    // Runs while the message window shows "alarm at" and lets pending events through.
    QMetaObject::invokeMethod(qApp, [this] { GetParam().act(t); }, Qt::QueuedConnection);
    tickOnce(t);
    EXPECT_TRUE(p.form6().MsgText().startsWith(QStringLiteral("alarm at 07:29:30")));
    EXPECT_EQ(alarms(), GetParam().left);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Stay at 07:45:00")});
    EXPECT_EQ(songs(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, MissedAlarmWhileTheListChanges,
    ::testing::Values(
        DuringMessage{"EarlierEntryInserted",
                      [](TestProgram& t) { t.program.form8().Sorting(QStringLiteral("07:29:20"), QStringLiteral("once")); },
                      {QStringLiteral("once 07:29:20"), QStringLiteral("twice 07:45:00"), QStringLiteral("once 08:00:00")}},
        DuringMessage{"HandledEntryDeleted",
                      [](TestProgram& t) {
                          t.program.form4().c().lstData.RemoveItem(0);
                          t.program.gListChanged = VTrue;
                      },
                      {QStringLiteral("twice 07:45:00"), QStringLiteral("once 08:00:00")}}),
    [](const ::testing::TestParamInfo<DuringMessage>& info) { return std::string(info.param.name); });

namespace {
// A way "once 23:59:45" with a message gets into the list: it belongs to the day that happens on.
struct AlarmOverMidnight : ClockTickTest, ::testing::WithParamInterface<Step> {};
}  // namespace

TEST_P(AlarmOverMidnight, IsReportedMissedOnTheNewDayAndNeverRingsThatEvening)
{
    t.platform.setTime(QStringLiteral("23:59:00"));
    GetParam().act(t);
    tickOnce(t);
    ASSERT_EQ(alarms(), QStringList{QStringLiteral("once 23:59:45")});
    // The clock stands still over midnight (Disabled, a suspend) and runs again at 00:00:20.
    f.mDisabled_Click();
    t.platform.clock = QDateTime(t.platform.clock.date().addDays(1), QTime(0, 0, 20));
    f.mDisabled_Click();
    tickOnce(t);
    EXPECT_TRUE(alarms().isEmpty());
    EXPECT_TRUE(p.form6().MsgText().startsWith(QStringLiteral("alarm at 23:59:45")));
    EXPECT_TRUE(p.form6().MsgText().endsWith(QStringLiteral("Late call at 23:59:45")));
    // A later alarm of the new day rings as usual, and nothing rings at 23:59:45 that evening.
    typeAndAdd(t, "8", "0", "0");
    tickUntil(t, QStringLiteral("08:00:01"));
    EXPECT_EQ(songs(), 1);
    f.mDisabled_Click();
    t.platform.setTime(QStringLiteral("23:59:40"));
    f.mDisabled_Click();
    tickUntil(t, QStringLiteral("23:59:50"));
    EXPECT_EQ(songs(), 1);
    EXPECT_EQ(p.form6().MsgText().count(QStringLiteral("23:59:45")), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, AlarmOverMidnight,
    ::testing::Values(Step{"Added",
                              [](TestProgram& t) {
                                  typeAndAdd(t, "11", "59", "45", "PM");
                                  t.program.form4().c().lstMessage.AddItem(QStringLiteral("Late call at 23:59:45"));
                              }},
                      Step{"Loaded",
                              [](TestProgram& t) {
                                  t.writeFile(QStringLiteral("late.dat"),
                                              "\"once 23:59:45\"\r\n\"Late call at 23:59:45\"\r\n");
                                  t.program.form8().LoadClick(QStringLiteral("late.dat"));
                              }}),
    stepName);

TEST_F(ClockTickTest, TwoEntriesWithOneTimeFireOnceAndMissTheOther)
{
    queue(t, {QStringLiteral("once 07:30:00"), QStringLiteral("twice 07:30:00")});
    tickUntil(t, QStringLiteral("07:30:00"));
    EXPECT_EQ(songs(), 1);
    EXPECT_TRUE(alarms().isEmpty());
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("alarm at 07:30:00"));
}

TEST_F(ClockTickTest, OpenMessageWindowComesForwardAndGrows)
{
    queue(t, {QStringLiteral("once 07:31:00")});
    p.form6().SetMsgText(QStringLiteral("earlier"));
    p.form6().Show();
    tickOnce(t);
    f.mDisabled_Click();
    t.platform.setTime(QStringLiteral("07:32:00"));
    f.mDisabled_Click();
    t.platform.calls.clear();
    tickOnce(t, 100);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("foreground Message")), 1);
    EXPECT_EQ(p.form6().MsgText(),
              QStringLiteral("earlier") + QString(199, QLatin1Char(' ')) + QStringLiteral("\r\n ^-^ alarm at 07:31:00"));
}

TEST_F(ClockTickTest, ChimeSoundsInTheFirstSecondsOfItsMinuteOnly)
{
    p.gEMPlayOn = VTrue;
    p.gEMInterval = 15;
    p.gEMNextTime = 45;
    p.gTimerArmed = VTrue;
    t.platform.setTime(QStringLiteral("07:44:59"));
    tickOnce(t);  // 07:44:59.8
    tickOnce(t);  // 07:45:00.6
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("snd \"") + p.gAppPath + QStringLiteral("didi.snd\" 1")), 1);
    EXPECT_EQ(p.gEMNextTime, 0);

    // First tick of the minute at second 3: the schedule moves on without a sound.
    t.platform.calls.clear();
    p.gEMNextTime = 45;
    t.platform.setTime(QStringLiteral("08:45:03"));
    tickOnce(t, 100);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("snd")), 0);
    EXPECT_EQ(p.gEMNextTime, 0);

    // Sound off: no chime, the schedule still moves.
    p.gSoundOn = VFalse;
    t.platform.setTime(QStringLiteral("09:00:00"));
    tickOnce(t, 100);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("snd")), 0);
    EXPECT_EQ(p.gEMNextTime, 15);
}

TEST_F(ClockTickTest, HourlyChimeCatchesUpOneHourPerResync)
{
    p.gEMPlayOn = VTrue;
    p.gEMInterval = 60;
    p.gTimerArmed = VTrue;
    p.gEMNextTime = 0;
    t.platform.setTime(QStringLiteral("23:10:30"));
    tickOnce(t, 100);
    EXPECT_EQ(p.gEMNextTime, 0);  // the coming midnight, not a lag

    p.gEMNextTime = 1;
    t.platform.setTime(QStringLiteral("03:10:30"));
    tickOnce(t, 100);
    EXPECT_EQ(p.gEMNextTime, 2);
    t.platform.setTime(QStringLiteral("03:11:30"));
    t.platform.calls.clear();
    tickOnce(t, 100);
    // Caught up to 3, found due at second 30 and moved on without sound.
    EXPECT_EQ(p.gEMNextTime, 4);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("snd")), 0);
}

TEST_F(ClockTickTest, MinuteChimeThatLagsIsSetUpAgainFromTheWindow)
{
    Form4Controls& c = p.form4().c();
    c.cbEMPlay.setListIndex(4);  // "5"
    c.chkEMPlay.setValue(1);
    p.form4().chkEMPlay_Click();
    EXPECT_EQ(p.gEMPlayOn, VTrue);
    EXPECT_EQ(p.gEMInterval, 5);
    EXPECT_EQ(p.gEMNextTime, 30);  // 07:29:50 -> the next multiple of 5
    p.gAlarmWindowOpen = VTrue;    // keep the window
    t.platform.setTime(QStringLiteral("07:42:30"));
    tickOnce(t, 100);
    EXPECT_EQ(p.gEMNextTime, 45);
    // 0 at minute 30 or later is the coming hour: left alone.
    p.gEMNextTime = 0;
    t.platform.setTime(QStringLiteral("07:52:30"));
    tickOnce(t, 100);
    EXPECT_EQ(p.gEMNextTime, 0);
}

TEST_F(ClockTickTest, IdleClockUnloadsTheAlarmWindowAndDisarmsButKeepsTheCaptionClock)
{
    queue(t, {});
    p.form6().Show();
    tickOnce(t);
    EXPECT_FALSE(p.form4().Loaded());
    EXPECT_EQ(p.gTimerArmed, VFalse);
    EXPECT_EQ(p.gNextAlarmTime, QString());
    const QString caption = p.form6().Caption();
    t.platform.setTime(QStringLiteral("10:11:12"));
    tickOnce(t, 0);
    EXPECT_NE(p.form6().Caption(), caption);
    EXPECT_TRUE(p.form6().Caption().contains(QStringLiteral("10:11:12")));

    // Chime on keeps the clock armed; an open alarm window is kept.
    queue(t, {});
    p.gEMPlayOn = VTrue;
    p.gEMNextTime = 59;
    p.gAlarmWindowOpen = VTrue;
    tickOnce(t);
    EXPECT_TRUE(p.form4().Loaded());
    EXPECT_EQ(p.gTimerArmed, VTrue);
}

TEST_F(ClockTickTest, EmptyNextAlarmTimeNeverFires)
{
    p.gTimerArmed = VTrue;
    p.gHasAlarms = VTrue;  // inconsistent on purpose: no entry and an empty next time
    p.gListChanged = VFalse;
    p.gAlarmWindowOpen = VTrue;
    tickUntil(t, QStringLiteral("07:31:01"));
    EXPECT_EQ(songs(), 0);
    EXPECT_FALSE(p.form6().Loaded());
}

// The precise wake is set again when the program goes back to sleep after a change, dropped
// while disabled; the alarm it wakes for rings once.
TEST_F(ClockTickTest, PreciseWakeFollowsChangesAndRingsOnce)
{
    const QDateTime at(t.platform.clock.date(), QTime(7, 30));
    f.mAlarmSet_Click();
    Form4Controls& c = p.form4().c();
    c.txtTime[1].setText(QStringLiteral("7"));
    c.txtTime[2].setText(QStringLiteral("30"));
    c.txtTime[3].setText(QStringLiteral("0"));
    p.form4().cmdAdd_Click();
    emit QAbstractEventDispatcher::instance()->aboutToBlock();
    EXPECT_EQ(f.ExactWakeAt(), at);
    f.mDisabled_Click();
    EXPECT_FALSE(f.ExactWakeAt().isValid());
    f.mDisabled_Click();
    EXPECT_EQ(f.ExactWakeAt(), at);
    t.platform.clock = at.addMSecs(1);
    f.Timer1_Timer();  // the wake
    tickOnce(t, 700);
    EXPECT_EQ(songs(), 1);
    EXPECT_FALSE(f.ExactWakeAt().isValid());
}
