// Writes Kintra's example charts: each model is built block by block through the core, wired,
// routed, run once (so its graph and list show the result as soon as it is opened) and saved
// with a chart, a graph and a list window.
//
//   make_examples OUTDIR              the examples, into OUTDIR
//   make_examples --chain N OUT.cht   a chain of N coupled oscillators (a model for timing runs)
//   make_examples --every-block OUT.cht  one block of every type, wired in a row (a fuzzing seed)

#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/ChartDocument.h"
#include "model/ModelWindows.h"
#include "model/OrventDoc.h"
#include "platform/MessageHost.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#include "blocks/FunctionGenerator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

// The blocks the examples use.
constexpr int kIntegrate = BlockType::Integrate;
constexpr int kMultiply = BlockType::Multiply;
constexpr int kSum = BlockType::Sum;
constexpr int kConstant = BlockType::Constant;
constexpr int kGain = BlockType::Gain;
constexpr int kTimePulse = BlockType::TimePulse;
constexpr int kFunctionGenerator = BlockType::FunctionGenerator;
constexpr int kQuit = BlockType::Quit;

class Example {
  public:
    explicit Example(const std::string& title) : m_doc(kintra::NewChartDocument()) {
        if (!m_doc) Fail("cannot make a chart");
        m_doc->Title = title;
        m_doc->SetTitle(title);
    }

    ~Example() { kintra::CloseChartDocument(std::move(m_doc)); }
    Example(const Example&) = delete;
    Example& operator=(const Example&) = delete;

    COrventDoc& Doc() { return *m_doc; }
    CBlock* Clock() { return m_doc->Clock(); }

    // The Clock's error limit, output interval and simulation time.
    void Timing(double errorLimit, double interval, double time) {
        Clock()->Params = {errorLimit, interval, time};
    }

    CBlock* Add(int type, int column, int row, const std::string& name,
                std::initializer_list<double> params = {}) {
        m_doc->PendingBlock = m_doc->CreateBlock(type);
        if (!m_doc->PendingBlock) Fail("unknown block type " + std::to_string(type));
        CBlock* b = m_doc->PendingBlock.get();
        if (m_doc->FindBlockAt(column, -row)) Fail("two blocks at one place: " + name);
        m_doc->PlaceBlock(column, -row); // rows are counted downwards
        b->Name = name;
        // The light colours of the cycle are hard to see on white: darker shades of them.
        if (b->LineColor == RGB(255, 255, 0)) b->LineColor = RGB(200, 140, 0);
        if (b->LineColor == RGB(0, 255, 0)) b->LineColor = RGB(0, 150, 0);
        if (b->LineColor == RGB(0, 255, 255)) b->LineColor = RGB(0, 140, 170);
        int i = 0;
        for (double p : params)
            b->Params[i++] = p;
        return b;
    }

    void Wire(CBlock* block, int input, CBlock* source) { block->Inputs[input] = source; }

    // Routes every line, runs the model, opens a graph (against the Clock, or `x` when given) and
    // a list, and saves the chart.
    void Save(const std::string& path, const std::string& graphTitle, std::vector<CBlock*> graphed,
              std::vector<CBlock*> listed, CBlock* x = nullptr, bool route = true) {
        if (route)
            for (const auto& b : m_doc->Blocks)
                for (int k = 0; k < 3; ++k)
                    if (b->Inputs[k]) m_doc->RouteInput(b.get(), k);
        m_doc->RunSimulation();
        if (m_doc->LastRunOutcome != RunOutcome::Completed) Fail("the run of " + path + " did not complete");
        AddGraph(graphTitle, graphed, x);
        auto* list = static_cast<CListBase*>(ModelWindows().OpenListWindow(*m_doc));
        list->Columns.clear();
        list->Columns.push_back(Clock());
        for (CBlock* b : listed)
            list->Columns.push_back(b);
        list->ListTitle = "Values";
        m_doc->UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
        if (!m_doc->OnSaveDocument(path)) Fail("cannot write " + path);
        std::printf("%s: %zu blocks, %zu samples\n", path.c_str(), m_doc->Blocks.size(),
                    Clock()->HistorySize());
    }

