#include "views/GraphView.h"

#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/RecordingDC.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// Sentinels of the range search; any recorded value lies between them.
constexpr double kRangeLimit = 1.69e308;

struct AxisIds {
    const char* prefix;
    int color, high, low, fixed, width, last;
    const char* lastName;
};

const AxisIds kAxes[4] = {
    {"Axis", IDC_AXIS_COLOR, IDC_AXIS_HIGH, IDC_AXIS_LOW, IDC_AXIS_FIXED, IDC_AXIS_WIDTH, IDC_AXIS_GRIDS,
     "Grids"},
    {"Graph1", IDC_GRAPH1_COLOR, IDC_GRAPH1_HIGH, IDC_GRAPH1_LOW, IDC_GRAPH1_FIXED, IDC_GRAPH1_WIDTH,
     IDC_GRAPH1_LOCN, "Locn"},
    {"Graph2", IDC_GRAPH2_COLOR, IDC_GRAPH2_HIGH, IDC_GRAPH2_LOW, IDC_GRAPH2_FIXED, IDC_GRAPH2_WIDTH,
     IDC_GRAPH2_LOCN, "Locn"},
    {"Graph3", IDC_GRAPH3_COLOR, IDC_GRAPH3_HIGH, IDC_GRAPH3_LOW, IDC_GRAPH3_FIXED, IDC_GRAPH3_WIDTH,
     IDC_GRAPH3_LOCN, "Locn"},
};

// Largest font height the geometry takes (a damaged file may hold any 32-bit value).
constexpr int kMaxFontUnits = 1000;

const COLORREF kAxisColors[4] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

// A recorded or stored value brought into the range the scale arithmetic handles.
double Tame(double v) {
    if (std::isnan(v)) return 0.0;
    return std::clamp(v, -kRangeLimit, kRangeLimit);
}

// A quotient that misses a whole number only by rounding dust is that number: a run of 600
// steps of 0.05 ends at 30.000000000000004, and 30 * 0.1 is 3.0000000000000004; rounding those
// outward would add a whole unit to the axis.
double Whole(double q) {
    const double r = std::round(q);
    return std::fabs(q - r) <= 1e-9 * std::max(1.0, std::fabs(r)) ? r : q;
}

// The tick rule: a span of d whole units (after rounding outward) is cut into the returned
// number of ticks, and the labels need the decimals added to `decimals`.
int TicksForSpan(double d, int& decimals) {
    const int span = d >= 0 && d <= 10 ? static_cast<int>(d) : -1;
    switch (span) {
    case 1:
    case 2:
        decimals += 1;
        return 10;
    case 3:
        decimals += 2;
        return 12;
    case 4:
    case 5:
    case 6:
        decimals += 1;
        return 2 * span;
    case 7:
    case 8:
    case 9:
    case 10:
        return span;
    default:
        return 10;
    }
}

// The shortest text that reads back as the same double.
std::string FullPrecision(double v) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

// Finest zoom step relative to the larger end of the range: 10^-kZoomDigits.
constexpr int kZoomDigits = 6;

} // namespace

AxisScale ZoomedAxisScale(double low, double high) {
    AxisScale scale;
    if (!(std::isfinite(low) && std::isfinite(high) && low < high)) return scale;
    const double top = std::max(std::fabs(low), std::fabs(high));
    const int m = static_cast<int>(std::clamp(std::floor(std::log10(top)), -300.0, 300.0));
    // From a tenth of the span's power of ten: a span of exactly 10 units (what Zoom In asks of
    // whole-unit scales) keeps its ends instead of growing to twice the span.
    int s = static_cast<int>(std::clamp(std::floor(std::log10(high - low)) - 1.0, -300.0, 300.0));
    s = std::max(s, m - kZoomDigits);
    double lo = 0.0;
    double hi = 1.0;
    for (;; ++s) {
        const double unit = std::pow(10.0, s);
        lo = std::floor(Whole(low / unit));
        hi = std::ceil(Whole(high / unit));
        if (hi <= lo) hi = lo + 1.0;
        if (hi - lo <= 10.0) break;
    }
    const int e = std::max(m, s);
    int decimals = e - s;
    scale.Ticks = TicksForSpan(hi - lo, decimals);
    const double shift = std::pow(10.0, e - s);
    scale.LowUnits = lo / shift;
    scale.HighUnits = hi / shift;
    scale.Exponent = e;
    scale.Decimals = decimals;
    return scale;
}

