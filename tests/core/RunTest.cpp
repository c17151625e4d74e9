#include "TestSupport.h"
#include "model/ClockBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <random>

namespace {

std::vector<double> Times(int n, double step) {
    std::vector<double> t{0.0};
    double s = 0.0;
    for (int i = 1; i < n; ++i)
        t.push_back(s += step); // repeated addition, as the run forms them
    return t;
}

struct RunFixture : ::testing::Test {
    TestPlatform platform;
    COrventDoc doc;
    void SetUp() override { doc.OnNewDocument(); }
    void SetClock(double error, double interval, double time) {
        doc.Clock()->Params = {error, interval, time};
    }
};

TEST_F(RunFixture, AClockOnlyRunRecordsElevenSamples) {
    doc.RunSimulation();
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Completed);
    EXPECT_EQ(doc.Clock()->HistoryValues(), Times(11, 0.1));
    EXPECT_EQ(doc.Blocks[1]->HistoryValues(), std::vector<double>(11, 0.0));
    EXPECT_EQ(doc.Blocks[2]->HistoryValues(), std::vector<double>(11, 0.0));
    EXPECT_EQ(doc.Stopped, 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(platform.windows.runWindowsOpened, 1);
}

TEST_F(RunFixture, TheLastStepIsTheOneNearestTheSimulationTime) {
    SetClock(1e-7, 0.1, 1.04);
    doc.RunSimulation();
    EXPECT_EQ(doc.Clock()->HistorySize(), 11u);
    SetClock(1e-7, 0.1, 1.06);
    doc.RunSimulation();
    ASSERT_EQ(doc.Clock()->HistorySize(), 12u);
    EXPECT_NEAR(doc.Clock()->HistoryValues().back(), 1.1, 1e-12);
    SetClock(1e-7, 0.5, 0.5);
    doc.RunSimulation();
    EXPECT_EQ(doc.Clock()->HistoryValues(), (std::vector<double>{0.0, 0.5}));
}

TEST_F(RunFixture, AlgebraicBlocksAreComputedEveryStepAndRecordedInOrder) {
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    b->Inputs[0] = a;
    a->Inputs[0] = doc.Clock();
    a->Inputs[1] = doc.Clock();
    doc.RunSimulation();
    ASSERT_EQ(a->HistorySize(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(a->HistoryValues()[i], 2 * doc.Clock()->HistoryValues()[i]);
        EXPECT_EQ(b->HistoryValues()[i], a->HistoryValues()[i]);
    }
    EXPECT_EQ(a->initialized, 1);
    EXPECT_EQ(a->computed, 11);
}

TEST_F(RunFixture, InitializeClearsHistoriesAndStopsBeforeTheLoop) {
    PassBlock* a = Place(doc, 1, 0);
    a->Inputs[0] = doc.Clock();
    doc.RunSimulation();
    ASSERT_FALSE(a->HistoryValues().empty());
    doc.SetModifiedFlag(false);
    doc.OnInitialize();
    for (const auto& blk : doc.Blocks)
        EXPECT_TRUE(blk->HistoryValues().empty());
    EXPECT_EQ(doc.Stopped, 1);
    EXPECT_EQ(doc.InitializeOnly, 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(platform.windows.runWindowsOpened, 1) << "Initialize opens no run window";
}

TEST_F(RunFixture, OrderListMovesTheNearestSourceFirst) {
    // Blocks C, B, A where the Clock feeds A, A feeds B and B feeds C.
    PassBlock* c = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    PassBlock* a = Place(doc, 3, 0);
    a->Inputs[0] = doc.Clock();
    b->Inputs[0] = a;
    c->Inputs[0] = b;
    std::vector<CBlock*> list{c, b, a};
    doc.MaxSort = 1;
    EXPECT_FALSE(doc.OrderList(list));
    EXPECT_EQ(list, (std::vector<CBlock*>{b, c, a})) << "after the first move";
    list = {c, b, a};
    doc.MaxSort = 2;
    EXPECT_FALSE(doc.OrderList(list)) << "two moves need a bound of three";
    EXPECT_EQ(list, (std::vector<CBlock*>{a, b, c}));
    list = {c, b, a};
    doc.MaxSort = 3;
    EXPECT_TRUE(doc.OrderList(list));
    EXPECT_EQ(list, (std::vector<CBlock*>{a, b, c}));
}

TEST_F(RunFixture, OrderListTieBreaksPreferTheSmallestPositionThenTheNearestSource) {
    // x has two later sources (p at 2, q at 1); q is nearer and moves first.
    PassBlock* x = Place(doc, 1, 0);
    PassBlock* q = Place(doc, 2, 0);
    PassBlock* p = Place(doc, 3, 0);
    x->Inputs = {p, q, nullptr};
    std::vector<CBlock*> list{x, q, p};
    doc.MaxSort = 1;
    EXPECT_FALSE(doc.OrderList(list));
    EXPECT_EQ(list, (std::vector<CBlock*>{q, x, p}));
    list = {x, q, p};
    doc.MaxSort = 500;
    EXPECT_TRUE(doc.OrderList(list));
    EXPECT_EQ(list, (std::vector<CBlock*>{q, p, x}));
}

TEST_F(RunFixture, AlgebraicLoopsFailToSortButAnIntegratingBlockBreaksThem) {
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    a->Inputs[0] = b;
    b->Inputs[0] = a;
    a->SetHistory({42.0});
    a->Name = "A";
    b->Name = "B";
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text,
              "Sort Failure\nThese blocks form a loop that cannot be put in order: A, B.");
    EXPECT_EQ(platform.messages.shown[0].caption, "Run Time Error");
    EXPECT_EQ(a->HistoryValues(), std::vector<double>{42.0}) << "a refused run changes no history";
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Refused);
    EXPECT_EQ(doc.Stopped, 1);

    // The same loop through an integrating block orders fine (the integrating block is in
    // another list, so it never causes a move).
    PassBlock* integ = Place(doc, 3, 0, BK_INTEGRATING);
    b->Inputs[0] = integ;
    integ->Inputs[0] = a;
    EXPECT_TRUE(doc.BuildRunLists());
    EXPECT_EQ(doc.IntegratingBlocks, std::vector<CBlock*>{integ});
    EXPECT_EQ(doc.EvalOrder, (std::vector<CBlock*>{b, a}));
}

// Integrating blocks tie their order only through an initial value: integrating blocks feeding
// each other's inputs run, a loop of initial values is refused.
TEST_F(RunFixture, IntegratingBlocksAreOrderedByTheirInitialValuesOnly) {
    struct Case {
        int input; // the input of each block that the other feeds
        std::vector<std::string> order;
        std::string refusal;
    };
    for (const Case& c :
         {Case{0, {"X", "V"}, ""},
          Case{1, {}, "Sort Failure\nThese blocks form a loop that cannot be put in order: X, V."}}) {
        COrventDoc d;
        d.OnNewDocument();
        platform.messages.shown.clear();
        PassBlock* x = Place(d, 1, 0, BK_INTEGRATING);
        PassBlock* v = Place(d, 2, 0, BK_INTEGRATING);
        x->Name = "X";
        v->Name = "V";
        x->Inputs[static_cast<std::size_t>(c.input)] = v;
        v->Inputs[static_cast<std::size_t>(c.input)] = x;
        d.RunSimulation();
        std::vector<std::string> order;
        for (const CBlock* b : d.IntegratingBlocks)
            order.push_back(b->Name);
        if (c.refusal.empty()) {
            EXPECT_EQ(d.LastRunOutcome, RunOutcome::Completed) << c.input;
            EXPECT_EQ(order, c.order);
        } else {
            EXPECT_EQ(d.LastRunOutcome, RunOutcome::Refused);
            ASSERT_EQ(platform.messages.shown.size(), 1u);
            EXPECT_EQ(platform.messages.shown[0].text, c.refusal);
        }
    }
}

// The ordering as a plain scan: the first j with a later source, the nearest such k, one move
// per pass, at most MaxSort passes.
bool PlainOrder(std::vector<CBlock*>& list, int maxSort) {
    if (maxSort <= 0) return false;
    for (int passes = 0;;) {
        bool moved = false;
        for (std::size_t j = 0; j < list.size() && !moved; ++j)
            for (std::size_t k = j + 1; k < list.size() && !moved; ++k)
                if (std::find(list[j]->Inputs.begin(), list[j]->Inputs.end(), list[k]) !=
                    list[j]->Inputs.end()) {
                    std::rotate(list.begin() + static_cast<std::ptrdiff_t>(j),
                                list.begin() + static_cast<std::ptrdiff_t>(k),
                                list.begin() + static_cast<std::ptrdiff_t>(k) + 1);
                    moved = true;
                }
        if (!moved) return true;
        if (++passes >= maxSort) return false;
    }
}

TEST_F(RunFixture, OrderListAgreesWithThePlainScan) {
    std::mt19937 rng(7);
    std::vector<PassBlock*> pool;
    for (int i = 0; i < 9; ++i)
        pool.push_back(Place(doc, i + 1, 0));
    int sorted = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::size_t n = 1 + rng() % pool.size();
        std::vector<CBlock*> list(pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(n));
        // Half the rounds link only towards lower ranks (no loop), the rest link anywhere.
        const bool acyclic = round % 2 == 0;
        for (std::size_t i = 0; i < n; ++i)
            for (CBlock*& input : list[i]->Inputs) {
                const std::size_t pick = rng() % (n + 2);
                input = pick >= n              ? (pick == n ? doc.Clock() : nullptr)
                        : acyclic && pick >= i ? nullptr
                                               : list[pick];
            }
        std::shuffle(list.begin(), list.end(), rng);
        doc.MaxSort = static_cast<int>(rng() % 12);
        std::vector<CBlock*> plain = list;
        const bool expected = PlainOrder(plain, doc.MaxSort);
        ASSERT_EQ(doc.OrderList(list), expected) << "round " << round;
        if (expected) {
            ASSERT_EQ(list, plain) << "round " << round;
            ++sorted;
        } else {
            ++refused;
        }
    }
    EXPECT_GT(sorted, 500);
    EXPECT_GT(refused, 500);
}

