// Fuzz target of a chart's whole life without a display: any bytes are read as a chart file.
// Reading either fails cleanly (its error, after its message) or gives a chart that is then drawn
// in every window, paginated and printed, run, drawn again with its results, written, and read
// back, which must succeed without complaint and give a chart that is written byte for byte as
// before.
//
// The run is bounded here, by the harness, and not by changing what Kintra does: a few output
// steps, a small step limit and sort bound, and a time limit, so that every input stays cheap.

#include "blocks/Catalogue.h"
#include "chart/ChartPrint.h"
#include "chart/OrventView.h"
#include "model/ChartFile.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/Platform.h"
#include "platform/RecordingDC.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Bounds of one run.
constexpr int kMaxOutputSteps = 20;
constexpr double kMaxStepsPerInterval = 100.0;
constexpr int kMaxSortPasses = 1000;
constexpr auto kMaxRunTime = std::chrono::milliseconds(500);
// Chart pages printed from the start (and the last one besides).
constexpr int kPrintedPages = 3;
// Largest table (rows times columns) turned into "Print to File" text.
constexpr long long kMaxExportedCells = 1 << 16;

// A window and a printed page, in logical units (0.01 inch, y upwards).
constexpr CRect kWindowClient{0, 0, 1000, -800};
constexpr CRect kPageArea{0, 0, 800, -1054};

// Counts the boxes instead of showing them; every question is answered OK.
class CountingMessages : public MessageHost {
  public:
    int MessageBox(const std::string&, const std::string&, int, int) override {
        ++shown;
        return IDOK;
    }
    int shown = 0;
};

// The headless windows with a run window that stops the run after a few output steps or when
// it takes too long.
class FuzzWindows : public HeadlessWindowHost {
  public:
    CView* OpenRunWindow(COrventDoc&) override {
        m_steps = 0;
        m_started = std::chrono::steady_clock::now();
        return &m_runWindow;
    }
    void RunWindowStep(COrventDoc& doc) override {
        if (++m_steps >= kMaxOutputSteps || std::chrono::steady_clock::now() - m_started > kMaxRunTime)
            doc.OnTerminateRun();
    }
    void CloseRunWindow(COrventDoc&) override {}

  private:
    CView m_runWindow;
    int m_steps = 0;
    std::chrono::steady_clock::time_point m_started;
};

// Reads the bytes into a fresh document with its chart view; false when the reader refused them.
bool Load(const std::vector<std::uint8_t>& bytes, COrventDoc& doc, FuzzWindows& windows,
          const CountingMessages& messages) {
    windows.OpenChartWindow(doc);
    CArchive ar(bytes);
    try {
        doc.Serialize(ar);
        return true;
    } catch (const CArchiveException&) {
        // The end of the data or a count beyond it: the open reports it.
    } catch (const kintra::CChartLoadRefused&) {
        if (messages.shown == 0) {
            std::fprintf(stderr, "a refused file showed no message\n");
            std::abort();
        }
    }
    doc.PendingBlock.reset();
    return false;
}

std::vector<std::uint8_t> Save(COrventDoc& doc) {
    CArchive ar;
    doc.Serialize(ar);
    return ar.TakeBytes();
}

// The window painted whole, then a partial repaint of its upper left quarter.
void DrawInWindow(CView& view) {
    RecordingDC dc(kWindowClient);
    dc.SetCountOnly(true);
    if (auto* chart = dynamic_cast<COrventView*>(&view)) {
        chart->RecalcLayout(&dc);
        // A chart of many million cells (a block far out) is painted as a window shows it, through
        // its client area: painted whole it would take minutes, which no window ever does.
        const double cells = static_cast<double>(chart->TotalWidth) / std::max(1, chart->CellWidth) *
                             (static_cast<double>(chart->TotalHeight) / std::max(1, chart->CellHeight));
        if (cells > 1e6) dc.SetClipBox(kWindowClient);
    }
    view.OnDraw(dc);
    dc.SetClipBox({0, 0, kWindowClient.right / 2, kWindowClient.bottom / 2});
    view.OnDraw(dc);
}

// Print preview and Print: the page count first, then the first pages and the last.
void PrintChart(COrventView& chart) {
    const int pages = kintra::EstimateChartPages(chart, nullptr);
    chart.RecalcLayout();
    RecordingDC page(kPageArea, true);
    page.SetCountOnly(true);
    auto sheet = [&](int) -> DeviceContext* { return &page; };
    kintra::PrintChartPages(chart, 1, kPrintedPages, sheet);
    if (pages > kPrintedPages) kintra::PrintChartPages(chart, pages, pages, sheet);
}

void DrawEveryWindow(COrventDoc& doc) {
    const std::vector<CView*> views = doc.Views();
    for (CView* view : views) {
        DrawInWindow(*view);
        if (auto* chart = dynamic_cast<COrventView*>(view)) {
            PrintChart(*chart);
            continue;
        }
        // Graphs and lists print on one page.
        RecordingDC page(kPageArea, true);
        page.SetCountOnly(true);
        view->OnDraw(page);
        if (auto* list = dynamic_cast<CListBase*>(view)) {
            const long long cells = static_cast<long long>(list->RowCount()) * (list->Columns.size() + 1);
            if (cells <= kMaxExportedCells) (void)list->PrintText();
            (void)list->DefaultPrintFileName();
        }
    }
}

// The harness's own limits on the run; they change the model only as the user could.
void BoundTheRun(COrventDoc& doc) {
    CBlock* clock = doc.Clock();
    const double interval = clock->Params[1];
    if (interval > 0 && clock->Params[2] > kMaxOutputSteps * interval)
        clock->Params[2] = kMaxOutputSteps * interval;
    if (!(doc.MaxSteps <= kMaxStepsPerInterval)) doc.MaxSteps = kMaxStepsPerInterval;
    doc.MaxSort = std::min(doc.MaxSort, kMaxSortPasses);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RegisterBlockTypes();
    MemorySettingsStore store;
    CountingMessages messages;
    FuzzWindows windows;
    ScopedPlatform platform(&store, &messages, &windows);

    std::vector<std::uint8_t> saved;
    {
        COrventDoc doc;
        if (!Load(std::vector<std::uint8_t>(data, data + size), doc, windows, messages)) {
            windows.CloseDocumentWindows(doc);
            return 0;
        }
        DrawEveryWindow(doc);
        BoundTheRun(doc);
        doc.RunSimulation();
        DrawEveryWindow(doc);
        saved = Save(doc);
        windows.CloseDocumentWindows(doc);
    }
    // What Kintra wrote, Kintra reads: every input and view finds its block again.
    messages.shown = 0;
    COrventDoc again;
    if (!Load(saved, again, windows, messages) || messages.shown != 0) {
        std::fprintf(stderr, "a chart written after reading could not be read back cleanly\n");
        std::abort();
    }
    // ... and writes it again byte for byte.
    if (Save(again) != saved) {
        std::fprintf(stderr, "a chart read back is not written as it was read\n");
        std::abort();
    }
    windows.CloseDocumentWindows(again);
    return 0;
}
