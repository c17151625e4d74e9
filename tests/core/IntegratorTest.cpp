#include "model/Integrator.h"
#include "IntegratorTestSupport.h"
#include "model/BlockTypes.h"
#include "model/ClockBlock.h"
#include "model/RungeKutta.h"
#include "model/Solver.h"
#include "model/Tape.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <regex>
#include <string>

namespace {

// The integration of a run with the pair of `style` (0: 4/5, 1: 7/8), evaluating block by block.
std::unique_ptr<CSolver> MakePair(COrventDoc& doc, int style) {
    return std::make_unique<CSolver>(doc, style, doc.IntegratingBlocks.size(), false);
}

void ExpectConsistentTableau(const ButcherTableau& rk) {
    const int s = rk.stages;
    double b = 0.0, embedded = 0.0;
    for (int j = 0; j < s; ++j) {
        double row = 0.0;
        for (int k = 0; k < j; ++k)
            row += rk.A(j, k);
        EXPECT_NEAR(row, rk.c[j], 1e-15) << "row " << j;
        for (int k = j; k < s; ++k)
            EXPECT_EQ(rk.A(j, k), 0.0) << "row " << j << " is explicit";
        b += rk.b[j];
        embedded += rk.b[j] - rk.e[j];
    }
    EXPECT_NEAR(b, 1.0, 1e-15);
    EXPECT_NEAR(embedded, 1.0, 1e-15);
}

TEST(IntegratorTableau, RowsSumToTheirNodesAndBothWeightSetsToOne) {
    ExpectConsistentTableau(kRungeKutta45);
    ExpectConsistentTableau(kRungeKutta78);
    TestModel m;
    CSolver rk45(m.doc, 0, 0, false);
    CSolver rk78(m.doc, 1, 0, false);
    EXPECT_EQ(rk45.Integrator().Tableau().stages, 6);
    EXPECT_EQ(rk78.Integrator().Tableau().stages, 13);
    EXPECT_EQ(kRungeKutta45.e[1], 0.0);
    EXPECT_EQ(rk45.Integrator().Controller().Tolerance(), 1e-7) << "the Clock's error limit";
}

// The next step is h x 0.9 x (tolerance / err)^p, with p the grow exponent (1/5, 1/8) for an
// error at or below the tolerance and the shrink exponent (1/4, 1/7) above it, and no bounds on
// the factor. The ratios are exact powers, so each case has an exact factor.
TEST(IntegratorControl, TheStepGrowsAndShrinksWithItsOwnExponentDampedByTheSafetyFactor) {
    TestModel m;
    CSolver solver45(m.doc, 0, 0, false);
    CSolver solver78(m.doc, 1, 0, false);
    const CIntegrator& rk45 = solver45.Integrator();
    const CIntegrator& rk78 = solver78.Integrator();
    const double tol = rk45.Controller().Tolerance();
    const struct {
        const CIntegrator& rk;
        double err;
        double factor;
    } cases[] = {
        {rk45, tol / 32, 1.8},      {rk45, tol * 16, 0.45},     {rk45, tol, 0.9},
        {rk78, tol / 256, 1.8},     {rk78, tol * 128, 0.45},    {rk78, tol, 0.9},
        {rk45, tol / 1e40, 0.9e8},  {rk45, tol * 1e16, 0.9e-4}, {rk78, tol / 1e64, 0.9e8},
        {rk78, tol * 1e28, 0.9e-4},
    };
    for (const auto& c : cases) {
        const double next = c.rk.NextStepSize(c.err, 0.5);
        EXPECT_NEAR(next, 0.5 * c.factor, 0.5 * c.factor * 1e-12)
            << c.rk.Tableau().stages << " stages, tolerance / error " << tol / c.err;
    }
    EXPECT_EQ(rk45.NextStepSize(0.0, 0.5), HUGE_VAL) << "no error: the step grows without bound";
}

// A limit cycle (x, y) and z' = cos(t) z: non-linear, coupled and time-dependent, so every order
// condition of a pair takes part. Exact: r = 1 / sqrt(1 + (1/r0^2 - 1) e^(-2t)), angle t; z = e^sin t.
struct LimitCycle : TestModel {
    TestIntegrate* x = Integrate(0.5);
    TestIntegrate* y = Integrate(0.0);
    TestIntegrate* z = Integrate(1.0);
    LimitCycle() {
        auto r2 = [](const FnBlock& f) { return f.In(0) * f.In(0) + f.In(1) * f.In(1); };
        x->Inputs[0] = Fn([=](const FnBlock& f) { return -f.In(1) + f.In(0) * (1 - r2(f)); }, {x, y});
        y->Inputs[0] = Fn([=](const FnBlock& f) { return f.In(0) + f.In(1) * (1 - r2(f)); }, {x, y});
        z->Inputs[0] = Fn([](const FnBlock& f) { return std::cos(f.Time()) * f.In(0); }, {z});
    }
    double Error(double t) const {
        const double r = 1.0 / std::sqrt(1.0 + (1.0 / 0.25 - 1.0) * std::exp(-2 * t));
        const double ex = x->Value - r * std::cos(t), ey = y->Value - r * std::sin(t),
                     ez = z->Value - std::exp(std::sin(t));
        return std::sqrt(ex * ex + ey * ey + ez * ez);
    }
};

// Error at t = span after fixed steps of span / steps.
double FixedStepError(int style, double span, int steps) {
    LimitCycle m;
    m.PrepareRun();
    auto rk = MakePair(m.doc, style);
    rk->Integrator().adaptive = 0;
    EXPECT_EQ(rk->AdvanceInterval(span / steps, span).nextStep, span / steps);
    EXPECT_EQ(m.doc.Clock()->Value, span);
    return m.Error(span);
}

// The fused passes of every kernel take the steps of the plain sums to the last bit: the same
// states, the same proposed step, largest error and counts, with either pair.
TEST(IntegratorKernels, EveryKernelTakesTheStepsOfThePlainSums) {
    for (int style : {0, 1}) {
        auto advance = [style](bool fused, const char* kernel) {
            LimitCycle m;
            m.doc.Clock()->Params[0] = 1e-9;
            m.PrepareRun();
            CSolver solver(m.doc, style, m.doc.IntegratingBlocks.size(), fused);
            EXPECT_STREQ(solver.Integrator().KernelName(), kernel);
            const IntervalResult r = solver.AdvanceInterval(0.5, 3.0);
            return std::vector<double>{m.x->Value,
                                       m.y->Value,
                                       m.z->Value,
                                       r.nextStep,
                                       r.largestError,
                                       r.attempts,
                                       static_cast<double>(solver.Statistics().rejected)};
        };
        const std::vector<double> plain = advance(false, nullptr);
        EXPECT_GT(plain.back(), 0.0) << "some attempts are rejected";
        for (KernelLevel kernel : AvailableKernels()) {
            ForceKernel(kernel);
            const std::vector<double> fused = advance(true, KernelName(kernel));
            EXPECT_EQ(std::memcmp(plain.data(), fused.data(), plain.size() * sizeof(double)), 0)
                << KernelName(kernel) << ", style " << style;
        }
        ClearForcedKernel();
    }
}

TEST(IntegratorOrder, HalvingTheStepDividesTheErrorByTwoToTheOrder) {
    // Carried solutions of order 5 and 8: the ratios approach 32 and 256 (a wrong coefficient
    // brings them down to about 2).
    const double e45[] = {FixedStepError(0, 2.0, 16), FixedStepError(0, 2.0, 32), FixedStepError(0, 2.0, 64)};
    EXPECT_NEAR(e45[0] / e45[1], 32.0, 3.0);
    EXPECT_NEAR(e45[1] / e45[2], 32.0, 3.0);
    const double e78[] = {FixedStepError(1, 2.0, 4), FixedStepError(1, 2.0, 8), FixedStepError(1, 2.0, 16)};
    EXPECT_NEAR(e78[0] / e78[1], 256.0, 40.0);
    EXPECT_NEAR(e78[1] / e78[2], 256.0, 40.0);
}

// dy/dt = -y from 1.
struct Decay : TestModel {
    TestIntegrate* y = Integrate(1.0);
    FnBlock* minusY = Fn([](const FnBlock& f) { return -f.In(0); }, {y});
    Decay() { y->Inputs[0] = minusY; }
};

TEST(IntegratorRun, BothPairsFollowAnExponentialDecay) {
    for (int style : {0, 1}) {
        Decay m;
        m.doc.IntStyle = style;
        m.doc.RunSimulation();
        EXPECT_EQ(m.doc.LastRunOutcome, RunOutcome::Completed);
        EXPECT_TRUE(m.platform.messages.shown.empty());
        ASSERT_EQ(m.y->HistorySize(), 11u);
        EXPECT_NEAR(m.y->HistoryValues().back(), 0.36787944, 1e-5) << "style " << style;
        EXPECT_EQ(m.minusY->HistoryValues().back(), -m.y->HistoryValues().back())
            << "computed from the final state";
        EXPECT_NEAR(m.doc.Clock()->HistoryValues().back(), 1.0, 1e-12);

        // The same with an Integrate block fed back through a Gain block of gain -1.
        TestModel real;
        real.doc.PendingBlock = real.doc.CreateBlock(BlockType::Integrate);
        CBlock* y = real.doc.PendingBlock.get();
        real.doc.PlaceBlock(1, 0);
        real.doc.PendingBlock = real.doc.CreateBlock(BlockType::Gain);
        CBlock* gain = real.doc.PendingBlock.get();
        real.doc.PlaceBlock(2, 0);
        y->Params[1] = 1.0;
        y->Inputs[0] = gain;
        gain->Inputs[0] = y;
        gain->Params[0] = -1.0;
        real.doc.IntStyle = style;
        real.doc.RunSimulation();
        ASSERT_EQ(y->HistorySize(), 11u);
        EXPECT_NEAR(y->HistoryValues().back(), 0.36787944, 1e-5) << "style " << style;
    }
}

TEST(IntegratorRun, TheCompanionsShowTheLargestErrorAndTheAttempts) {
    Decay m;
    m.doc.IntStyle = 1;
    m.doc.RunSimulation();
    const CBlock* error = m.doc.CompanionBlocks[0];
    const CBlock* count = m.doc.CompanionBlocks[1];
    ASSERT_EQ(count->HistorySize(), 11u);
    EXPECT_EQ(count->HistoryValues()[0], 0.0);
    for (std::size_t i = 1; i < 11; ++i) {
        EXPECT_EQ(count->HistoryValues()[i], 1.0) << "one accepted attempt per interval";
        EXPECT_GT(error->HistoryValues()[i], 0.0);
        EXPECT_LT(error->HistoryValues()[i], 1e-7);
    }

    // Rejected attempts count too: the first attempt of size 1 fails.
    Decay m45;
    m45.SetClock(1e-7, 1.0, 1.0);
    m45.doc.RunSimulation();
    EXPECT_GT(m45.doc.CompanionBlocks[1]->HistoryValues()[1], 2.0);
}

TEST(IntegratorRun, AConstantDerivativeHasNoErrorAndTheStepIsClippedToTheInterval) {
    for (int style : {0, 1}) {
        TestModel m;
        TestIntegrate* y = m.Integrate(1.0);
        y->Inputs[0] = m.doc.Clock()->Inputs[0]; // none: derivative 0 x gain
        TestIntegrate* z = m.Integrate(0.0, 2.5);
        FnBlock* one = m.Fn([](const FnBlock&) { return 1.0; });
        one->AtFirst = 1;
        z->Inputs[0] = one;
        m.PrepareRun();
        one->Compute();
        auto rk = MakePair(m.doc, style);
        // 0.03, then the rest of the interval in one step; the next interval may start with the
        // whole interval.
        EXPECT_EQ(rk->AdvanceInterval(0.03, 0.1).nextStep, 0.1);
        EXPECT_EQ(m.doc.CompanionBlocks[0]->Value, 0.0) << "Error";
        EXPECT_EQ(m.doc.CompanionBlocks[1]->Value, 2.0) << "Count";
        EXPECT_EQ(y->Value, 1.0);
        EXPECT_NEAR(z->Value, 0.25, 1e-15);
        EXPECT_EQ(m.doc.CurrentTime, 0.1);
    }
}

TEST(IntegratorRun, AStepShortenedToEndTheIntervalIsNeitherCountedNorHandedOn) {
    Decay m;
    m.PrepareRun();
    auto rk = MakePair(m.doc, 0);
    // 0.07 is accepted and the step proposed after it is cut to the remaining 0.03; the next
    // interval starts with the proposed step.
    double next = rk->AdvanceInterval(0.07, 0.1).nextStep;
    EXPECT_GT(next, 0.03);
    EXPECT_LE(next, 0.1);
    EXPECT_EQ(m.doc.CompanionBlocks[1]->Value, 2.0);
    EXPECT_NEAR(m.y->Value, std::exp(-0.1), 1e-9);

    // A last step of 1e-9 proposes a step far below 0.1 / MaxSteps; that is no reason to stop.
    m.doc.IntervalStart = 0.1;
    next = rk->AdvanceInterval(0.1 - 1e-9, 0.1).nextStep;
    EXPECT_TRUE(m.platform.messages.shown.empty()) << m.platform.messages.shown[0].text;
    EXPECT_EQ(m.doc.CompanionBlocks[1]->Value, 2.0);
    EXPECT_GT(next, 0.01);
    EXPECT_LE(next, 0.1);
    EXPECT_NEAR(m.y->Value, std::exp(-0.2), 1e-9);
}

// One interval of dy/dt = -y started with a step of the whole interval: the first attempt has an
// error estimate err that does not depend on the tolerance. It is accepted only below the
// tolerance, and the step it then proposes may make the interval need exactly MaxSteps steps.
TEST(IntegratorControl, AnErrorEqualToTheToleranceIsRejected) {
    for (int style : {0, 1}) {
        struct Outcome {
            bool completed;
            double attempts, err, proposed;
        };
        auto interval = [style](double tolerance, double maxSteps) {
            Decay m;
            m.SetClock(tolerance, 0.1, 1.0);
            m.doc.MaxSteps = maxSteps;
            m.PrepareRun();
            auto rk = MakePair(m.doc, style);
            const bool completed = rk->AdvanceInterval(0.1, 0.1).status == IntervalStatus::Completed;
            const double err = m.doc.CompanionBlocks[0]->Value;
            return Outcome{completed, m.doc.CompanionBlocks[1]->Value, err,
                           rk->Integrator().NextStepSize(err, 0.1)};
        };
        const double err = interval(1.0, 1e9).err;
        ASSERT_GT(err, 0.0);
        EXPECT_GT(interval(err, 1e9).attempts, 1.0) << "style " << style << ": rejected at the tolerance";
        const double above = std::nextafter(err, 1.0);
        const Outcome accepted = interval(above, 1e9);
        EXPECT_EQ(accepted.attempts, 1.0) << "style " << style;
        EXPECT_EQ(accepted.err, err);

        const double steps = 0.1 / accepted.proposed;
        EXPECT_TRUE(interval(above, steps).completed) << "style " << style << ": exactly MaxSteps steps";
        EXPECT_FALSE(interval(above, std::nextafter(steps, 0.0)).completed) << "style " << style;
    }
}

// Ten damped oscillators, each driven by the one before (the model of the speed measurements).
struct OscillatorChain : TestModel {
    std::vector<TestIntegrate*> x, v;
    explicit OscillatorChain(int n) {
        for (int i = 0; i < n; ++i) {
            TestIntegrate* xi = Integrate(i == 0 ? 1.0 : 0.0);
            TestIntegrate* vi = Integrate(0.0);
            const double k = i == 0 ? -1.0 : -1.5;
            FnBlock* s = Fn(
                [k](const FnBlock& f) {
                    double r = 0.0 + f.In(0) * k + f.In(1) * -0.1;
                    return f.Inputs[2] ? r + f.In(2) * 0.5 : r;
                },
                {xi, vi, i == 0 ? nullptr : x.back()});
            vi->Inputs[0] = s;
            xi->Inputs[0] = vi;
            x.push_back(xi);
            v.push_back(vi);
        }
    }
};

TEST(IntegratorRun, ASmoothModelRunsToTheEndWithTheDefaultMaxSteps) {
    OscillatorChain m(10);
    m.SetClock(1e-7, 0.1, 100);
    ASSERT_EQ(m.doc.MaxSteps, 100.0);
    m.doc.RunSimulation();
    EXPECT_TRUE(m.platform.messages.shown.empty()) << m.platform.messages.shown[0].text;
    EXPECT_EQ(m.doc.LastRunOutcome, RunOutcome::Completed);
    EXPECT_EQ(m.doc.Clock()->HistorySize(), 1001u);
    EXPECT_NEAR(m.doc.Clock()->HistoryValues().back(), 100.0, 1e-9);
}

// y' = cos(theta(t)): theta = t up to t = 2, then its rate grows by 400 per unit of time, so
// from then on the steps must shrink with the growing frequency.
struct Chirp : TestModel {
    TestIntegrate* y = Integrate(0.0);
    Chirp() {
        y->Inputs[0] = Fn([](const FnBlock& f) {
            const double late = std::max(0.0, f.Time() - 2.0);
            return std::cos(f.Time() + 200.0 * late * late);
        });
        SetClock(1e-7, 1.0, 5.0);
    }
};

TEST(IntegratorRun, TooManyStepsStopTheRunAndKeepTheHistories) {
    Chirp m;
    m.doc.RunSimulation();
    ASSERT_EQ(m.platform.messages.shown.size(), 1u);
    const auto& shown = m.platform.messages.shown[0];
    std::smatch match;
    ASSERT_TRUE(std::regex_match(shown.text, match,
                                 std::regex(R"(Excessive integration steps \((\d+)\) at time ([0-9.]+))")))
        << shown.text;
    EXPECT_GE(std::stod(match[1]), 100.0);
    EXPECT_EQ(shown.caption, "RunTime Error");
    EXPECT_EQ(shown.icon, MB_ICONERROR);
    EXPECT_EQ(m.doc.LastRunOutcome, RunOutcome::Failed);
    // Samples at 0, 1 and 2, then the one at the failing attempt.
    ASSERT_EQ(m.doc.Clock()->HistorySize(), 4u);
    const double failedAt = m.doc.Clock()->HistoryValues()[3];
    EXPECT_GT(failedAt, 2.0);
    EXPECT_LT(failedAt, 3.0);
    EXPECT_EQ(match[2].str(), FormatString("%g", failedAt));
    EXPECT_NEAR(m.y->HistoryValues()[2], std::sin(2.0), 1e-6);
    EXPECT_EQ(m.y->HistorySize(), 4u);

    // Allowed enough steps, the same model runs to the end.
    Chirp patient;
    patient.doc.MaxSteps = 1e4;
    patient.doc.RunSimulation();
    EXPECT_TRUE(patient.platform.messages.shown.empty());
    EXPECT_EQ(patient.doc.Clock()->HistorySize(), 6u);
    EXPECT_EQ(patient.y->HistoryValues()[2], m.y->HistoryValues()[2]);
}

TEST(IntegratorRun, AValueThatIsNotANumberStopsTheRun) {
    for (int style : {0, 1}) {
        TestModel m;
        TestIntegrate* y = m.Integrate(0.0);
        y->Inputs[0] =
            m.Fn([](const FnBlock& f) { return f.Time() > 0.35 ? std::sqrt(-1.0 - f.Time()) : 1.0; });
        m.doc.IntStyle = style;
        m.doc.RunSimulation();
        ASSERT_EQ(m.platform.messages.shown.size(), 1u);
        const auto& shown = m.platform.messages.shown[0];
        const double failedAt = m.doc.Clock()->HistoryValues().back();
        EXPECT_EQ(shown.text,
                  "Integration error: a value is not a number at time " + FormatString("%g", failedAt));
        EXPECT_EQ(shown.caption, "RunTime Error");
        EXPECT_EQ(shown.icon, MB_ICONERROR);
        EXPECT_EQ(m.doc.LastRunOutcome, RunOutcome::Failed);
        EXPECT_EQ(m.doc.Clock()->HistorySize(), 5u) << "0 to 0.3, then the failing interval";
        EXPECT_GT(failedAt, 0.35);
        EXPECT_NEAR(y->HistoryValues()[3], 0.3, 1e-12);
    }
}

TEST(IntegratorRun, ABlockStoppingTheRunEndsTheIntervalWithoutAnotherMessage) {
    TestModel m;
    TestIntegrate* y = m.Integrate(0.0);
    y->Inputs[0] = m.Fn([](const FnBlock& f) {
        if (f.Time() > 0.25) f.Document->RunTimeError("Divide by zero in block F at time 0.25");
        return 1.0;
    });
    m.doc.RunSimulation();
    ASSERT_EQ(m.platform.messages.shown.size(), 1u);
    EXPECT_EQ(m.doc.LastRunOutcome, RunOutcome::Failed);
    EXPECT_EQ(m.doc.Clock()->HistorySize(), 4u);
}

} // namespace