    void AddGraph(const std::string& title, const std::vector<CBlock*>& graphed, CBlock* x = nullptr) {
        auto* graph = static_cast<CGraphBase*>(ModelWindows().OpenGraphWindow(*m_doc));
        graph->Traces = {x ? x : Clock(), nullptr, nullptr, nullptr};
        for (std::size_t i = 0; i < graphed.size() && i < 3; ++i)
            graph->Traces[i + 1] = graphed[i];
        graph->LastTrace = static_cast<int>(graphed.size() < 3 ? graphed.size() : 3);
        graph->GraphTitle = title;
        graph->Grids = 3;
        graph->RecomputeScales();
    }

    static void Fail(const std::string& why) {
        std::fprintf(stderr, "make_examples: %s\n", why.c_str());
        std::exit(1);
    }

  private:
    std::unique_ptr<COrventDoc> m_doc;
};

// m x'' = -k x - c x', from x = 1 at rest.
void SpringMass(const std::string& dir) {
    Example e("Damped spring and mass");
    e.Timing(1e-6, 0.05, 20.0);
    CBlock* force = e.Add(kSum, 1, 1, "Force", {-4.0, -0.4, 1.0});
    CBlock* accel = e.Add(kGain, 2, 1, "Acceleration", {1.0 / 1.0});
    CBlock* velocity = e.Add(kIntegrate, 3, 1, "Velocity", {1.0, 0.0});
    CBlock* position = e.Add(kIntegrate, 4, 1, "Position", {1.0, 1.0});
    e.Wire(force, 0, position);
    e.Wire(force, 1, velocity);
    e.Wire(accel, 0, force);
    e.Wire(velocity, 0, accel);
    e.Wire(position, 0, velocity);
    e.Save(dir + "/spring-mass.cht", "Spring and mass", {position, velocity}, {position, velocity, accel});
}

// x'' - mu (1 - x^2) x' + x = 0 with mu = 1.5.
void VanDerPol(const std::string& dir) {
    Example e("Van der Pol oscillator");
    e.Timing(1e-6, 0.05, 30.0);
    CBlock* one = e.Add(kConstant, 1, 2, "One", {1.0});
    CBlock* square = e.Add(kMultiply, 1, 1, "x squared", {1.0, 1.0, 1.0});
    CBlock* damping = e.Add(kSum, 2, 1, "Damping", {1.5, -1.5, 1.0});
    CBlock* push = e.Add(kMultiply, 3, 1, "Damping force", {1.0, 1.0, 1.0});
    CBlock* dy = e.Add(kSum, 4, 1, "dy/dt", {1.0, -1.0, 1.0});
    CBlock* y = e.Add(kIntegrate, 5, 1, "y", {1.0, 0.0});
    CBlock* x = e.Add(kIntegrate, 6, 1, "x", {1.0, 0.5});
    e.Wire(square, 0, x);
    e.Wire(square, 1, x);
    e.Wire(damping, 0, one);
    e.Wire(damping, 1, square);
    e.Wire(push, 0, damping);
    e.Wire(push, 1, y);
    e.Wire(dy, 0, push);
    e.Wire(dy, 1, x);
    e.Wire(y, 0, dy);
    e.Wire(x, 0, y);
    e.AddGraph("Phase plane: y against x", {y}, x);
    e.Save(dir + "/van-der-pol.cht", "Van der Pol: x and y", {x, y}, {x, y, damping});
}

