// Drawing of the Graph window: label sizes, margins, and the plot itself.

#include "model/OrventDoc.h"
#include "platform/PageText.h"
#include "platform/Text.h"
#include "views/GraphView.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <type_traits>

namespace {

constexpr int kMaxFontUnits = 1000;
// Trace points far outside the plot are pulled in to this distance; the clipped part of the line
// does not change visibly and the integer geometry stays far from overflow.
constexpr double kCoordLimit = 4.0e6;

// Printing leaves this much room above the plot (the page's top is taken as 5).
constexpr int kPrintTop = 5;

int ClampInt(long long v, long long lo, long long hi) {
    return static_cast<int>(std::clamp(v, lo, hi));
}

// A double cut toward zero into the integer geometry.
int Coord(double v) {
    return static_cast<int>(std::clamp(v, -kCoordLimit, kCoordLimit));
}

// Position of tick k of `count` along a length: start + trunc(length * k / count).
int TickAt(int start, int length, int k, int count) {
    if (count <= 0) return start;
    return start + static_cast<int>(static_cast<long long>(length) * k / count);
}

// Grid lines in a light shade of the axis colour (a quarter of it over the background), so that
// they guide the eye without crossing out the traces.
COLORREF GridColor(COLORREF axis, COLORREF background) {
    auto mix = [](int a, int b) { return (a + 3 * b) / 4; };
    return RGB(mix(GetRValue(axis), GetRValue(background)), mix(GetGValue(axis), GetGValue(background)),
               mix(GetBValue(axis), GetBValue(background)));
}

void TrimRight(std::string& s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
}

} // namespace

LOGFONT DrawableFont(const LOGFONT& font) {
    LOGFONT f = font;
    f.lfHeight = std::clamp(f.lfHeight, -kMaxFontUnits, kMaxFontUnits);
    f.lfWidth = std::clamp(f.lfWidth, -kMaxFontUnits, kMaxFontUnits);
    f.lfWeight = std::clamp(f.lfWeight, 0, 1000);
    return f;
}

std::vector<std::string> WrapNotes(DeviceContext& dc, const std::string& text, int width) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    auto measure = [&](const std::string& s) { return s.empty() ? 0 : dc.GetTextExtent(s).cx; };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string rest = text.substr(start, end - start);
        if (!rest.empty() && rest.back() == '\r') rest.pop_back();
        lines.emplace_back();
        while (!rest.empty()) {
            std::string* line = &lines.back();
            if (measure(*line) + measure(rest) <= width) {
                *line += rest;
                break;
            }
            const std::size_t brk = rest.find_first_of(" /;,.");
            if (brk == std::string::npos) {
                // No place to break: the piece goes on a line of its own, cut into characters
                // where it is wider than the line.
                if (!line->empty()) line = &lines.emplace_back();
                for (std::size_t i = 0, n = 0; i < rest.size(); i += n) {
                    n = Utf8CharSize(rest, i);
                    const std::string ch = rest.substr(i, n);
                    if (!line->empty() && measure(*line + ch) > width) line = &lines.emplace_back();
                    *line += ch;
                }
                break;
            }
            std::string word = rest.substr(0, brk + 1);
            rest.erase(0, brk + 1);
            if (!line->empty() && measure(*line) + measure(word) > width) line = &lines.emplace_back();
            *line += word;
        }
        if (end >= text.size()) break;
        start = end + 1;
    }
    for (auto& line : lines)
        TrimRight(line);
    return lines;
}

// ---- Layout --------------------------------------------------------------------------------

void CGraphBase::MeasureLabels(DeviceContext& dc) {
    dc.SelectFont(DrawableFont(LabelsFont));
    const int last = std::clamp(LastTrace, 0, 3);
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        const int decimals = std::clamp(Decimals[a], 0, 9);
        std::string text = "+X";
        if (decimals > 0) {
            text += '.';
            text.append(static_cast<std::size_t>(decimals), 'X');
        }
        LabelSize[a] = dc.GetTextExtent(text);
    }
}

