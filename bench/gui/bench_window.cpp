// The window's own costs: a redraw of one window's worth of a 2,000-block chart through the Qt
// device context, the same run carried out without a window and from the Run command (the run
// window repainted after every output step), and a longer run with and without graph and list
// windows open. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "CommandIds.h"
#include "MainFrame.h"
#include "OrventApp.h"
#include "QtPlatform.h"
#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/BlockTypes.h"
#include "model/ClockBlock.h"
#include "model/OrventDoc.h"
#include "platform/MessageHost.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "render/QtDeviceContext.h"
#include "views/HeadlessWindows.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <clocale>
#include <memory>

namespace {

CBlock* Place(COrventDoc& doc, int type, int x, int y) {
    doc.PendingBlock = doc.CreateBlock(type);
    CBlock* b = doc.PendingBlock.get();
    doc.PlaceBlock(x, y);
    return b;
}

// 2,000 blocks on 50 columns: every third a Constant, the others Gains fed by their left
// neighbour, each input routed.
void BM_LargeChartRedraw(benchmark::State& state) {
    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform scope(&store, &messages, &windows);
    COrventDoc doc;
    COrventView view;
    doc.AddView(&view);
    doc.OnNewDocument();
    for (int i = 0; i < 2000; ++i) {
        CBlock* b = Place(doc, i % 3 == 0 ? BlockType::Constant : BlockType::Gain, 1 + i % 50, -(i / 50));
        if (i % 3 != 0) {
            b->Inputs[0] = doc.Blocks[doc.Blocks.size() - 2].get();
            doc.RouteInput(b, 0);
        }
    }
    QImage image(1200, 800, QImage::Format_RGB32);
    QImage probe(1, 1, QImage::Format_RGB32);
    const double ppu = QtDeviceContext::PixelsPerUnit(probe);
    {
        QPainter painter(&image);
        QtDeviceContext dc(painter, image.size(), QPoint(0, 0), ppu, image.rect());
        view.RecalcLayout(&dc);
    }
    auto draw = [&](QPoint scroll) {
        image.fill(Qt::white);
        QPainter painter(&image);
        QtDeviceContext dc(painter, image.size(), scroll, ppu, image.rect());
        view.OnDraw(dc);
    };
    draw({0, 0}); // the pictures rendered once into the cache
    const int maxX = view.TotalWidth - static_cast<int>(image.width() / ppu);
    const int maxY = view.TotalHeight - static_cast<int>(image.height() / ppu);
    int i = 0;
    for (auto _ : state) {
        draw({maxX * (i % 4) / 3, maxY * (i % 5) / 4});
        ++i;
    }
    doc.RemoveView(&view);
}
BENCHMARK(BM_LargeChartRedraw)->Unit(benchmark::kMillisecond);

// The oscillator chain of the run benchmark: per oscillator a Sum S_i and two Integrate blocks V_i
// and X_i, S_i = -(1 + 0.5 [i > 1]) X_i - 0.1 V_i + 0.5 X_(i-1); 400 oscillators, 1,000 output
// steps, enough that the run outweighs the window's fixed cost per output step.
void BuildChain(COrventDoc& doc, int n) {
    CBlock* previous = nullptr;
    for (int i = 0; i < n; ++i) {
        const int column = (i / 50) * 3 + 1, row = -(i % 50);
        CBlock* s = Place(doc, BlockType::Sum, column, row);
        CBlock* v = Place(doc, BlockType::Integrate, column + 1, row);
        CBlock* x = Place(doc, BlockType::Integrate, column + 2, row);
        v->Inputs[0] = s;
        x->Inputs[0] = v;
        x->Params[1] = i == 0 ? 1.0 : 0.0;
        s->Inputs = {x, v, previous};
        s->Params = {i == 0 ? -1.0 : -1.5, -0.1, 0.5};
        previous = x;
    }
    doc.Clock()->Params = {1e-7, 0.1, 100.0};
}

// The program started with its own settings file, its first chart holding the chain.
struct Program {
    explicit Program(int oscillators = 400) : app(dir.filePath(QStringLiteral("Kintra.ini"))) {
        scope = std::make_unique<ScopedPlatform>(&app.Settings(), &messages, &app.Windows());
        app.InitInstance({});
        doc = app.Documents().front().get();
        BuildChain(*doc, oscillators);
    }
    ~Program() {
        app.ExitInstance();
        scope.reset();
    }
    QTemporaryDir dir;
    RecordingMessageHost messages;
    COrventApp app;
    std::unique_ptr<ScopedPlatform> scope;
    COrventDoc* doc = nullptr;
};

void BM_RunWithoutAWindow(benchmark::State& state) {
    Program program;
    WindowHost none;
    ScopedPlatform scope(&program.app.Settings(), &program.messages, &none);
    for (auto _ : state) {
        QCoreApplication::processEvents();
        program.doc->RunSimulation();
    }
    if (program.doc->LastRunOutcome != RunOutcome::Completed) state.SkipWithError("the run did not complete");
}
BENCHMARK(BM_RunWithoutAWindow)->Unit(benchmark::kMillisecond);

void BM_RunFromTheWindow(benchmark::State& state) {
    Program program;
    for (auto _ : state) {
        QCoreApplication::processEvents();
        program.app.MainFrame()->OnCommand(ID_RUN);
    }
    if (program.doc->LastRunOutcome != RunOutcome::Completed) state.SkipWithError("the run did not complete");
}
BENCHMARK(BM_RunFromTheWindow)->Unit(benchmark::kMillisecond);

// Runs the chart from the Run command, with two graph windows and a list open when `windows`.
void RunWithOutputWindows(benchmark::State& state, Program& program, bool windows) {
    if (windows) {
        CMainFrame* frame = program.app.MainFrame();
        frame->OnCommand(ID_OPEN_GRAPH);
        frame->OnCommand(ID_OPEN_GRAPH);
        frame->OnCommand(ID_OPEN_LIST);
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        QCoreApplication::processEvents();
        program.app.MainFrame()->OnCommand(ID_RUN);
    }
    if (program.doc->LastRunOutcome != RunOutcome::Completed) state.SkipWithError("the run did not complete");
}

// A 1,000-oscillator run from the Run command with no output window open (argument 0) and with
// two graph windows and a list open (1), which grow as the run proceeds. The second should take
// at most a tenth longer than the first.
void BM_RunWithOutputWindows(benchmark::State& state) {
    Program program(1000);
    RunWithOutputWindows(state, program, state.range(0) != 0);
}
BENCHMARK(BM_RunWithOutputWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A long run of a small chain, 100,000 output steps, with no output window (0) or two graphs and
// a list open (1): the graphs' refreshes must not grow with the samples already shown.
void BM_LongRunWithOutputWindows(benchmark::State& state) {
    Program program(20);
    program.doc->Clock()->Params[2] = 10000.0;
    RunWithOutputWindows(state, program, state.range(0) != 0);
}
BENCHMARK(BM_LongRunWithOutputWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    RegisterBlockTypes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
