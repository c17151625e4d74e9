#include "BlockTestSupport.h"
#include "blocks/TimeBlocks.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace {

// Models with Integrate blocks, carried by the run's integrator.
struct Integrating : BlockRun {
    // dx/dt = gain × input, here fed back: x' = -x from x(0) = 1.
    CBlock* Exponential() {
        CBlock* x = Add(BlockType::Integrate);
        CBlock* back = Add(BlockType::Gain);
        back->Inputs[0] = x;
        back->Params[0] = -1;
        x->Inputs[0] = back;
        x->Params = {1, 1, 1};
        return x;
    }
};

TEST_F(Integrating, IntegrateCarriesItsInputTimesGainFromTheInitialValue) {
    CBlock* line = Add(BlockType::Integrate);
    line->Inputs = {Constant(2), Constant(1), nullptr};
    line->Params[0] = 1.5; // x' = 3 from 1
    CBlock* parabola = Add(BlockType::Integrate);
    parabola->Inputs[0] = doc.Clock(); // x' = t from 0
    doc.RunSimulation();
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Completed);
    ASSERT_EQ(line->HistorySize(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        const double t = Times()[i];
        EXPECT_NEAR(line->HistoryValues()[i], 1 + 3 * t, 1e-12) << "t = " << t;
        EXPECT_NEAR(parabola->HistoryValues()[i], t * t / 2, 1e-12) << "t = " << t;
    }
}

TEST_F(Integrating, AFeedbackLoopThroughIntegrateFollowsTheExponential) {
    CBlock* x = Exponential();
    SetClock(1e-9, 0.1, 2.0);
    doc.RunSimulation();
    ASSERT_EQ(x->HistorySize(), 21u);
    for (std::size_t i = 0; i < 21; ++i)
        EXPECT_NEAR(x->HistoryValues()[i], std::exp(-Times()[i]), 1e-7);
}

TEST_F(Integrating, DecayAndDelayAreExactAtOutputStepsDespiteIntermediateEvaluations) {
    Exponential();
    CBlock* ramp = Add(BlockType::Integrate);
    ramp->Inputs[0] = Constant(1); // t
    CBlock* decay = Add(BlockType::Decay);
    CBlock* delay = Add(BlockType::Delay);
    delay->Inputs[0] = ramp;
    delay->Params[1] = 0.25;
    for (double errorLimit : {1e-9, 1e-3}) {
        SetClock(errorLimit, 0.1, 3.0);
        doc.RunSimulation();
        ASSERT_EQ(decay->HistorySize(), 31u);
        for (std::size_t i = 0; i < 31; ++i) {
            const double t = Times()[i];
            EXPECT_NEAR(decay->HistoryValues()[i], 1 - std::exp(-t), 1e-15) << "t = " << t;
            if (i >= 3) {
                EXPECT_NEAR(delay->HistoryValues()[i], t - 0.25, 1e-12) << "t = " << t;
            }
        }
    }
}

TEST_F(Integrating, SourceBlocksAreSampledOncePerOutputStep) {
    Exponential();
    CBlock* sine = Add(BlockType::SineWave);
    sine->Params = {1, 0, 0};
    CBlock* pulse = Add(BlockType::TimePulse);
    pulse->Params = {0.25, 1, 0};
    CBlock* random = Add(BlockType::Random);
    random->Params = {0, 1, 11};
    // The pulse fed through an Integrate: it holds between output steps, so each pulse adds
    // exactly one output interval.
    CBlock* count = Add(BlockType::Integrate);
    count->Inputs[0] = pulse;
    SetClock(1e-3, 0.1, 1.0);
    doc.RunSimulation();
    std::vector<double> ones;
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_NEAR(sine->HistoryValues()[i], std::sin(2 * 3.141592653589793 * Times()[i]), 1e-12);
        if (pulse->HistoryValues()[i] != 0) ones.push_back(static_cast<double>(i));
    }
    EXPECT_EQ(ones, (std::vector<double>{0, 3, 5, 8}));
    EXPECT_NEAR(count->HistoryValues().back(), 0.4, 1e-12);
    const std::vector<double> first = random->HistoryValues();
    doc.RunSimulation();
    EXPECT_EQ(random->HistoryValues(), first);
}

// Oscillators x'' = -k x: x integrates v, v integrates a Gain of x and starts from the x of the
// oscillator before it. Placed in `order` (positions in the list x0, v0, gain0, x1, ...), then
// linked; returns the blocks in that list's order.
std::vector<CBlock*> PlaceOscillators(COrventDoc& doc, const std::vector<std::size_t>& order) {
    std::vector<std::unique_ptr<CBlock>> made;
    for (std::size_t i = 0; i < order.size(); ++i)
        made.push_back(doc.CreateBlock(i % 3 == 2 ? BlockType::Gain : BlockType::Integrate));
    std::vector<CBlock*> list;
    for (const auto& b : made)
        list.push_back(b.get());
    for (std::size_t p = 0; p < order.size(); ++p) {
        doc.PendingBlock = std::move(made[order[p]]);
        doc.PlaceBlock(1 + static_cast<int>(p % 100), -static_cast<int>(p / 100));
    }
    for (std::size_t i = 0; i + 2 < list.size(); i += 3) {
        CBlock* x = list[i];
        CBlock* v = list[i + 1];
        CBlock* gain = list[i + 2];
        x->Inputs[0] = v;
        x->Params = {1, 1 + static_cast<double>(i % 7), 1};
        v->Inputs = {gain, i ? list[i - 3] : nullptr, nullptr};
        gain->Inputs[0] = x;
        gain->Params[0] = -(1 + static_cast<double>(i % 5));
    }
    return list;
}

// Integrating blocks in any chart order give the same run, however many need moving: only an
// initial value taken from another one asks for an order among them.
TEST_F(Integrating, ManyOscillatorsInAnyOrderRunAsInTheirOrderedPlacement) {
    const std::size_t n = 3 * 2000;
    // v before x, and every initial value's source earlier: no block has to move.
    std::vector<std::size_t> ordered(n);
    for (std::size_t i = 0; i < n; ++i)
        ordered[i] = i % 3 == 0 ? i + 1 : i % 3 == 1 ? i - 1 : i;
    std::vector<std::size_t> shuffled(n);
    for (std::size_t i = 0; i < n; ++i)
        shuffled[i] = i;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(14));
    COrventDoc other;
    other.OnNewDocument();
    const std::vector<CBlock*> a = PlaceOscillators(doc, ordered);
    const std::vector<CBlock*> b = PlaceOscillators(other, shuffled);
    for (COrventDoc* d : {&doc, &other}) {
        d->Clock()->Params = {1e-6, 0.1, 1.0};
        d->RunSimulation();
        ASSERT_EQ(d->LastRunOutcome, RunOutcome::Completed);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::vector<double> x = a[i]->HistoryValues(), y = b[i]->HistoryValues();
        ASSERT_EQ(x.size(), 11u);
        ASSERT_EQ(y.size(), x.size());
        ASSERT_EQ(std::memcmp(x.data(), y.data(), x.size() * sizeof(double)), 0) << "block " << i;
    }
    EXPECT_EQ(b[4]->HistoryValues().front(), 1.0) << "v1 started from x0";
}

} // namespace
