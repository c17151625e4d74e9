// Speed of a run: two models built from blocks, each against the same model written directly in
// C++ (the same Runge-Kutta 4/5 pair and step-size control, the same recording of every value at
// every output step). The ratio of the two is printed after the measurements.
//
// Oscillator chain: per oscillator i = 1..N a Sum S_i and two Integrate blocks V_i and X_i;
// X_i integrates V_i (from 1 for i = 1, else 0), V_i integrates S_i, and
// S_i = -(1 + 0.5 [i > 1]) X_i - 0.1 V_i + 0.5 X_(i-1). Clock 1e-7, 0.1, 100.
// Gain chain: one Integrate (from 1) fed back through M Gain blocks (-1, then 1, 1, ...).

#include "blocks/Catalogue.h"
#include "model/IntegratorKernels.h"
#include "model/OrventDoc.h"
#include "model/Tape.h"
#include "platform/Text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kSum = BlockType::Sum;
constexpr int kIntegrate = BlockType::Integrate;
constexpr int kGain = BlockType::Gain;
constexpr double kErrorLimit = 1e-7;
constexpr double kInterval = 0.1;
constexpr double kTime = 100.0;

// ---- The models as blocks ----

CBlock* Add(COrventDoc& doc, int type, int column) {
    doc.PendingBlock = doc.CreateBlock(type);
    CBlock* b = doc.PendingBlock.get();
    doc.PlaceBlock(column, 0);
    return b;
}

// In chain order the blocks are placed S_1, V_1, X_1, S_2, ...; shuffled, in a random order (the
// V of an oscillator still before its X).
void BuildOscillatorChain(COrventDoc& doc, int n, unsigned shuffle) {
    doc.OnNewDocument();
    const auto count = static_cast<std::size_t>(n);
    std::vector<std::size_t> order(3 * count); // oscillator of each place: 3i (S), 3i + 1, 3i + 2
    std::iota(order.begin(), order.end(), 0);
    if (shuffle) std::shuffle(order.begin(), order.end(), std::mt19937(shuffle));
    std::vector<CBlock*> s(count), v(count), x(count);
    int column = 1;
    for (std::size_t at : order) {
        const std::size_t i = at / 3;
        if (at % 3 == 0)
            s[i] = Add(doc, kSum, column++);
        else
            (v[i] ? x[i] : v[i]) = Add(doc, kIntegrate, column++);
    }
    for (std::size_t i = 0; i < count; ++i) {
        v[i]->Inputs[0] = s[i];
        x[i]->Inputs[0] = v[i];
        x[i]->Params[1] = i == 0 ? 1.0 : 0.0;
        s[i]->Inputs = {x[i], v[i], i > 0 ? x[i - 1] : nullptr};
        s[i]->Params = {i == 0 ? -1.0 : -1.5, -0.1, 0.5};
    }
    doc.Clock()->Params = {kErrorLimit, kInterval, kTime};
}

void BuildOscillatorChain(COrventDoc& doc, int n) {
    BuildOscillatorChain(doc, n, 0);
}
void BuildShuffledOscillatorChain(COrventDoc& doc, int n) {
    BuildOscillatorChain(doc, n, 1);
}

void BuildGainChain(COrventDoc& doc, int m) {
    doc.OnNewDocument();
    CBlock* y = Add(doc, kIntegrate, 1);
    y->Params[1] = 1.0;
    CBlock* previous = y;
    for (int i = 0; i < m; ++i) {
        CBlock* g = Add(doc, kGain, i + 2);
        g->Inputs[0] = previous;
        g->Params[0] = i == 0 ? -1.0 : 1.0;
        previous = g;
    }
    y->Inputs[0] = previous;
    doc.Clock()->Params = {kErrorLimit, kInterval, kTime};
}

// ---- The models written directly ----

