// Sweeps: the plan's runs and shards, each run equal to a single run of the same chart, failures
// kept with their messages, results in run order, cancelling, and the summary.

#include "model/Sweep.h"
#include "TestSupport.h"
#include "blocks/Catalogue.h"
#include "model/ChartDocument.h"
#include "model/HistoryTable.h"
#include "model/SweepOutput.h"
#include "platform/FileIo.h"
#include "views/HeadlessWindows.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

namespace {

using namespace kintra;

std::vector<std::uint8_t> ReadChart(const std::string& name) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(std::string(KINTRA_TEST_DATA) + "/" + name, bytes, error)) << error;
    return bytes;
}

// Every run the sink is given, in the order it was given them.
struct Collect : SweepSink {
    void Begin(const SweepHeader& h) override { header = h; }
    void Write(const SweepRun& run) override { runs.push_back(run); }
    void End() override { ended = true; }
    SweepHeader header;
    std::vector<SweepRun> runs;
    bool ended = false;
};

SweepOptions Options(unsigned threads) {
    SweepOptions o;
    o.Threads = threads;
    o.MakeWindows = [] { return std::make_unique<HeadlessWindowHost>(); };
    return o;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

TEST(SweepPlan, AxesGridRunsAndShards) {
    const SweepAxis range = ParseSweepAxis("Spring Force.p2=-1:1:5");
    EXPECT_EQ(range.block, "Spring Force");
    EXPECT_EQ(range.param, 1);
    EXPECT_EQ(range.values, (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
    EXPECT_EQ(ParseSweepAxis("a.p3=0.1:0.3:3").values.back(), 0.3) << "the last value is TO itself";
    EXPECT_EQ(ParseSweepAxis("a.p1=2*pi,7").values, (std::vector<double>{2 * M_PI, 7}));
    EXPECT_EQ(ParseSweepAxis("a.p1=4:9:1").values, (std::vector<double>{4}));
    for (const char* bad : {"a=1", ".p1=1", "a.p4=1", "a.p1=1:2", "a.p1=1:2:0", "a.p1=1:2:x", "a.p1=1,,2",
                            "a.p1=nan:1:3", "a.p1=1:2:3:4"})
        EXPECT_THROW(ParseSweepAxis(bad), SweepError) << bad;

    SweepPlan plan;
    plan.Axes = {ParseSweepAxis("a.p1=1,2"), ParseSweepAxis("b.p2=10,20,30")};
    plan.Repeat = 2;
    EXPECT_EQ(plan.RunCount(), 12u);
    EXPECT_EQ(plan.ValuesOf(0), (std::vector<double>{1, 10}));
    EXPECT_EQ(plan.ValuesOf(1), (std::vector<double>{1, 10})) << "repetitions of a point are neighbours";
    EXPECT_EQ(plan.ValuesOf(2), (std::vector<double>{1, 20})) << "the last axis varies fastest";
    EXPECT_EQ(plan.ValuesOf(11), (std::vector<double>{2, 30}));
    EXPECT_FALSE(plan.SeedOf(3));
    plan.Seed = 99;
    EXPECT_EQ(plan.SeedOf(3), DerivedSeed(99, 3));
    EXPECT_NE(DerivedSeed(99, 3), DerivedSeed(99, 4));
    EXPECT_NE(DerivedSeed(99, 3), DerivedSeed(98, 3));
    plan.Axes.assign(9, ParseSweepAxis("a.p1=1:2:200"));
    EXPECT_THROW(plan.RunCount(), SweepError);

    // Shards cover the runs once, in order, with sizes that differ by one at most.
    for (std::uint64_t total : {0u, 1u, 7u, 100u, 101u})
        for (std::uint64_t n : {1u, 2u, 3u, 4u, 9u}) {
            std::uint64_t next = 0, smallest = total, largest = 0;
            for (std::uint64_t k = 1; k <= n; ++k) {
                const RunRange r = ShardRange(total, k, n);
                ASSERT_EQ(r.first, next) << total << " runs, shard " << k << "/" << n;
                next = r.last;
                smallest = std::min(smallest, r.Count());
                largest = std::max(largest, r.Count());
            }
            EXPECT_EQ(next, total);
            EXPECT_LE(largest - smallest, 1u);
        }
    EXPECT_THROW(ShardRange(10, 0, 3), SweepError);
    EXPECT_THROW(ShardRange(10, 4, 3), SweepError);
}

// Every run of a sweep on two threads is, to the bit, the run of the same chart with the same
// parameters and seed done alone; the random blocks that seed from the clock take the run's seed,
// so repetitions differ, and a run repeats alone. The chart has a block of every type (Decay,
// Delay, the Function Generator and the random blocks among them); a run alone opens its windows,
// a sweep's run none.
TEST(Sweep, EachRunEqualsTheSameRunDoneAlone) {
    RegisterBlockTypes();
    const auto chart = ReadChart("../../fuzz/corpus/every-block.cht");
    SweepPlan plan;
    plan.Axes = {ParseSweepAxis("Gain.p1=0.5,2"), ParseSweepAxis("Integrate.p2=-1:1:3")};
    plan.Repeat = 3;
    plan.Seed = 2024;
    Collect sink;
    // A small window: most runs refill the history buffer of a run already written.
    SweepOptions options = Options(2);
    options.Window = 2;
    ASSERT_TRUE(RunSweep(chart, plan, options, sink));
    ASSERT_EQ(sink.runs.size(), 18u);
    EXPECT_TRUE(sink.ended);
    EXPECT_EQ(sink.header.AxisLabels, (std::vector<std::string>{"Gain.p1", "Integrate.p2"}));
    ASSERT_FALSE(sink.header.BlockNames.empty());
    EXPECT_EQ(sink.header.BlockNames.front(), "Clock");
    EXPECT_FALSE(SameBits(sink.runs[0].Histories, sink.runs[1].Histories)) << "repetitions draw differently";

    for (const SweepRun& run : sink.runs) {
        TestPlatform platform;
        HeadlessWindowHost windows;
        ScopedPlatform headless(nullptr, nullptr, &windows);
        auto doc = OpenChartDocument(chart, "chart");
        ASSERT_TRUE(doc);
        for (auto& b : doc->Blocks) {
            if (b->Name == "Gain") b->Params[0] = run.Values[0];
            if (b->Name == "Integrate") b->Params[1] = run.Values[1];
        }
        doc->ClockSeed = DerivedSeed(2024, run.Run);
        doc->RunSimulation();
        EXPECT_EQ(run.Status == SweepStatus::Completed, doc->LastRunOutcome == RunOutcome::Completed);
        std::string shown;
        for (const auto& box : platform.messages.shown)
            shown += (shown.empty() ? "" : "\n") + box.caption + ": " + box.text;
        EXPECT_EQ(run.Message, shown);
        EXPECT_EQ(run.Statistics, doc->RunStatistics);
        const std::size_t blocks = doc->Blocks.size();
        ASSERT_EQ(run.Samples, doc->Clock()->HistorySize());
        std::vector<double> alone(run.Samples * blocks, std::nan(""));
        for (std::size_t b = 0; b < blocks; ++b)
            for (std::size_t s = 0; s < doc->Blocks[b]->HistorySize() && s < run.Samples; ++s)
                alone[s * blocks + b] = doc->Blocks[b]->GetHistoryAt(static_cast<int>(s));
        EXPECT_TRUE(SameBits(run.Histories, alone)) << "run " << run.Run;
        CloseChartDocument(std::move(doc));
    }
}

// A run refused by its checks or ended by an error is kept with what it would have shown; the
// others go on. The sink sees the runs in order whatever the threads and the window.
TEST(Sweep, FailuresAreRecordedAndRunsArriveInOrder) {
    RegisterBlockTypes();
    const auto chart = ReadChart("oscillator.cht");
    SweepPlan plan;
    // An output interval of 0 is refused ("Timing Parameters Error").
    plan.Axes = {ParseSweepAxis("Clock.p2=0.1,0,0.2,0,0.05")};
    for (unsigned threads : {1u, 2u, 3u}) {
        SweepOptions options = Options(threads);
        options.Window = 1;
        std::vector<std::uint64_t> progress;
        options.Progress = [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, 5u);
            progress.push_back(done);
        };
        Collect sink;
        ASSERT_TRUE(RunSweep(chart, plan, options, sink));
        ASSERT_EQ(sink.runs.size(), 5u);
        EXPECT_EQ(progress, (std::vector<std::uint64_t>{1, 2, 3, 4, 5}));
        for (std::size_t i = 0; i < 5; ++i) {
            const SweepRun& run = sink.runs[i];
            EXPECT_EQ(run.Run, i);
            const bool refused = run.Values[0] == 0;
            EXPECT_EQ(run.Status, refused ? SweepStatus::Refused : SweepStatus::Completed) << i;
            EXPECT_EQ(run.Message.find("Timing Parameters Error") != std::string::npos, refused)
                << run.Message;
            EXPECT_EQ(run.Samples == 0, refused);
        }
    }
    EXPECT_THROW(
        {
            Collect sink;
            SweepPlan missing;
            missing.Axes = {ParseSweepAxis("Nobody.p1=1")};
            RunSweep(chart, missing, Options(1), sink);
        },
        SweepError);
}

TEST(Sweep, CancellingStopsBeforeTheEndAndASliceKeepsItsRunNumbers) {
    RegisterBlockTypes();
    const auto chart = ReadChart("oscillator.cht");
    SweepPlan plan;
    plan.Axes = {ParseSweepAxis("Clock.p3=1:2:40")};
    std::atomic<bool> cancel{false};
    SweepOptions options = Options(2);
    options.Cancel = &cancel;
    options.Progress = [&](std::uint64_t done, std::uint64_t) {
        if (done == 3) cancel = true;
    };
    Collect sink;
    EXPECT_FALSE(RunSweep(chart, plan, options, sink));
    EXPECT_FALSE(sink.ended);
    EXPECT_GE(sink.runs.size(), 3u);
    EXPECT_LT(sink.runs.size(), 40u);

    // A sink that fails, on the writing thread or in a worker, stops the sweep with its error.
    for (const bool inWorker : {false, true}) {
        struct Failing : Collect {
            explicit Failing(bool w) : inWorker(w) {}
            void Write(const SweepRun& run) override {
                if (!inWorker && run.Run == 2) throw SweepError("disk full");
                Collect::Write(run);
            }
            void Prepare(SweepRun& run) const override {
                if (inWorker && run.Run == 5) throw SweepError("no memory");
            }
            bool inWorker;
        } failing(inWorker);
        EXPECT_THROW(RunSweep(chart, plan, Options(2), failing), SweepError);
        EXPECT_LE(failing.runs.size(), inWorker ? 5u : 2u);
        EXPECT_FALSE(failing.ended);
    }

    options = Options(2);
    options.Range = ShardRange(40, 2, 3);
    Collect slice;
    ASSERT_TRUE(RunSweep(chart, plan, options, slice));
    ASSERT_EQ(slice.runs.size(), 13u);
    EXPECT_EQ(slice.runs.front().Run, 14u);
    EXPECT_EQ(slice.runs.front().Values, plan.ValuesOf(14));
}

// A sweep reads a run's rows a chunk at a time: every row once, in order, whether the table grew
// beyond its first chunk or was trimmed.
TEST(SweepHistories, RowsFromCoverEveryRowOnce) {
    for (std::size_t rows : {1u, 4u, 5u, 11u})
        for (bool trim : {false, true}) {
            CHistoryTable table(6); // later chunks: two rows of three values
            table.Reset(3, trim ? 8 : 4);
            std::vector<double> expected;
            for (std::size_t r = 0; r < rows; ++r) {
                double* row = table.AppendRow();
                for (std::size_t c = 0; c < 3; ++c)
                    expected.push_back(row[c] = static_cast<double>(r * 10 + c));
            }
            if (trim) table.Trim();
            std::vector<double> read;
            for (std::size_t r = 0; r < table.Rows();) {
                const auto span = table.RowsFrom(r);
                ASSERT_FALSE(span.empty());
                read.insert(read.end(), span.begin(), span.end());
                r += span.size() / 3;
            }
            EXPECT_EQ(read, expected) << rows << " rows" << (trim ? ", trimmed" : "");
        }
}

// The CSV text of a run is made on the worker (Prepare); a writer given runs without it writes
// the same bytes.
TEST(SweepCsv, TheSameTextWhetherAWorkerPreparedTheRunsOrNot) {
    RegisterBlockTypes();
    const auto chart = ReadChart("oscillator.cht");
    SweepPlan plan;
    plan.Axes = {ParseSweepAxis("Clock.p2=0.1,0,0.05")};
    const std::string prepared = testing::TempDir() + "sweep-prepared.csv";
    const std::string direct = testing::TempDir() + "sweep-direct.csv";
    CsvSweepWriter csv(prepared);
    ASSERT_TRUE(RunSweep(chart, plan, Options(2), csv));
    Collect sink;
    ASSERT_TRUE(RunSweep(chart, plan, Options(1), sink));
    CsvSweepWriter plain(direct);
    plain.Begin(sink.header);
    for (const SweepRun& run : sink.runs)
        plain.Write(run);
    plain.End();
    std::vector<std::uint8_t> a, b;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(prepared, a, error) && ReadWholeFile(direct, b, error)) << error;
    EXPECT_GT(a.size(), 100u);
    EXPECT_EQ(a, b);
}

TEST(SweepSummary, StatisticsOfTheFinalValuesOfCompletedRuns) {
    SweepSummary summary;
    SweepHeader header;
    header.BlockNames = {"Clock", "x"};
    summary.Begin(header);
    const double finals[] = {4, 1, 3, 2, 5, 0.1 + 0.2};
    for (std::size_t i = 0; i < 6; ++i) {
        SweepRun run;
        run.Run = i;
        run.Samples = 2;
        run.Histories = {0, -100, 1, finals[i]};
        run.Status = i == 5 ? SweepStatus::Failed : SweepStatus::Completed;
        summary.Write(run);
    }
    const auto rows = summary.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].runs, 5u);
    EXPECT_EQ(rows[0].mean, 1);
    EXPECT_EQ(rows[0].sd, 0) << "equal finals deviate by exactly 0";
    EXPECT_EQ(rows[1].mean, 3) << "the failed run is left out";
    EXPECT_DOUBLE_EQ(rows[1].sd, std::sqrt(2.5));
    EXPECT_EQ(rows[1].min, 1);
    EXPECT_EQ(rows[1].max, 5);
    EXPECT_DOUBLE_EQ(rows[1].q05, 1.2);
    EXPECT_DOUBLE_EQ(rows[1].q95, 4.8);
    EXPECT_EQ(summary.RunsFailed(), 1u);
}

} // namespace