int NearestSample(int count, const std::function<double(int)>& xAt, const std::function<double(int)>& yAt,
                  double x, double y, double xPixels, double yPixels) {
    int best = -1;
    double bestDistance = 0.0;
    for (int j = 0; j < count; ++j) {
        const double dx = (xAt(j) - x) * xPixels;
        const double dy = (yAt(j) - y) * yPixels;
        const double d = dx * dx + dy * dy;
        if (!std::isfinite(d)) continue;
        if (best < 0 || d < bestDistance) {
            best = j;
            bestDistance = d;
        }
    }
    return best;
}

CGraphBase::CGraphBase() {
    for (int i = 0; i < 4; ++i) {
        CSettingList& list = Settings[static_cast<std::size_t>(i)];
        const AxisIds& a = kAxes[i];
        const std::string p = a.prefix;
        list.SetSection("GraphView", 100.0);
        list.AddColor(100.0, 0.0, &Color[i], kAxisColors[i], p + " Color", a.color);
        list.AddReal(100.0, 0.0, &High[i], 0.0, p + " High", a.high, 0.0, 0.0);
        list.AddReal(100.0, 0.0, &Low[i], 0.0, p + " Low", a.low, 0.0, 0.0);
        list.AddFlag(100.0, 0.0, &Fixed[i], 0, p + " Fixed", a.fixed);
        list.AddInteger(100.0, 0.0, &Width[i], 0, p + " Width", a.width, 0, 99);
        list.AddChoice(100.0, 0.0, i == 0 ? &Grids : &Locn[i], 0, p + " " + a.lastName, a.last);
    }
    CSettingList& misc = Settings[GRAPH_LIST_MISC];
    misc.SetSection("GraphView", 100.0);
    misc.AddFont(100.0, 0.0, &LabelsFont, nullptr, "LabelsFont", IDC_GRAPH_LABELS_FONT);
    misc.AddFont(100.0, 0.0, &LegendsFont, nullptr, "LegendsFont", IDC_GRAPH_LEGENDS_FONT);
    misc.AddFont(100.0, 0.0, &NotesFont, nullptr, "NotesFont", IDC_GRAPH_NOTES_FONT);
    misc.AddColor(100.0, 0.0, &NotesColor, GetSysColor(COLOR_WINDOWTEXT), "NotesColor",
                  IDC_GRAPH_NOTES_COLOR);
    misc.AddFlag(100.0, 0.0, &DisplayNotes, 0, "DisplayNotes", IDC_GRAPH_DISPLAY_NOTES);
}

CGraphBase::~CGraphBase() = default;

// ---- Framework -----------------------------------------------------------------------------

void CGraphBase::OnInitialUpdate() {
    if (!Traces[0]) SetDefaultTraces();
    // The plot always fits the window: a total of 1 x 1 never scrolls.
    if (ViewWindow* window = GetWindow()) window->SetScrollSizes({1, 1}, {0, 0}, {0, 0});
    RecomputeScales();
    Invalidate();
}

void CGraphBase::OnUpdate(CView*, long hint, UpdateObject object) {
    // While a run proceeds the scales follow the samples recorded so far; with none new there is
    // nothing to recompute or draw.
    if (hint == HINT_HISTORIES_GREW && RecordedCount() == SampleCount) return;
    if (const CBlock* block = object.As<CBlock>(); hint < 0 && block) {
        RemoveBlock(block);
        std::erase(CandidateBlocks, block);
        // The traces may have moved between the slots: the zoomed ranges no longer fit them.
        Zoomed = false;
    }
    // Samples recorded since the last update are all that is new: what was already looked at
    // need not be read again.
    m_growing = hint == HINT_HISTORIES_GREW;
    FollowRuns();
    RecomputeScales();
    m_growing = false;
    Invalidate();
}