// Cash-Karp 4(5), the fifth-order solution carried forward.
struct CashKarp {
    static constexpr int s = 6;
    static constexpr double c[s] = {0.0, 1.0 / 5.0, 3.0 / 10.0, 3.0 / 5.0, 1.0, 7.0 / 8.0};
    static constexpr double a[s][s] = {
        {},
        {1.0 / 5.0},
        {3.0 / 40.0, 9.0 / 40.0},
        {3.0 / 10.0, -9.0 / 10.0, 6.0 / 5.0},
        {-11.0 / 54.0, 5.0 / 2.0, -70.0 / 27.0, 35.0 / 27.0},
        {1631.0 / 55296.0, 175.0 / 512.0, 575.0 / 13824.0, 44275.0 / 110592.0, 253.0 / 4096.0}};
    static constexpr double b[s] = {37.0 / 378.0, 0.0, 250.0 / 621.0, 125.0 / 594.0, 0.0, 512.0 / 1771.0};
    static constexpr double e[s] = {-277.0 / 64512.0, 0.0,           6925.0 / 370944.0, -6925.0 / 202752.0,
                                    -277.0 / 14336.0, 277.0 / 7084.0};
};

// The integrator of a run, for a model with n states, Derivatives(t, y, dy) and Record().
template <class Model> class DirectRun {
  public:
    explicit DirectRun(Model& model) : m(model), n(model.n), y0(n), ys(n), yn(n), d(n), k(CashKarp::s * n) {}

    // The interval loop of a run, recording as a run does.
    void Run() {
        errorValue = 0.0;
        countValue = 0.0;
        m.Start(ys.data());
        Record(0.0);
        double step = kInterval;
        double start = 0.0;
        const double end = kTime - 0.5 * kInterval;
        do {
            step = Advance(start, step, kInterval);
            Record(start + kInterval);
            if (step == 0.0) break;
            start += kInterval;
        } while (start < end);
    }

    std::vector<double> time, error, count;
    std::size_t evaluations = 0;

  private:
    void Record(double t) {
        time.push_back(t);
        error.push_back(errorValue);
        count.push_back(countValue);
        m.Record(ys.data());
    }

    // ys := y0 + a(J, 0) k0 + ... + a(J, J-1) k(J-1).
    template <int J, std::size_t... Q> void Stage(std::index_sequence<Q...>) {
        const double* kq[] = {&k[Q * n]...};
        for (std::size_t i = 0; i < n; ++i) {
            double sum = y0[i];
            ((sum += CashKarp::a[J][Q] * kq[Q][i]), ...);
            ys[i] = sum;
        }
    }

    void Evaluate(double t) {
        ++evaluations;
        m.Derivatives(t, ys.data(), d.data());
    }

    double Advance(double start, double h, double L) {
        double T = 0.0, attempts = 0.0, largest = 0.0, uncut = 0.0, finalUncut = 0.0;
        bool cut = false, finalCut = false;
        double last = 0.0;
        std::copy(ys.begin(), ys.end(), y0.begin());
        for (;;) {
            attempts += 1.0;
            const double H = h;
            const bool stepWasCut = cut;
            const double stepUncut = uncut;
            for (int j = 0; j < CashKarp::s; ++j) {
                switch (j) {
                case 0:
                    std::copy(y0.begin(), y0.end(), ys.begin());
                    break;
                case 1:
                    Stage<1>(std::make_index_sequence<1>{});
                    break;
                case 2:
                    Stage<2>(std::make_index_sequence<2>{});
                    break;
                case 3:
                    Stage<3>(std::make_index_sequence<3>{});
                    break;
                case 4:
                    Stage<4>(std::make_index_sequence<4>{});
                    break;
                default:
                    Stage<5>(std::make_index_sequence<5>{});
                    break;
                }
                Evaluate(start + T + CashKarp::c[j] * H);
                double* kj = &k[static_cast<std::size_t>(j) * n];
                for (std::size_t i = 0; i < n; ++i)
                    kj[i] = H * d[i];
            }
            // The weights b2 and b5 and e2 are zero; the weights e sum to zero, so the error is
            // formed from the differences to the first stage.
            const double *k0 = &k[0], *k2 = &k[2 * n], *k3 = &k[3 * n], *k4 = &k[4 * n], *k5 = &k[5 * n];
            double err = 0.0;
            bool nan = false;
            for (std::size_t i = 0; i < n; ++i) {
                yn[i] = y0[i] + CashKarp::b[0] * k0[i] + CashKarp::b[2] * k2[i] + CashKarp::b[3] * k3[i] +
                        CashKarp::b[5] * k5[i];
                const double e = 0.0 + CashKarp::e[2] * (k2[i] - k0[i]) + CashKarp::e[3] * (k3[i] - k0[i]) +
                                 CashKarp::e[4] * (k4[i] - k0[i]) + CashKarp::e[5] * (k5[i] - k0[i]);
                const double v = std::fabs(e);
                nan |= v != v;
                err = v > err ? v : err;
            }
            if (nan) return 0.0;
            const bool accepted = err < kErrorLimit;
            const double p = err <= kErrorLimit ? 0.2 : 0.25;
            h = H * 0.9 * std::fabs(std::pow(kErrorLimit / err, p));
            if (!(accepted && stepWasCut) && L / h > 100.0) return 0.0;
            cut = false;
            if (!accepted) continue;
            largest = std::max(largest, err);
            T += H;
            last = H;
            if (h > L - T) {
                uncut = h;
                h = L - T;
                cut = true;
            }
            if (!(T < L)) {
                finalCut = stepWasCut;
                finalUncut = stepUncut;
                break;
            }
            std::swap(y0, yn);
        }
        std::copy(yn.begin(), yn.end(), ys.begin());
        Evaluate(start + L);
        errorValue = largest;
        countValue = attempts;
        return finalCut ? std::min(finalUncut, L) : last;
    }

    Model& m;
    std::size_t n;
    std::vector<double> y0, ys, yn, d, k;
    double errorValue = 0.0, countValue = 0.0;
};

