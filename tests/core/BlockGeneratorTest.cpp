#include "BlockTestSupport.h"
#include "blocks/GeneratorBlocks.h"
#include "blocks/Random.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Generators = BlockRun;
// The expected sequence, drawn from a generator of the test's own.
std::uint32_t g_expected = 1;
void SeedRandom(std::uint32_t seed) {
    g_expected = seed;
}
int NextRandom() {
    return kintra::NextRandom(g_expected);
}
constexpr double kPi = 3.141592653589793;

double Unit(int r) {
    return r * (1.0 / 32767.0);
}

std::vector<std::size_t> Pulses(const CBlock* b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < b->HistorySize(); ++i)
        if (b->HistoryValues()[i] != 0.0) at.push_back(i);
    return at;
}

// ---- Random and Gaussian ----

TEST_F(Generators, RandomDrawsOncePerOutputStepBetweenItsLimits) {
    CBlock* random = Add(BlockType::Random);
    random->Params = {2, 4, 5};
    random->Inputs = {Constant(100), Constant(200), nullptr}; // not read
    doc.RunSimulation();
    SeedRandom(5);
    ASSERT_EQ(random->HistorySize(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(random->HistoryValues()[i], Unit(NextRandom()) * (4 - 2) + 2) << "step " << i;
        EXPECT_GE(random->HistoryValues()[i], 2.0);
        EXPECT_LE(random->HistoryValues()[i], 4.0);
    }
    const std::vector<double> first = random->HistoryValues();
    doc.RunSimulation();
    EXPECT_EQ(random->HistoryValues(), first) << "a fixed seed repeats run after run";
}

TEST_F(Generators, TheBlockInitializedLastSeedsTheSharedGenerator) {
    CBlock* a = Add(BlockType::Random);
    a->Params = {0, 1, 5};
    CBlock* b = Add(BlockType::Random);
    b->Params = {0, 1, 7};
    doc.RunSimulation();
    SeedRandom(7);
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(a->HistoryValues()[i], Unit(NextRandom())) << "step " << i;
        EXPECT_EQ(b->HistoryValues()[i], Unit(NextRandom())) << "step " << i;
    }
}

TEST_F(Generators, ANegativeSwitchSilencesTheNoiseBlocks) {
    CBlock* random = Add(BlockType::Random);
    random->Params = {2, 4, 5};
    random->Inputs[2] = Constant(-1);
    CBlock* gauss = Add(BlockType::Gaussian);
    gauss->Params = {3, 1, 5};
    gauss->Inputs[2] = Constant(-0.5);
    CBlock* open = Add(BlockType::Random);
    open->Params = {2, 4, 5};
    open->Inputs[2] = Constant(0); // zero is not negative
    doc.RunSimulation();
    EXPECT_EQ(random->HistoryValues(), std::vector<double>(11, 0.0));
    EXPECT_EQ(gauss->HistoryValues(), std::vector<double>(11, 0.0));
    SeedRandom(5);
    EXPECT_EQ(open->HistoryValues().front(), Unit(NextRandom()) * 2 + 2) << "silenced blocks draw nothing";
}

TEST_F(Generators, GaussianUsesTheCosineInsideAndOutsideTheRoot) {
    CBlock* gauss = Add(BlockType::Gaussian);
    gauss->Params = {10, 100, 3};
    gauss->Inputs[1] = Constant(2); // input 2 replaces the deviation
    CBlock* flat = Add(BlockType::Gaussian);
    flat->Params = {-4.25, 0, 3};
    doc.RunSimulation();
    SeedRandom(3);
    for (std::size_t i = 0; i < 11; ++i) {
        int r1 = NextRandom();
        int r2 = NextRandom();
        if (r1 == 0) r1 = 1;
        if (r2 == 0) r2 = 1;
        const double w = std::cos(2 * kPi * Unit(r1));
        EXPECT_EQ(gauss->HistoryValues()[i], 10 + 2 * w * std::sqrt(std::fabs(2 * w * std::log(Unit(r2)))))
            << i;
        NextRandom(); // the flat block's two draws
        NextRandom();
    }
    EXPECT_EQ(flat->HistoryValues(), std::vector<double>(11, -4.25))
        << "a zero deviation gives exactly the mean";
}