void CGraphBase::ComputeLayout(DeviceContext& dc, int width) {
    dc.SelectFont(DrawableFont(LegendsFont));
    const int legendHeight = dc.GetTextExtent("XX").cy;

    NotesLines.clear();
    NotesHeight = 0;
    if (!GraphNotes.empty() && DisplayNotes) {
        dc.SelectFont(DrawableFont(NotesFont));
        NotesLines = WrapNotes(dc, GraphNotes, std::max(1, width - 2 * Gap));
        const long long h = static_cast<long long>(dc.GetTextMetrics().height) * NotesLines.size();
        NotesHeight = ClampInt(h, 0, 1 << 24);
    }

    LeftMargin = RightMargin = BottomMargin = Gap;
    const int last = std::clamp(LastTrace, 0, 3);
    for (int i = 1; i <= last; ++i) {
        const int column = Gap + LabelSize[static_cast<std::size_t>(i)].cx;
        if (Side[static_cast<std::size_t>(i)] > 0)
            LeftMargin += column;
        else
            RightMargin += column;
    }
    // The first and last X labels are centred on the ends of the axis: the margins leave room
    // for half of each so that they are never cut by the window's edge.
    const int halfLabel = LabelSize[0].cx / 2 + Gap;
    LeftMargin = std::max(LeftMargin, halfLabel);
    RightMargin = std::max(RightMargin, halfLabel);
    BottomMargin += static_cast<int>(1.5 * LabelSize[0].cy + 2 * Gap + legendHeight);
    // Likewise the label of the top tick of a side scale, centred on the top of the plot.
    int halfHeight = 0;
    for (int i = 1; i <= last; ++i)
        halfHeight = std::max(halfHeight, LabelSize[static_cast<std::size_t>(i)].cy / 2);
    TopMargin = std::max(3 * Gap, halfHeight + Gap) + NotesHeight;
}

// ---- Texts ---------------------------------------------------------------------------------

std::string CGraphBase::FormatTickLabel(double value, int axis) const {
    const int d = std::clamp(Decimals[static_cast<std::size_t>(std::clamp(axis, 0, 3))], 0, 9);
    const int w = d < 1 ? 2 : d + 3;
    if (!std::isfinite(value)) value = 0.0;
    std::string text = FormatString("%*.*f", w, d, value);
    // A small negative value that prints as zero reads as zero: "-0" and "-0.0" become " 0", " 0.0".
    const std::size_t minus = text.find('-');
    if (minus != std::string::npos && text.find_first_not_of("-0. ") == std::string::npos) text[minus] = ' ';
    return text;
}

std::string CGraphBase::LegendText(int trace) const {
    const int i = std::clamp(trace, 0, 3);
    const CBlock* b = Traces[static_cast<std::size_t>(i)];
    return (b ? b->Name : std::string()) + "  E" +
           FormatString("%+3d", Exponent[static_cast<std::size_t>(i)]);
}

// ---- Drawing -------------------------------------------------------------------------------

