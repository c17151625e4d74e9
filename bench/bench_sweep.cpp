// Sweeps of examples/spring-mass.cht: 1,000 runs on one and on two threads (the throughput on two
// should approach twice that on one), into nothing and into an HDF5 file, next to the same run
// done again and again on one open chart. The difference between a sweep's time per run on one
// thread and a run alone is what a sweep adds to each run: reading the chart, setting the
// parameters, gathering the histories, writing them.

#include "blocks/Catalogue.h"
#include "hdf5/SweepHdf5.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "model/Sweep.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "views/HeadlessWindows.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
[[maybe_unused]] const bool kTypesRegistered = (RegisterBlockTypes(), true);

constexpr int kRuns = 1000;

std::vector<std::uint8_t> Chart() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(KINTRA_EXAMPLES "/spring-mass.cht", bytes, error)) std::abort();
    return bytes;
}

kintra::SweepPlan Plan() {
    kintra::SweepPlan plan;
    plan.Axes = {kintra::ParseSweepAxis("Force.p2=-0.8:0:1000")};
    return plan;
}

struct Discard : kintra::SweepSink {
    void Begin(const kintra::SweepHeader&) override {}
    void Write(const kintra::SweepRun& run) override { benchmark::DoNotOptimize(run.Histories.data()); }
};

kintra::SweepOptions Options(benchmark::State& state) {
    kintra::SweepOptions options;
    options.Threads = static_cast<unsigned>(state.range(0));
    options.MakeWindows = [] { return std::make_unique<HeadlessWindowHost>(); };
    return options;
}

// The run alone: one open chart run again and again (its histories cleared by each run).
void BM_RunAlone(benchmark::State& state) {
    HeadlessWindowHost windows;
    MemorySettingsStore store;
    RecordingMessageHost messages;
    ScopedPlatform scope(&store, &messages, &windows);
    auto doc = kintra::OpenChartDocument(Chart(), "spring-mass.cht");
    for (auto _ : state)
        doc->RunSimulation();
    state.SetItemsProcessed(state.iterations());
    kintra::CloseChartDocument(std::move(doc));
}
BENCHMARK(BM_RunAlone)->Unit(benchmark::kMicrosecond);

void BM_SweepDiscarded(benchmark::State& state) {
    const auto chart = Chart();
    const auto plan = Plan();
    const auto options = Options(state);
    for (auto _ : state) {
        Discard sink;
        kintra::RunSweep(chart, plan, options, sink);
    }
    state.SetItemsProcessed(state.iterations() * kRuns);
}
BENCHMARK(BM_SweepDiscarded)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SweepToHdf5(benchmark::State& state) {
    const auto chart = Chart();
    const auto plan = Plan();
    const auto options = Options(state);
    const std::string path = "/tmp/kintra-bench-sweep-" + std::to_string(state.range(0)) + ".h5";
    for (auto _ : state) {
        kintra::Hdf5SweepWriter sink(path);
        kintra::RunSweep(chart, plan, options, sink);
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * kRuns);
}
BENCHMARK(BM_SweepToHdf5)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
