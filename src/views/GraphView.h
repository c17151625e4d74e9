#pragma once
// The Graph window: up to three blocks' recorded values (graphs 1 to 3) plotted against a fourth
// block's (the X source, normally the Clock). Each graph keeps its traces, its appearance
// settings in five lists, its title and notes, and writes them into the chart file.

#include "settings/SettingList.h"
#include "views/TemplateView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An axis's scale in units of 10^Exponent: the range LowUnits..HighUnits cut by Ticks ticks and
// labelled with Decimals decimals.
struct AxisScale {
    double LowUnits = 0.0;
    double HighUnits = 1.0;
    int Exponent = 0;
    int Decimals = 0;
    int Ticks = 10;
};

// The scale of a range the user zoomed to (low < high, both finite): the ends rounded outward to
// whole steps of a power of ten near a tenth of the span, ticks and decimals as for a recorded
// range. The step is never finer than a millionth of the larger end, so that every label still
// states its tick.
AxisScale ZoomedAxisScale(double low, double high);

// The index of the sample nearest to (x, y) where the distance on each axis is weighted by its
// pixels per value; samples that are no finite number are passed over. -1 when none is.
int NearestSample(int count, const std::function<double(int)>& xAt, const std::function<double(int)>& yAt,
                  double x, double y, double xPixels, double yPixels);

// The graph's settings lists: the X axis, graphs 1 to 3, and the rest.
enum GraphSettingList {
    GRAPH_LIST_X = 0,
    GRAPH_LIST_1 = 1,
    GRAPH_LIST_2 = 2,
    GRAPH_LIST_3 = 3,
    GRAPH_LIST_MISC = 4
};

// Control ids of the graph's settings (the property pages edit them).
enum GraphControl {
    IDC_AXIS_COLOR = 1073,
    IDC_AXIS_HIGH = 1085,
    IDC_AXIS_LOW = 1084,
    IDC_AXIS_FIXED = 1086,
    IDC_AXIS_WIDTH = 1070,
    IDC_AXIS_GRIDS = 1229,
    IDC_GRAPH1_COLOR = 1066,
    IDC_GRAPH1_HIGH = 1079,
    IDC_GRAPH1_LOW = 1078,
    IDC_GRAPH1_FIXED = 1081,
    IDC_GRAPH1_WIDTH = 1076,
    IDC_GRAPH1_LOCN = 1054,
    IDC_GRAPH2_COLOR = 1068,
    IDC_GRAPH2_HIGH = 1105,
    IDC_GRAPH2_LOW = 1104,
    IDC_GRAPH2_FIXED = 1118,
    IDC_GRAPH2_WIDTH = 1102,
    IDC_GRAPH2_LOCN = 1233,
    IDC_GRAPH3_COLOR = 1069,
    IDC_GRAPH3_HIGH = 1113,
    IDC_GRAPH3_LOW = 1112,
    IDC_GRAPH3_FIXED = 1109,
    IDC_GRAPH3_WIDTH = 1103,
    IDC_GRAPH3_LOCN = 1235,
    IDC_GRAPH_LABELS_FONT = 1074,
    IDC_GRAPH_LEGENDS_FONT = 1075,
    IDC_GRAPH_NOTES_FONT = 1095,
    IDC_GRAPH_NOTES_COLOR = -1095,
    IDC_GRAPH_DISPLAY_NOTES = 1097,
};

class CGraphBase : public CTemplateView {
  public:
    static constexpr int kHelpContext = 122;

    CGraphBase();
    ~CGraphBase() override;

    std::string GetViewClassName() const override { return "CGraphBase"; }

    // ---- Framework ----
    // First display: the Clock against itself unless traces are set, then the scales.
    void OnInitialUpdate() override;
    // Hint -1 with a block: the block is leaving the document; drop it from the traces. Every
    // update recomputes the scales and repaints.
    void OnUpdate(CView* sender, long hint, UpdateObject object) override;
    // The plot: notes, axes with their ticks or grid lines, tick labels, legends and traces, in
    // the window (or on the page when printing).
    void OnDraw(DeviceContext& dc) override;
    void Serialize(CArchive& ar) override;

    // ---- Traces ----
    // X source := graph 1 := the document's first block; graphs 2 and 3 none; LastTrace 1.
    void SetDefaultTraces();
    // Trace k - 1 (k = 2 or 3) takes trace k's block, range, fixed flag and width; slot k is
    // emptied and its settings return to their factory defaults. Colours stay with the slots.
    void ShiftTrace(int k);
    // The block is about to leave the document.
    void RemoveBlock(const CBlock* block);
    // A new pane of a split window takes this graph's settings and traces (not title or notes).
    void CopySettingsTo(CGraphBase& other) const;