void CGraphBase::OnDraw(DeviceContext& dc) {
    const COrventDoc* doc = GetDocument();
    const bool printing = dc.IsPrinting();
    const bool black = printing && doc && doc->PrintMode;

    // 1. Scales that were never computed (or came from nowhere) first.
    if (XTicks < 1 || XTicks > 12) RecomputeScales();
    const CRect client = dc.GetClientRect();
    const int left = client.left;
    int top = client.top;
    const int width = client.Width();
    int height = std::abs(client.Height());
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    dc.SetBkMode(BkMode::Opaque);
    dc.SetDrawMode(DrawMode::Copy);
    if (printing) {
        // The page's header and footer lines take two text heights each; the graph fills the
        // band between them, or its upper half on a page taller than wide.
        const int pageHeight = height;
        const int t = DrawPageHeaderFooter(dc, client, black);
        top -= kPrintTop + 2 * t;
        height = std::max(0, height - kPrintTop - 4 * t);
        if (width < pageHeight) height /= 2;
    }
    MeasureLabels(dc);
    ComputeLayout(dc, width);

    // 2. Notes across the top.
    if (!NotesLines.empty()) {
        dc.SelectFont(DrawableFont(NotesFont));
        dc.SetTextColor(black ? RGB(0, 0, 0) : NotesColor);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        const int step = dc.GetTextMetrics().height;
        int y = top;
        for (const std::string& line : NotesLines) {
            if (!line.empty()) dc.TextOut(left + Gap, y, line);
            y -= step;
        }
    }

    const CRect plot{left + LeftMargin, top - TopMargin, left + width - RightMargin,
                     top - (height - BottomMargin)};
    if (!printing) PlotRect = plot;

    // 3. Axes (grid lines first, so that the axes and tick marks lie on top of them).
    const COLORREF axis = black ? RGB(0, 0, 0) : Color[0];
    if (Grids & 3) DrawGrid(dc, plot, black ? axis : GridColor(axis, GetSysColor(COLOR_WINDOW)));
    dc.SetPen(PenStyle::Solid, std::clamp(Width[0], 0, 99), axis);
    dc.MoveTo(plot.left, plot.top);
    dc.LineTo(plot.left, plot.bottom);
    dc.LineTo(plot.right, plot.bottom);
    if (RightTicks != 0) dc.LineTo(plot.right, plot.top);

    // 4. to 7.
    DrawTicks(dc, plot);
    DrawLabels(dc, plot, black);
    DrawLegends(dc, left, top - height, width, black);
    if (!printing) DrawEarlierRuns(dc, plot, black);
    DrawTraces(dc, plot, black);
}

int CGraphBase::DrawPageHeaderFooter(DeviceContext& dc, const CRect& page, bool black) const {
    const COrventDoc* doc = GetDocument();
    dc.SelectFont(DrawableFont(LegendsFont));
    dc.SetTextColor(black ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
    const int t = std::max(1, dc.GetTextMetrics().height);
    const int right = page.left + page.Width();
    const int bottom = page.top - std::abs(page.Height());
    PageTexts texts;
    texts.Title = doc ? doc->GetTitle() : std::string();
    if (!GraphTitle.empty()) texts.Title += " : " + GraphTitle;
    texts.Path = doc ? doc->GetPathName() : std::string();
    texts.Date = PrintedDate(PrintDate);
    DrawPageTexts(dc, texts, {page.left + 10, page.top - t, right - 10, page.top - 2 * t},
                  {page.left + 10, bottom + 2 * t, right - 10, bottom + t});
    return t;
}

void CGraphBase::DrawGrid(DeviceContext& dc, const CRect& plot, COLORREF color) const {
    dc.SetPen(PenStyle::Solid, 0, color);
    if (Grids & 2) {
        const int xTicks = std::clamp(XTicks, 0, 12);
        for (int k = 1; k <= xTicks; ++k) {
            const int x = TickAt(plot.left, plot.Width(), k, xTicks);
            dc.MoveTo(x, plot.bottom);
            dc.LineTo(x, plot.top);
        }
    }
    if (Grids & 1) {
        const int leftTicks = std::clamp(LeftTicks, 0, 12);
        for (int k = 1; k <= leftTicks; ++k) {
            const int y = TickAt(plot.bottom, plot.Height(), k, leftTicks);
            dc.MoveTo(plot.left, y);
            dc.LineTo(plot.right, y);
        }
    }
}

void CGraphBase::DrawTicks(DeviceContext& dc, const CRect& plot) const {
    const int plotWidth = plot.Width();
    const int plotHeight = plot.Height();
    const int xTicks = std::clamp(XTicks, 0, 12);
    for (int k = 1; k <= xTicks; ++k) {
        const int x = TickAt(plot.left, plotWidth, k, xTicks);
        dc.MoveTo(x, plot.bottom);
        dc.LineTo(x, plot.bottom + TickLength);
    }
    const int leftTicks = std::clamp(LeftTicks, 0, 12);
    for (int k = 1; k <= leftTicks; ++k) {
        const int y = TickAt(plot.bottom, plotHeight, k, leftTicks);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.left + TickLength, y);
    }
    const int rightTicks = std::clamp(RightTicks, 0, 12);
    for (int k = 1; k <= rightTicks; ++k) {
        const int y = TickAt(plot.bottom, plotHeight, k, rightTicks);
        dc.MoveTo(plot.right, y);
        dc.LineTo(plot.right - TickLength, y);
    }
}

