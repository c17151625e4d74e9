// Speed of a run: two models built from blocks, each against the same model written directly in
// C++ (the same Runge-Kutta 4/5 pair and step-size control, the same recording of every value at
// every output step). The ratio of the two is printed after the measurements.
//
// Oscillator chain: per oscillator i = 1..N a Sum S_i and two Integrate blocks V_i and X_i;
// X_i integrates V_i (from 1 for i = 1, else 0), V_i integrates S_i, and
// S_i = -(1 + 0.5 [i > 1]) X_i - 0.1 V_i + 0.5 X_(i-1). Clock 1e-7, 0.1, 100.
// Gain chain: one Integrate (from 1) fed back through M Gain blocks (-1, then 1, 1, ...).

#include "blocks/Catalogue.h"
#include "model/OrventDoc.h"
#include "model/Tape.h"
#include "platform/Text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
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

void BuildOscillatorChain(COrventDoc& doc, int n) {
    doc.OnNewDocument();
    int column = 1;
    CBlock* previous = nullptr;
    for (int i = 0; i < n; ++i) {
        CBlock* s = Add(doc, kSum, column++);
        CBlock* v = Add(doc, kIntegrate, column++);
        CBlock* x = Add(doc, kIntegrate, column++);
        v->Inputs[0] = s;
        x->Inputs[0] = v;
        x->Params[1] = i == 0 ? 1.0 : 0.0;
        s->Inputs = {x, v, previous};
        s->Params = {i == 0 ? -1.0 : -1.5, -0.1, 0.5};
        previous = x;
    }
    doc.Clock()->Params = {kErrorLimit, kInterval, kTime};
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

void RunBlocks(benchmark::State& state, void (*build)(COrventDoc&, int), std::size_t evaluations,
               bool compiled) {
    COrventDoc doc;
    build(doc, static_cast<int>(state.range(0)));
    CTape::Enabled = compiled;
    for (auto _ : state) {
        doc.RunSimulation();
        if (doc.LastRunOutcome != RunOutcome::Completed) state.SkipWithError("the run failed");
    }
    CTape::Enabled = true;
    // Every block of the model is evaluated once per evaluation (the Clock and companions aside).
    SetCounters(state, evaluations, doc.Blocks.size() - 3);
}

void BM_OscillatorChainBlocks(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    RunBlocks(state, BuildOscillatorChain, DirectEvaluations<DirectOscillatorChain>(n), true);
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

BENCHMARK(BM_OscillatorChainBlocks)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OscillatorChainDirect)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OscillatorChainBlocksLiteral)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GainChainBlocks)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GainChainDirect)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- The same numbers both ways ----

bool Same(const std::vector<double>& a, const std::vector<double>& b) {
    return a == b;
}

bool CheckOscillatorChain(int n) {
    COrventDoc doc;
    BuildOscillatorChain(doc, n);
    doc.RunSimulation();
    DirectOscillatorChain model(n);
    DirectRun<DirectOscillatorChain> run(model);
    run.Run();
    bool same = Same(doc.Clock()->HistoryValues(), run.time) &&
                Same(doc.Blocks[1]->HistoryValues(), run.error) &&
                Same(doc.Blocks[2]->HistoryValues(), run.count);
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(3 + 3 * i);
        const auto u = static_cast<std::size_t>(i);
        same = same && Same(doc.Blocks[at]->HistoryValues(), model.s[u]) &&
               Same(doc.Blocks[at + 1]->HistoryValues(), model.v[u]) &&
               Same(doc.Blocks[at + 2]->HistoryValues(), model.x[u]);
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
    bool same =
        Same(doc.Clock()->HistoryValues(), run.time) && Same(doc.Blocks[2]->HistoryValues(), run.count);
    for (int i = 0; i <= m; ++i)
        same = same && Same(doc.Blocks[static_cast<std::size_t>(3 + i)]->HistoryValues(),
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

void PrintRatio(const RatioReporter& reporter, const std::string& model, int size, const std::string& blocks,
                const char* note) {
    const std::string suffix = FormatString("/%d", size);
    const RatioReporter::Times b = reporter.Of("BM_" + model + blocks + suffix);
    const RatioReporter::Times d = reporter.Of("BM_" + model + "Direct" + suffix);
    if (b.real > 0 && d.real > 0 && b.cpu > 0 && d.cpu > 0)
        std::printf("  %-16s %5d: %5.2f (real time %5.2f)%s\n", model.c_str(), size, b.cpu / d.cpu,
                    b.real / d.real, note);
}

} // namespace

int main(int argc, char** argv) {
    RegisterBlockTypes();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (int n : {10, 100, 1000})
        std::printf("oscillator chain %4d: blocks and direct histories %s\n", n,
                    CheckOscillatorChain(n) ? "identical" : "DIFFER");
    for (int m : {10, 100, 1000})
        std::printf("gain chain       %4d: blocks and direct histories %s\n", m,
                    CheckGainChain(m) ? "identical" : "DIFFER");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nblocks / direct, CPU time of a run:\n");
    for (const char* model : {"OscillatorChain", "GainChain"})
        for (int n : {10, 100, 1000})
            PrintRatio(reporter, model, n, "Blocks", "");
    PrintRatio(reporter, "OscillatorChain", 1000, "BlocksLiteral", " every block by its own Compute");
    benchmark::Shutdown();
    return 0;
}