    // ---- Scales ----
    // Ranges from the recorded values (or the fixed ranges), rounded outward to whole units of a
    // power of ten and written back into High and Low; exponents, decimals, tick counts and the
    // side of every graph's scale.
    void RecomputeScales();
    // LabelSize: the extent of the widest tick label of every axis in LabelsFont.
    void MeasureLabels(DeviceContext& dc);
    // Notes wrapped to `width`, then the four margins around the plot.
    void ComputeLayout(DeviceContext& dc, int width);
    // A tick value (in units of the axis) with the axis's decimals: %2.0f, %4.1f, %5.2f, ...
    std::string FormatTickLabel(double value, int axis) const;
    // The legend of trace i: the block's name, "  E" and the exponent as %+3d.
    std::string LegendText(int trace) const;
    // The full legend under a point of the window where the drawn one was shortened; else empty.
    std::string LegendTipAt(CPoint point) const;

    // ---- Zoom (a state of the window, never written to the file) ----
    // Shows the part of the plot between the fractions x0..x1 across and y0..y1 up (0..1 is the
    // plot as shown now) on every axis. Refused (false) where the range would leave the
    // numbers or be finer than the labels can state.
    bool ZoomTo(double x0, double x1, double y0, double y1);
    // The wheel: `factor` < 1 zooms in, > 1 out, keeping the point at fractions (fx, fy) in place.
    bool ZoomAbout(double fx, double fy, double factor);
    // Zoom In (factor < 1) or Out of the menu: ZoomAbout, repeated (at most four times) until every
    // axis shows another range, since rounding the ends outward to whole steps can swallow one.
    bool ZoomStep(double fx, double fy, double factor);
    // Moves the shown range by fractions of the plot (a drag to the right shows what lay left).
    bool PanBy(double dx, double dy);
    // Back to the scales of the recorded values.
    void ResetZoom();
    bool IsZoomed() const { return Zoomed; }
    // The value at fraction f of axis i as shown now.
    double ValueAt(int axis, double f) const;
    // The plot's rectangle as last drawn (logical units, y upwards).
    CRect PlotRect{};

    // ---- Live drawing (the window while a run proceeds) ----
    // What the window's picture depends on besides the samples: the scales, the layout, the
    // traces and their pens, the earlier runs and the run itself. While it stays the same, the
    // samples recorded since the picture was drawn can be added to it with DrawNewSamples.
    std::vector<std::uint64_t> LiveDrawKey() const;
    // The traces from sample `first` on, each joined to the sample before it, in the plot as
    // last drawn in the window.
    void DrawNewSamples(DeviceContext& dc, int first) const;

    // ---- Read-out ----
    struct SampleReadout {
        int Trace = 0;     // 1..3
        int Index = 0;     // the sample's place in the record
        double Time = 0.0; // the Clock's value at that sample
        double X = 0.0;
        double Y = 0.0;
        CPoint At{}; // where the sample lies in PlotRect
    };
    // For each graph, the recorded sample nearest to the point at fractions (fx, fy) of the plot
    // as last drawn, measured on the screen.
    std::vector<SampleReadout> NearestSamples(double fx, double fy) const;
    // "Name = y at t = time" for each sample (and the X source's value where it is not the
    // Clock), every value in the shortest text that reads back as the same number.
    std::string ReadoutText(const std::vector<SampleReadout>& samples) const;

    // ---- Earlier runs (kept in memory only, while KeepEarlierRuns is on) ----
    struct EarlierRun {
        // "Damping.p1 = 0.4, ...": the parameters that differed from the run after it.
        std::string Label;
        // Per graph 1..3 (index 0 unused): the X and Y values recorded.
        std::array<std::vector<double>, 4> X;
        std::array<std::vector<double>, 4> Y;
    };
    static constexpr std::size_t kMaxEarlierRuns = 5;
    bool KeepEarlierRuns = false;
    // Oldest first.
    std::vector<EarlierRun> EarlierRuns;
    void SetKeepEarlierRuns(bool keep);
    void ClearEarlierRuns();
    // Runs made apart from the chart (a sweep) drawn as its earlier runs, with their own labels,
    // in place of those kept; the chart's own histories are untouched.
    void ShowOtherRuns(std::vector<EarlierRun> runs);

    // ---- Traces and texts ----
    // 0: the X source; 1..3: graphs 1..3. Not owned.
    std::array<CBlock*, 4> Traces{};
    int LastTrace = 0;
    std::string GraphTitle;
    std::string GraphNotes;
    std::vector<CBlock*> CandidateBlocks;
    // The printed footer's date; today's when empty.
    std::string PrintDate;