void CGraphBase::DrawLabels(DeviceContext& dc, const CRect& plot, bool black) const {
    dc.SelectFont(DrawableFont(LabelsFont));
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;
    const int last = std::clamp(LastTrace, 0, 3);
    auto value = [this](int i, int k, int count) {
        const auto a = static_cast<std::size_t>(i);
        const double step = (HighUnits[a] - LowUnits[a]) / count;
        const double v = LowUnits[a] + k * step;
        // A tick that should be zero but carries rounding dust reads 0.
        return std::fabs(v) < 1e-9 * std::fabs(step) ? 0.0 : v;
    };

    int leftColumn = plot.left - Gap;   // right edge of the next label column on the left
    int rightColumn = plot.right + Gap; // left edge of the next one on the right
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        dc.SetTextColor(black ? RGB(0, 0, 0) : Color[a]);
        const CSize size = LabelSize[a];
        if (i == 0) {
            const int count = std::clamp(XTicks, 0, 12);
            if (count < 1) continue;
            const int labelTop = plot.bottom - Gap;
            for (int k = 0; k <= count; ++k) {
                const int x = TickAt(plot.left, plot.Width(), k, count);
                const CRect r{x - size.cx / 2, labelTop, x - size.cx / 2 + size.cx, labelTop - size.cy};
                dc.DrawText(FormatTickLabel(value(0, k, count), 0), r, format);
            }
            continue;
        }
        const bool onLeft = Side[a] >= 1;
        const int count = std::clamp(onLeft ? LeftTicks : RightTicks, 0, 12);
        int columnLeft;
        if (onLeft) {
            columnLeft = leftColumn - size.cx;
            leftColumn = columnLeft - Gap;
        } else {
            columnLeft = rightColumn;
            rightColumn = columnLeft + size.cx + Gap;
        }
        if (count < 1) continue;
        for (int k = 0; k <= count; ++k) {
            const int y = TickAt(plot.bottom, plot.Height(), k, count);
            const int labelTop = y + size.cy / 2;
            const CRect r{columnLeft, labelTop, columnLeft + size.cx, labelTop - size.cy};
            dc.DrawText(FormatTickLabel(value(i, k, count), i), r, format);
        }
    }
}

std::string ElideMiddle(DeviceContext& dc, const std::string& name, const std::string& tail, int width) {
    auto fits = [&](const std::string& s) { return dc.GetTextExtent(s).cx <= width; };
    if (fits(name + tail)) return name + tail;
    // Character starts of the name, and the shortening that keeps `keep` characters of it.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < name.size(); i += std::max<std::size_t>(1, Utf8CharSize(name, i)))
        starts.push_back(i);
    starts.push_back(name.size());
    const std::size_t count = starts.size() - 1;
    auto shortened = [&](std::size_t keep) {
        const std::size_t head = (keep + 1) / 2;
        std::string s = name.substr(0, starts[head]);
        s += "...";
        s += name.substr(starts[count - keep / 2]);
        s += tail;
        return s;
    };
    // The longest shortening that fits: a shorter one is never wider.
    std::size_t lo = 0, hi = count == 0 ? 0 : count - 1;
    if (!fits(shortened(0))) return tail;
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (fits(shortened(mid)))
            lo = mid;
        else
            hi = mid - 1;
    }
    return shortened(lo);
}

std::string CGraphBase::LegendTipAt(CPoint point) const {
    for (int i = 0; i <= 3; ++i) {
        const auto a = static_cast<std::size_t>(i);
        const CRect& r = LegendRects[a];
        if (LegendElided[a] && Traces[a] && point.x >= r.left && point.x < r.right && point.y <= r.top &&
            point.y > r.bottom)
            return LegendText(i);
    }
    return {};
}

