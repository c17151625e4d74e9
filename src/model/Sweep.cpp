#include "model/Sweep.h"

#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "platform/Expression.h"
#include "platform/Platform.h"
#include "platform/Text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <thread>

namespace kintra {

namespace {

// The name a chart read for a sweep goes by in its messages.
const char* const kChartName = "chart";

double ReadValue(const std::string& text, const std::string& whole) {
    double value = 0.0;
    std::string why;
    if (!ReadNumberOrExpression(text, value, &why))
        throw SweepError("'" + text + "' in '" + whole + "' is neither a number nor an expression (" + why +
                         ")");
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

std::uint64_t SplitMix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Message boxes of one run, kept as "CAPTION: TEXT" lines and answered as the command-line tool
// answers them (OK, or Yes), so that a run in a sweep takes the path a single run takes.
class CapturedMessages : public MessageHost {
  public:
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int) override {
        std::string line = caption + ": " + text;
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        if (!Text.empty()) Text += '\n';
        Text += line;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    }
    std::string Text;
};

CBlock* FindBlock(COrventDoc& doc, const std::string& name) {
    for (const auto& b : doc.Blocks)
        if (b->Name == name) return b.get();
    return nullptr;
}

void GatherHistories(const COrventDoc& doc, SweepRun& run) {
    const std::size_t blocks = doc.Blocks.size();
    run.Samples = blocks ? doc.Blocks.front()->HistorySize() : 0;
    const std::size_t values = run.Samples * blocks;
    // Usually every block records into the run's table, in the column of its place in the chart:
    // the table's rows are then the result's rows, copied a chunk at a time.
    const CHistoryTable& table = doc.HistoryTable();
    bool whole = table.Columns() == blocks && table.Rows() == run.Samples;
    for (std::size_t b = 0; b < blocks && whole; ++b)
        whole = doc.Blocks[b]->HistoryTable() == &table && doc.Blocks[b]->HistoryColumn() == b;
    if (whole) {
        run.Histories.clear();
        run.Histories.reserve(values);
        for (std::size_t row = 0; row < run.Samples;) {
            const std::span<const double> rows = table.RowsFrom(row);
            run.Histories.insert(run.Histories.end(), rows.begin(), rows.end());
            row += rows.size() / blocks;
        }
        return;
    }
    run.Histories.assign(values, std::numeric_limits<double>::quiet_NaN());
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::vector<double> history = doc.Blocks[b]->HistoryValues();
        const std::size_t n = std::min(run.Samples, history.size());
        for (std::size_t s = 0; s < n; ++s)
            run.Histories[s * blocks + b] = history[s];
    }
}

// The services one run or one look at the chart stands in: its own copy of the settings, its
// messages and its windows, for the calling thread only.
struct RunServices {
    explicit RunServices(const SweepOptions& options)
        : Settings(options.Settings ? *options.Settings : MemorySettingsStore{}),
          Windows(options.MakeWindows ? options.MakeWindows() : std::make_unique<WindowHost>()),
          Scope(&Settings, &Messages, Windows.get()) {}
    MemorySettingsStore Settings;
    CapturedMessages Messages;
    std::unique_ptr<WindowHost> Windows;
    ScopedThreadPlatform Scope;
};

} // namespace

std::string SweepAxis::Label() const {
    return block + ".p" + std::to_string(param + 1);
}