// Without the loop check this run would make two thousand million moves.
TEST_F(RunFixture, ALoopFailsAtOnceWhateverTheBound) {
    std::vector<PassBlock*> chain;
    for (int i = 0; i < 2000; ++i) {
        chain.push_back(Place(doc, 1 + i % 50, -(i / 50)));
        chain.back()->Inputs[0] =
            i == 0 ? static_cast<CBlock*>(doc.Clock()) : chain[static_cast<std::size_t>(i) - 1];
    }
    chain.front()->Inputs[1] = chain.back();
    doc.MaxSort = INT_MAX;
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text,
              "Sort Failure\nThese blocks form a loop that cannot be put in order: Sum, Sum, Sum, Sum, "
              "Sum, Sum, Sum, Sum, Sum, Sum, ... (2000 blocks in all).")
        << "at most ten names";
}

TEST_F(RunFixture, SortFailureNamesTheBlocksOfALoopAsTheSignalGoesRound) {
    std::vector<PassBlock*> p;
    for (const char* name : {"A", "B", "C", "Fed", "E", "F", "Self"}) {
        p.push_back(Place(doc, static_cast<int>(p.size()) + 1, 0));
        p.back()->Name = name;
    }
    auto link = [&](int from, int to, int input = 0) {
        p[static_cast<std::size_t>(to)]->Inputs[input] = p[static_cast<std::size_t>(from)];
    };
    link(1, 2); // B feeds C, C feeds A, A feeds B
    link(2, 0);
    link(0, 1);
    link(2, 3); // fed by the loop, not part of it
    link(6, 6); // a block fed by itself orders fine
    link(6, 0, 1);
    const std::string one = "Sort Failure\nThese blocks form a loop that cannot be put in order: A, B, C.";
    const struct {
        std::function<void()> change;
        std::string text;
    } steps[] = {
        {[] {}, one},
        {[&] {
             link(5, 4);
             link(4, 5);
         },
         one + "\nThe chart has other such loops as well."},
        {[&] { p[4]->Inputs[0] = nullptr; }, one},
        {[&] { link(3, 2, 1); },
         one + "\nThe chart has other such loops as well."}, // C, Fed: a second loop through C
        {[&] { p[1]->Inputs = {}; },
         "Sort Failure\nThese blocks form a loop that cannot be put in order: C, Fed."},
    };
    for (const auto& step : steps) {
        step.change();
        platform.messages.shown.clear();
        doc.RunSimulation();
        ASSERT_EQ(platform.messages.shown.size(), 1u);
        EXPECT_EQ(platform.messages.shown[0].text, step.text);
        EXPECT_EQ(platform.messages.shown[0].caption, "Run Time Error");
    }
    p[3]->Inputs = {};
    ASSERT_TRUE(doc.BuildRunLists());
    EXPECT_TRUE(doc.FindLoop().empty());
}

