#pragma once
// Many runs of one chart: a parameter sweep over a grid of values, repeated with different random
// seeds (Monte Carlo), run on several threads. Each run is a document of its own read from the
// chart's bytes, so nothing a run writes is shared; the results reach a sink one by one in the
// order of their run numbers, whatever order the threads finish them in.

#include "model/Integration.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class MemorySettingsStore;
class WindowHost;

namespace kintra {

// A bad sweep: an axis that cannot be read, a block no chart has, a shard outside its sweep.
class SweepError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One parameter varied: parameter `param` (0..2) of the first block named `block` takes each of
// `values` in turn.
struct SweepAxis {
    std::string block;
    int param = 0;
    std::vector<double> values;
    // "NAME.pN", as it was given.
    std::string Label() const;
};

// Reads "NAME.pN=FROM:TO:COUNT" (COUNT evenly spaced values from FROM to TO, both included) or
// "NAME.pN=V1,V2,..." (a list); each number may be an expression such as 2*pi.
SweepAxis ParseSweepAxis(const std::string& text);

// The seed run `run` of a sweep seeded with `seed` gives the random blocks that would seed from the
// clock. Runs differ from one another, and one run can be repeated alone from the two numbers.
std::uint32_t DerivedSeed(std::uint64_t seed, std::uint64_t run);

// What to run. Runs are numbered from 0: run i is repetition i % Repeat of grid point i / Repeat,
// and the first axis varies slowest.
struct SweepPlan {
    std::vector<SweepAxis> Axes;
    std::uint64_t Repeat = 1;
    std::optional<std::uint64_t> Seed;

    // The number of runs; throws SweepError when it does not fit 64 bits.
    std::uint64_t RunCount() const;
    // The value of every axis in run `run`.
    std::vector<double> ValuesOf(std::uint64_t run) const;
    // The seed that stands in for the clock in run `run`, when the plan has a seed.
    std::optional<std::uint32_t> SeedOf(std::uint64_t run) const;
};

// The runs [first, last) of shard k (1..n) of a sweep of `total` runs: n slices as equal as can be,
// the earlier ones one run longer when they cannot all be equal.
struct RunRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::uint64_t Count() const { return last - first; }
    bool operator==(const RunRange&) const = default;
};
RunRange ShardRange(std::uint64_t total, std::uint64_t k, std::uint64_t n);

// How a run ended. The numbers are stored in sweep files.
enum class SweepStatus : std::int8_t {
    Completed = 0, // the time loop ended at the simulation time or by a Quit block
    Refused = 1,   // the chart could not be read, or the run's checks refused it
    Failed = 2,    // a run-time error ended it
    Stopped = 3,   // stopped before its end (the histories reached their limit)
};
const char* SweepStatusName(SweepStatus status);

// Everything one run gives.
struct SweepRun {
    std::uint64_t Run = 0;
    std::vector<double> Values; // one per axis
    std::optional<std::uint32_t> Seed;
    SweepStatus Status = SweepStatus::Completed;
    // The messages the run would have shown, one "CAPTION: TEXT" line each.
    std::string Message;
    IntegratorStatistics Statistics;
    std::size_t Samples = 0;
    // Samples × blocks, one row per output step, the blocks in the chart's order; a block with a
    // shorter history than the Clock's is NaN beyond its end.
    std::vector<double> Histories;
    // What the sink made of the run on the worker's thread (SweepSink::Prepare): the compressed
    // pieces of a file, so that the thread writing the file only stores them.
    std::vector<std::vector<std::uint8_t>> Prepared;
};

// What every run of a sweep shares: the plan's shape and the chart's blocks.
struct SweepHeader {
    std::vector<std::string> AxisLabels;
    std::vector<std::string> BlockNames;
    std::uint64_t TotalRuns = 0;
    std::uint64_t Repeat = 1;
    std::optional<std::uint64_t> Seed;
    // The runs this output holds (a shard's slice, or all).
    RunRange Range;
};

// Receives a sweep's runs: Begin once, then Write for every run of the range in run order, then
// End. All calls come from the thread that called RunSweep.
class SweepSink {
  public:
    virtual ~SweepSink() = default;
    virtual void Begin(const SweepHeader& header) = 0;
    virtual void Write(const SweepRun& run) = 0;
    virtual void End() {}
    // Called on a worker thread with each finished run, after Begin, before the run is queued
    // for Write: the costly part of storing it (compression) runs in parallel this way. It must
    // only read what Begin set up.
    virtual void Prepare(SweepRun& run) const { (void)run; }
};

struct SweepOptions {
    // Worker threads; 0: one per core.
    unsigned Threads = 0;
    // The runs to do; an empty range: all.
    std::optional<RunRange> Range;
    // Makes the window host of one run (each run gets its own, and the document opens its views in
    // it). Required.
    std::function<std::unique_ptr<WindowHost>()> MakeWindows;
    // The settings every run starts from (each gets its own copy); null: the factory settings.
    const MemorySettingsStore* Settings = nullptr;
    // Called on the calling thread after each run is written, with the runs done so far.
    std::function<void(std::uint64_t done, std::uint64_t total)> Progress;
    // Set from any thread to cancel: no run starts afterwards, and RunSweep returns false.
    std::atomic<bool>* Cancel = nullptr;
    // Largest number of results held before they are written (finished early, waiting for an
    // earlier run); workers wait beyond it. 0: eight per thread.
    std::size_t Window = 0;
};

// The header a sweep of `plan` over the chart `chart` (its file's bytes) will have; throws
// SweepError when the chart cannot be read or an axis names a block it does not have.
SweepHeader MakeSweepHeader(const std::vector<std::uint8_t>& chart, const SweepPlan& plan,
                            const SweepOptions& options);

// Runs the sweep into `sink`. Returns false when it was cancelled (the sink then had Begin and the
// runs written so far, but no End). An error the sink throws (in Write or in a worker's Prepare)
// stops every thread and is thrown again from here.
bool RunSweep(const std::vector<std::uint8_t>& chart, const SweepPlan& plan, const SweepOptions& options,
              SweepSink& sink);

// Reads the chart, sets every axis to its value in `run`, runs it and gathers the result, all on
// the calling thread inside its own platform services. What one worker does for one run.
SweepRun RunOne(const std::vector<std::uint8_t>& chart, const SweepPlan& plan, std::uint64_t run,
                const SweepOptions& options);

} // namespace kintra