SweepAxis ParseSweepAxis(const std::string& text) {
    const auto eq = text.find('=');
    const auto dotP = eq == std::string::npos ? std::string::npos : text.rfind(".p", eq);
    if (eq == std::string::npos || dotP == std::string::npos || dotP == 0)
        throw SweepError("--vary wants NAME.pN=FROM:TO:COUNT or NAME.pN=V1,V2,..., not '" + text + "'");
    SweepAxis axis;
    axis.block = text.substr(0, dotP);
    const std::string n = text.substr(dotP + 2, eq - dotP - 2);
    if (n.size() != 1 || n[0] < '1' || n[0] > '3')
        throw SweepError("parameter number '" + n + "' in '" + text + "' is not 1, 2 or 3");
    axis.param = n[0] - '1';
    const std::string values = text.substr(eq + 1);
    const auto range = Split(values, ':');
    if (range.size() == 3) {
        const double from = ReadValue(range[0], text);
        const double to = ReadValue(range[1], text);
        int count = 0;
        if (!ParseInt(range[2], count) || range[2].find_first_not_of("0123456789") != std::string::npos ||
            count < 1)
            throw SweepError("the count '" + range[2] + "' in '" + text + "' is not a whole number from 1");
        if (!std::isfinite(from) || !std::isfinite(to))
            throw SweepError("the range in '" + text + "' must have finite ends");
        for (int i = 0; i < count; ++i) {
            // The ends are exactly FROM and TO; between them FROM + i × (TO - FROM) / (COUNT - 1).
            const double v =
                i == count - 1 && count > 1 ? to : from + (to - from) * i / std::max(count - 1, 1);
            axis.values.push_back(v);
        }
    } else if (range.size() == 1) {
        for (const std::string& v : Split(values, ','))
            axis.values.push_back(ReadValue(v, text));
    } else {
        throw SweepError("--vary wants FROM:TO:COUNT or a list V1,V2,..., not '" + values + "'");
    }
    return axis;
}

std::uint32_t DerivedSeed(std::uint64_t seed, std::uint64_t run) {
    return static_cast<std::uint32_t>(SplitMix64(SplitMix64(seed) ^ run) >> 32);
}

std::uint64_t SweepPlan::RunCount() const {
    std::uint64_t n = Repeat;
    for (const SweepAxis& axis : Axes) {
        const std::uint64_t k = axis.values.size();
        if (k != 0 && n > std::numeric_limits<std::uint64_t>::max() / k)
            throw SweepError("the sweep has more runs than can be counted");
        n *= k;
    }
    return n;
}

std::vector<double> SweepPlan::ValuesOf(std::uint64_t run) const {
    std::vector<double> values(Axes.size());
    std::uint64_t point = run / std::max<std::uint64_t>(Repeat, 1);
    for (std::size_t a = Axes.size(); a-- > 0;) {
        const std::uint64_t k = Axes[a].values.size();
        values[a] = Axes[a].values[point % k];
        point /= k;
    }
    return values;
}

std::optional<std::uint32_t> SweepPlan::SeedOf(std::uint64_t run) const {
    if (!Seed) return std::nullopt;
    return DerivedSeed(*Seed, run);
}

RunRange ShardRange(std::uint64_t total, std::uint64_t k, std::uint64_t n) {
    if (n == 0 || k == 0 || k > n) throw SweepError("a shard K/N wants 1 <= K <= N");
    const std::uint64_t base = total / n;
    const std::uint64_t extra = total % n;
    const std::uint64_t i = k - 1;
    RunRange r;
    r.first = i * base + std::min(i, extra);
    r.last = r.first + base + (i < extra ? 1 : 0);
    return r;
}

const char* SweepStatusName(SweepStatus status) {
    switch (status) {
    case SweepStatus::Completed:
        return "completed";
    case SweepStatus::Refused:
        return "refused";
    case SweepStatus::Failed:
        return "failed";
    case SweepStatus::Stopped:
        return "stopped";
    }
    return "unknown";
}

