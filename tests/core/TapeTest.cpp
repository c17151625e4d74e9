// The compiled evaluation must give the same histories, to the last bit, as computing every block
// with its own Compute.

#include "model/Tape.h"
#include "IntegratorTestSupport.h"
#include "model/BlockTypes.h"
#include "model/IntegratorKernels.h"
#include "model/RungeKutta.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <numeric>
#include <random>

namespace {

enum Type {
    Decay = BlockType::Decay,
    Delay = BlockType::Delay,
    Integrate = BlockType::Integrate,
    Divide = BlockType::Divide,
    Multiply = BlockType::Multiply,
    Negate = BlockType::Negate,
    Power = BlockType::Power,
    SquareRoot = BlockType::SquareRoot,
    Sum = BlockType::Sum,
    Sine = BlockType::Sine,
    LogE = BlockType::LogE,
    Relay = BlockType::Relay,
    SineWave = BlockType::SineWave,
    Absolute = BlockType::Absolute,
    BackLash = BlockType::BackLash,
    Integer = BlockType::Integer,
    Limiter = BlockType::Limiter,
    Modulo = BlockType::Modulo,
    Offset = BlockType::Offset,
    Constant = BlockType::Constant,
    Gain = BlockType::Gain,
    Quit = BlockType::Quit,
};

struct Chart {
    TestPlatform platform;
    COrventDoc doc;
    int column = 1;
    Chart() { doc.OnNewDocument(); }
    CBlock* Add(int type, std::initializer_list<CBlock*> inputs = {},
                std::array<double, 3> params = {1, 1, 1}) {
        doc.PendingBlock = doc.CreateBlock(type);
        CBlock* b = doc.PendingBlock.get();
        doc.PlaceBlock(column++, 0);
        int i = 0;
        for (CBlock* in : inputs)
            b->Inputs[i++] = in;
        b->Params = params;
        return b;
    }
    // An Integrate block starting from `initial`, its input connected later.
    CBlock* State(double initial) { return Add(Integrate, {}, {1.0, initial, 1.0}); }
};

struct Outcome {
    std::vector<std::vector<double>> histories;
    // Every block's Value at the end of the run, and at each step of a run window (which shows
    // them, as a chart with live values does).
    std::vector<double> values;
    std::vector<double> liveValues;
    std::vector<std::string> messages;
    RunOutcome outcome;
    std::size_t inlined = 0;
    IntegratorStatistics statistics;
};

Outcome RunModel(const std::function<void(Chart&)>& build, bool compiled) {
    CTape::Enabled = compiled;
    Chart chart;
    build(chart);
    Outcome r;
    chart.platform.windows.onRunStep = [&r](COrventDoc& doc) {
        doc.UpdateRunValues();
        for (const auto& b : doc.Blocks)
            r.liveValues.push_back(b->Value);
    };
    chart.doc.RunSimulation();
    CTape::Enabled = true;
    for (const auto& b : chart.doc.Blocks) {
        r.histories.push_back(b->HistoryValues());
        r.values.push_back(b->Value);
    }
    for (const auto& m : chart.platform.messages.shown)
        r.messages.push_back(m.caption + ": " + m.text);
    r.outcome = chart.doc.LastRunOutcome;
    r.statistics = chart.doc.RunStatistics;
    // Every attempt is accepted or rejected; an attempt evaluates each stage, a completed interval
    // once more at its end (the last interval of a failed run is not completed).
    const IntegratorStatistics& s = r.statistics;
    const auto stages = static_cast<std::size_t>(TableauOfStyle(chart.doc.IntStyle).stages);
    const std::size_t intervals = chart.doc.Clock()->HistorySize() - 1;
    EXPECT_EQ(s.accepted + s.rejected, s.tried);
    EXPECT_LE(s.smallestStep, s.largestStep);
    if (s.tried > 0 && r.outcome == RunOutcome::Completed)
        EXPECT_EQ(s.evaluations, stages * s.tried + intervals);
    else
        EXPECT_LE(s.evaluations, stages * s.tried + intervals);
    return r;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the model block by block and compiled, and compares everything recorded.
Outcome ExpectSameRuns(const std::function<void(Chart&)>& build) {
    const Outcome literal = RunModel(build, false);
    const Outcome compiled = RunModel(build, true);
    EXPECT_EQ(literal.messages, compiled.messages);
    EXPECT_EQ(literal.outcome, compiled.outcome);
    EXPECT_TRUE(literal.statistics == compiled.statistics);
    EXPECT_EQ(literal.histories.size(), compiled.histories.size());
    for (std::size_t b = 0; b < literal.histories.size() && b < compiled.histories.size(); ++b) {
        const auto& l = literal.histories[b];
        const auto& c = compiled.histories[b];
        EXPECT_EQ(l.size(), c.size()) << "block " << b;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < l.size() && i < c.size(); ++i)
            differing += SameBits(l[i], c[i]) ? 0 : 1;
        EXPECT_EQ(differing, 0u) << "block " << b;
    }
    for (std::vector<double> Outcome::*v : {&Outcome::values, &Outcome::liveValues}) {
        const auto &l = literal.*v, &c = compiled.*v;
        EXPECT_EQ(l.size(), c.size());
        for (std::size_t i = 0; i < l.size() && i < c.size(); ++i)
            EXPECT_TRUE(SameBits(l[i], c[i])) << "value " << i << ": " << l[i] << " " << c[i];
    }
    return literal;
}

// A harmonic oscillator x = cos t, v = -sin t, with every arithmetic type reading it in the
// ways its inputs can be connected. Each result with a finite value drives an integrator of its
// own, so any difference also changes the steps.
void EveryArithmeticType(Chart& m) {
    CBlock* x = m.State(1.0);
    CBlock* v = m.State(0.0);
    CBlock* clock = m.doc.Clock();
    CBlock* first = m.Add(Gain, {clock}, {2, 1, 1}); // the first in the evaluation order
    x->Inputs[0] = v;
    v->Inputs[0] = m.Add(Gain, {x}, {-1, 1, 1});
    CBlock* c = m.Add(Constant, {}, {0.7, 1, 1});
    CBlock* wave = m.Add(SineWave, {}, {0.3, 0, 0});
    std::vector<CBlock*> driving{
        first,
        m.Add(Sum, {x, v, clock}, {1, -2, 0.5}),
        m.Add(Sum, {x, nullptr, clock}, {-0.0, 9, 0.25}),
        m.Add(Sum, {nullptr, v}, {9, 3, 9}),
        m.Add(Sum, {nullptr, nullptr, wave}),
        m.Add(Sum),
        m.Add(Multiply, {x, v, c}, {2, 0.5, 3}),
        m.Add(Multiply, {x, nullptr, clock}),
        m.Add(Multiply, {nullptr, wave}, {1, -1, 1}),
        m.Add(Multiply),
        m.Add(Divide, {x, m.Add(Offset, {v}, {3, 1, 1})}, {1, 2, 1}),
        m.Add(Negate, {x}, {0.5, 1, 1}),
        m.Add(Power, {x, m.Add(Offset, {v}, {2, 1, 1})}),
        m.Add(Power, {c, x}, {-2, 3, 1}),
        m.Add(SquareRoot, {v}, {2, 1, 1}),
        m.Add(Gain, {v}, {2.5, 1, 1}),
        m.Add(Gain, {m.Add(Gain, {m.Add(Gain, {v}, {0.3, 1, 1})}, {-7, 1, 1})}, {1.1, 1, 1}),
        m.Add(Gain, {x}, {2, 1, 1}),
        m.Add(Absolute, {v}, {-1, 1, 1}),
        m.Add(Integer, {m.Add(Gain, {x}, {3.7, 1, 1})}),
        m.Add(Modulo, {m.Add(Gain, {x}, {5, 1, 1}), c}),
        m.Add(Modulo, {x}, {5, 0.3, 1}),
        m.Add(Modulo, {x}, {5, 0, 1}),
        m.Add(Offset, {x}, {0.25, 1, 1}),
        // Types that compute for themselves, reading states and inline blocks.
        m.Add(Sine, {m.Add(Sum, {x, clock})}),
        m.Add(BackLash, {m.Add(Gain, {v}, {2, 1, 1})}, {0, 0.2, 1}),
        m.Add(Delay, {x}, {1, 0.25, 0}),
        m.Add(Decay, {x}, {1, 0.5, 0}),
        m.Add(Gain, {m.Add(Sine, {v})}, {3, 1, 1}),
    };
    // A block that reads itself holds its earlier value until it is computed.
    CBlock* self = m.Add(Sum, {nullptr, x}, {0.5, 1, 1});
    self->Inputs[0] = self;
    driving.push_back(self);
    // Results that are not finite are recorded but drive nothing.
    m.Add(Divide, {x, m.Add(Sum)}, {1, 0, 1});
    m.Add(Power, {m.Add(Sum), m.Add(Negate, {m.Add(Constant)}, {2, 1, 1})});
    m.Add(LogE, {v});
    for (CBlock* b : driving)
        m.Add(Integrate, {b}, {1e-2, 0, 1});
    m.doc.Clock()->Params = {1e-7, 0.1, 3.0};
    m.doc.MaxSteps = 1e6;
}

TEST(Tape, EveryArithmeticTypeGivesTheSameHistoriesAsItsOwnCompute) {
    for (int style : {0, 1}) {
        const Outcome r = ExpectSameRuns([style](Chart& m) {
            EveryArithmeticType(m);
            m.doc.IntStyle = style;
        });
        EXPECT_EQ(r.outcome, RunOutcome::Completed) << (r.messages.empty() ? "" : r.messages[0]);
        EXPECT_EQ(r.histories[0].size(), 31u);
    }
}

TEST(Tape, TheSimpleTypesAreInlineAndBorrowedTypeCodesAreNot) {
    Chart m;
    EveryArithmeticType(m);
    PassBlock* impostor = Place(m.doc, 99, 0); // Sum's type code, its own Compute
    impostor->Inputs[0] = m.doc.IntegratingBlocks.empty() ? m.doc.Clock() : m.doc.Blocks[3].get();
    ASSERT_TRUE(m.doc.BuildRunLists());
    CTape tape(m.doc);
    std::size_t computing = 0;
    for (CBlock* b : m.doc.EvalOrder)
        computing += (b->TypeId == Sine || b->TypeId == BackLash || b->TypeId == Delay ||
                      b->TypeId == Decay || b->TypeId == LogE || b == impostor)
                         ? 1
                         : 0;
    EXPECT_EQ(tape.FallbackCount(), computing);
    EXPECT_EQ(tape.InlineCount(), m.doc.EvalOrder.size() - computing);
}

// The oscillator chain of the speed measurements, with Sum and Integrate blocks, placed in chain
// order or (with a seed) in random order.
void OscillatorChain(Chart& m, int n, unsigned shuffle = 0) {
    std::vector<int> types;
    for (int i = 0; i < n; ++i)
        types.insert(types.end(), {Sum, Integrate, Integrate});
    if (shuffle) std::shuffle(types.begin(), types.end(), std::mt19937(shuffle));
    std::vector<CBlock*> sums, integrators;
    for (int type : types)
        (type == Sum ? sums : integrators).push_back(m.Add(type));
    if (shuffle) {
        std::shuffle(sums.begin(), sums.end(), std::mt19937(shuffle + 1));
        std::shuffle(integrators.begin(), integrators.end(), std::mt19937(shuffle + 2));
    }
    CBlock* previous = nullptr;
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        CBlock *s = sums[i], *v = integrators[2 * i], *x = integrators[2 * i + 1];
        v->Inputs[0] = s;
        x->Inputs[0] = v;
        x->Params[1] = i == 0 ? 1.0 : 0.0;
        s->Inputs = {x, v, previous};
        s->Params = {i == 0 ? -1.0 : -1.5, -0.1, 0.5};
        previous = x;
    }
    m.doc.Clock()->Params = {1e-7, 0.1, 100};
}