TEST_F(Generators, AClockSeedStandsInForTheClockOnlyAndTheStateIsTheChartsOwn) {
    CBlock* random = Add(BlockType::Random);
    for (const double seedParam : {0.0, 1.0, 40000.0, 6.0}) {
        random->Params = {0, 1, seedParam};
        doc.ClockSeed = 4000000000u;
        doc.RunSimulation();
        SeedRandom(seedParam == 6.0 ? 6u : 4000000000u);
        for (std::size_t i = 0; i < random->HistorySize(); ++i)
            ASSERT_EQ(random->GetHistoryAt(static_cast<int>(i)), Unit(NextRandom()))
                << "seed " << seedParam << ", step " << i;
        EXPECT_EQ(doc.RandomState, g_expected) << "the chart's own state advanced";
    }
    COrventDoc other;
    other.OnNewDocument();
    EXPECT_EQ(other.RandomState, 1u) << "another chart is untouched";
}

// ---- Jitter ----

TEST_F(Generators, JitterWithEqualTimesPulsesAfterEachWholeUnit) {
    SetClock(1e-7, 0.25, 5.0);
    CBlock* jitter = Add(BlockType::Jitter);
    jitter->Params[2] = 9;
    doc.RunSimulation();
    EXPECT_EQ(Pulses(jitter), (std::vector<std::size_t>{5, 10, 15, 20}));
    EXPECT_EQ(jitter->HistoryValues()[5], 1.0);
    EXPECT_EQ(dynamic_cast<CJitterBlock&>(*jitter).NextTime, 6.0);
}

TEST_F(Generators, JitterSchedulesEachPulseARandomSpanAfterThePrevious) {
    SetClock(1e-7, 0.1, 10.0);
    CBlock* jitter = Add(BlockType::Jitter);
    jitter->Params = {0.7, 0.3, 9}; // "maximum" 0.7, "minimum" 0.3
    jitter->Inputs = {Constant(50), Constant(60), nullptr};
    doc.RunSimulation();
    SeedRandom(9);
    double next = (0.3 - 0.7) * Unit(NextRandom()) + 0.7;
    std::size_t pulses = 0;
    for (std::size_t i = 0; i < Times().size(); ++i) {
        const double t = Times()[i];
        double expected = 0.0;
        if (next < t) {
            expected = 1.0;
            next = (0.3 - 0.7) * Unit(NextRandom()) + t + 0.7;
            ++pulses;
        }
        ASSERT_EQ(jitter->HistoryValues()[i], expected) << "t = " << t;
    }
    EXPECT_GT(pulses, 10u);
}

TEST_F(Generators, JitterIsSilentWhileItsSwitchIsNegative) {
    CBlock* jitter = Add(BlockType::Jitter);
    jitter->Params = {0.1, 0.1, 9};
    jitter->Inputs[2] = Constant(-2);
    doc.RunSimulation();
    EXPECT_TRUE(Pulses(jitter).empty());
}

// ---- Sine Wave Generator ----

TEST_F(Generators, SineWaveFollowsSinTwoPiTWhateverTheErrorLimit) {
    for (double errorLimit : {1e-7, 0.05}) {
        SetClock(errorLimit, 0.1, 2.0);
        CBlock* sine = Add(BlockType::SineWave);
        sine->Params = {1, 0, 0};
        doc.RunSimulation();
        ASSERT_EQ(sine->HistorySize(), 21u);
        for (std::size_t i = 0; i < 21; ++i)
            EXPECT_NEAR(sine->HistoryValues()[i], std::sin(2 * kPi * Times()[i]), 1e-12) << "step " << i;
        doc.DeleteBlock(sine);
    }
}

TEST_F(Generators, SineWaveStartsAfterItsDelayFromThePreviousStep) {
    CBlock* sine = Add(BlockType::SineWave);
    sine->Params = {100, 0.5, 0.45};
    sine->Inputs = {Constant(2), Constant(0.25), nullptr}; // inputs replace frequency and phase
    doc.RunSimulation();
    for (std::size_t i = 0; i < 11; ++i) {
        // The phase moves once t > 0.45, by the time since the previous step (first from 0.4).
        const double phase = i <= 4 ? 0.25 : 0.25 + 2 * 2 * kPi * (Times()[i] - Times()[4]);
        EXPECT_NEAR(sine->HistoryValues()[i], std::sin(phase), 1e-12) << "step " << i;
    }
    EXPECT_NEAR(dynamic_cast<CSineWaveBlock&>(*sine).Phase, 0.25 + 4 * kPi * 0.6, 1e-12);
}