// Prey x and predators y: x' = a x - b x y, y' = -c y + d x y.
void PredatorPrey(const std::string& dir) {
    Example e("Predator and prey");
    e.Timing(1e-6, 0.1, 40.0);
    CBlock* meet = e.Add(kMultiply, 1, 2, "Encounters", {1.0, 1.0, 1.0});
    CBlock* preyRate = e.Add(kSum, 2, 1, "Prey rate", {1.0, -0.1, 1.0});
    CBlock* predRate = e.Add(kSum, 2, 3, "Predator rate", {-1.5, 0.075, 1.0});
    CBlock* prey = e.Add(kIntegrate, 3, 1, "Prey", {1.0, 10.0});
    CBlock* pred = e.Add(kIntegrate, 3, 3, "Predators", {1.0, 5.0});
    e.Wire(meet, 0, prey);
    e.Wire(meet, 1, pred);
    e.Wire(preyRate, 0, prey);
    e.Wire(preyRate, 1, meet);
    e.Wire(predRate, 0, pred);
    e.Wire(predRate, 1, meet);
    e.Wire(prey, 0, preyRate);
    e.Wire(pred, 0, predRate);
    e.Save(dir + "/predator-prey.cht", "Populations", {prey, pred}, {prey, pred, meet});
}

// y' = (u - y) / T with T = 2, u a pulse every 5 s from 1 s on.
void PulseLag(const std::string& dir) {
    Example e("First-order lag driven by pulses");
    e.Timing(1e-6, 0.05, 30.0);
    CBlock* pulses = e.Add(kTimePulse, 1, 1, "Pulses", {5.0, 20.0, 1.0});
    CBlock* rate = e.Add(kSum, 2, 1, "Rate", {0.5, -0.5, 1.0});
    CBlock* out = e.Add(kIntegrate, 3, 1, "Output", {1.0, 0.0});
    e.Wire(rate, 0, pulses);
    e.Wire(rate, 1, out);
    e.Wire(out, 0, rate);
    e.Save(dir + "/pulse-lag.cht", "Pulses through a lag", {out, pulses}, {pulses, out});
}

// A flow given as a table over time, and the volume it fills.
void FunctionLookup(const std::string& dir) {
    Example e("Function generator lookup");
    e.Timing(1e-6, 0.05, 12.0);
    auto* flow =
        static_cast<CFunctionGeneratorBlock*>(e.Add(kFunctionGenerator, 1, 1, "Flow", {0.0, 10.0, 0.0}));
    flow->SetOrdinates({0.0, 3.0, 5.0, 4.0, 6.0, 8.0, 7.0, 3.0, 1.0, 0.5, 0.0});
    CBlock* volume = e.Add(kIntegrate, 2, 1, "Volume", {1.0, 0.0});
    CBlock* mean = e.Add(kGain, 3, 1, "Tenth of volume", {0.1});
    e.Wire(flow, 0, e.Clock());
    e.Wire(volume, 0, flow);
    e.Wire(mean, 0, volume);
    e.Save(dir + "/function-lookup.cht", "Flow and volume", {flow, mean}, {flow, volume});
}

// The oscillator chain of the run benchmark (bench/bench_run.cpp): per oscillator i a Sum S_i and
// two Integrate blocks V_i and X_i; X_i integrates V_i (from 1 for the first, else 0), V_i
// integrates S_i, and S_i = -(1 + 0.5 [i > 1]) X_i - 0.1 V_i + 0.5 X_(i-1). Clock 1e-7, 0.1, 100.
void OscillatorChain(int n, const std::string& path) {
    Example e("Chain of " + std::to_string(n) + " oscillators");
    e.Timing(1e-7, 0.1, 100.0);
    const int perColumn = 50;
    std::vector<CBlock*> sum(n), velocity(n), position(n);
    for (int i = 0; i < n; ++i) {
        const int column = (i / perColumn) * 3 + 1;
        const int row = i % perColumn;
        sum[i] = e.Add(kSum, column, row, FormatString("S%d", i + 1), {i == 0 ? -1.0 : -1.5, -0.1, 0.5});
        velocity[i] = e.Add(kIntegrate, column + 1, row, FormatString("V%d", i + 1), {1.0, 0.0});
        position[i] =
            e.Add(kIntegrate, column + 2, row, FormatString("X%d", i + 1), {1.0, i == 0 ? 1.0 : 0.0});
    }
    for (int i = 0; i < n; ++i) {
        e.Wire(sum[i], 0, position[i]);
        e.Wire(sum[i], 1, velocity[i]);
        if (i > 0) e.Wire(sum[i], 2, position[i - 1]);
        e.Wire(velocity[i], 0, sum[i]);
        e.Wire(position[i], 0, velocity[i]);
    }
    e.Save(path, "First and last mass", {position.front(), position.back()},
           {position.front(), position.back()}, nullptr, false);
}

