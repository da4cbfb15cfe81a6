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
    // The clock stands still (Disabled, a suspend) and runs again `days` later at hhmmss, plus ms.
    void resumeAt(const QString& hhmmss, int ms = 0, int days = 0)
    {
        f.mDisabled_Click();
        t.platform.clock = t.platform.clock.addDays(days);
        t.platform.setTime(hhmmss);
        t.platform.advanceMs(ms);
        f.mDisabled_Click();
    }
};
}  // namespace

TEST_F(ClockTickTest, AlarmFiresAtItsSecondWithSongAndMessage)
{
    queue(t, {"twice 07:30:00", "once 08:00:00"}, {"Wake up at 07:30:00"});
    tickUntil(t, QStringLiteral("07:29:59"));
    EXPECT_EQ(p.gNextAlarmTime, QStringLiteral("07:30:00"));
    EXPECT_EQ(p.gPlayTimes, QStringLiteral("twice"));
    EXPECT_EQ(songs(), 0);
    tickUntil(t, QStringLiteral("07:30:00"));
    // Fired in this tick; the same tick already prepared the following alarm.
    EXPECT_EQ(t.platform.wavesPlayed, QStringList{p.gAppPath + QStringLiteral("ding.wav x2")});
    EXPECT_TRUE(p.form6().Visible());
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("Wake up at 07:30:00"));
    EXPECT_EQ(alarms(), QStringList{"once 08:00:00"});
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
    queue(t, {"once 07:30:00", "once 07:45:00"}, {"Stand up at 07:30:00"});
    tickUntil(t, QStringLiteral("07:29:59"));
    resumeAt(QStringLiteral("07:30:20"));
    tickOnce(t);  // the first tick that sees it reports it, without waiting for second 0
    EXPECT_EQ(songs(), 0);
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("alarm at 07:30:00") + QString(199, QLatin1Char(' ')) +
                                       QStringLiteral("\r\n ^-^ *************\r\nStand up at 07:30:00"));
    EXPECT_EQ(alarms(), QStringList{"once 07:45:00"});
    tickOnce(t);
    EXPECT_EQ(p.gNextAlarmTime, QStringLiteral("07:45:00"));
}

TEST_F(ClockTickTest, SeveralMissedAlarmsAreHandledOnePerTickAfterTheClockRunsAgain)
{
    queue(t, {"once 07:35:00", "repeat 07:40:00", "once 07:50:00", "once 09:00:00"});
    tickOnce(t);
    resumeAt(QStringLiteral("07:59:59"), 500);
    tickOnce(t);  // 08:00:00.3, second 0: the first is shown as missed
    EXPECT_EQ(alarms().size(), 3);
    tickOnce(t);
    EXPECT_EQ(alarms().size(), 2);
    tickOnce(t);
    EXPECT_EQ(alarms(), QStringList{"once 09:00:00"});
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
    // The passed first entry is reported missed, then the next fires with its own sound and message.
    t.platform.setTime(QStringLiteral("07:30:00"));
    t.platform.advanceMs(50);
    queue(t, {"once 07:29:59", "thrice 07:30:00"}, {"late at 07:29:59", "next at 07:30:00"});
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
// A row of the parameterised tests below: something done to the program, the alarms `left` after it.
struct Step {
    const char* name;
    std::function<void(TestProgram&)> act;
    QStringList left = {};
};
void PrintTo(const Step& s, std::ostream* os) { *os << s.name; }
std::string stepName(const ::testing::TestParamInfo<Step>& info) { return info.param.name; }
struct ClockTickStep : ClockTickTest, ::testing::WithParamInterface<Step> {};

void typeAndAdd(TestProgram& t, const char* h, const char* m, const char* s, const char* ampm = "AM")
{
    Form4Controls& c = t.program.form4().c();
    c.txtTime[1].setText(QString::fromLatin1(h));
    c.txtTime[2].setText(QString::fromLatin1(m));
    c.txtTime[3].setText(QString::fromLatin1(s));
    c.txtAm.setText(QString::fromLatin1(ampm));
    t.program.form4().cmdAdd_Click();
}

void load(TestProgram& t, const QString& file, const QByteArray& bytes)
{
    t.writeFile(file, bytes);
    t.program.form8().LoadClick(file);
}

// A change of the list in the last moment before an alarm's second.
using ChangeJustBeforeAnAlarm = ClockTickStep;
}  // namespace

