// Costs that need the whole program on the recording platform: a load into the open Alarm Set
// window, the Add button on a long list, and the clock tick. Widgets are real, drawn offscreen.
#include "core/alarms/alarm_engine.h"
#include "core/alarms/alarm_list.h"
#include "app/program.h"
#include "bench_data.h"
#include "clock/main_window.h"
#include "dialogs/alarm_set_window.h"
#include "support/test_program.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>
#include <QTest>

namespace {

using bench::makeDataFile;
using bench::timeText;

// Counts what a list view is told and how often it paints, to prove a load refreshes it once.
class ViewWatch : public QObject {
public:
    ViewWatch(ListBox& model, QListView* view) : m_view(view)
    {
        connect(&model, &QAbstractItemModel::rowsInserted, this, [this] { ++inserts; });
        connect(&model, &QAbstractItemModel::rowsRemoved, this, [this] { ++removals; });
        connect(&model, &QAbstractItemModel::modelReset, this, [this] { ++resets; });
        connect(&model, &QAbstractItemModel::layoutChanged, this, [this] { ++layouts; });
        connect(&model, &QAbstractItemModel::dataChanged, this, [this] { ++changes; });
        view->viewport()->installEventFilter(this);
    }
    ~ViewWatch() override
    {
        if (m_view) m_view->viewport()->removeEventFilter(this);
    }
    void clearCounts() { inserts = removals = resets = layouts = changes = paints = 0; }
    int told() const { return inserts + removals + resets + layouts + changes; }
    void report(benchmark::State& state, const char* prefix) const
    {
        const std::string p(prefix);
        state.counters[p + "_signals"] = told();
        state.counters[p + "_paints"] = paints;
    }

    int inserts = 0, removals = 0, resets = 0, layouts = 0, changes = 0, paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(o, e);
    }

private:
    QListView* m_view;
};

// Opens the Alarm Set window and waits until it is on the (offscreen) screen.
QListView* openAlarmSet(Program& p, const char* list)
{
    Form4& f = p.form4();
    f.Show();
    if (!QTest::qWaitForWindowExposed(f.window())) return nullptr;
    QCoreApplication::processEvents();
    return qobject_cast<QListView*>(f.Widget(list));
}

// The Load of my.dat with the Alarm Set window shown: reading, merging, and the views redrawn.
void BM_LoadIntoOpenWindow(benchmark::State& state)
{
    TestProgram tp;
    tp.platform.setTime(QStringLiteral("00:00:00"));
    Program& p = tp.program;
    QListView* dataView = openAlarmSet(p, "lstData");
    QListView* messageView = qobject_cast<QListView*>(p.form4().Widget("lstMessage"));
    if (!dataView || !messageView) return state.SkipWithError("the Alarm Set window did not open");
    const QByteArray content = makeDataFile(static_cast<int>(state.range(0)));
    tp.writeFile(QStringLiteral("my.dat"), content);
    Form4Controls& c = p.form4().c();
    ViewWatch data(c.lstData, dataView);
    ViewWatch messages(c.lstMessage, messageView);
    for (auto _ : state) {
        p.form8().LoadClick(QStringLiteral("my.dat"));
        QCoreApplication::processEvents();  // the repaint the load asked for
        state.PauseTiming();
        if (!tp.platform.messageBoxes.isEmpty() || tp.platform.beeps != 0) state.SkipWithError("the load complained");
        state.counters["alarms"] = c.lstData.ListCount();
        state.counters["view_rows"] = dataView->model()->rowCount();
        data.report(state, "data");
        messages.report(state, "msg");
        if (data.told() != 1 || messages.told() != 1) state.SkipWithError("a view was told more than once");
        c.lstData.Clear();
        c.lstMessage.Clear();
        QCoreApplication::processEvents();
        data.clearCounts();
        messages.clearCounts();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * content.size());
}
BENCHMARK(BM_LoadIntoOpenWindow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// A program with 10,000 alarms queued, one every 5 seconds from 01:00:07, and entry 0 prepared
// for firing as the previous tick left it.
constexpr int kQueued = 10000;
constexpr int kFirstAlarm = 3600 + 7;

void queueAlarms(TestProgram& tp)
{
    Program& p = tp.program;
    ListBox& data = p.form4().c().lstData;
    QStringList items;
    for (int i = 0; i < kQueued; ++i) items << QStringLiteral("once ") + QString::fromLatin1(timeText(kFirstAlarm + 5 * i));
    data.setItems(items);
    p.gTimerArmed = VTrue;
    p.gHasAlarms = VTrue;
    p.gListChanged = VFalse;
    p.gNextAlarmTime = data.List(0).right(8);
    p.gNextAlarmDay = tp.platform.clock.date();  // all of today
    for (const QString& e : items) p.gAlarmDays.insert(e.right(8), p.gNextAlarmDay);
    p.gPlayTimes = QStringLiteral("once");
    p.gWallNextTime = -1;  // no wallpaper schedule
}

// The Add button with a typed time, into 10,000 alarms in the open window, view repaint included.
void BM_AddClick(benchmark::State& state)
{
    TestProgram tp;
    tp.platform.setTime(QStringLiteral("00:00:00"));
    Program& p = tp.program;
    QListView* view = openAlarmSet(p, "lstData");
    if (!view) return state.SkipWithError("the Alarm Set window did not open");
    queueAlarms(tp);
    Form4& f = p.form4();
    Form4Controls& c = f.c();
    // 02:00:00 sits between two queued alarms (they fall on 01:00:07 plus multiples of 5 s).
    f.Switch = VTrue;
    c.txtTime[1].setText(QStringLiteral("02"));
    c.txtTime[2].setText(QStringLiteral("00"));
    c.txtTime[3].setText(QStringLiteral("00"));
    c.txtAm.setText(QStringLiteral("AM"));
    QCoreApplication::processEvents();
    ViewWatch watch(c.lstData, view);
    QElapsedTimer clock;
    qint64 engineNs = 0;
    for (auto _ : state) {
        clock.start();
        p.form8().AddClick(f.Switch, c.txtTime, c.txtAm, c.cbPlayTimes, f.strTimesOfPlay, c.cbHour, c.cbMin, c.cbSec);
        engineNs += clock.nsecsElapsed();
        QCoreApplication::processEvents();
        state.PauseTiming();
        const int at = findTime(c.lstData, QStringLiteral("02:00:00"));
        if (c.lstData.ListCount() != kQueued + 1 || at < 0 || !tp.platform.messageBoxes.isEmpty())
            state.SkipWithError("the alarm was not added");
        watch.report(state, "data");
        c.lstData.RemoveItem(at);
        QCoreApplication::processEvents();
        watch.clearCounts();
        state.ResumeTiming();
    }
    // The share of the time spent before the view's repaint.
    state.counters["engine_us"] = benchmark::Counter(engineNs / 1000.0, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_AddClick)->Unit(benchmark::kMicrosecond);

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
        data.InsertItem(0, first);
        p.gHasAlarms = VTrue;
        p.gListChanged = VFalse;
        p.gNextAlarmTime = first.right(8);
        p.gNextAlarmDay = tp.platform.clock.date();
        p.gAlarmDays.insert(first.right(8), p.gNextAlarmDay);
        tp.platform.calls.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TickFiring);

}  // namespace
