// Costs that grow with the alarm list: loading data files and the clock tick.
#include "alarms/alarm_file.h"
#include "alarms/alarm_engine.h"
#include "app/program.h"
#include "clock/main_window.h"
#include "dialogs/alarm_set_window.h"
#include "outside/check_kit.h"
#include "support/test_program.h"

#include <benchmark/benchmark.h>

#include <QDateTime>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace {

const QString kMidnight = QStringLiteral("00:00:00");
const char* const kWords[] = {"once", "twice", "thrice", "repeat"};

QByteArray timeText(int secs)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return QByteArray(buf, 8);
}

// A data file of `alarms` alarm lines and a tenth as many messages, all in random order and
// all after midnight. A day has only 86,399 such seconds, so above that many alarms some lines
// repeat a time and the load drops them as duplicates, as it would in a real file that big.
QByteArray makeDataFile(int alarms)
{
    std::mt19937 rng(20261207);
    std::vector<int> seconds(86399);
    std::iota(seconds.begin(), seconds.end(), 1);
    std::shuffle(seconds.begin(), seconds.end(), rng);

    std::vector<QByteArray> lines;
    lines.reserve(alarms + alarms / 10);
    for (int i = 0; i < alarms; ++i)
        lines.push_back(QByteArray(kWords[rng() % 4]) + ' ' + timeText(seconds[i % seconds.size()]));
    for (int i = 0; i < alarms / 10; ++i)
        lines.push_back("Message " + QByteArray::number(i) + " at " + timeText(seconds[rng() % seconds.size()]));
    std::shuffle(lines.begin(), lines.end(), rng);

    QByteArray out;
    for (const QByteArray& l : lines) out += '"' + l + "\"\r\n";
    return out;
}

const CheckKit& kit()
{
    static const CheckKit k(QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
    return k;
}

void BM_MergeDataFile(benchmark::State& state)
{
    const QByteArray content = makeDataFile(static_cast<int>(state.range(0)));
    ListBox data;
    ListBox messages;
    for (auto _ : state) {
        const LoadReport report = mergeDataFile(content, QStringLiteral("big.dat"), kMidnight, kit(), data, messages);
        benchmark::DoNotOptimize(report.recordsRead);
        state.PauseTiming();
        if (report.badRecords != 0) state.SkipWithError("the generated file has bad records");
        state.counters["alarms"] = data.ListCount();
        state.counters["messages"] = messages.ListCount();
        data.Clear();
        messages.Clear();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * content.size());
}
BENCHMARK(BM_MergeDataFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// The whole Load button: reading the file from disk, merging, and what the window does after.
void BM_LoadClick(benchmark::State& state)
{
    TestProgram tp;
    tp.platform.setTime(kMidnight);
    const QByteArray content = makeDataFile(static_cast<int>(state.range(0)));
    tp.writeFile(QStringLiteral("big.dat"), content);
    Program& p = tp.program;
    Form4Controls& c = p.form4().c();
    for (auto _ : state) {
        p.form8().LoadClick(QStringLiteral("big.dat"));
        state.PauseTiming();
        if (!tp.platform.messageBoxes.isEmpty() || tp.platform.beeps != 0) state.SkipWithError("the load complained");
        state.counters["alarms"] = c.lstData.ListCount();
        c.lstData.Clear();
        c.lstMessage.Clear();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * content.size());
}
BENCHMARK(BM_LoadClick)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// A program with 10,000 alarms queued, one every 5 seconds from 01:00:07, and entry 0 prepared
// for firing as the previous tick left it.
constexpr int kQueued = 10000;
constexpr int kFirstAlarm = 3600 + 7;

void queueAlarms(TestProgram& tp)
{
    Program& p = tp.program;
    ListBox& data = p.form4().c().lstData;
    data.Clear();
    for (int i = 0; i < kQueued; ++i)
        data.AddItem(QStringLiteral("once ") + QString::fromLatin1(timeText(kFirstAlarm + 5 * i)));
    p.gTimerArmed = VTrue;
    p.gHasAlarms = VTrue;
    p.gListChanged = VFalse;
    p.gNextAlarmTime = data.List(0).right(8);
    p.gPlayTimes = QStringLiteral("once");
    p.gWallNextTime = -1;  // no wallpaper schedule
}

// Most ticks: nothing is due. Second 10 also stays clear of the once-a-minute resync checks.
void BM_TickIdle(benchmark::State& state)
{
    TestProgram tp;
    queueAlarms(tp);
    tp.platform.setTime(QStringLiteral("00:30:10"));
    Form1& clock = tp.program.form1();
    for (auto _ : state) clock.Timer1_Timer();
    if (tp.program.form4().c().lstData.ListCount() != kQueued) state.SkipWithError("a tick changed the list");
}
BENCHMARK(BM_TickIdle);

// The tick at entry 0's time: it fires, takes the entry off and prepares the next one.
void BM_TickFiring(benchmark::State& state)
{
    TestProgram tp;
    queueAlarms(tp);
    Program& p = tp.program;
    ListBox& data = p.form4().c().lstData;
    const QString first = data.List(0);
    tp.platform.setTime(first.right(8));
    Form1& clock = p.form1();
    for (auto _ : state) {
        clock.Timer1_Timer();
        state.PauseTiming();
        if (data.ListCount() != kQueued - 1 || p.gNextAlarmTime != data.List(0).right(8))
            state.SkipWithError("the tick did not fire entry 0");
        data.items().prepend(first);
        p.gHasAlarms = VTrue;
        p.gListChanged = VFalse;
        p.gNextAlarmTime = first.right(8);
        tp.platform.calls.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TickFiring);

}  // namespace