void CGraphBase::Serialize(CArchive& ar) {
    const COrventDoc* doc = GetDocument();
    const double version = doc ? doc->FileVersion : kDataVersion;
    if (ar.IsStoring()) {
        for (CSettingList& list : Settings)
            list.Serialize(ar, version);
        const int last = std::clamp(LastTrace, 0, 3);
        ar.WriteInt32(last);
        for (int i = 0; i <= last; ++i) {
            const CPoint p = Traces[static_cast<std::size_t>(i)]
                                 ? Traces[static_cast<std::size_t>(i)]->Position
                                 : NoPosition;
            ar.WriteInt32(p.x);
            ar.WriteInt32(p.y);
        }
        ar.WriteString(GraphTitle);
        ar.WriteString(GraphNotes);
        return;
    }
    for (CSettingList& list : Settings)
        list.Serialize(ar, version);
    const std::int32_t last = ar.ReadInt32();
    if (last < 0 || last > 3)
        throw CArchiveException(CArchiveException::BadData, "a graph shows more traces than it can");
    std::vector<CPoint> positions(static_cast<std::size_t>(last) + 1);
    for (CPoint& p : positions) {
        p.x = ar.ReadInt32();
        p.y = ar.ReadInt32();
    }
    const std::vector<CBlock*> blocks = ResolvePositions(positions);
    Traces = {};
    for (std::size_t i = 0; i < blocks.size(); ++i)
        Traces[i] = blocks[i];
    LastTrace = last;
    GraphTitle = ar.ReadString();
    GraphNotes = ar.ReadString();
    // Runs of the chart as it was before it was read again are no earlier runs of this one.
    ClearEarlierRuns();
    UpdateCaption();
    RecomputeScales();
    Invalidate();
}

void CGraphBase::UpdateCaption() {
    SetCaption(GraphTitle);
}

// ---- Traces --------------------------------------------------------------------------------

void CGraphBase::SetDefaultTraces() {
    const COrventDoc* doc = GetDocument();
    if (!doc || doc->Blocks.empty()) return;
    Traces[0] = Traces[1] = doc->Blocks.front().get();
    Traces[2] = Traces[3] = nullptr;
    LastTrace = 1;
}

void CGraphBase::ClearTrace(int k) {
    Traces[static_cast<std::size_t>(k)] = nullptr;
    CSettingList& list = Settings[static_cast<std::size_t>(k)];
    list.Reset();
    list.CopyValuesFrom(list);
}

void CGraphBase::ShiftTrace(int k) {
    if (k < 2 || k > 3) return;
    const auto to = static_cast<std::size_t>(k - 1);
    const auto from = static_cast<std::size_t>(k);
    Traces[to] = Traces[from];
    High[to] = High[from];
    Low[to] = Low[from];
    Fixed[to] = Fixed[from];
    Width[to] = Width[from];
    Locn[to] = 0;
    ClearTrace(k);
}

void CGraphBase::RemoveBlock(const CBlock* block) {
    if (!block) return;
    auto lower = [this] { LastTrace = std::max(0, LastTrace - 1); };
    if (Traces[3] == block) {
        Traces[3] = nullptr;
        lower();
    }
    if (Traces[2] == block) {
        lower();
        if (Traces[3])
            ShiftTrace(3);
        else
            Traces[2] = nullptr;
    }
    if (Traces[1] == block) {
        lower();
        if (Traces[2]) {
            ShiftTrace(2);
            if (Traces[3]) ShiftTrace(3);
        } else {
            // The block is still in the document; the Clock is the one block that never leaves.
            const COrventDoc* doc = GetDocument();
            CBlock* clock = doc ? doc->Clock() : nullptr;
            Traces[1] = clock != block ? clock : nullptr;
        }
    }
    if (Traces[0] == block) {
        const COrventDoc* doc = GetDocument();
        CBlock* clock = doc ? doc->Clock() : nullptr;
        Traces[0] = clock != block ? clock : nullptr;
    }
}