// Every derivative is read in place, and the Sums after the first read all their inputs side by
// side, in chain order or not.
TEST(Tape, TheOscillatorChainRunsAlikeWithEitherPairAndEveryKernelInAnyOrder) {
    for (KernelLevel kernel : AvailableKernels())
        for (unsigned shuffle : {0u, 7u})
            for (int style : {0, 1}) {
                SCOPED_TRACE(std::string(KernelName(kernel)) + " " + std::to_string(shuffle));
                ForceKernel(kernel);
                const Outcome r = ExpectSameRuns([=](Chart& m) {
                    OscillatorChain(m, 10, shuffle);
                    m.doc.IntStyle = style;
                });
                EXPECT_EQ(r.outcome, RunOutcome::Completed);
                EXPECT_TRUE(r.messages.empty());
                EXPECT_EQ(r.histories[0].size(), 1001u);
                Chart m;
                OscillatorChain(m, 10, shuffle);
                ASSERT_TRUE(m.doc.BuildRunLists());
                const CTape tape(m.doc);
                EXPECT_EQ(tape.StatesInRuns(), 20u);
                EXPECT_EQ(tape.StridedInputs(), 27u);
            }
    ClearForcedKernel();
}

TEST(Tape, FailuresLeaveTheSameHistories) {
    // A divisor that becomes exactly 0 after t = 0.5: the Divide reports it and keeps its value.
    const Outcome divide = ExpectSameRuns([](Chart& m) {
        CBlock* x = m.State(1.0);
        CBlock* step = m.Add(Integer, {m.Add(Offset, {m.Add(Negate, {m.doc.Clock()})}, {1.5, 1, 1})});
        x->Inputs[0] = m.Add(Divide, {x, step}, {-1, 1, 1});
    });
    ASSERT_EQ(divide.messages.size(), 1u);
    EXPECT_EQ(divide.messages[0].rfind("RunTime Error: Divide by zero in block Divide at time 0.5", 0), 0u);
    EXPECT_EQ(divide.outcome, RunOutcome::Failed);

    // 1 / 0 becomes infinite after t = 0.45, and the integer part of infinity is not a number.
    const Outcome nan = ExpectSameRuns([](Chart& m) {
        CBlock* x = m.State(1.0);
        CBlock* step = m.Add(Integer, {m.Add(Offset, {m.Add(Negate, {m.doc.Clock()})}, {1.45, 1, 1})});
        CBlock* inverse = m.Add(Power, {step, m.Add(Constant, {}, {-1, 1, 1})});
        x->Inputs[0] = m.Add(Sum, {m.Add(Integer, {inverse}), x}, {1e-9, -1, 1});
    });
    ASSERT_EQ(nan.messages.size(), 1u);
    EXPECT_EQ(
        nan.messages[0].rfind("RunTime Error: Integration error: a value is not a number at time 0.4", 0),
        0u);

    // Too many steps: a fast oscillation from t = 2 on, with a Sine computing for itself.
    const Outcome steps = ExpectSameRuns([](Chart& m) {
        CBlock* y = m.State(0.0);
        CBlock* late = m.Add(Offset, {m.doc.Clock()}, {-2, 1, 1});
        CBlock* ramp = m.Add(Multiply, {late, m.Add(Integer, {m.Add(Offset, {m.doc.Clock()}, {-1, 1, 1})})});
        y->Inputs[0] = m.Add(Sine, {m.Add(Sum, {m.doc.Clock(), m.Add(Multiply, {ramp, ramp}, {1, 200, 1})})});
        m.doc.Clock()->Params = {1e-7, 1.0, 5.0};
    });
    ASSERT_EQ(steps.messages.size(), 1u);
    EXPECT_EQ(steps.messages[0].rfind("RunTime Error: Excessive integration steps (", 0), 0u);
}