namespace {

// The header of a sweep, and the chart as its runs read it: without the histories of the run it
// was saved after, which every run clears before it records (so they are only bytes to read), and
// without its windows, which a run has no use for. The chart itself is read once, here, with every
// check a chart file gets.
struct PreparedSweep {
    SweepHeader header;
    std::vector<std::uint8_t> image;
};

PreparedSweep PrepareSweep(const std::vector<std::uint8_t>& chart, const SweepPlan& plan,
                           const SweepOptions& options) {
    PreparedSweep prepared;
    SweepHeader& header = prepared.header;
    header.TotalRuns = plan.RunCount();
    header.Repeat = plan.Repeat;
    header.Seed = plan.Seed;
    header.Range = options.Range.value_or(RunRange{0, header.TotalRuns});
    if (header.Range.first > header.Range.last || header.Range.last > header.TotalRuns)
        throw SweepError("the runs asked for lie outside the sweep");
    for (const SweepAxis& axis : plan.Axes) {
        if (axis.values.empty()) throw SweepError(axis.Label() + " has no values");
        header.AxisLabels.push_back(axis.Label());
    }
    RunServices services(options);
    auto doc = OpenChartDocument(chart, kChartName);
    if (!doc) throw SweepError("the chart cannot be read: " + services.Messages.Text);
    for (const SweepAxis& axis : plan.Axes)
        if (!FindBlock(*doc, axis.block)) {
            CloseChartDocument(std::move(doc));
            throw SweepError("no block is named '" + axis.block + "' (in --vary " + axis.Label() + ")");
        }
    for (const auto& b : doc->Blocks) {
        header.BlockNames.push_back(b->Name);
        b->ClearHistory();
    }
    prepared.image = doc->ModelSnapshot();
    CloseChartDocument(std::move(doc));
    return prepared;
}

} // namespace

SweepHeader MakeSweepHeader(const std::vector<std::uint8_t>& chart, const SweepPlan& plan,
                            const SweepOptions& options) {
    return PrepareSweep(chart, plan, options).header;
}

namespace {

// RunOne, with the histories gathered into `histories` (a buffer an earlier run left, whose room
// is reused).
SweepRun RunOneInto(const std::vector<std::uint8_t>& chart, const SweepPlan& plan, std::uint64_t run,
                    const SweepOptions& options, std::vector<double> histories) {
    SweepRun result;
    result.Histories = std::move(histories);
    result.Histories.clear();
    result.Run = run;
    result.Values = plan.ValuesOf(run);
    result.Seed = plan.SeedOf(run);
    RunServices services(options);
    try {
        auto doc = OpenChartModel(chart, kChartName);
        if (!doc) {
            result.Status = SweepStatus::Refused;
        } else {
            bool found = true;
            for (std::size_t a = 0; a < plan.Axes.size() && found; ++a) {
                CBlock* target = FindBlock(*doc, plan.Axes[a].block);
                found = target != nullptr;
                if (target) target->Params[static_cast<std::size_t>(plan.Axes[a].param)] = result.Values[a];
            }
            if (found) {
                doc->ClockSeed = result.Seed;
                doc->RunSimulation();
                switch (doc->LastRunOutcome) {
                case RunOutcome::Completed:
                    result.Status = SweepStatus::Completed;
                    break;
                case RunOutcome::Stopped:
                    result.Status = SweepStatus::Stopped;
                    break;
                case RunOutcome::Failed:
                    result.Status = SweepStatus::Failed;
                    break;
                default:
                    result.Status = SweepStatus::Refused;
                }
                result.Statistics = doc->RunStatistics;
                // A refused run recorded nothing: what the chart holds is an earlier run's.
                if (result.Status != SweepStatus::Refused) GatherHistories(*doc, result);
            } else {
                result.Status = SweepStatus::Refused;
                services.Messages.MessageBox("a block named in the sweep is missing", "Sweep", MB_OK, 0);
            }
            CloseChartDocument(std::move(doc));
        }
    } catch (const std::bad_alloc&) {
        result.Status = SweepStatus::Failed;
        result.Histories.clear();
        result.Samples = 0;
        services.Messages.MessageBox("not enough memory for the run", "Sweep", MB_OK, 0);
    }
    result.Message = std::move(services.Messages.Text);
    return result;
}

} // namespace

SweepRun RunOne(const std::vector<std::uint8_t>& chart, const SweepPlan& plan, std::uint64_t run,
                const SweepOptions& options) {
    return RunOneInto(chart, plan, run, options, {});
}