TEST_F(RunFixture, AMaxSortOfZeroFailsEvenWithoutBlocks) {
    doc.MaxSort = 0;
    std::vector<CBlock*> empty;
    EXPECT_FALSE(doc.OrderList(empty));
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Sort Failure");
    doc.OnInitialize();
    EXPECT_EQ(platform.messages.shown.size(), 2u);
}

TEST_F(RunFixture, MissingRequiredInputsAreReportedAndCancelEndsTheCheck) {
    PassBlock* a = Place(doc, 1, 0);
    a->RequiredInputs = 2;
    PassBlock* b = Place(doc, 2, 0);
    b->RequiredInputs = 3;
    b->Inputs = {doc.Clock(), doc.Clock(), nullptr};
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 3u);
    EXPECT_EQ(platform.messages.shown[0].text, "A Sum block, Sum, needs the first input filled.");
    EXPECT_EQ(platform.messages.shown[1].text, "A Sum block, Sum, needs the second input filled.");
    EXPECT_EQ(platform.messages.shown[2].text, "A Sum block, Sum, needs the third input filled.");
    EXPECT_EQ(platform.messages.shown[0].caption, "Run Time Error");
    EXPECT_EQ(platform.messages.shown[0].buttons, MB_OKCANCEL);
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Refused);
    EXPECT_TRUE(doc.Clock()->HistoryValues().empty());

    platform.messages.shown.clear();
    platform.messages.answers = {IDCANCEL};
    doc.RunSimulation();
    EXPECT_EQ(platform.messages.shown.size(), 1u) << "Cancel ends the check at once";
}