void SampledSource(Chart& m) {
    CBlock* x = m.State(0.0);
    CBlock* wave = m.Add(SineWave, {}, {1.3, 0, 0});
    CBlock* self = m.Add(Sum, {nullptr, wave, x}, {0.5, 1, -1});
    self->Inputs[0] = self;
    x->Inputs[0] = m.Add(Gain, {self}, {2, 1, 1});
    m.Add(Sum, {m.doc.CompanionBlocks[0], m.doc.CompanionBlocks[1], x});
}

TEST(Tape, SourcesSampledBetweenIntervalsAreSeenByTheNextInterval) {
    ExpectSameRuns(SampledSource);
}

// Runs that end early, stopped by a Quit block or from the run window, leave every block with the
// same Value; the window reads them at every step. With a source or a record hook the blocks are
// brought up to date at each output step, otherwise they are only at the window's request.
TEST(Tape, StoppedRunsLeaveTheSameValuesAndShowTheSameOnTheWay) {
    CView window;
    const std::function<void(Chart&)> charts[] = {EveryArithmeticType, SampledSource,
                                                  [](Chart& m) { OscillatorChain(m, 6); }};
    for (const auto& chart : charts)
        for (double quitAfter : {0.0, 0.25, 1.0})
            for (int stopAfter : {0, 1, 7}) {
                SCOPED_TRACE(std::to_string(quitAfter) + " " + std::to_string(stopAfter));
                const Outcome r = ExpectSameRuns([&](Chart& m) {
                    chart(m);
                    m.doc.Clock()->Params = {1e-7, 0.1, 3.0};
                    m.doc.MaxSteps = 1e6;
                    if (quitAfter > 0) m.Add(Quit, {m.doc.Clock()}, {-1, -quitAfter, 1});
                    m.platform.windows.runWindow = &window;
                    m.platform.windows.stopAfterSteps = stopAfter;
                });
                // The Quit stops the run at the first output step after its time, the window after its steps.
                std::size_t steps = 31;
                if (quitAfter > 0) steps = 2 + static_cast<std::size_t>(quitAfter / 0.1 + 1e-9);
                if (stopAfter > 0) steps = std::min(steps, 2 + static_cast<std::size_t>(stopAfter));
                EXPECT_EQ(r.histories[0].size(), steps) << (r.messages.empty() ? "" : r.messages[0]);
            }
}