bool RunSweep(const std::vector<std::uint8_t>& chart, const SweepPlan& plan, const SweepOptions& options,
              SweepSink& sink) {
    const PreparedSweep prepared = PrepareSweep(chart, plan, options);
    const SweepHeader& header = prepared.header;
    const RunRange range = header.Range;
    sink.Begin(header);
    unsigned threads = options.Threads ? options.Threads : std::max(1u, std::thread::hardware_concurrency());
    threads =
        static_cast<unsigned>(std::max<std::uint64_t>(1, std::min<std::uint64_t>(threads, range.Count())));
    const std::uint64_t window = options.Window ? options.Window : 8u * threads;
    // The writing thread is woken once a batch of results is ready in run order, not for each:
    // every wake costs the workers a switch of their cores.
    const std::uint64_t batch = std::max<std::uint64_t>(1, window / 2);
    auto cancelled = [&] { return options.Cancel && options.Cancel->load(); };

    std::mutex mutex;
    std::condition_variable workerWake;
    std::condition_variable mainWake;
    std::uint64_t next = range.first;    // the next run a worker takes
    std::uint64_t written = range.first; // the next run the sink is given
    std::map<std::uint64_t, SweepRun> ready;
    // History buffers of runs written, for the next runs to fill again without allocating.
    std::vector<std::vector<double>> spare;
    bool quit = false;
    // The first error of a worker or of the sink: every thread stops, and RunSweep throws it.
    std::exception_ptr failure;
    // Whether the writing thread has something to do: an error, or the next batch of results (or
    // all those left) ready in run order. Called with `mutex` held.
    auto writable = [&] {
        if (failure) return true;
        const std::uint64_t need = std::min(batch, range.last - written);
        std::uint64_t have = 0;
        for (auto it = ready.find(written); it != ready.end() && it->first == written + have && have < need;
             ++it)
            ++have;
        return have >= need;
    };

    auto worker = [&] {
        for (;;) {
            std::uint64_t run = 0;
            std::vector<double> buffer;
            {
                std::unique_lock lock(mutex);
                workerWake.wait(lock, [&] { return quit || next >= range.last || next - written < window; });
                if (quit || next >= range.last || cancelled()) return;
                run = next++;
                if (!spare.empty()) {
                    buffer = std::move(spare.back());
                    spare.pop_back();
                }
            }
            bool wake = true;
            try {
                SweepRun result = RunOneInto(prepared.image, plan, run, options, std::move(buffer));
                sink.Prepare(result);
                std::lock_guard lock(mutex);
                ready.emplace(run, std::move(result));
                wake = writable();
            } catch (...) {
                std::lock_guard lock(mutex);
                if (!failure) failure = std::current_exception();
                quit = true;
            }
            if (wake) mainWake.notify_one();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back(worker);

    bool complete = true;
    try {
        while (written < range.last) {
            // The results ready in run order, taken at once; they still count in the window until
            // each is written.
            std::vector<SweepRun> results;
            {
                std::unique_lock lock(mutex);
                // Runs that take long are written when they are ready, not a batch later.
                while (!writable()) {
                    if (cancelled()) break;
                    if (mainWake.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::timeout &&
                        ready.count(written))
                        break;
                }
                if (!failure)
                    for (auto it = ready.find(written);
                         it != ready.end() && it->first == written + results.size(); it = ready.erase(it))
                        results.push_back(std::move(it->second));
                if (results.empty()) {
                    complete = false;
                    break;
                }
            }
            for (SweepRun& result : results) {
                sink.Write(result);
                {
                    std::lock_guard lock(mutex);
                    ++written;
                    if (spare.size() < threads) spare.push_back(std::move(result.Histories));
                }
                workerWake.notify_all();
                if (options.Progress) options.Progress(written - range.first, range.Count());
            }
        }
    } catch (...) {
        std::lock_guard lock(mutex);
        if (!failure) failure = std::current_exception();
        complete = false;
    }
    {
        std::lock_guard lock(mutex);
        quit = true;
    }
    workerWake.notify_all();
    for (std::thread& t : pool)
        t.join();
    if (failure) std::rethrow_exception(failure);
    if (!complete) return false;
    sink.End();
    return true;
}

} // namespace kintra