void CGraphBase::CopySettingsTo(CGraphBase& other) const {
    for (std::size_t i = 0; i < Settings.size(); ++i) {
        // The lists hold what was last read or written; the members may have moved on since.
        for (std::size_t j = 0; j < Settings[i].GetSize(); ++j)
            Settings[i][j].TakeFromBound();
        other.Settings[i].CopyValuesFrom(Settings[i]);
    }
    other.Traces = Traces;
    other.LastTrace = LastTrace;
}

// ---- Scales --------------------------------------------------------------------------------

void CGraphBase::RecomputeScales() {
    ComputeScales();
    if (Zoomed) ApplyZoom();

    // Label sizes and margins with the window's own fonts (drawing measures again on its
    // device); without a window, with the fixed metrics of the recording context.
    std::unique_ptr<DeviceContext> windowDc;
    if (ViewWindow* window = GetWindow()) windowDc = window->GetDC();
    RecordingDC fallback;
    DeviceContext& dc = windowDc ? *windowDc : fallback;
    MeasureLabels(dc);
    ComputeLayout(dc, dc.GetClientRect().Width());
}

void CGraphBase::ApplyZoom() {
    const int last = std::clamp(LastTrace, 0, 3);
    LeftTicks = RightTicks = 0;
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        // A graph added since the zoom keeps its recorded scale.
        if (ZoomLow[a] < ZoomHigh[a]) {
            const AxisScale z = ZoomedAxisScale(ZoomLow[a], ZoomHigh[a]);
            LowUnits[a] = z.LowUnits;
            HighUnits[a] = z.HighUnits;
            Exponent[a] = z.Exponent;
            Decimals[a] = z.Decimals;
            TickCount[a] = z.Ticks;
        }
        const int ticks = TickCount[a];
        if (i == 0) {
            XTicks = ticks;
            continue;
        }
        // Each side keeps the ticks of its first graph; a graph sharing the side is labelled at
        // those ticks with enough decimals to tell them apart.
        int& side = Side[a] >= 1 ? LeftTicks : RightTicks;
        if (side == 0)
            side = ticks;
        else if (side != ticks)
            Decimals[a] = std::min(Decimals[a] + 2, 9);
    }
}

double CGraphBase::ValueAt(int axis, double f) const {
    const auto a = static_cast<std::size_t>(std::clamp(axis, 0, 3));
    return (LowUnits[a] + f * (HighUnits[a] - LowUnits[a])) * std::pow(10.0, Exponent[a]);
}

bool CGraphBase::ZoomTo(double x0, double x1, double y0, double y1) {
    const int last = std::clamp(LastTrace, 0, 3);
    std::array<double, 4> lows{};
    std::array<double, 4> highs{};
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        lows[a] = ValueAt(i, i == 0 ? std::min(x0, x1) : std::min(y0, y1));
        highs[a] = ValueAt(i, i == 0 ? std::max(x0, x1) : std::max(y0, y1));
    }
    return SetZoom(lows, highs);
}

bool CGraphBase::SetZoom(const std::array<double, 4>& lows, const std::array<double, 4>& highs) {
    const int last = std::clamp(LastTrace, 0, 3);
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        const double lo = lows[a];
        const double hi = highs[a];
        const double top = std::max(std::fabs(lo), std::fabs(hi));
        if (!(std::isfinite(lo) && std::isfinite(hi) && hi - lo < kRangeLimit)) return false;
        if (!(hi - lo > top * std::pow(10.0, -kZoomDigits) && hi - lo > 1e-290)) return false;
    }
    ZoomLow = lows;
    ZoomHigh = highs;
    for (int i = last + 1; i < 4; ++i)
        ZoomLow[static_cast<std::size_t>(i)] = ZoomHigh[static_cast<std::size_t>(i)] = 0.0;
    Zoomed = true;
    RecomputeScales();
    Invalidate();
    return true;
}