// Values that make arithmetic misbehave: NaNs of either sign with different payloads (one of
// them signalling), infinities, signed zeros, the ends of the range, and ordinary numbers.
double AwkwardValue(std::mt19937& rng) {
    constexpr std::uint64_t nans[] = {0x7FF8000000000000, 0xFFF8000000000000, 0x7FF800000000BEEF,
                                      0xFFF8000000C0FFEE, 0x7FF0000000000001};
    constexpr double inf = std::numeric_limits<double>::infinity(), big = std::numeric_limits<double>::max(),
                     small = std::numeric_limits<double>::min(),
                     tiny = std::numeric_limits<double>::denorm_min();
    constexpr double numbers[] = {inf,  -inf,    0.0,   -0.0, big,  -big, small,
                                  tiny, -1e-300, 1e300, 1.0,  -1.0, 0.5,  7.0};
    const auto i =
        std::uniform_int_distribution<std::size_t>(0, std::size(nans) + std::size(numbers) - 1)(rng);
    return i < std::size(nans) ? std::bit_cast<double>(nans[i]) : numbers[i - std::size(nans)];
}

// A random chart: constants, integrators and algebraic blocks of the types the program evaluates
// inline and a few that compute for themselves, wired at random (feedback only through the
// integrators, and blocks that read themselves), with awkward parameters.
void RandomChart(Chart& m, std::mt19937& rng) {
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto count = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const double awkward = std::array{0.0, 0.1, 0.4}[static_cast<std::size_t>(count(0, 2))];
    auto param = [&] {
        return chance(awkward) ? AwkwardValue(rng) : std::uniform_real_distribution<double>(-3, 3)(rng);
    };
    std::vector<CBlock*> sources{m.doc.Clock(), m.doc.CompanionBlocks[0], m.doc.CompanionBlocks[1]};
    for (int i = count(1, 3); i > 0; --i)
        sources.push_back(m.Add(Constant, {}, {param(), 1, 1}));
    if (chance(0.3)) sources.push_back(m.Add(SineWave, {}, {param(), param(), 0}));
    std::vector<CBlock*> states;
    for (int i = count(1, 3); i > 0; --i) {
        states.push_back(m.Add(Integrate, {}, {chance(0.5) ? 1.0 : param(), param(), 1}));
        sources.push_back(states.back());
    }
    static const int types[] = {Sum,  Sum,   Multiply, Multiply, Divide, Negate, Power,  SquareRoot,
                                Gain, Gain,  Absolute, Integer,  Modulo, Modulo, Offset, Sine,
                                LogE, Relay, Limiter,  BackLash, Delay,  Decay};
    std::uniform_int_distribution<std::size_t> type(0, std::size(types) - 1);
    for (int i = count(2, 14); i > 0; --i) {
        CBlock* b = m.Add(types[type(rng)], {}, {param(), param(), param()});
        for (int j = 0; j < 3; ++j) {
            if (j >= b->RequiredInputs && chance(0.3)) continue;
            b->Inputs[j] =
                chance(0.05)
                    ? b
                    : sources[std::uniform_int_distribution<std::size_t>(0, sources.size() - 1)(rng)];
        }
        sources.push_back(b);
    }
    for (CBlock* s : states)
        s->Inputs[0] = sources[std::uniform_int_distribution<std::size_t>(0, sources.size() - 1)(rng)];
    m.doc.Clock()->Params = {chance(0.5) ? 1e-3 : 1e-7, 0.1, 0.1 * count(1, 4)};
    m.doc.IntStyle = count(0, 1);
    m.doc.MaxSteps = 300;
}