namespace {

// Each way an interval ends, with the figures the integrator keeps: every attempt is accepted or
// rejected, a completed interval evaluated every stage of every attempt and once more at its
// end, and only a failure shows a message.
TEST(IntegratorStatus, EachWayAnIntervalEndsIsReportedWithTheRunsFigures) {
    struct Case {
        const char* name;
        int style;
        std::function<void(Decay&)> setUp;
        IntervalStatus status;
        const char* message; // the start of the message shown, or null
    };
    const Case cases[] = {
        {"completed 4/5", 0, [](Decay&) {}, IntervalStatus::Completed, nullptr},
        {"completed 7/8", 1, [](Decay& m) { m.SetClock(1e-12, 1.0, 1.0); }, IntervalStatus::Completed,
         nullptr},
        {"stopped", 0, [](Decay& m) { m.doc.Stopped = 1; }, IntervalStatus::Stopped, nullptr},
        {"too many steps", 1,
         [](Decay& m) {
             m.SetClock(1e-12, 1.0, 1.0);
             m.doc.MaxSteps = 2;
         },
         IntervalStatus::TooManySteps, "Excessive integration steps ("},
        {"not a number", 0, [](Decay& m) { m.minusY->f = [](const FnBlock&) { return std::sqrt(-1.0); }; },
         IntervalStatus::NotANumber, "Integration error: a value is not a number at time "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decay m;
        m.SetClock(1e-7, 1.0, 1.0);
        m.PrepareRun();
        c.setUp(m);
        auto solver = MakePair(m.doc, c.style);
        const IntervalResult r = solver->AdvanceInterval(1.0, 1.0);
        const IntegratorStatistics& s = solver->Statistics();
        const std::size_t stages = c.style ? 13 : 6;
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(s.accepted + s.rejected, s.tried);
        if (c.status == IntervalStatus::Completed) {
            EXPECT_GT(r.nextStep, 0.0);
            EXPECT_EQ(r.attempts, static_cast<double>(s.tried));
            EXPECT_EQ(m.doc.CompanionBlocks[1]->Value, r.attempts);
            EXPECT_EQ(s.evaluations, stages * s.tried + 1);
            EXPECT_GT(s.accepted, 1u);
            EXPECT_GT(s.smallestStep, 0.0);
            EXPECT_LE(s.smallestStep, s.largestStep);
            EXPECT_NEAR(m.y->Value, std::exp(-1.0), 1e-6);
        } else {
            EXPECT_EQ(r.nextStep, 0.0);
            EXPECT_EQ(s.accepted, 0u);
            EXPECT_EQ(s.tried, 1u);
            EXPECT_EQ(s.smallestStep, 0.0);
            EXPECT_EQ(s.evaluations, c.status == IntervalStatus::Stopped ? 1u : stages);
        }
        if (c.message) {
            ASSERT_EQ(m.platform.messages.shown.size(), 1u);
            EXPECT_EQ(m.platform.messages.shown[0].text.rfind(c.message, 0), 0u)
                << m.platform.messages.shown[0].text;
        } else {
            EXPECT_TRUE(m.platform.messages.shown.empty());
        }
        if (c.status == IntervalStatus::TooManySteps) {
            EXPECT_GT(r.stepsNeeded, m.doc.MaxSteps);
            EXPECT_NE(
                m.platform.messages.shown[0].text.find(FormatString("(%.0f)", std::trunc(r.stepsNeeded))),
                std::string::npos);
        }
    }
}

// A run keeps its integrator's figures after the solver is gone; a run that integrates nothing
// or is refused clears them.
TEST(IntegratorStatus, TheDocumentKeepsTheFiguresOfItsLastRun) {
    Decay m;
    m.doc.RunSimulation();
    const IntegratorStatistics s = m.doc.RunStatistics;
    EXPECT_EQ(s.accepted + s.rejected, s.tried);
    EXPECT_EQ(s.evaluations, 6 * s.tried + 10) << "ten intervals";
    EXPECT_GE(s.accepted, 10u);
    m.SetClock(-1.0, 0.1, 1.0);
    m.doc.RunSimulation();
    EXPECT_EQ(m.doc.LastRunOutcome, RunOutcome::Refused);
    EXPECT_EQ(m.doc.RunStatistics.tried, 0u);
}

} // namespace
