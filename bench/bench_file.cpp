// Saving and opening a large chart (1,000 blocks with 10,000 recorded samples each, about 80 MB)
// next to a plain copy of a file of the same size. Throughput is in bytes per second of the file.

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

namespace {

constexpr int kBlocks = 1000;
constexpr int kSamples = 10000;

struct Setup {
    Setup() : scope(&store, &messages, &windows) {
        char tmpl[] = "/tmp/kintra-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        doc = kintra::NewChartDocument();
        CBlock* previous = doc->Clock();
        for (int i = 0; i < kBlocks - 1; ++i) {
            doc->PendingBlock = doc->CreateBlock(61631); // Gain
            CBlock* b = doc->PendingBlock.get();
            doc->PlaceBlock(1 + i % 40, -(i / 40));
            b->Name = FormatString("G%d", i);
            b->Inputs[0] = previous;
            previous = b;
        }
        for (const auto& b : doc->Blocks) {
            b->History.resize(kSamples);
            for (int j = 0; j < kSamples; ++j)
                b->History[static_cast<std::size_t>(j)] = 0.001 * j;
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