TEST_F(RunFixture, UnusableTimingParametersRefuseTheRun) {
    const double nan = std::nan("");
    for (auto [e, i, t] : std::vector<std::array<double, 3>>{{0, 0.1, 1},
                                                             {-1, 0.1, 1},
                                                             {1e-7, 2, 1},
                                                             {1e-7, 0, 1},
                                                             {1e-7, -0.1, 1},
                                                             {1e-7, 0, 0},
                                                             {nan, 0.1, 1},
                                                             {1e-7, nan, 1},
                                                             {1e-7, 0.1, nan},
                                                             {1e-7, 0.1, INFINITY},
                                                             {1e-7, 1e-300, 1}}) {
        platform.messages.shown.clear();
        SetClock(e, i, t);
        doc.RunSimulation();
        ASSERT_EQ(platform.messages.shown.size(), 1u) << e << " " << i << " " << t;
        EXPECT_EQ(platform.messages.shown[0].text, "Timing Parameters Error");
        EXPECT_EQ(platform.messages.shown[0].caption, "Run Time Error");
        EXPECT_EQ(doc.Stopped, 1);
    }
    EXPECT_TRUE(doc.Clock()->HistoryValues().empty());
}

TEST_F(RunFixture, AtFirstBlocksAreComputedOnceAndRecordOnlyTheFirstSample) {
    PassBlock* k = Place(doc, 1, 0);
    k->AtFirst = 1;
    k->Inputs[0] = doc.Clock();
    PassBlock* user = Place(doc, 2, 0);
    user->Inputs[0] = k;
    doc.RunSimulation();
    EXPECT_EQ(k->computed, 1);
    EXPECT_EQ(k->HistorySize(), 1u);
    EXPECT_EQ(user->HistorySize(), 11u);
}