// The wheel and the pan work on the range asked for, not on the one shown (rounded outward to
// whole steps): else every step of a drag would widen the range by the rounding.
std::array<std::array<double, 4>, 2> CGraphBase::AskedRange() const {
    std::array<double, 4> lows = ZoomLow;
    std::array<double, 4> highs = ZoomHigh;
    for (int i = 0; i <= std::clamp(LastTrace, 0, 3); ++i) {
        const auto a = static_cast<std::size_t>(i);
        if (Zoomed && lows[a] < highs[a]) continue;
        lows[a] = ValueAt(i, 0.0);
        highs[a] = ValueAt(i, 1.0);
    }
    return {lows, highs};
}

bool CGraphBase::ZoomAbout(double fx, double fy, double factor) {
    if (!(factor > 0.0 && std::isfinite(factor))) return false;
    auto [lows, highs] = AskedRange();
    for (int i = 0; i <= std::clamp(LastTrace, 0, 3); ++i) {
        const auto a = static_cast<std::size_t>(i);
        const double v = ValueAt(i, i == 0 ? fx : fy);
        lows[a] = v + (lows[a] - v) * factor;
        highs[a] = v + (highs[a] - v) * factor;
    }
    return SetZoom(lows, highs);
}

bool CGraphBase::ZoomStep(double fx, double fy, double factor) {
    const int last = std::clamp(LastTrace, 0, 3);
    auto shown = [this, last] {
        std::vector<double> ends;
        for (int i = 0; i <= last; ++i)
            ends.insert(ends.end(), {ValueAt(i, 0.0), ValueAt(i, 1.0)});
        return ends;
    };
    const std::vector<double> before = shown();
    bool zoomed = false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!ZoomAbout(fx, fy, factor)) break;
        zoomed = true;
        const std::vector<double> now = shown();
        bool everyAxis = true;
        for (std::size_t k = 0; k < now.size(); k += 2)
            everyAxis = everyAxis && (now[k] != before[k] || now[k + 1] != before[k + 1]);
        if (everyAxis) break;
    }
    return zoomed;
}

bool CGraphBase::PanBy(double dx, double dy) {
    auto [lows, highs] = AskedRange();
    for (int i = 0; i <= std::clamp(LastTrace, 0, 3); ++i) {
        const auto a = static_cast<std::size_t>(i);
        const double shift = (i == 0 ? dx : dy) * (ValueAt(i, 1.0) - ValueAt(i, 0.0));
        lows[a] -= shift;
        highs[a] -= shift;
    }
    return SetZoom(lows, highs);
}

std::vector<CGraphBase::SampleReadout> CGraphBase::NearestSamples(double fx, double fy) const {
    std::vector<SampleReadout> out;
    const CBlock* xSource = Traces[0];
    const double width = PlotRect.Width();
    const double height = PlotRect.Height();
    if (!xSource || SampleCount < 1 || width <= 0 || height <= 0) return out;
    const COrventDoc* doc = GetDocument();
    const CBlock* clock = doc ? doc->Clock() : nullptr;
    const double x0 = ValueAt(0, 0.0);
    const double xSpan = ValueAt(0, 1.0) - x0;
    const auto xAt = [xSource](int j) { return xSource->GetHistoryAt(j); };
    const int last = std::clamp(LastTrace, 0, 3);
    for (int k = 1; k <= last; ++k) {
        const CBlock* b = Traces[static_cast<std::size_t>(k)];
        if (!b) continue;
        const double y0 = ValueAt(k, 0.0);
        const double ySpan = ValueAt(k, 1.0) - y0;
        const int j = NearestSample(
            SampleCount, xAt, [b](int i) { return b->GetHistoryAt(i); }, x0 + fx * xSpan, y0 + fy * ySpan,
            width / xSpan, height / ySpan);
        if (j < 0) continue;
        SampleReadout r;
        r.Trace = k;
        r.Index = j;
        r.Time = clock ? clock->GetHistoryAt(j) : 0.0;
        r.X = xSource->GetHistoryAt(j);
        r.Y = b->GetHistoryAt(j);
        r.At = {static_cast<int>(std::clamp(PlotRect.left + (r.X - x0) / xSpan * width, -4e6, 4e6)),
                static_cast<int>(std::clamp(PlotRect.bottom + (r.Y - y0) / ySpan * height, -4e6, 4e6))};
        out.push_back(r);
    }
    return out;
}