// One block of every type, eight to a row, each required input fed by the block before it; integrated
// with the 7/8 pair, notes shown in every window, a graph of three blocks and a list of all. Seeds
// the fuzz target with every block's record and computation.
void EveryBlock(const std::string& path) {
    Example e("Every block");
    e.Timing(1e-4, 0.1, 2.0);
    COrventDoc& doc = e.Doc();
    doc.IntStyle = 1;
    std::size_t count = 0;
    const CBlockTypeInfo* types = BlockTypes(count);
    std::vector<CBlock*> placed;
    CBlock* previous = e.Clock();
    for (std::size_t i = 0; i < count; ++i) {
        if (types[i].TypeId == e.Clock()->TypeId) continue;
        const int n = static_cast<int>(placed.size());
        CBlock* b = e.Add(types[i].TypeId, n % 8 + 1, n / 8, "");
        b->Name = b->TypeName;
        for (int k = 0; k < std::max(1, b->RequiredInputs) && k < 3; ++k)
            e.Wire(b, k, previous);
        b->Invert = n % 5 == 4;
        b->Notes = "Block " + std::to_string(n + 1);
        if (types[i].TypeId == kIntegrate) b->Params[1] = 1.0; // the Divide after it then divides by it
        if (types[i].TypeId == kQuit) b->Params[1] = -1e9;     // stops the run only on a wild value
        if (types[i].TypeId == kFunctionGenerator)
            static_cast<CFunctionGeneratorBlock*>(b)->SetOrdinates({0.0, 1.0, 0.5, 2.0});
        placed.push_back(b);
        previous = b;
    }
    for (CView* v : doc.Views())
        if (auto* chart = dynamic_cast<COrventView*>(v)) {
            chart->ChartNotes = "Every block type once.\nEach block takes its inputs from the one before.";
            chart->NotesDisplay = 1;
        }
    for (const auto& b : doc.Blocks)
        for (int k = 0; k < 3; ++k)
            if (b->Inputs[k]) doc.RouteInput(b.get(), k);
    doc.RunSimulation();
    e.AddGraph("Three of them", {placed[0], placed[10], placed[20]});
    auto* list = static_cast<CListBase*>(ModelWindows().OpenListWindow(doc));
    list->ListNotes = "All blocks";
    list->NotesDisplay = 1;
    doc.UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
    if (!doc.OnSaveDocument(path)) Example::Fail("cannot write " + path);
    std::printf("%s: %zu blocks, %zu samples\n", path.c_str(), doc.Blocks.size(), e.Clock()->HistorySize());
}

} // namespace

int main(int argc, char** argv) {
    RegisterBlockTypes();
    // Factory settings and windows without a display, so the files do not depend on who made them.
    MemorySettingsStore settings;
    StderrMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform platform(&settings, &messages, &windows);

    if (argc == 4 && std::string(argv[1]) == "--chain") {
        const int n = std::atoi(argv[2]);
        if (n < 1 || n > 100000) Example::Fail("the chain needs 1 to 100000 oscillators");
        OscillatorChain(n, argv[3]);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--every-block") {
        EveryBlock(argv[2]);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples OUTDIR | make_examples --chain N OUT.cht | make_examples "
                             "--every-block OUT.cht\n");
        return 2;
    }
    const std::string dir = argv[1];
    SpringMass(dir);
    VanDerPol(dir);
    PredatorPrey(dir);
    PulseLag(dir);
    FunctionLookup(dir);
    return 0;
}