// Many integrators reading sums, the Clock, themselves and each other in chains, placed
// in random order: most derivatives are read in place, in runs, and the rest are copied out.
void WideChart(Chart& m, std::mt19937& rng) {
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    const std::size_t n = 8 + pick(40);
    std::vector<bool> isState(2 * n, false);
    std::fill(isState.begin(), isState.begin() + static_cast<std::ptrdiff_t>(n), true);
    std::shuffle(isState.begin(), isState.end(), rng);
    std::vector<CBlock*> states, sums;
    for (bool state : isState)
        (state ? states : sums)
            .push_back(m.Add(state ? Integrate : Sum, {}, {1, chance(0.2) ? 0.0 : 1.0, 1}));
    // Sum i mostly reads the integrator that integrates it (a run of inputs side by side), and at
    // times the Sum before it.
    const bool twoInputs = chance(0.5), chained = chance(0.2);
    for (std::size_t i = 0; i < n; ++i) {
        CBlock* in2 = i > 0 && chained && chance(0.3) ? sums[i - 1] : states[pick(n)];
        sums[i]->Inputs = {states[chance(0.9) ? i : pick(n)], twoInputs ? nullptr : states[pick(n)], in2};
        sums[i]->Params = {-1.5, chance(0.97) ? -0.1 : AwkwardValue(rng), 0.5};
    }
    for (std::size_t i = 0; i < n; ++i) {
        CBlock* x = states[i];
        const double r = std::uniform_real_distribution<double>(0, 1)(rng);
        // Integrators feeding each other in a circle are refused for now.
        const std::size_t next = i + 1 < n ? i + 1 + (chance(0.5) ? 0 : pick(n - i - 1)) : i;
        x->Inputs[0] = r < 0.8 ? sums[i] : r < 0.95 ? states[next] : m.doc.Clock();
        if (chance(0.1)) x->Params[0] = chance(0.5) ? -0.5 : AwkwardValue(rng);
    }
    m.doc.Clock()->Params = {1e-4, 0.1, 0.3};
    m.doc.IntStyle = static_cast<int>(pick(2));
    m.doc.MaxSteps = 300;
}