// States v_1, x_1, v_2, x_2, ...; the sums are kept for the recording.
struct DirectOscillatorChain {
    explicit DirectOscillatorChain(int oscillators)
        : count(static_cast<std::size_t>(oscillators)), n(2 * count), sums(count), x(count), v(count),
          s(count) {}
    void Start(double* y) {
        for (std::size_t i = 0; i < count; ++i) {
            y[2 * i] = 0.0;
            y[2 * i + 1] = i == 0 ? 1.0 : 0.0;
        }
        for (std::size_t i = 0; i < count; ++i) {
            x[i].clear();
            v[i].clear();
            s[i].clear();
            x[i].reserve(1002);
            v[i].reserve(1002);
            s[i].reserve(1002);
        }
        std::vector<double> d(n);
        Derivatives(0.0, y, d.data());
    }
    void Derivatives(double /*t*/, const double* y, double* dy) {
        const double s0 = y[1] * -1.0 + y[0] * -0.1;
        sums[0] = s0;
        dy[0] = s0;
        dy[1] = y[0];
        for (std::size_t i = 1; i < count; ++i) {
            const double si = y[2 * i + 1] * -1.5 + y[2 * i] * -0.1 + y[2 * i - 1] * 0.5;
            sums[i] = si;
            dy[2 * i] = si;
            dy[2 * i + 1] = y[2 * i];
        }
    }
    void Record(const double* y) {
        for (std::size_t i = 0; i < count; ++i) {
            v[i].push_back(y[2 * i]);
            x[i].push_back(y[2 * i + 1]);
            s[i].push_back(sums[i]);
        }
    }
    std::size_t count, n;
    std::vector<double> sums;
    std::vector<std::vector<double>> x, v, s;
};