TEST_P(ChangeJustBeforeAnAlarm, StillFiresItWithSound)
{
    queue(t, {"once 07:30:00", "once 09:00:00"}, {"Up at 07:30:00"});
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

const Step kChanges[] = {
    {"AnotherAlarmAdded", [](TestProgram& t) { typeAndAdd(t, "8", "15", "0"); }},
    {"DoubleTimeRefused", [](TestProgram& t) { typeAndAdd(t, "7", "30", "0"); }},
    {"FileLoaded", [](TestProgram& t) { load(t, QStringLiteral("more.dat"), "\"twice 10:00:00\"\r\n"); }},
};
INSTANTIATE_TEST_SUITE_P(Changes, ChangeJustBeforeAnAlarm, ::testing::ValuesIn(kChanges), stepName);

// Something the user does in the Alarm Set window while the missed alarm's message shows.
using MissedAlarmWhileTheListChanges = ClockTickStep;

TEST_P(MissedAlarmWhileTheListChanges, RemovesTheEntryItHandled)
{
    queue(t, {"once 07:29:30", "twice 07:45:00", "once 08:00:00"}, {"Gone at 07:29:30", "Stay at 07:45:00"});
    // Runs while the message window shows "alarm at" and lets pending events through.
    QMetaObject::invokeMethod(qApp, [this] { GetParam().act(t); }, Qt::QueuedConnection);
    tickOnce(t);
    EXPECT_TRUE(p.form6().MsgText().startsWith(QStringLiteral("alarm at 07:29:30")));
    EXPECT_EQ(alarms(), GetParam().left);
    EXPECT_EQ(messages(), QStringList{"Stay at 07:45:00"});
    EXPECT_EQ(songs(), 0);
}

const Step kActions[] = {
    {"EarlierEntryInserted",
     [](TestProgram& t) { t.program.form8().Sorting(QStringLiteral("07:29:20"), QStringLiteral("once")); },
     {"once 07:29:20", "twice 07:45:00", "once 08:00:00"}},
    {"HandledEntryDeleted",
     [](TestProgram& t) {
         t.program.form4().c().lstData.RemoveItem(0);
         t.program.gListChanged = VTrue;
     },
     {"twice 07:45:00", "once 08:00:00"}},
};
INSTANTIATE_TEST_SUITE_P(Actions, MissedAlarmWhileTheListChanges, ::testing::ValuesIn(kActions), stepName);

// A way "once 23:59:45" with a message gets into the list: it belongs to the day that happens on.
using AlarmOverMidnight = ClockTickStep;

TEST_P(AlarmOverMidnight, IsReportedMissedOnTheNewDayAndNeverRingsThatEvening)
{
    t.platform.setTime(QStringLiteral("23:59:00"));
    GetParam().act(t);
    tickOnce(t);
    ASSERT_EQ(alarms(), QStringList{"once 23:59:45"});
    resumeAt(QStringLiteral("00:00:20"), 0, 1);
    tickOnce(t);
    EXPECT_TRUE(alarms().isEmpty());
    EXPECT_TRUE(p.form6().MsgText().startsWith(QStringLiteral("alarm at 23:59:45")));
    EXPECT_TRUE(p.form6().MsgText().endsWith(QStringLiteral("Late call at 23:59:45")));
    // A later alarm of the new day rings as usual, and nothing rings at 23:59:45 that evening.
    typeAndAdd(t, "8", "0", "0");
    tickUntil(t, QStringLiteral("08:00:01"));
    EXPECT_EQ(songs(), 1);
    resumeAt(QStringLiteral("23:59:40"));
    tickUntil(t, QStringLiteral("23:59:50"));
    EXPECT_EQ(songs(), 1);
    EXPECT_EQ(p.form6().MsgText().count(QStringLiteral("23:59:45")), 2);
}

const Step kArrivals[] = {
    {"Added",
     [](TestProgram& t) {
         typeAndAdd(t, "11", "59", "45", "PM");
         t.program.form4().c().lstMessage.AddItem(QStringLiteral("Late call at 23:59:45"));
     }},
    {"Loaded",
     [](TestProgram& t) { load(t, QStringLiteral("late.dat"), "\"once 23:59:45\"\r\n\"Late call at 23:59:45\"\r\n"); }},
};
INSTANTIATE_TEST_SUITE_P(Arrivals, AlarmOverMidnight, ::testing::ValuesIn(kArrivals), stepName);

TEST_F(ClockTickTest, TwoEntriesWithOneTimeFireOnceAndMissTheOther)
{
    queue(t, {"once 07:30:00", "twice 07:30:00"});
    tickUntil(t, QStringLiteral("07:30:00"));
    EXPECT_EQ(songs(), 1);
    EXPECT_TRUE(alarms().isEmpty());
    EXPECT_EQ(p.form6().MsgText(), QStringLiteral("alarm at 07:30:00"));
}

TEST_F(ClockTickTest, OpenMessageWindowComesForwardAndGrows)
{
    queue(t, {"once 07:31:00"});
    p.form6().SetMsgText(QStringLiteral("earlier"));
    p.form6().Show();
    tickOnce(t);
    resumeAt(QStringLiteral("07:32:00"));
    t.platform.calls.clear();
    tickOnce(t, 100);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("foreground Message")), 1);
    EXPECT_EQ(p.form6().MsgText(),
              QStringLiteral("earlier") + QString(199, QLatin1Char(' ')) + QStringLiteral("\r\n ^-^ alarm at 07:31:00"));
}