// Integrators reading each other at random, in chains and in circles (which the run lists refuse
// for now, so the links are made after them), constants and the Clock: whatever the order the
// program gives the states, each derivative is found where its run says, and no run reads a state
// before its own.
TEST(Tape, EveryDerivativeIsFoundInItsRunAndNoRunReadsAStateBeforeItsOwn) {
    std::size_t readInPlace = 0; // derivatives read from the states themselves
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("chart " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
        Chart m;
        const std::size_t n = 4 + pick(40);
        std::vector<CBlock*> states, constants;
        for (std::size_t i = 0; i < n; ++i)
            states.push_back(m.State(0.0));
        for (int i = 0; i < 3; ++i)
            constants.push_back(m.Add(Constant, {}, {0.25 * i - 7, 1, 1}));
        ASSERT_TRUE(m.doc.BuildRunLists());
        // At times the first half integrates the second half, state by state (a run over states).
        const bool halves = pick(2) == 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t r = pick(10);
            CBlock* source = r < 6 ? states[pick(n)] : r < 9 ? constants[pick(3)] : m.doc.Clock();
            if (halves && pick(10) != 0) source = i < n / 2 ? states[i + n / 2] : constants[0];
            states[i]->Inputs[0] = source;
            states[i]->Params[0] = pick(8) == 0 ? 2.5 : 1.0;
        }
        CTape tape(m.doc);
        double* y = tape.States();
        std::map<const CBlock*, double> value;
        for (std::size_t i = 0; i < n; ++i)
            value[tape.StateBlock(i)] = y[i] = 100.0 + static_cast<double>(i);
        for (CBlock* c : constants)
            value[c] = c->Value = c->Params[0];
        value[m.doc.Clock()] = 0.5;
        m.doc.Stopped = 0;
        m.doc.IntervalStart = 0.0;
        tape.BeginInterval();
        std::vector<double> dydt(n, -1.0);
        ASSERT_TRUE(tape.Evaluate(0.5, dydt.data()));
        std::size_t count = 0;
        const DerivativeRun* runs = tape.Runs(count);
        std::size_t next = 0;
        for (const DerivativeRun* r = runs; r != runs + count; ++r) {
            ASSERT_EQ(r->begin, next);
            next = r->end;
            for (std::size_t i = r->begin; i < r->end; ++i) {
                const double* at = r->source ? r->source + (i - r->begin) : &dydt[i];
                if (at >= y && at < y + n) {
                    EXPECT_GE(static_cast<std::size_t>(at - y), i);
                    ++readInPlace;
                }
                const CBlock* x = tape.StateBlock(i);
                EXPECT_EQ(*at, value[x->Inputs[0]] * x->Params[0]) << "state " << i;
            }
        }
        EXPECT_EQ(next, n);
    }
    EXPECT_GT(readInPlace, 300u);
}

