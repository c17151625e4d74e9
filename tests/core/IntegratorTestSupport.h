#pragma once
// Test models for the integrator: an integrating block and an algebraic block computing any
// function of its inputs and the time.

#include "TestSupport.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

// Integrating block: the state is Value, the derivative input 1 x parameter 1; it starts from
// input 2 when connected, else from parameter 2.
class TestIntegrate : public CBlock {
  public:
    explicit TestIntegrate(COrventDoc* doc)
        : CBlock(165, doc, BlockCommand::Integrate, BlockType::Integrate) {
        Kind = BK_INTEGRATING;
        Params = {1.0, 0.0, 1.0};
    }
    void Serialize(CArchive& ar) override { SerializeCommon(ar); }
    int Initialize() override {
        Value = InputOr(1, Params[1]);
        return 1;
    }
    void Compute() override {}
};

// Algebraic block: Value = f(block), read from the inputs and the document's time.
class FnBlock : public CBlock {
  public:
    using Fn = std::function<double(const FnBlock&)>;
    FnBlock(COrventDoc* doc, Fn f, int kind = BK_ALGEBRAIC)
        : CBlock(151, doc, BlockCommand::Sum, BlockType::Sine), f(std::move(f)) {
        Kind = kind;
    }
    void Serialize(CArchive& ar) override { SerializeCommon(ar); }
    int Initialize() override { return 1; }
    void Compute() override {
        ++computed;
        Value = f(*this);
    }
    double In(int i) const { return Inputs[i]->Value; }
    double Time() const { return Document->CurrentTime; }
    Fn f;
    int computed = 0;
};

// A document with a Clock, and helpers that place blocks in a row.
struct TestModel {
    TestPlatform platform;
    COrventDoc doc;
    int nextColumn = 1;

    TestModel() { doc.OnNewDocument(); }

    template <class B> B* Add(std::unique_ptr<B> block) {
        B* raw = block.get();
        doc.PendingBlock = std::move(block);
        doc.PlaceBlock(nextColumn++, 0);
        return raw;
    }
    TestIntegrate* Integrate(double initial, double gain = 1.0) {
        auto* b = Add(std::make_unique<TestIntegrate>(&doc));
        b->Params = {gain, initial, 1.0};
        return b;
    }
    FnBlock* Fn(FnBlock::Fn f, std::initializer_list<CBlock*> inputs = {}) {
        auto* b = Add(std::make_unique<FnBlock>(&doc, std::move(f)));
        int i = 0;
        for (CBlock* in : inputs)
            b->Inputs[i++] = in;
        return b;
    }
    void SetClock(double errorLimit, double interval, double time) {
        doc.Clock()->Params = {errorLimit, interval, time};
    }
    // What a run does before its time loop, for driving an integrator by hand.
    void PrepareRun() {
        ASSERT_TRUE(doc.BuildRunLists());
        CBlock* clock = doc.Clock();
        doc.ErrorLimit = clock->Params[0];
        doc.OutputInterval = clock->Params[1];
        doc.SimulationTime = clock->Params[2];
        doc.Stopped = 0;
        clock->Initialize();
        doc.CurrentTime = 0.0;
        clock->Value = 0.0;
        for (CBlock* b : doc.IntegratingBlocks)
            b->Initialize();
        for (CBlock* b : doc.EvalOrder)
            b->Initialize();
        for (CBlock* b : doc.EvalOrder)
            b->Compute();
        doc.IntervalStart = 0.0;
    }
};
