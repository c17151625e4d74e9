#include "BlockTestSupport.h"
#include "blocks/TimeBlocks.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>

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
    ASSERT_EQ(line->History.size(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        const double t = Times()[i];
        EXPECT_NEAR(line->History[i], 1 + 3 * t, 1e-12) << "t = " << t;
        EXPECT_NEAR(parabola->History[i], t * t / 2, 1e-12) << "t = " << t;
    }
}

TEST_F(Integrating, AFeedbackLoopThroughIntegrateFollowsTheExponential) {
    CBlock* x = Exponential();
    SetClock(1e-9, 0.1, 2.0);
    doc.RunSimulation();
    ASSERT_EQ(x->History.size(), 21u);
    for (std::size_t i = 0; i < 21; ++i)
        EXPECT_NEAR(x->History[i], std::exp(-Times()[i]), 1e-7);
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
        ASSERT_EQ(decay->History.size(), 31u);
        for (std::size_t i = 0; i < 31; ++i) {
            const double t = Times()[i];
            EXPECT_NEAR(decay->History[i], 1 - std::exp(-t), 1e-15) << "t = " << t;
            if (i >= 3) {
                EXPECT_NEAR(delay->History[i], t - 0.25, 1e-12) << "t = " << t;
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
        EXPECT_NEAR(sine->History[i], std::sin(2 * 3.141592653589793 * Times()[i]), 1e-12);
        if (pulse->History[i] != 0) ones.push_back(static_cast<double>(i));
    }
    EXPECT_EQ(ones, (std::vector<double>{0, 3, 5, 8}));
    EXPECT_NEAR(count->History.back(), 0.4, 1e-12);
    const std::vector<double> first = random->History;
    doc.RunSimulation();
    EXPECT_EQ(random->History, first);
}

} // namespace