std::string CGraphBase::ReadoutText(const std::vector<SampleReadout>& samples) const {
    std::string text;
    const COrventDoc* doc = GetDocument();
    const CBlock* clock = doc ? doc->Clock() : nullptr;
    const CBlock* x = Traces[0];
    for (const SampleReadout& r : samples) {
        const CBlock* y = Traces[static_cast<std::size_t>(std::clamp(r.Trace, 1, 3))];
        if (!text.empty()) text.append("    ");
        text.append(y ? y->Name : std::string()).append(" = ").append(FullPrecision(r.Y));
        text.append(" at t = ").append(FullPrecision(r.Time));
        if (x && x != clock) text.append(", ").append(x->Name).append(" = ").append(FullPrecision(r.X));
    }
    return text;
}

void CGraphBase::SetKeepEarlierRuns(bool keep) {
    KeepEarlierRuns = keep;
    if (!keep) ClearEarlierRuns();
    FollowRuns();
    Invalidate();
}

void CGraphBase::ClearEarlierRuns() {
    EarlierRuns.clear();
    m_haveShown = false;
    Invalidate();
}

void CGraphBase::ShowOtherRuns(std::vector<EarlierRun> runs) {
    EarlierRuns = std::move(runs);
    Invalidate();
}

void CGraphBase::FollowRuns() {
    const COrventDoc* doc = GetDocument();
    if (!KeepEarlierRuns || !doc) {
        m_haveShown = false;
        if (doc) m_seenSerial = doc->RunSerial;
        return;
    }
    if (m_shownTraces != Traces) FollowTraces();
    if (doc->RunSerial != m_seenSerial) {
        // A run has begun since the last update: what was shown becomes an earlier run,
        // labelled with the parameters that the new run changed.
        m_seenSerial = doc->RunSerial;
        if (m_haveShown) {
            std::string label;
            for (const RunParams& before : m_shownParams) {
                const CBlock* now = nullptr;
                for (const auto& b : doc->Blocks)
                    if (b->Position.x == before.Position.x && b->Position.y == before.Position.y)
                        now = b.get();
                // A block deleted since then changed nothing that can be named.
                if (!now) continue;
                for (std::size_t p = 0; p < before.Params.size(); ++p) {
                    if (now->Params[p] == before.Params[p]) continue;
                    if (!label.empty()) label.append(", ");
                    label.append(before.Name).append(".p").append(std::to_string(p + 1)).append(" = ");
                    label.append(FullPrecision(before.Params[p]));
                }
            }
            m_shown.Label = label.empty() ? std::string("earlier run") : label;
            EarlierRuns.push_back(std::move(m_shown));
            if (EarlierRuns.size() > kMaxEarlierRuns)
                EarlierRuns.erase(EarlierRuns.begin(),
                                  EarlierRuns.end() - static_cast<std::ptrdiff_t>(kMaxEarlierRuns));
        }
        m_haveShown = false;
    }
    // What is shown now, to keep when the next run begins (a chart without samples keeps none).
    const int count = RecordedCount();
    if (count < 1 || !Traces[0]) return;
    // While the run grows the records, only the new samples are added to what is kept; the
    // parameters cannot change during a run.
    const bool append = m_growing && m_haveShown && m_shownTraces == Traces;
    if (!append) {
        m_shown = EarlierRun{};
        m_shownTraces = Traces;
    }
    const int last = std::clamp(LastTrace, 0, 3);
    for (int k = 1; k <= last; ++k) {
        const CBlock* b = Traces[static_cast<std::size_t>(k)];
        if (!b) continue;
        auto& xs = m_shown.X[static_cast<std::size_t>(k)];
        auto& ys = m_shown.Y[static_cast<std::size_t>(k)];
        if (xs.size() > static_cast<std::size_t>(count)) {
            xs.clear();
            ys.clear();
        }
        for (int j = static_cast<int>(xs.size()); j < count; ++j) {
            xs.push_back(Traces[0]->GetHistoryAt(j));
            ys.push_back(b->GetHistoryAt(j));
        }
    }
    if (!append) {
        m_shownParams.clear();
        for (const auto& b : doc->Blocks)
            m_shownParams.push_back({b->Position, b->Name, b->Params});
    }
    m_haveShown = true;
}

