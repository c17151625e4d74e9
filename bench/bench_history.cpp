// What recording a run costs: charts of many Gain blocks fed by the Clock (no integrator, no
// ordering), so that the run is little more than computing and recording every block at every
// output step. Reports the recorded values per second and the heap a run keeps per recorded
// value (its histories).

#include "blocks/Catalogue.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "views/HeadlessWindows.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

namespace {
// The benchmarks run with the block types registered, as the programs do at start-up.
[[maybe_unused]] const bool kTypesRegistered = (RegisterBlockTypes(), true);

struct GainChart {
    GainChart(int blocks, int steps) : scope(&store, &messages, &windows) {
        doc = kintra::NewChartDocument();
        doc->Clock()->Params = {1e-3, 1.0, static_cast<double>(steps)};
        for (int i = 0; i < blocks - 3; ++i) {
            doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
            CBlock* b = doc->PendingBlock.get();
            doc->PlaceBlock(1 + i % 100, -(i / 100));
            b->Inputs[0] = doc->Clock();
            b->Params[0] = 0.5;
        }
    }
    ~GainChart() { kintra::CloseChartDocument(std::move(doc)); }

    // The recorded values of the last run.
    double Values() const {
        double n = 0;
        for (const auto& b : doc->Blocks)
            n += static_cast<double>(b->HistorySize());
        return n;
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform scope;
    std::unique_ptr<COrventDoc> doc;
};

// Arguments: blocks (the Clock and its two companions included), output steps.
void BM_RecordRun(benchmark::State& state) {
    GainChart chart(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        chart.doc->RunSimulation();
    const double values = chart.Values();
    state.counters["values/s"] = benchmark::Counter(values, benchmark::Counter::kIsIterationInvariantRate);
    // The heap the histories take: from a chart whose histories were cleared to the end of a run.
    // Large blocks are mapped apart from the heap's arena: both count.
    const auto inUse = [] {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<double>(m.uordblks + m.hblkhd);
    };
    chart.doc->OnInitialize();
    const double before = inUse();
    chart.doc->RunSimulation();
    state.counters["bytes/value"] = (inUse() - before) / values;
}
BENCHMARK(BM_RecordRun)
    ->Args({10000, 1000})
    ->Args({100, 100000})
    ->Args({10, 100000})
    ->Unit(benchmark::kMillisecond);

// The chart's image after a run (what saving writes and what Run keeps to undo): histories read
// from the run's table (argument 2 = 0), or from the blocks' own arrays, as after opening (1).
void BM_ImageAfterRun(benchmark::State& state) {
    GainChart chart(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    chart.doc->RunSimulation();
    if (state.range(2) != 0) chart.doc->RestoreSnapshot(chart.doc->Snapshot());
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = chart.doc->Snapshot().size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ImageAfterRun)
    ->Args({10000, 1000, 0})
    ->Args({10000, 1000, 1})
    ->Args({100, 100000, 0})
    ->Args({100, 100000, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
