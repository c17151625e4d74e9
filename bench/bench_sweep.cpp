// Sweeps of examples/spring-mass.cht: 1,000 runs on one and on two threads (the throughput on two
// should approach twice that on one), into nothing and into an HDF5 file, next to the same run
// done again and again on one chart read without windows. The difference between a sweep's time
// per run on one thread and a run alone is what a sweep adds to each run: reading the chart,
// setting the parameters, gathering the histories (and, into a file, packing and writing them).
// The table at the end takes the minimum of the repetitions; each sweep also counts the CPU time
// of the whole process (every thread) per run, which a busy machine disturbs less than the time
// on the clock.

#include "blocks/Catalogue.h"
#include "hdf5/SweepHdf5.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "model/Sweep.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "views/HeadlessWindows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
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

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Times each run of the loop on the clock and in CPU time of the whole process, in microseconds
// per run ("wall_us", "cpu_us").
class PerRun {
  public:
    explicit PerRun(benchmark::State& state)
        : m_state(state), m_wall(WallSeconds()), m_cpu(ProcessCpuSeconds()) {}
    ~PerRun() {
        const double runs = static_cast<double>(m_state.iterations()) * m_runsPerIteration;
        if (runs <= 0) return;
        m_state.counters["wall_us"] = 1e6 * (WallSeconds() - m_wall) / runs;
        m_state.counters["cpu_us"] = 1e6 * (ProcessCpuSeconds() - m_cpu) / runs;
        m_state.SetItemsProcessed(static_cast<std::int64_t>(runs));
    }
    double m_runsPerIteration = 1;

  private:
    benchmark::State& m_state;
    double m_wall;
    double m_cpu;
};

double Minimum(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// The run alone: one chart read as a sweep's run reads it (no windows), run again and again.
void BM_RunAlone(benchmark::State& state) {
    HeadlessWindowHost windows;
    MemorySettingsStore store;
    RecordingMessageHost messages;
    ScopedPlatform scope(&store, &messages, &windows);
    auto doc = kintra::OpenChartModel(Chart(), "spring-mass.cht");
    if (!doc) std::abort();
    doc->RunSimulation(); // the first run allocates what the others reuse
    {
        PerRun perRun(state);
        for (auto _ : state)
            doc->RunSimulation();
    }
    kintra::CloseChartDocument(std::move(doc));
}
BENCHMARK(BM_RunAlone)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Minimum);

void BM_SweepDiscarded(benchmark::State& state) {
    const auto chart = Chart();
    const auto plan = Plan();
    const auto options = Options(state);
    PerRun perRun(state);
    perRun.m_runsPerIteration = kRuns;
    for (auto _ : state) {
        Discard sink;
        kintra::RunSweep(chart, plan, options, sink);
    }
}
BENCHMARK(BM_SweepDiscarded)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Minimum);

void BM_SweepToHdf5(benchmark::State& state) {
    const auto chart = Chart();
    const auto plan = Plan();
    const auto options = Options(state);
    const std::string path = "/tmp/kintra-bench-sweep-" + std::to_string(state.range(0)) + "-" +
                             std::to_string(state.range(1)) + ".h5";
    {
        PerRun perRun(state);
        perRun.m_runsPerIteration = kRuns;
        for (auto _ : state) {
            kintra::Hdf5SweepWriter sink(path, static_cast<int>(state.range(1)));
            kintra::RunSweep(chart, plan, options, sink);
        }
    }
    std::remove(path.c_str());
}
// Threads, deflate level (1 is the CLI's default, 0 writes the histories uncompressed).
BENCHMARK(BM_SweepToHdf5)
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Minimum);

// Keeps the per-run counters of every benchmark: the "min" aggregate when repeated, else the
// smallest of the runs.
class TableReporter : public benchmark::ConsoleReporter {
  public:
    struct PerRunTimes {
        double wall = 0;
        double cpu = 0;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            const auto wall = r.counters.find("wall_us");
            const auto cpu = r.counters.find("cpu_us");
            if (wall == r.counters.end() || cpu == r.counters.end()) continue;
            const std::string name = r.run_name.str();
            const PerRunTimes t{wall->second.value, cpu->second.value};
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "min") minimums[name] = t;
            } else {
                auto [it, fresh] = singles.try_emplace(name, t);
                if (!fresh) it->second = {std::min(it->second.wall, t.wall), std::min(it->second.cpu, t.cpu)};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    PerRunTimes Of(const std::string& name) const {
        if (auto m = minimums.find(name); m != minimums.end()) return m->second;
        if (auto s = singles.find(name); s != singles.end()) return s->second;
        return {};
    }

  private:
    std::map<std::string, PerRunTimes> minimums;
    std::map<std::string, PerRunTimes> singles;
};

void PrintTable(const TableReporter& reporter) {
    const auto alone = reporter.Of("BM_RunAlone");
    std::printf("\nspring-mass.cht, %d runs a sweep (per run, the minimum of the repetitions):\n", kRuns);
    if (alone.cpu > 0)
        std::printf("  run alone                 %8.1f us CPU  %8.1f us on the clock\n", alone.cpu,
                    alone.wall);
    struct Sink {
        const char* name;
        const char* args; // after the thread count
        const char* label;
    };
    for (const Sink& sink : {Sink{"Discarded", "", "into nothing"}, Sink{"ToHdf5", "/1", "into HDF5"},
                             Sink{"ToHdf5", "/0", "into HDF5, uncompressed"}}) {
        const std::string name = std::string("BM_Sweep") + sink.name;
        const auto one = reporter.Of(name + "/1" + sink.args + "/real_time");
        const auto two = reporter.Of(name + "/2" + sink.args + "/real_time");
        const char* label = sink.label;
        if (one.cpu > 0 && alone.cpu > 0)
            std::printf("  sweep %-24s %8.1f us CPU  overhead %5.1f %% of the run alone\n", label, one.cpu,
                        100.0 * (one.cpu - alone.cpu) / alone.cpu);
        if (one.wall > 0 && two.wall > 0)
            std::printf("    runs/s: 1 thread %8.0f, 2 threads %8.0f, speed-up %4.2f"
                        " (CPU per run on 2 threads / on 1: %4.2f)\n",
                        1e6 / one.wall, 1e6 / two.wall, one.wall / two.wall, two.cpu / one.cpu);
    }
}

} // namespace

int main(int argc, char** argv) {
    // The repetitions of the benchmarks take turns, unless asked otherwise, so that what else the
    // machine does at a moment weighs on the run alone and the sweeps alike.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string(a).starts_with("--benchmark_enable_random_interleaving");
        }))
        args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