// A source that counts its samples and reads the time.
class SampleSource : public PassBlock {
  public:
    explicit SampleSource(COrventDoc* doc) : PassBlock(doc, BK_SOURCE) {}
    void Compute() override {
        ++computed;
        Value = Document->CurrentTime * 10;
    }
};

TEST_F(RunFixture, SourceBlocksAreSampledOncePerOutputStep) {
    doc.PendingBlock = std::make_unique<SampleSource>(&doc);
    auto* src = static_cast<SampleSource*>(doc.PendingBlock.get());
    doc.PlaceBlock(1, 0);
    PassBlock* user = Place(doc, 2, 0);
    user->Inputs[0] = src;
    doc.RunSimulation();
    EXPECT_EQ(src->initialized, 1);
    EXPECT_EQ(src->computed, 11);
    ASSERT_EQ(src->HistorySize(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_DOUBLE_EQ(src->HistoryValues()[i], doc.Clock()->HistoryValues()[i] * 10);
        EXPECT_EQ(user->HistoryValues()[i], src->HistoryValues()[i])
            << "the algebraic blocks see the new sample";
    }
    EXPECT_EQ(doc.SourceBlocks, std::vector<CBlock*>{src});
}

TEST_F(RunFixture, AStopFromTheRunWindowKeepsEveryRecordedStep) {
    PassBlock dummyView(&doc); // any non-null window
    platform.windows.runWindow = reinterpret_cast<CView*>(&dummyView);
    platform.windows.stopAfterSteps = 3;
    PassBlock* a = Place(doc, 1, 0);
    a->Inputs[0] = doc.Clock();
    doc.RunSimulation();
    EXPECT_EQ(doc.Clock()->HistorySize(), 5u) << "time 0, three steps, and the step after the click";
    EXPECT_EQ(a->HistorySize(), 5u);
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Stopped);
    EXPECT_EQ(platform.windows.runWindowsClosed, 1);
    EXPECT_EQ(doc.RunWindow, nullptr);
    EXPECT_EQ(doc.Stopped, 1);
}

// A block that ends the run with a run-time error at a given time.
class FailingBlock : public PassBlock {
  public:
    explicit FailingBlock(COrventDoc* doc) : PassBlock(doc) {}
    void Compute() override {
        Value = Document->CurrentTime;
        if (Value > 0.25) Document->RunTimeError("Divide by zero");
    }
};

TEST_F(RunFixture, ARunTimeErrorRecordsTheCurrentStepAndEndsTheRun) {
    doc.PendingBlock = std::make_unique<FailingBlock>(&doc);
    doc.PlaceBlock(1, 0);
    doc.RunSimulation();
    EXPECT_EQ(doc.Clock()->HistorySize(), 4u);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].caption, "RunTime Error");
    EXPECT_EQ(platform.messages.shown[0].icon, MB_ICONERROR);
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Failed);
}

} // namespace