struct DirectGainChain {
    explicit DirectGainChain(int gains)
        : m(static_cast<std::size_t>(gains)), gain(m, 1.0), g(m), history(m + 1) {
        gain[0] = -1.0;
    }
    void Start(double* y) {
        y[0] = 1.0;
        for (auto& h : history) {
            h.clear();
            h.reserve(1002);
        }
        double d = 0.0;
        Derivatives(0.0, y, &d);
    }
    void Derivatives(double /*t*/, const double* y, double* dy) {
        double value = y[0];
        for (std::size_t i = 0; i < m; ++i)
            g[i] = value = value * gain[i];
        dy[0] = value;
    }
    void Record(const double* y) {
        history[0].push_back(y[0]);
        for (std::size_t i = 0; i < m; ++i)
            history[i + 1].push_back(g[i]);
    }
    std::size_t m;
    std::size_t n = 1;
    std::vector<double> gain, g;
    std::vector<std::vector<double>> history;
};

// ---- Measurements ----

void SetCounters(benchmark::State& state, std::size_t evaluations, std::size_t blocks) {
    state.counters["evaluations"] = static_cast<double>(evaluations);
    state.counters["per_block_eval"] =
        benchmark::Counter(static_cast<double>(evaluations * blocks),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <class Direct> std::size_t DirectEvaluations(int size) {
    Direct model(size);
    DirectRun<Direct> run(model);
    run.Run();
    return run.evaluations;
}

// The kernel of the second argument when there is one (a KernelLevel), else the active one.
void RunBlocks(benchmark::State& state, void (*build)(COrventDoc&, int), std::size_t evaluations,
               bool compiled) {
    COrventDoc doc;
    build(doc, static_cast<int>(state.range(0)));
    CTape::Enabled = compiled;
    const auto kernel = state.range(1) >= 0 ? static_cast<KernelLevel>(state.range(1)) : ActiveKernel();
    ForceKernel(kernel);
    state.SetLabel(KernelName(ActiveKernel()));
    for (auto _ : state) {
        doc.RunSimulation();
        if (doc.LastRunOutcome != RunOutcome::Completed) state.SkipWithError("the run failed");
    }
    ClearForcedKernel();
    CTape::Enabled = true;
    // Every block of the model is evaluated once per evaluation (the Clock and companions aside).
    SetCounters(state, evaluations, doc.Blocks.size() - 3);
}

void BM_OscillatorChainBlocks(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    RunBlocks(state, BuildOscillatorChain, DirectEvaluations<DirectOscillatorChain>(n), true);
}
void BM_ShuffledOscillatorChainBlocks(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    RunBlocks(state, BuildShuffledOscillatorChain, DirectEvaluations<DirectOscillatorChain>(n), true);
}
void BM_OscillatorChainBlocksLiteral(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    RunBlocks(state, BuildOscillatorChain, DirectEvaluations<DirectOscillatorChain>(n), false);
}
void BM_OscillatorChainDirect(benchmark::State& state) {
    DirectOscillatorChain model(static_cast<int>(state.range(0)));
    std::size_t evaluations = 0;
    for (auto _ : state) {
        DirectRun<DirectOscillatorChain> run(model);
        run.Run();
        evaluations = run.evaluations;
        benchmark::DoNotOptimize(model.x.back().back());
    }
    SetCounters(state, evaluations, 3 * model.count);
}
void BM_GainChainBlocks(benchmark::State& state) {
    const auto m = static_cast<int>(state.range(0));
    RunBlocks(state, BuildGainChain, DirectEvaluations<DirectGainChain>(m), true);
}
void BM_GainChainDirect(benchmark::State& state) {
    DirectGainChain model(static_cast<int>(state.range(0)));
    std::size_t evaluations = 0;
    for (auto _ : state) {
        DirectRun<DirectGainChain> run(model);
        run.Run();
        evaluations = run.evaluations;
        benchmark::DoNotOptimize(model.history.back().back());
    }
    SetCounters(state, evaluations, model.m + 1);
}

constexpr int kSizes[] = {10, 100, 1000, 10000};
// Sizes with the active kernel (-1), and N = 1,000 with every kernel the processor has.
void BlockArgs(benchmark::internal::Benchmark* b) {
    for (int n : kSizes)
        b->Args({n, -1});
    for (KernelLevel level : AvailableKernels())
        b->Args({1000, static_cast<int>(level)});
}
void DirectArgs(benchmark::internal::Benchmark* b) {
    for (int n : kSizes)
        b->Args({n});
}

BENCHMARK(BM_OscillatorChainBlocks)->Apply(BlockArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OscillatorChainDirect)->Apply(DirectArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShuffledOscillatorChainBlocks)->Args({1000, -1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OscillatorChainBlocksLiteral)->Args({1000, -1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GainChainBlocks)
    ->Args({10, -1})
    ->Args({100, -1})
    ->Args({1000, -1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GainChainDirect)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- The same numbers both ways ----

// The recorded values of a block (the one place that knows where a run keeps them).
std::vector<double> HistoryOf(const CBlock& b) {
    return b.HistoryValues();
}

// Bit for bit, so NaN payloads and signed zeros count.
bool Same(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Every history of a run through the program against the same run block by block.
bool SameAsPlainPath(void (*build)(COrventDoc&, int), int n) {
    COrventDoc fast, plain;
    build(fast, n);
    build(plain, n);
    fast.RunSimulation();
    CTape::Enabled = false;
    plain.RunSimulation();
    CTape::Enabled = true;
    bool same = fast.LastRunOutcome == RunOutcome::Completed && fast.Blocks.size() == plain.Blocks.size();
    for (std::size_t i = 0; same && i < fast.Blocks.size(); ++i)
        same = Same(HistoryOf(*fast.Blocks[i]), HistoryOf(*plain.Blocks[i]));
    return same;
}

bool CheckOscillatorChain(int n) {
    COrventDoc doc;
    BuildOscillatorChain(doc, n);
    doc.RunSimulation();
    DirectOscillatorChain model(n);
    DirectRun<DirectOscillatorChain> run(model);
    run.Run();
    bool same = Same(HistoryOf(*doc.Clock()), run.time) && Same(HistoryOf(*doc.Blocks[1]), run.error) &&
                Same(HistoryOf(*doc.Blocks[2]), run.count);
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(3 + 3 * i);
        const auto u = static_cast<std::size_t>(i);
        same = same && Same(HistoryOf(*doc.Blocks[at]), model.s[u]) &&
               Same(HistoryOf(*doc.Blocks[at + 1]), model.v[u]) &&
               Same(HistoryOf(*doc.Blocks[at + 2]), model.x[u]);
    }
    return same;
}

bool CheckGainChain(int m) {
    COrventDoc doc;
    BuildGainChain(doc, m);
    doc.RunSimulation();
    DirectGainChain model(m);
    DirectRun<DirectGainChain> run(model);
    run.Run();
    bool same = Same(HistoryOf(*doc.Clock()), run.time) && Same(HistoryOf(*doc.Blocks[2]), run.count);
    for (int i = 0; i <= m; ++i)
        same = same && Same(HistoryOf(*doc.Blocks[static_cast<std::size_t>(3 + i)]),
                            model.history[static_cast<std::size_t>(i)]);
    return same;
}

// Keeps the times of every run (the medians when repeated) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    struct Times {
        double real;
        double cpu;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median")
                    medians[name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
            } else {
                samples[name].push_back({r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()});
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The median of the repetitions, or the single run; zero when the benchmark did not run.
    Times Of(const std::string& name) const {
        if (auto m = medians.find(name); m != medians.end()) return m->second;
        auto s = samples.find(name);
        if (s == samples.end() || s->second.empty()) return {0.0, 0.0};
        std::vector<double> real, cpu;
        for (const Times& t : s->second) {
            real.push_back(t.real);
            cpu.push_back(t.cpu);
        }
        std::sort(real.begin(), real.end());
        std::sort(cpu.begin(), cpu.end());
        return {real[real.size() / 2], cpu[cpu.size() / 2]};
    }
    std::map<std::string, std::vector<Times>> samples;
    std::map<std::string, Times> medians;
};

// blocks / direct for one size; `kernel` is the second argument of the blocks' run (-1: active).
void PrintRatio(const RatioReporter& reporter, const std::string& model, int size, const std::string& blocks,
                int kernel, const std::string& note) {
    const std::string name =
        "BM_" + (blocks == "Shuffled" ? "ShuffledOscillatorChainBlocks" : model + blocks);
    const bool twoArgs = model == "OscillatorChain" || model == "GainChain";
    const RatioReporter::Times b = reporter.Of(name + FormatString("/%d", size) +
                                               (twoArgs ? FormatString("/%d", kernel) : std::string()));
    const RatioReporter::Times d = reporter.Of("BM_" + model + "Direct" + FormatString("/%d", size));
    const char* kernelName = KernelName(kernel >= 0 ? static_cast<KernelLevel>(kernel) : ActiveKernel());
    if (b.real > 0 && d.real > 0 && b.cpu > 0 && d.cpu > 0)
        std::printf("  %-16s %6d %-7s blocks %9.3f ms  direct %9.3f ms  ratio %5.2f (real time %5.2f)%s\n",
                    model.c_str(), size, kernelName, b.cpu, d.cpu, b.cpu / d.cpu, b.real / d.real,
                    note.c_str());
}

} // namespace

int main(int argc, char** argv) {
    RegisterBlockTypes();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("kernel of the run's passes: %s\n", KernelName(ActiveKernel()));
    // KINTRA_BENCH_NO_CHECKS: measurements only (e.g. under callgrind).
    if (std::getenv("KINTRA_BENCH_NO_CHECKS")) {
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        return 0;
    }
    for (int n : kSizes)
        std::printf("oscillator chain %5d: blocks and direct histories %s\n", n,
                    CheckOscillatorChain(n) ? "identical" : "DIFFER");
    for (int m : {10, 100, 1000})
        std::printf("gain chain       %5d: blocks and direct histories %s\n", m,
                    CheckGainChain(m) ? "identical" : "DIFFER");
    // Every kernel against the plain path (block by block, the plain sums).
    for (KernelLevel level : AvailableKernels()) {
        ForceKernel(level);
        for (int n : {10, 1000})
            std::printf("oscillator chain %5d, %-6s: histories %s the plain path's\n", n, KernelName(level),
                        SameAsPlainPath(BuildOscillatorChain, n) ? "identical to" : "DIFFER from");
        std::printf("shuffled chain    1000, %-6s: histories %s the plain path's\n", KernelName(level),
                    SameAsPlainPath(BuildShuffledOscillatorChain, 1000) ? "identical to" : "DIFFER from");
        std::printf("gain chain        1000, %-6s: histories %s the plain path's\n", KernelName(level),
                    SameAsPlainPath(BuildGainChain, 1000) ? "identical to" : "DIFFER from");
    }
    ClearForcedKernel();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nblocks / direct, CPU time of a run:\n");
    for (int n : kSizes)
        PrintRatio(reporter, "OscillatorChain", n, "Blocks", -1, "");
    for (KernelLevel level : AvailableKernels())
        PrintRatio(reporter, "OscillatorChain", 1000, "Blocks", static_cast<int>(level), "");
    PrintRatio(reporter, "OscillatorChain", 1000, "Shuffled", -1, " blocks placed in random order");
    for (int n : {10, 100, 1000})
        PrintRatio(reporter, "GainChain", n, "Blocks", -1, "");
    PrintRatio(reporter, "OscillatorChain", 1000, "BlocksLiteral", -1, " every block by its own Compute");
    benchmark::Shutdown();
    return 0;
}