// A chime every `interval` minutes (60: hourly, `next` an hour), no alarms: it sounds in the first
// seconds of its minute only, moves on when due, and the resync at second 30 catches a lagging
// hourly target up by one hour.
TEST_F(ClockTickTest, ChimeSoundsInTheFirstSecondsOfItsMinuteOnlyAndCatchesUp)
{
    const struct {
        std::int16_t interval, next;
        bool soundOn;
        const char* at;
        std::vector<int> ticks;  // ms each
        int nextAfter, sounds;
    } rows[] = {
        {15, 45, true, "07:44:59", {800, 800}, 0, 1},
        {15, 45, true, "08:45:03", {100}, 0, 0},   // the minute's first tick at second 3
        {15, 0, false, "09:00:00", {100}, 15, 0},  // sound off: the schedule still moves
        {60, 0, true, "23:10:30", {100}, 0, 0},    // the coming midnight, not a lag
        {60, 1, true, "03:10:30", {100}, 2, 0},
        {60, 2, true, "03:11:30", {100}, 4, 0},    // caught up to 3, found due at second 30, moved on
    };
    p.gEMPlayOn = VTrue;
    p.gTimerArmed = VTrue;
    const QString chime = QStringLiteral("snd \"") + p.gAppPath + QStringLiteral("didi.snd\" 1");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.at);
        p.gEMInterval = r.interval;
        p.gEMNextTime = r.next;
        p.gSoundOn = toVBool(r.soundOn);
        t.platform.setTime(QString::fromLatin1(r.at));
        t.platform.calls.clear();
        for (const int ms : r.ticks) tickOnce(t, ms);
        EXPECT_EQ(p.gEMNextTime, r.nextAfter);
        EXPECT_EQ(t.platform.countCalls(QStringLiteral("snd")), r.sounds);
        EXPECT_EQ(t.platform.countCalls(chime), r.sounds);
    }
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
    typeAndAdd(t, "7", "30", "0");
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
