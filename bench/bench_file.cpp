// Saving and opening a large chart (1,000 blocks with 10,000 recorded samples each, about 80 MB)
// next to a plain copy of a file of the same size, and a chart of many blocks (50,000, linked,
// no histories) whose cost is in the structure, not in the bytes. Throughput is in bytes per
// second of the file.

#include "blocks/Catalogue.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "views/HeadlessWindows.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// The benchmarks run with the block types registered, as the programs do at start-up.
[[maybe_unused]] const bool kTypesRegistered = (RegisterBlockTypes(), true);

constexpr int kBlocks = 1000;
constexpr int kSamples = 10000;

struct Setup {
    Setup() : scope(&store, &messages, &windows) {
        char tmpl[] = "/tmp/kintra-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        doc = kintra::NewChartDocument();
        CBlock* previous = doc->Clock();
        for (int i = 0; i < kBlocks - 1; ++i) {
            doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
            CBlock* b = doc->PendingBlock.get();
            doc->PlaceBlock(1 + i % 40, -(i / 40));
            b->Name = FormatString("G%d", i);
            b->Inputs[0] = previous;
            previous = b;
        }
        for (const auto& b : doc->Blocks) {
            std::vector<double> history(kSamples);
            for (int j = 0; j < kSamples; ++j)
                history[static_cast<std::size_t>(j)] = 0.001 * j;
            b->SetHistory(std::move(history));
        }
        chart = dir + "/large.cht";
        doc->OnSaveDocument(chart);
        std::vector<std::uint8_t> bytes;
        std::string error;
        ReadWholeFile(chart, bytes, error);
        size = bytes.size();
    }
    ~Setup() {
        kintra::CloseChartDocument(std::move(doc));
        for (const char* f : {"/large.cht", "/copy.bin", "/saved.cht"})
            std::remove((dir + f).c_str());
        ::rmdir(dir.c_str());
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform scope;
    std::string dir;
    std::string chart;
    std::unique_ptr<COrventDoc> doc;
    std::size_t size = 0;
};

Setup& Chart() {
    static Setup setup;
    return setup;
}

void BM_WriteChartToMemory(benchmark::State& state) {
    Setup& s = Chart();
    for (auto _ : state) {
        CArchive ar;
        s.doc->Serialize(ar);
        benchmark::DoNotOptimize(ar.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size));
}

void BM_SaveChart(benchmark::State& state) {
    Setup& s = Chart();
    const std::string path = s.dir + "/saved.cht";
    for (auto _ : state)
        benchmark::DoNotOptimize(s.doc->OnSaveDocument(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size));
}

void BM_OpenChart(benchmark::State& state) {
    Setup& s = Chart();
    for (auto _ : state) {
        auto doc = kintra::OpenChartDocument(s.chart);
        benchmark::DoNotOptimize(doc.get());
        kintra::CloseChartDocument(std::move(doc));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size));
}

// 50,000 blocks on a grid 200 columns wide, each fed by its left neighbour and the block above.
// Built on a document without windows, so that building it costs nothing per block; the chart
// window is opened afterwards, so the file carries its record.
struct ManyBlocks {
    static constexpr int kCount = 50000;
    static constexpr int kColumns = 200;

    ManyBlocks() : scope(&store, &messages, &windows) {
        char tmpl[] = "/tmp/kintra-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        doc = std::make_unique<COrventDoc>();
        doc->OnNewDocument();
        std::vector<CBlock*> placed;
        for (int i = 0; i < kCount - 1; ++i) {
            doc->PendingBlock = doc->CreateBlock(BlockType::Sum);
            CBlock* b = doc->PendingBlock.get();
            doc->PlaceBlock(1 + i % kColumns, -(i / kColumns));
            b->Name = FormatString("S%d", i);
            b->Inputs[0] = placed.empty() ? doc->Clock() : placed.back();
            b->Inputs[1] = i >= kColumns ? placed[static_cast<std::size_t>(i - kColumns)] : doc->Clock();
            placed.push_back(b);
        }
        windows.OpenChartWindow(*doc);
        chart = dir + "/many.cht";
        doc->OnSaveDocument(chart);
    }
    ~ManyBlocks() {
        kintra::CloseChartDocument(std::move(doc));
        for (const char* f : {"/many.cht", "/saved.cht"})
            std::remove((dir + f).c_str());
        ::rmdir(dir.c_str());
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform scope;
    std::string dir;
    std::string chart;
    std::unique_ptr<COrventDoc> doc;
};

ManyBlocks& Many() {
    static ManyBlocks setup;
    return setup;
}

void BM_SaveChartOfManyBlocks(benchmark::State& state) {
    ManyBlocks& s = Many();
    const std::string path = s.dir + "/saved.cht";
    for (auto _ : state)
        if (!s.doc->OnSaveDocument(path)) state.SkipWithError("save failed");
}

void BM_OpenChartOfManyBlocks(benchmark::State& state) {
    ManyBlocks& s = Many();
    for (auto _ : state) {
        auto doc = kintra::OpenChartDocument(s.chart);
        if (!doc || doc->Blocks.size() != ManyBlocks::kCount + 2) state.SkipWithError("open failed");
        kintra::CloseChartDocument(std::move(doc));
    }
}

// The same bytes read whole and written back through a temporary file with a flush to disk, as
// the chart's save does.
void BM_CopyFileOfTheSameSize(benchmark::State& state) {
    Setup& s = Chart();
    const std::string path = s.dir + "/copy.bin";
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        ReadWholeFile(s.chart, bytes, error);
        benchmark::DoNotOptimize(WriteFileAtomically(path, bytes.data(), bytes.size(), error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size));
}

} // namespace

BENCHMARK(BM_WriteChartToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveChart)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenChart)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyFileOfTheSameSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveChartOfManyBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenChartOfManyBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();
