// The chart view with 2,000 wired blocks: a full redraw and a redraw of one window's worth
// through the recording device context, a layout, and routing one more line across the chart.

#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "platform/RecordingDC.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {
// The benchmarks run with the block types registered, as the programs do at start-up.
[[maybe_unused]] const bool kTypesRegistered = (RegisterBlockTypes(), true);

class ChartBlock : public CBlock {
  public:
    ChartBlock(COrventDoc* doc, int inputs) : CBlock(257, doc, BlockCommand::Gain, BlockType::Gain) {
        InputsShown = inputs;
        Name = "Gain";
    }
    void Serialize(CArchive&) override {}
    int Initialize() override { return 1; }
    void Compute() override {}
};

// 2,000 blocks on 50 columns and 40 rows; each block with an input is fed by its left
// neighbour, and every fifth by the block two rows up as well.
struct BigChart {
    BigChart() {
        doc.AddView(&view);
        doc.OnNewDocument();
        for (int i = 0; i < 2000; ++i) {
            doc.PendingBlock = std::make_unique<ChartBlock>(&doc, i % 50 == 0 ? 0 : 2);
            doc.PlaceBlock(1 + i % 50, -(i / 50));
            CBlock* b = doc.Blocks.back().get();
            b->Value = i * 0.25;
            grid.push_back(b);
        }
        for (int i = 0; i < 2000; ++i) {
            CBlock* b = grid[i];
            if (b->InputsShown == 0) continue;
            b->Inputs[0] = grid[i - 1];
            doc.RouteInput(b, 0);
            if (i % 5 == 0 && i >= 100) {
                b->Inputs[1] = grid[i - 100 + 3];
                doc.RouteInput(b, 1);
            }
        }
        view.RecalcLayout(&dc);
    }
    COrventDoc doc;
    COrventView view;
    RecordingDC dc;
    std::vector<CBlock*> grid;
};

BigChart& Chart() {
    static BigChart chart;
    return chart;
}

void BM_DrawWholeChart(benchmark::State& state) {
    BigChart& c = Chart();
    RecordingDC dc;
    dc.SetCountOnly(true);
    for (auto _ : state) {
        dc.Clear();
        c.view.OnDraw(dc);
        benchmark::DoNotOptimize(dc.Count());
    }
    state.counters["calls"] = static_cast<double>(dc.Count());
}
BENCHMARK(BM_DrawWholeChart)->Unit(benchmark::kMillisecond);

// What a 1280 x 800 pixel window shows at 96 dpi: 1333 x 833 units, in the middle of the chart.
void BM_DrawOneWindow(benchmark::State& state) {
    BigChart& c = Chart();
    RecordingDC dc;
    dc.SetCountOnly(true);
    const int left = c.view.TotalWidth / 2;
    const int top = -c.view.TotalHeight / 2;
    dc.SetClient({left, top, left + 1333, top - 833});
    dc.SetClipBox({left, top, left + 1333, top - 833});
    for (auto _ : state) {
        dc.Clear();
        c.view.OnDraw(dc);
        benchmark::DoNotOptimize(dc.Count());
    }
    state.counters["calls"] = static_cast<double>(dc.Count());
}
BENCHMARK(BM_DrawOneWindow)->Unit(benchmark::kMicrosecond);

void BM_RecalcLayout(benchmark::State& state) {
    BigChart& c = Chart();
    for (auto _ : state)
        c.view.RecalcLayout(&c.dc);
}
BENCHMARK(BM_RecalcLayout)->Unit(benchmark::kMicrosecond);

// One more line from the top-left block to an input at the bottom right.
void BM_RouteOneMoreLine(benchmark::State& state) {
    BigChart& c = Chart();
    CBlock* from = c.grid[1];
    CBlock* to = c.grid[1998];
    for (auto _ : state) {
        to->Inputs[1] = from;
        c.doc.RouteInput(to, 1);
        benchmark::DoNotOptimize(to->RouteRecord[1]);
    }
    state.counters["unroutable"] = to->RouteRecord[1].v[0] == ROUTE_UNROUTABLE;
    to->Inputs[1] = nullptr;
}
BENCHMARK(BM_RouteOneMoreLine)->Unit(benchmark::kMillisecond);

} // namespace