    // ---- Settings (index 0 the X axis, 1..3 graphs 1..3) ----
    std::array<COLORREF, 4> Color{};
    std::array<double, 4> High{};
    std::array<double, 4> Low{};
    std::array<int, 4> Fixed{};
    std::array<int, 4> Width{};
    int Grids = 0;             // bit 0 horizontal, bit 1 vertical grid lines
    std::array<int, 4> Locn{}; // graphs 1..3: side of the scale
    LOGFONT LabelsFont;
    LOGFONT LegendsFont;
    LOGFONT NotesFont;
    COLORREF NotesColor = 0;
    int DisplayNotes = 0;
    std::array<CSettingList, 5> Settings;

    // ---- Scales (from RecomputeScales) ----
    std::array<double, 4> HighUnits{};
    std::array<double, 4> LowUnits{};
    std::array<int, 4> Exponent{};
    std::array<int, 4> Decimals{};
    std::array<int, 4> TickCount{};
    std::array<int, 4> Side{};
    int LeftTicks = 0;
    int RightTicks = 0;
    int XTicks = 0;
    int SampleCount = 0;
    int TickLength = 0;
    int Gap = 0;

    // ---- Layout (from MeasureLabels and ComputeLayout; logical units) ----
    std::array<CSize, 4> LabelSize{};
    int LeftMargin = 0;
    int RightMargin = 0;
    int BottomMargin = 0;
    int TopMargin = 0;
    // The notes as drawn: wrapped lines and their total height (0 when not shown).
    std::vector<std::string> NotesLines;
    int NotesHeight = 0;
    // Where each legend was last drawn in the window, and whether its name was shortened.
    std::array<CRect, 4> LegendRects{};
    std::array<bool, 4> LegendElided{};

  private:
    // The scales of the recorded values (or the fixed ranges), written back into High and Low.
    void ComputeScales();
    // The zoomed ranges over those scales; High and Low keep the recorded ones.
    void ApplyZoom();
    bool SetZoom(const std::array<double, 4>& lows, const std::array<double, 4>& highs);
    std::array<std::array<double, 4>, 2> AskedRange() const;
    // What the last update showed, with every block's parameters by position: it becomes an
    // earlier run when the next run begins.
    struct RunParams {
        CPoint Position;
        std::string Name;
        std::array<double, 3> Params;
    };
    void FollowRuns();
    // The traces moved between the slots (a graph removed, the properties changed) since what is
    // shown was taken: the earlier runs' traces follow their blocks; one whose block has no slot
    // any more goes, and a run left without traces with it.
    void FollowTraces();
    // The update in progress only adds samples recorded since the last one (during a run).
    bool m_growing = false;
    // The range of a trace's samples read so far in the run.
    struct RangeScan {
        const CBlock* Block = nullptr;
        unsigned Serial = 0;
        int Count = 0;
        double High = 0.0;
        double Low = 0.0;
        bool Any = false;
    };
    std::array<RangeScan, 4> m_scans{};
    std::array<CBlock*, 4> m_shownTraces{};
    EarlierRun m_shown;
    std::vector<RunParams> m_shownParams;
    bool m_haveShown = false;
    unsigned m_seenSerial = 0;
    void DrawEarlierRuns(DeviceContext& dc, const CRect& plot, bool black) const;
    bool Zoomed = false;
    std::array<double, 4> ZoomLow{};
    std::array<double, 4> ZoomHigh{};
    void ClearTrace(int k);
    void UpdateCaption();
    // On paper: the document's title and the graph's in a header line, the path and the date in
    // a footer line, in LegendsFont. Returns that font's text height.
    int DrawPageHeaderFooter(DeviceContext& dc, const CRect& page, bool black) const;
    void DrawGrid(DeviceContext& dc, const CRect& plot, COLORREF color) const;
    void DrawTicks(DeviceContext& dc, const CRect& plot) const;
    void DrawLabels(DeviceContext& dc, const CRect& plot, bool black) const;
    void DrawLegends(DeviceContext& dc, int left, int bottom, int width, bool black);
    // From sample `first` on (joined to the one before it).
    void DrawTraces(DeviceContext& dc, const CRect& plot, bool black, int first = 0) const;
};

// Notes as the output views show them: typed line breaks kept, each paragraph wrapped at spaces
// and punctuation to `width` in the selected font; a piece too wide for a line goes on a line of
// its own, cut into characters where it is wider than the line.
std::vector<std::string> WrapNotes(DeviceContext& dc, const std::string& text, int width);

// `name` + `tail` in the selected font within `width`: whole when it fits, else the name cut in
// the middle around "..." (whole characters kept from both ends), so that the tail always shows;
// the tail alone when not even "..." fits before it.
std::string ElideMiddle(DeviceContext& dc, const std::string& name, const std::string& tail, int width);

// A font from a file or the settings store brought into sizes the geometry can handle.
LOGFONT DrawableFont(const LOGFONT& font);