// Random charts on every kernel this processor has; the wide ones also through the states' runs.
TEST(Tape, RandomChartsGiveTheSameHistoriesAsTheirOwnCompute) {
    for (KernelLevel kernel : AvailableKernels()) {
        ForceKernel(kernel);
        SCOPED_TRACE(KernelName(kernel));
        const bool failedBefore = ::testing::Test::HasFailure();
        auto go = [&] { return failedBefore || !::testing::Test::HasFailure(); };
        for (unsigned seed = 1; seed <= 3000 && go(); ++seed) {
            SCOPED_TRACE("chart " + std::to_string(seed));
            ExpectSameRuns([seed](Chart& m) {
                std::mt19937 rng(seed);
                RandomChart(m, rng);
            });
        }
        std::size_t inRuns = 0, inLoops = 0, strided = 0;
        for (unsigned seed = 1; seed <= 300 && go(); ++seed) {
            SCOPED_TRACE("wide chart " + std::to_string(seed));
            const auto build = [seed](Chart& m) {
                std::mt19937 rng(seed);
                WideChart(m, rng);
            };
            ExpectSameRuns(build);
            Chart m;
            build(m);
            ASSERT_TRUE(m.doc.BuildRunLists());
            const CTape tape(m.doc);
            inRuns += tape.StatesInRuns();
            inLoops += tape.BlocksInLoops();
            strided += tape.StridedInputs();
        }
        EXPECT_GT(inRuns, 300u * 3);
        EXPECT_GT(inLoops, 300u * 2);
        EXPECT_GT(strided, 0u);
    }
    ClearForcedKernel();
}