void CGraphBase::FollowTraces() {
    auto follow = [this](EarlierRun& run) {
        EarlierRun moved;
        moved.Label = std::move(run.Label);
        // Against another X source the values kept mean nothing on the axis.
        for (std::size_t k = 1; k < 4 && m_shownTraces[0] == Traces[0]; ++k)
            for (std::size_t j = 1; j < 4; ++j)
                if (Traces[k] && m_shownTraces[j] == Traces[k]) {
                    moved.X[k] = run.X[j];
                    moved.Y[k] = run.Y[j];
                    break;
                }
        run = std::move(moved);
        return std::all_of(run.X.begin(), run.X.end(), [](const auto& xs) { return xs.empty(); });
    };
    std::erase_if(EarlierRuns, follow);
    if (m_haveShown && follow(m_shown)) m_haveShown = false;
    m_shownTraces = Traces;
}

void CGraphBase::ResetZoom() {
    if (!Zoomed) return;
    Zoomed = false;
    RecomputeScales();
    Invalidate();
}

void CGraphBase::ComputeScales() {
    const long long legend = std::llabs(static_cast<long long>(LegendsFont.lfHeight));
    TickLength = static_cast<int>(std::min<long long>(legend, kMaxFontUnits));
    Gap = static_cast<int>(0.3 * TickLength);
    SampleCount = RecordedCount();
    const COrventDoc* doc = GetDocument();
    const unsigned serial = doc ? doc->RunSerial : 0u;

    const int last = std::clamp(LastTrace, 0, 3);
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        // A fixed range needs two finite ends with Low below High. Any other is ignored, and
        // the flag dropped as the property pages drop it: the automatic range written back
        // below must not become a fixed one on the next update.
        if (Fixed[a] && !(std::isfinite(Low[a]) && std::isfinite(High[a]) && Low[a] < High[a])) Fixed[a] = 0;
        double hi = Tame(High[a]);
        double lo = Tame(Low[a]);
        if (SampleCount > 1 && !Fixed[a]) {
            const CBlock* b = Traces[a];
            // While a run grows the records, the range of the samples seen before is kept and
            // only the new ones are read.
            RangeScan& scan = m_scans[a];
            if (!(m_growing && scan.Block == b && scan.Serial == serial && scan.Count <= SampleCount))
                scan = RangeScan{b, serial, 0, -kRangeLimit, kRangeLimit, false};
            for (int j = scan.Count; j < SampleCount; ++j) {
                const double v = b ? b->GetHistoryAt(j) : 0.0;
                // Infinities take no part in the range, as NaNs don't: a diverging run keeps
                // its finite part readable (the trace breaks where the value leaves the numbers).
                if (!std::isfinite(v)) continue;
                scan.High = std::max(scan.High, v);
                scan.Low = std::min(scan.Low, v);
                scan.Any = true;
            }
            scan.Count = SampleCount;
            hi = scan.High;
            lo = scan.Low;
            if (!scan.Any) hi = lo = 0.0;
            hi = Tame(hi);
            lo = Tame(lo);
            if (lo == hi) hi = hi + 1.0;
        }
        // An empty range (no samples yet, or a fixed range of one value) shows Low..Low + 1.
        if (lo == hi) hi = lo + std::max(1.0, std::fabs(lo) * 1e-12);
        HighUnits[a] = hi;
        LowUnits[a] = lo;
    }

    LeftTicks = 0;
    RightTicks = 0;
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        double hi = HighUnits[a];
        double lo = LowUnits[a];
        const double magnitude = std::max(std::log10(std::fabs(hi)), std::log10(std::fabs(lo)));
        int e =
            std::isfinite(magnitude) ? static_cast<int>(std::clamp(std::floor(magnitude), -307.0, 308.0)) : 0;
        const double unit = std::pow(10.0, e);
        hi = std::ceil(Whole(hi / unit));
        lo = std::floor(Whole(lo / unit));
        Low[a] = unit * lo;
        High[a] = unit * hi;
        int decimals = 0;
        double d = std::trunc(hi - lo);
        while (d > 10) {
            hi = std::ceil(Whole(hi * 0.1));
            lo = std::floor(Whole(lo * 0.1));
            ++e;
            ++decimals;
            d = std::trunc(hi - lo);
        }
        const int ticks = TicksForSpan(d, decimals);
        Exponent[a] = e;
        Decimals[a] = decimals;
        TickCount[a] = ticks;
        HighUnits[a] = hi;
        LowUnits[a] = lo;

        switch (i) {
        case 0:
            XTicks = ticks;
            break;
        case 1:
            if (Locn[1] == 1) {
                Side[1] = -1;
                RightTicks = ticks;
            } else {
                Side[1] = 1;
                LeftTicks = ticks;
            }
            break;
        case 2:
            if (Locn[2] == 1 || (Locn[2] == 0 && TickCount[2] == TickCount[1])) {
                if (Locn[2] == 1) TickCount[2] = TickCount[1];
                Side[2] = 2 * Side[1];
            } else {
                Side[2] = -Side[1];
                if (Side[2] > 0)
                    LeftTicks = TickCount[2];
                else
                    RightTicks = TickCount[2];
            }
            break;
        case 3: {
            auto withOne = [this] { Side[3] = 2 * Side[1] == Side[2] ? 3 * Side[1] : 2 * Side[1]; };
            if (Locn[3] == 2) {
                TickCount[3] = TickCount[2];
                Side[3] = std::abs(Side[2]) > std::abs(Side[1]) ? 3 * Side[1] : 2 * Side[2];
            } else if (Locn[3] == 1) {
                TickCount[3] = TickCount[1];
                withOne();
            } else if (TickCount[3] == TickCount[1]) {
                withOne();
            } else if (TickCount[3] == TickCount[2]) {
                Side[3] = 2 * Side[2];
            } else if (LeftTicks == 0) {
                Side[3] = 1;
                LeftTicks = TickCount[3];
            } else if (RightTicks == 0) {
                Side[3] = -1;
                RightTicks = TickCount[3];
            } else {
                Side[3] = 2;
                TickCount[3] = LeftTicks;
            }
            break;
        }
        default:
            break;
        }
    }

    // A graph on a shared scale is labelled at that scale's ticks, not its own: its labels get
    // the decimals that state every tick exactly, and where no decimals can (a span of 7 over
    // 12 ticks), its range grows to the nearest span that the ticks divide evenly.
    for (int i = 1; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        const int count = Side[a] > 0 ? LeftTicks : RightTicks;
        if (count < 1) continue;
        const double span = HighUnits[a] - LowUnits[a];
        if (!(span >= 1.0 && span <= 1000.0)) continue;
        for (long long d = static_cast<long long>(span);; ++d) {
            int digits = -1;
            for (int k = 0, scale = 1; k <= 3 && digits < 0; ++k, scale *= 10)
                if (d * scale % count == 0) digits = k;
            if (digits < 0) continue;
            HighUnits[a] = LowUnits[a] + static_cast<double>(d);
            Decimals[a] = std::max(Decimals[a], digits);
            break;
        }
    }
}