TEST_F(Generators, SineWaveHoldsItsPhaseWhileTheSwitchIsNotPositive) {
    CBlock* held = Add(BlockType::SineWave);
    held->Params = {1, 0.75, 0};
    held->Inputs[2] = Constant(0);
    CBlock* running = Add(BlockType::SineWave);
    running->Params = {1, 0.75, 0};
    running->Inputs[2] = Constant(0.5);
    doc.RunSimulation();
    EXPECT_EQ(held->HistoryValues(), std::vector<double>(11, std::sin(0.75)));
    EXPECT_NEAR(running->HistoryValues().back(), std::sin(0.75 + 2 * kPi), 1e-12);
}

// ---- Time Pulse Generator ----

TEST_F(Generators, TimePulsesKeepTheGridOfTheFirstPulse) {
    CBlock* pulse = Add(BlockType::TimePulse);
    pulse->Params = {0.25, 2.5, 0};
    CBlock* delayed = Add(BlockType::TimePulse);
    delayed->Params = {0.25, 1, 0.35};
    delayed->Inputs[1] = Constant(-3); // input 2 replaces the magnitude
    doc.RunSimulation();
    // 0, 0.30000000000000004, 0.5, 0.7999999999999999; not 0.9999999999999999 (< 1.0).
    EXPECT_EQ(Pulses(pulse), (std::vector<std::size_t>{0, 3, 5, 8}));
    EXPECT_EQ(pulse->HistoryValues()[3], 2.5);
    // From 0.4 on: 0.65 → 0.7, 0.9 → 0.9999999999999999.
    EXPECT_EQ(Pulses(delayed), (std::vector<std::size_t>{4, 7, 10}));
    EXPECT_EQ(delayed->HistoryValues()[4], -3.0);
}

TEST_F(Generators, AConnectedSwitchReplacesTheDelay) {
    CBlock* on = Add(BlockType::TimePulse);
    on->Params = {0.25, 1, 5};
    on->Inputs = {Constant(0.5), nullptr, Constant(0)}; // period from input 1
    CBlock* off = Add(BlockType::TimePulse);
    off->Params = {0.25, 1, 0};
    off->Inputs[2] = Constant(-1);
    // A switch t - 0.45: negative until 0.5.
    CBlock* late = WithInputs(BlockType::Sum, {kOpen, -0.45});
    late->Inputs[0] = doc.Clock();
    CBlock* gated = Add(BlockType::TimePulse);
    gated->Params = {0.25, 1, 0};
    gated->Inputs[2] = late;
    doc.RunSimulation();
    EXPECT_EQ(Pulses(on), (std::vector<std::size_t>{0, 5}))
        << "the last step, 0.9999999999999999, is before 1.0";
    EXPECT_TRUE(Pulses(off).empty());
    EXPECT_EQ(Pulses(gated), (std::vector<std::size_t>{5, 8}));
}

// ---- One Shot ----

TEST_F(Generators, OneShotFiresADelayedPulseAfterTheTriggerRises) {
    SetClock(1e-7, 0.0625, 2.5);
    CBlock* trigger = WithInputs(BlockType::Sum, {kOpen, -0.9375}); // above 0 from t = 1
    trigger->Inputs[0] = doc.Clock();
    CBlock* shot = Add(BlockType::OneShot);
    shot->Inputs[0] = trigger;
    shot->Params = {0.5, 3, 0.2};
    doc.RunSimulation();
    std::vector<std::size_t> expected;
    for (std::size_t i = 0; i < Times().size(); ++i)
        if (Times()[i] >= 1.5 && Times()[i] <= 1.7) expected.push_back(i);
    EXPECT_EQ(Pulses(shot), expected);
    EXPECT_EQ(expected.size(), 4u);
    EXPECT_EQ(shot->HistoryValues()[expected[0]], 3.0);
}