// Chains of oscillators as above, at times with a Gain between two oscillators, a Negate on each
// speed, breaks in the chain and Multiply blocks reading it, built with their blocks placed in
// chain order and in a random order: both record the same histories, compiled or not, and the
// program finds the same runs and loops in both.
TEST(Tape, AChartPlacedInAnyOrderRunsAsInChainOrder) {
    struct Node {
        int type;
        std::array<int, 3> in; // other nodes, -1: not connected
        std::array<double, 3> params;
    };
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("chart " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto uniform = [&](double lo, double hi) {
            return std::uniform_real_distribution<double>(lo, hi)(rng);
        };
        const bool gains = uniform(0, 1) < 0.5, negates = uniform(0, 1) < 0.5;
        const std::array<double, 3> weights{-1.0 - uniform(0, 1), -0.1 * uniform(0.5, 1.5), 0.5};
        std::vector<Node> nodes;
        auto add = [&](Node node) {
            nodes.push_back(node);
            return static_cast<int>(nodes.size()) - 1;
        };
        int previous = -1;
        for (int i = 4 + static_cast<int>(rng() % 30); i > 0; --i) {
            const int s = add({Sum, {}, weights});
            const int v = add({Integrate, {s, -1, -1}, {1, 0, 1}});
            const int x = add({Integrate, {v, -1, -1}, {1, previous < 0 ? 1.0 : 0.0, 1}});
            int coupling = uniform(0, 1) < 0.1 ? -1 : previous;
            if (gains && coupling >= 0) coupling = add({Gain, {coupling, -1, -1}, {0.9, 1, 1}});
            nodes[static_cast<std::size_t>(s)].in = {x, negates ? add({Negate, {v, -1, -1}, {1, 1, 1}}) : v,
                                                     coupling};
            previous = x;
        }
        for (int i = static_cast<int>(rng() % 4); i > 0; --i)
            add({Multiply,
                 {static_cast<int>(rng() % nodes.size()), static_cast<int>(rng() % nodes.size()), -1},
                 {1, 1, 1}});

        std::vector<std::size_t> places(nodes.size());
        std::iota(places.begin(), places.end(), 0);
        Outcome outcomes[2];
        std::size_t inRuns[2], inLoops[2], strided[2];
        std::vector<std::size_t> historyOf[2]; // of each node, its place in the document's blocks
        for (int shuffled : {0, 1}) {
            if (shuffled) std::shuffle(places.begin(), places.end(), rng);
            const auto build = [&](Chart& m) {
                std::vector<CBlock*> blocks(nodes.size());
                for (std::size_t k : places)
                    blocks[k] = m.Add(nodes[k].type, {}, nodes[k].params);
                for (std::size_t k = 0; k < nodes.size(); ++k)
                    for (std::size_t j = 0; j < 3; ++j)
                        if (nodes[k].in[j] >= 0)
                            blocks[k]->Inputs[j] = blocks[static_cast<std::size_t>(nodes[k].in[j])];
                m.doc.Clock()->Params = {1e-7, 0.1, 4};
                historyOf[shuffled].clear();
                for (CBlock* b : blocks)
                    for (std::size_t at = 0; at < m.doc.Blocks.size(); ++at)
                        if (m.doc.Blocks[at].get() == b) historyOf[shuffled].push_back(at);
            };
            outcomes[shuffled] = ExpectSameRuns(build);
            Chart m;
            build(m);
            ASSERT_TRUE(m.doc.BuildRunLists());
            const CTape tape(m.doc);
            inRuns[shuffled] = tape.StatesInRuns();
            inLoops[shuffled] = tape.BlocksInLoops();
            strided[shuffled] = tape.StridedInputs();
        }
        EXPECT_EQ(outcomes[1].outcome, RunOutcome::Completed);
        EXPECT_TRUE(outcomes[0].statistics == outcomes[1].statistics);
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            const auto& a = outcomes[0].histories[historyOf[0][k]];
            const auto& b = outcomes[1].histories[historyOf[1][k]];
            ASSERT_EQ(a.size(), b.size());
            EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0) << "block " << k;
        }
        EXPECT_EQ(inRuns[0], inRuns[1]);
        EXPECT_EQ(inLoops[0], inLoops[1]);
        EXPECT_EQ(strided[0], strided[1]);
        EXPECT_GT(inRuns[0], 0u);
    }
}

} // namespace
