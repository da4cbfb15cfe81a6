// Costs of the alarm list core that grow with the list: merging data files and sorted inserts.
// Links only voz_core: no windows, no program.
#include "core/alarms/alarm_file.h"
#include "core/alarms/alarm_list.h"
#include "bench_data.h"
#include "core/check_kit.h"

#include <benchmark/benchmark.h>

#include <QDateTime>

namespace {

using bench::makeDataFile;
using bench::timeText;

const QString kMidnight = QStringLiteral("00:00:00");

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

// One alarm into the middle of a sorted list of `n` (even seconds), as the Add button does.
void BM_InsertSorted(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    QStringList items;
    for (int i = 1; i <= n; ++i) items << QStringLiteral("once ") + QString::fromLatin1(timeText(2 * i));
    ListBox data;
    data.setItems(items);
    const QString t = QString::fromLatin1(timeText(n + 1));  // odd seconds are free, n is even
    for (auto _ : state) {
        if (insertSorted(data, t, QStringLiteral("once")) != SortResult::Inserted) state.SkipWithError("refused");
        state.PauseTiming();
        data.RemoveItem(findTime(data, t));
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_InsertSorted)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMicrosecond)->Complexity();

}  // namespace