TEST_F(Generators, OneShotRearmsWhenThePulseEndsWithTheTriggerLow) {
    SetClock(1e-7, 0.0625, 3.0);
    CBlock* trigger = Add(BlockType::TimePulse); // a unit pulse at 0, 1 and 2
    trigger->Params = {1, 1, 0};
    CBlock* shot = Add(BlockType::OneShot);
    shot->Inputs = {trigger, Constant(7), Constant(0.25)}; // height and width from inputs
    shot->Params = {0.5, 1, 1};
    doc.RunSimulation();
    // The pulse at 0 is not seen (not yet armed); 1 and 2 fire for 1.5..1.75 and 2.5..2.75.
    std::vector<std::size_t> expected;
    for (std::size_t i = 0; i < Times().size(); ++i) {
        const double t = Times()[i];
        if ((t >= 1.5 && t <= 1.75) || (t >= 2.5 && t <= 2.75)) expected.push_back(i);
    }
    EXPECT_EQ(Pulses(shot), expected);
    EXPECT_EQ(shot->HistoryValues()[expected[0]], 7.0);
}

TEST_F(Generators, OneShotDoesNotFireOnATriggerThatIsHighFromTheStart) {
    CBlock* shot = Add(BlockType::OneShot);
    shot->Inputs[0] = Constant(1);
    shot->Params = {0, 1, 10};
    doc.RunSimulation();
    EXPECT_TRUE(Pulses(shot).empty());
}

// ---- File data ----

TEST_F(Generators, SavedFieldsFollowTheCommonRecord) {
    auto extra = [&](CBlock& b) {
        CArchive all, common;
        b.Serialize(all);
        b.SerializeCommon(common);
        return all.Bytes().size() - common.Bytes().size();
    };
    auto& jitter = dynamic_cast<CJitterBlock&>(*Add(BlockType::Jitter));
    jitter.NextTime = 4.5;
    auto& sine = dynamic_cast<CSineWaveBlock&>(*Add(BlockType::SineWave));
    sine.Phase = -1.25;
    auto& pulse = dynamic_cast<CTimePulseBlock&>(*Add(BlockType::TimePulse));
    pulse.Started = 1;
    pulse.NextTime = 0.75;
    auto& shot = dynamic_cast<COneShotBlock&>(*Add(BlockType::OneShot));
    shot.Armed = 1;
    shot.Firing = 1;
    shot.PulseStart = 2.5;
    EXPECT_EQ(extra(jitter), 8u);
    EXPECT_EQ(extra(sine), 8u);
    EXPECT_EQ(extra(pulse), 12u);
    EXPECT_EQ(extra(shot), 16u);
    EXPECT_EQ(extra(*Add(BlockType::Gaussian)), 0u);
    EXPECT_EQ(extra(*Add(BlockType::Random)), 0u);

    auto j = doc.CreateBlock(BlockType::Jitter);
    RoundTrip(jitter, *j);
    EXPECT_EQ(dynamic_cast<CJitterBlock&>(*j).NextTime, 4.5);
    auto s = doc.CreateBlock(BlockType::SineWave);
    RoundTrip(sine, *s);
    EXPECT_EQ(dynamic_cast<CSineWaveBlock&>(*s).Phase, -1.25);
    auto p = doc.CreateBlock(BlockType::TimePulse);
    RoundTrip(pulse, *p);
    EXPECT_EQ(dynamic_cast<CTimePulseBlock&>(*p).Started, 1);
    EXPECT_EQ(dynamic_cast<CTimePulseBlock&>(*p).NextTime, 0.75);
    auto o = doc.CreateBlock(BlockType::OneShot);
    RoundTrip(shot, *o);
    const auto& loaded = dynamic_cast<COneShotBlock&>(*o);
    EXPECT_EQ(loaded.Armed, 1);
    EXPECT_EQ(loaded.Firing, 1);
    EXPECT_EQ(loaded.PulseStart, 2.5);

    // Started is written before NextTime.
    CArchive out;
    pulse.Serialize(out);
    CArchive common;
    pulse.SerializeCommon(common);
    const auto& bytes = out.Bytes();
    EXPECT_EQ(bytes[common.Bytes().size()], 1);
}

} // namespace