void CGraphBase::DrawLegends(DeviceContext& dc, int left, int bottom, int width, bool black) {
    dc.SelectFont(DrawableFont(LegendsFont));
    const int h = dc.GetTextExtent("XX").cy;
    const int last = std::clamp(LastTrace, 0, 3);
    const int cell = width / (last + 1);
    // The legends sit one gap above the bottom edge, below the X axis labels.
    const CRect strip{left, bottom + Gap + h, left + width, bottom + Gap};
    if (!dc.IsPrinting()) {
        LegendRects = {};
        LegendElided = {};
    }
    for (int i = 0; i <= last; ++i) {
        const auto a = static_cast<std::size_t>(i);
        if (!Traces[a]) continue;
        dc.SetTextColor(black ? RGB(0, 0, 0) : Color[a]);
        const CRect r{strip.left + i * cell, strip.top, strip.left + (i + 1) * cell, strip.bottom};
        // A legend wider than its cell would run into its neighbours or lose its exponent: its
        // name gives way in the middle instead.
        const std::string full = LegendText(i);
        const std::string tail = full.substr(Traces[a]->Name.size());
        const std::string shown = ElideMiddle(dc, Traces[a]->Name, tail, std::max(0, cell));
        // The window's legends answer the tool tips; a page's do not.
        if (!dc.IsPrinting()) {
            LegendRects[a] = r;
            LegendElided[a] = shown != full;
        }
        dc.DrawText(shown, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void CGraphBase::DrawNewSamples(DeviceContext& dc, int first) const {
    DrawTraces(dc, PlotRect, false, std::max(0, first));
}

std::vector<std::uint64_t> CGraphBase::LiveDrawKey() const {
    std::vector<std::uint64_t> key;
    auto add = [&key](auto v) {
        if constexpr (std::is_floating_point_v<decltype(v)>)
            key.push_back(std::bit_cast<std::uint64_t>(static_cast<double>(v)));
        else
            key.push_back(static_cast<std::uint64_t>(v));
    };
    const COrventDoc* doc = GetDocument();
    add(doc ? doc->RunSerial : 0u);
    add(LastTrace);
    for (std::size_t a = 0; a < 4; ++a) {
        add(reinterpret_cast<std::uintptr_t>(Traces[a]));
        add(LowUnits[a]);
        add(HighUnits[a]);
        add(Exponent[a]);
        add(Decimals[a]);
        add(TickCount[a]);
        add(Side[a]);
        add(Color[a]);
        add(Width[a]);
    }
    for (int v : {LeftTicks, RightTicks, XTicks, TickLength, Gap, LeftMargin, RightMargin, BottomMargin,
                  TopMargin, PlotRect.left, PlotRect.top, PlotRect.right, PlotRect.bottom})
        add(v);
    add(Grids);
    add(Zoomed);
    add(EarlierRuns.size());
    return key;
}

void CGraphBase::DrawTraces(DeviceContext& dc, const CRect& plot, bool black, int first) const {
    const CBlock* xSource = Traces[0];
    if (SampleCount < 1 || !xSource) return;
    // One unit of slack keeps a trace that runs along the edge of its range visible.
    const CRect clip{plot.left - 1, plot.top + 1, plot.right + 1, plot.bottom - 1};
    dc.SetClipRect(&clip);

    const double plotWidth = plot.Width();
    const double plotHeight = plot.Height();
    const double xUnit = std::pow(10.0, Exponent[0]);
    const double xSpan = HighUnits[0] - LowUnits[0];
    const int last = std::clamp(LastTrace, 0, 3);
    std::vector<CPoint> run;
    for (int k = 1; k <= last; ++k) {
        const auto a = static_cast<std::size_t>(k);
        const CBlock* b = Traces[a];
        if (!b) continue;
        dc.SetPen(PenStyle::Solid, std::clamp(Width[a], 0, 99), black ? RGB(0, 0, 0) : Color[a]);
        const double unit = std::pow(10.0, Exponent[a]);
        const double span = HighUnits[a] - LowUnits[a];
        run.clear();
        int samples = 0; // samples behind the points of the run
        auto flush = [&] {
            // Samples that all fall on one point still leave that point.
            if (run.size() == 1 && samples > 1) run.push_back(run.front());
            if (run.size() >= 2) dc.Polyline(run.data(), static_cast<int>(run.size()));
            run.clear();
            samples = 0;
        };
        for (int j = std::max(0, first - 1); j < SampleCount; ++j) {
            const double xv = xSource->GetHistoryAt(j);
            const double yv = b->GetHistoryAt(j);
            // A value that is no number, or infinite, breaks the line. (A finite one far outside
            // the plot may still overflow below; Coord pulls it in.)
            const double fx = (xv / xUnit - LowUnits[0]) / xSpan * plotWidth + plot.left;
            const double fy =
                static_cast<double>(plot.bottom) + (yv / unit - LowUnits[a]) / span * plotHeight;
            if (!std::isfinite(xv) || !std::isfinite(yv) || std::isnan(fx) || std::isnan(fy)) {
                flush();
                continue;
            }
            // y := -trunc((H - BottomMargin) - fraction * plot height), measured from the top.
            const CPoint p{Coord(fx), Coord(fy)};
            if (run.empty() || run.back().x != p.x || run.back().y != p.y) run.push_back(p);
            ++samples;
        }
        flush();
    }
    dc.SetClipRect(nullptr);
}

void CGraphBase::DrawEarlierRuns(DeviceContext& dc, const CRect& plot, bool black) const {
    if (EarlierRuns.empty()) return;
    const CRect clip{plot.left - 1, plot.top + 1, plot.right + 1, plot.bottom - 1};
    dc.SetClipRect(&clip);
    const double xUnit = std::pow(10.0, Exponent[0]);
    const double xSpan = HighUnits[0] - LowUnits[0];
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const int last = std::clamp(LastTrace, 0, 3);
    dc.SelectFont(DrawableFont(LegendsFont));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const int lineHeight = dc.GetTextMetrics().height;
    int labelTop = plot.top - Gap;
    std::vector<CPoint> run;
    // Older runs fainter: the newest is a third of the way to the background, the oldest most
    // of the way.
    const int n = static_cast<int>(EarlierRuns.size());
    for (int r = 0; r < n; ++r) {
        const EarlierRun& earlier = EarlierRuns[static_cast<std::size_t>(r)];
        const int strength = 1 + (r + 1) * 3 / n; // 1..4 of 8 parts of the colour
        auto faded = [&](COLORREF c) {
            auto mix = [&](int a, int b) { return (a * strength + b * (8 - strength)) / 8; };
            return black ? RGB(160, 160, 160)
                         : RGB(mix(GetRValue(c), GetRValue(background)),
                               mix(GetGValue(c), GetGValue(background)),
                               mix(GetBValue(c), GetBValue(background)));
        };
        for (int k = 1; k <= last; ++k) {
            const auto a = static_cast<std::size_t>(k);
            const auto& xs = earlier.X[a];
            const auto& ys = earlier.Y[a];
            if (xs.empty()) continue;
            dc.SetPen(PenStyle::Solid, 0, faded(Color[a]));
            const double unit = std::pow(10.0, Exponent[a]);
            const double span = HighUnits[a] - LowUnits[a];
            run.clear();
            auto flush = [&] {
                if (run.size() >= 2) dc.Polyline(run.data(), static_cast<int>(run.size()));
                run.clear();
            };
            for (std::size_t j = 0; j < xs.size() && j < ys.size(); ++j) {
                const double fx = (xs[j] / xUnit - LowUnits[0]) / xSpan * plot.Width() + plot.left;
                const double fy = plot.bottom + (ys[j] / unit - LowUnits[a]) / span * plot.Height();
                if (!std::isfinite(fx) || !std::isfinite(fy)) {
                    flush();
                    continue;
                }
                const CPoint p{Coord(fx), Coord(fy)};
                if (run.empty() || run.back().x != p.x || run.back().y != p.y) run.push_back(p);
            }
            flush();
        }
        dc.SetTextColor(faded(Color[1]));
        dc.TextOut(plot.left + Gap + TickLength, labelTop, earlier.Label);
        labelTop -= lineHeight;
    }
    dc.SetClipRect(nullptr);
}
