// Ordering a long chain of algebraic blocks: the first half stands in order, the second half
// reversed, so every block of the second half has to be moved in front of the one it feeds; and
// the chain closed into a loop, which must fail fast however large MaxSort is.

#include "blocks/Catalogue.h"
#include "model/OrventDoc.h"

#include <benchmark/benchmark.h>

namespace {
// The benchmarks run with the block types registered, as the programs do at start-up.
[[maybe_unused]] const bool kTypesRegistered = (RegisterBlockTypes(), true);

class ChainBlock : public CBlock {
  public:
    explicit ChainBlock(COrventDoc* doc) : CBlock(257, doc, BlockCommand::Gain, BlockType::Gain) {}
    void Serialize(CArchive&) override {}
    int Initialize() override { return 1; }
    void Compute() override { Value = Inputs[0] ? Inputs[0]->Value : 0.0; }
};

void BM_OrderHalfReversedChain(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    COrventDoc doc;
    doc.OnNewDocument();
    std::vector<CBlock*> chain;
    for (int i = 0; i < n; ++i) {
        doc.PendingBlock = std::make_unique<ChainBlock>(&doc);
        doc.PlaceBlock(i + 1, 0);
        chain.push_back(doc.Blocks.back().get());
        chain.back()->Inputs[0] = i == 0 ? doc.Clock() : chain[i - 1];
    }
    // Blocks: first half in chain order, second half reversed.
    std::vector<CBlock*> order(chain.begin(), chain.begin() + n / 2);
    for (int i = n - 1; i >= n / 2; --i)
        order.push_back(chain[i]);
    doc.MaxSort = 10000;
    for (auto _ : state) {
        std::vector<CBlock*> list = order;
        bool ok = doc.OrderList(list);
        benchmark::DoNotOptimize(ok);
        if (!ok || list.back() != chain.back()) state.SkipWithError("ordering failed");
    }
}
BENCHMARK(BM_OrderHalfReversedChain)->Arg(5000)->Unit(benchmark::kMillisecond);

// The same chain closed into a loop, under the largest bound a chart can hold: the loop must be
// found long before the bound is used up.
void BM_OrderLoopUnderTheLargestBound(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    COrventDoc doc;
    doc.OnNewDocument();
    std::vector<CBlock*> chain;
    for (int i = 0; i < n; ++i) {
        doc.PendingBlock = std::make_unique<ChainBlock>(&doc);
        doc.PlaceBlock(i + 1, 0);
        chain.push_back(doc.Blocks.back().get());
        chain.back()->Inputs[0] = chain[i == 0 ? 0 : i - 1];
    }
    chain.front()->Inputs[0] = chain.back();
    std::vector<CBlock*> order(chain.rbegin(), chain.rend());
    doc.MaxSort = 2147483647;
    for (auto _ : state) {
        std::vector<CBlock*> list = order;
        if (doc.OrderList(list)) state.SkipWithError("a loop was ordered");
    }
}
BENCHMARK(BM_OrderLoopUnderTheLargestBound)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond);
} // namespace
