#include "chart/OrventView.h"

#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/PageText.h"
#include "platform/RecordingDC.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool IsDummy(const CBlock& block) {
    return block.TypeName == "Dummy";
}

const char* const kValueTemplate = "+0.000e+000";

} // namespace

COrventView::COrventView() {
    Settings.SetSection("MainView", 100.0);
    Settings.AddInteger(100.0, 0.0, &HoldSize, 2, "HoldSiz", IDC_HOLD_SIZE, 1, 100);
    Settings.AddColor(100.0, 0.0, &HoldColor, 0x000000FF, "Hold", IDC_HOLD_COLOR);
    Settings.AddFlag(100.0, 0.0, &HoldDisplay, 1, "HoldDisp", IDC_HOLD_DISPLAY);
    Settings.AddInteger(100.0, 0.0, &LinesX, 15, "LinesX", IDC_LINES_X, 0, 0);
    Settings.AddInteger(100.0, 0.0, &LinesY, 15, "LinesY", IDC_LINES_Y, 0, 0);
    Settings.AddInteger(100.0, 0.0, &DeltaVert, 2, "DeltaVert", IDC_DELTA_VERT, 1, 99);
    Settings.AddInteger(100.0, 0.0, &DeltaHoriz, 2, "DeltaHoriz", IDC_DELTA_HORIZ, 1, 99);
    Settings.AddReal(100.0, 0.0, &MagBmp, 1.0, "MagBmp", IDC_MAG_BMP, 1.0, 10.0);
    Settings.AddChoice(100.0, 0.0, &DisplayMode, 0, "DisplayMode", IDC_DISPLAY_MODE);
    Settings.AddFont(100.0, 0.0, &ChartLf, nullptr, "ChartLf", IDC_CHART_FONT);
    Settings.AddColor(100.0, 0.0, &ChartClr, GetSysColor(COLOR_WINDOWTEXT), "ChartClr", IDC_CHART_COLOR);
    Settings.AddFont(100.0, 0.0, &NotesLf, nullptr, "NotesLf", IDC_NOTES_FONT);
    Settings.AddColor(100.0, 0.0, &NotesClr, GetSysColor(COLOR_WINDOWTEXT), "NotesClr", IDC_NOTES_COLOR);
    Settings.AddFlag(100.0, 0.0, &NotesDisplay, 0, "NotesDisplay", IDC_NOTES_DISPLAY);
    Settings.AddFlag(100.0, 0.0, &SizeLock, 1, "SizeLock", IDC_SIZE_LOCK);
    Settings.AddFlag(100.0, 0.0, &NameDisplay, 1, "NameDisplay", IDC_NAME_DISPLAY);
    Settings.AddFlag(100.0, 0.0, &ValueDisplay, 1, "ValueDisplay", IDC_VALUE_DISPLAY);
    Settings.AddInteger(100.0, 0.0, &LineWidth, 1, "LineWidth", IDC_LINE_WIDTH, 1, 99);
    ClampSettings();
}

COrventView::~COrventView() = default;

COrventDoc* COrventView::GetDocument() const {
    return static_cast<COrventDoc*>(CView::GetDocument());
}

// ---- Framework -----------------------------------------------------------------------------

void COrventView::OnInitialUpdate() {
    RecalcLayout();
    SnapX = 10;
    SnapY = 10;
    if (!ChartTitle.empty()) UpdateCaption();
    CView::OnInitialUpdate();
    COrventDoc* doc = GetDocument();
    if (doc && !doc->Title.empty()) doc->SetTitle(doc->Title);
}

void COrventView::OnUpdate(CView*, long hint, UpdateObject object) {
    // A block about to go must not stay selected, picked up or picked as a connection's end.
    if (const CBlock* block = object.As<CBlock>(); hint == HINT_BLOCK_DELETING && block) ForgetBlock(block);
    // A check before a run points at the block it is about; a block still waiting to be placed
    // or a half-made connection are left alone.
    if (const CBlock* block = object.As<CBlock>();
        hint == HINT_SELECT_BLOCK && block && !Placing && !Connecting)
        if (const COrventDoc* doc = GetDocument())
            for (const auto& b : doc->Blocks)
                if (b.get() == block) SelectedBlock = b.get();
    if (!object) RecalcLayout();
    if (m_window) m_window->Invalidate();
}

void COrventView::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Settings.Serialize(ar, 0.0);
        ar.WriteString(ChartTitle);
        ar.WriteString(ChartNotes);
    } else {
        const COrventDoc* doc = GetDocument();
        Settings.Serialize(ar, doc ? doc->FileVersion : kDataVersion);
        ChartTitle = ar.ReadString();
        ChartNotes = ar.ReadString();
        ClampSettings();
    }
    UpdateCaption();
}

// A damaged file or settings store can hold sizes no dialog lets through; the layout's integer
// arithmetic must never overflow, so such values are brought back into a drawable range.
void COrventView::ClampSettings() {
    auto clampInt = [](int& v, int lo, int hi) { v = std::clamp(v, lo, hi); };
    clampInt(HoldSize, 1, 100);
    clampInt(LinesX, 0, 5000);
    clampInt(LinesY, 0, 5000);
    clampInt(DeltaVert, 1, 99);
    clampInt(DeltaHoriz, 1, 99);
    clampInt(LineWidth, 1, 99);
    if (!(MagBmp >= 1.0)) MagBmp = 1.0; // also NaN
    if (MagBmp > 10.0) MagBmp = 10.0;
    for (LOGFONT* f : {&ChartLf, &NotesLf}) {
        clampInt(f->lfHeight, -1000, 1000);
        clampInt(f->lfWidth, -1000, 1000);
        clampInt(f->lfWeight, 0, 1000);
    }
}

void COrventView::CopySettingsTo(COrventView& other) const {
    other.Settings.CopyValuesFrom(Settings);
}

void COrventView::UpdateCaption() {
    if (m_window) m_window->SetCaption(ChartTitle);
}

// ---- Geometry ------------------------------------------------------------------------------

void COrventView::CountExtent() {
    MaxColumn = 0;
    MinRow = 0;
    const COrventDoc* doc = GetDocument();
    if (!doc) return;
    for (const auto& b : doc->Blocks) {
        if (IsDummy(*b)) continue;
        MaxColumn = std::max(MaxColumn, b->Position.x);
        MinRow = std::min(MinRow, b->Position.y);
    }
}

namespace {

void TrimRight(std::string& s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
}

} // namespace

void COrventView::WrapNotes(DeviceContext* dc) {
    NotesHeight = 0;
    if (ChartNotes.empty() || !NotesDisplay || !dc) return;
    dc->SelectFont(NotesLf);
    const int width = dc->IsPrinting() ? PrintRect.right : dc->GetClientRect().Width();
    auto measure = [&](const std::string& s) { return s.empty() ? 0 : dc->GetTextExtent(s).cx; };

    NotesLines.assign(1, std::string());
    // Line breaks typed into the notes are kept; each paragraph wraps on its own.
    std::size_t start = 0;
    bool firstParagraph = true;
    while (start <= ChartNotes.size()) {
        std::size_t end = ChartNotes.find('\n', start);
        if (end == std::string::npos) end = ChartNotes.size();
        std::string rest = ChartNotes.substr(start, end - start);
        if (!rest.empty() && rest.back() == '\r') rest.pop_back();
        if (!firstParagraph) NotesLines.emplace_back();
        firstParagraph = false;

        while (!rest.empty()) {
            std::string* line = &NotesLines.back();
            if (measure(*line) + measure(rest) <= width) {
                *line += rest;
                break;
            }
            const std::size_t brk = rest.find_first_of(" /;,.");
            if (brk == std::string::npos) {
                // No place to break: the piece goes on a line of its own, cut into characters
                // where it is wider than the line.
                if (!line->empty()) line = &NotesLines.emplace_back();
                for (std::size_t i = 0, n = 0; i < rest.size(); i += n) {
                    n = Utf8CharSize(rest, i);
                    const std::string ch = rest.substr(i, n);
                    if (!line->empty() && measure(*line + ch) > width) line = &NotesLines.emplace_back();
                    *line += ch;
                }
                break;
            }
            std::string word = rest.substr(0, brk + 1);
            rest.erase(0, brk + 1);
            if (!line->empty() && measure(*line) + measure(word) > width) line = &NotesLines.emplace_back();
            *line += word;
        }
        if (end >= ChartNotes.size()) break;
        start = end + 1;
    }
    for (auto& line : NotesLines)
        TrimRight(line);
    NotesHeight = dc->GetTextMetrics().height * static_cast<int>(NotesLines.size());
}

void COrventView::RecalcLayout(DeviceContext* dc) {
    std::unique_ptr<DeviceContext> windowDc;
    RecordingDC fallback;
    if (!dc) {
        if (m_window) windowDc = m_window->GetDC();
        dc = windowDc ? windowDc.get() : &fallback;
    }

    CountExtent();
    WrapNotes(dc);

    TextGap = std::max(1, static_cast<int>(ChartLf.lfHeight * -0.15));
    dc->SelectFont(ChartLf);
    const CSize extent = dc->GetTextExtent(kValueTemplate);
    TextWidth = extent.cx;
    TextHeight = extent.cy;
    const bool anyText = NameDisplay || ValueDisplay;
    const int textWidth = anyText ? TextWidth : 0;
    const int textHeight = anyText ? TextHeight : 0;

    CellWidth = std::max(textWidth, Mag(32)) + LinesX;
    XOrigin = LinesX + CellWidth / 2;
    const int nameBand = NameDisplay ? textHeight + TextGap + 3 : 0;
    const int valueBand = ValueDisplay ? textHeight + TextGap + 3 : 0;
    CellHeight = nameBand + valueBand + LinesY - Mag(-24);
    const int notesShift = (!ChartNotes.empty() && NotesDisplay) ? NotesHeight : 0;
    YOrigin = CellHeight / 2 + Mag(12) + notesShift;
    TotalWidth = XOrigin + CellWidth * (MaxColumn + 6);
    TotalHeight = YOrigin + CellHeight * (std::abs(MinRow) + 6);

    if (NameDisplay && !ValueDisplay)
        LabelOffset = (TextGap + TextHeight + 3) / 2;
    else if (ValueDisplay && !NameDisplay)
        LabelOffset = -((TextGap + TextHeight + 3) / 2);
    else
        LabelOffset = 0;

    // The page size follows the window, also while a printer's context measures the text.
    const CRect client = (dc->IsPrinting() && windowDc == nullptr && m_window)
                             ? [&] {
                                   auto w = m_window->GetDC();
                                   return w ? w->GetClientRect() : dc->GetClientRect();
                               }()
                             : dc->GetClientRect();
    ScrollTotal = {TotalWidth, TotalHeight};
    ScrollPage = {static_cast<int>(0.9 * client.Width()), std::abs(static_cast<int>(0.9 * client.Height()))};
    ScrollLine = {CellWidth, CellHeight};
    if (m_window) m_window->SetScrollSizes(ScrollTotal, ScrollPage, ScrollLine);
}

bool COrventView::IsMonochrome(const DeviceContext& dc) const {
    if (DisplayMode == 1) return true;
    const COrventDoc* doc = GetDocument();
    return dc.IsPrinting() && doc && doc->PrintMode;
}

bool COrventView::IsOnCurrentPage(int column, int row) const {
    const int c = CurrentPageColumn;
    const int e = CurrentPageRow;
    if (column < (c - 1) * ColumnsPerPage || column > c * ColumnsPerPage - 1) return false;
    if (e == 1) return row <= 0 && row >= 1 - RowsFirstPage;
    const int top = -RowsFirstPage - (e - 2) * RowsPerPage;
    return row <= top && row >= top - RowsPerPage + 1;
}

bool COrventView::IsBlockDrawn(const CBlock& block, const DeviceContext& dc) const {
    if (IsDummy(block)) return false;
    if (dc.IsPrinting()) return IsOnCurrentPage(block.Position.x, block.Position.y);
    return true;
}

// ---- Drawing -------------------------------------------------------------------------------

namespace {

// True when a box around (x, y) reaching `rx` sideways and `ry` up and down meets the clip box.
bool NearClip(const CRect& clip, int x, int y, int rx, int ry) {
    return x + rx >= clip.left && x - rx <= clip.right && y - ry <= clip.top && y + ry >= clip.bottom;
}

} // namespace

void COrventView::OnDraw(DeviceContext& dc) {
    COrventDoc* doc = GetDocument();
    if (!doc) return;
    const bool printing = dc.IsPrinting();
    const bool mono = IsMonochrome(dc);

    // 1.
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    dc.SetBkMode(BkMode::Opaque);
    dc.SetDrawMode(DrawMode::Copy);
    // 2.
    if (NameDisplay && !ValueDisplay)
        LabelOffset = (TextGap + TextHeight + 3) / 2;
    else if (ValueDisplay && !NameDisplay)
        LabelOffset = -((TextGap + TextHeight + 3) / 2);
    else
        LabelOffset = 0;
    // 3.
    if (printing) DrawHeaderFooter(dc);
    // 4.
    if (!ChartNotes.empty() && NotesDisplay && (!printing || (CurrentPageColumn == 1 && CurrentPageRow == 1)))
        DrawNotes(dc, mono);
    // 5.
    if (!printing && HoldDisplay) DrawHoldingPoints(dc, mono);
    // 6.
    const int savedX = XOrigin;
    const int savedY = YOrigin;
    if (printing) {
        YOrigin += 2 * TextHeight;
        if (!(CurrentPageColumn == 1 && CurrentPageRow == 1)) {
            XOrigin -= CellWidth * ColumnsPerPage * (CurrentPageColumn - 1);
            if (CurrentPageRow > 1) YOrigin -= CellHeight * RowsFirstPage + NotesHeight;
            if (CurrentPageRow > 2) YOrigin -= RowsPerPage * (CurrentPageRow - 2) * CellHeight;
        }
    }
    // 7.
    const CRect clip = dc.GetClipBox();
    const int reachX = Mag(17) + CellWidth;
    const int reachY = Mag(13) + CellHeight;
    for (const auto& b : doc->Blocks) {
        if (!IsBlockDrawn(*b, dc)) continue;
        const CPoint c = CellCentre(b->Position.x, b->Position.y);
        if (!NearClip(clip, c.x, c.y, reachX, reachY)) continue;
        switch (b->InputsShown) {
        case 1:
            DrawPortMark(dc, *b, 2);
            break;
        case 2:
            DrawPortMark(dc, *b, 1);
            DrawPortMark(dc, *b, 3);
            break;
        case 3:
            DrawPortMark(dc, *b, 2);
            DrawPortMark(dc, *b, 1);
            DrawPortMark(dc, *b, 3);
            break;
        default:
            break;
        }
        if (b->ShowValue == 1) DrawPortMark(dc, *b, 0);
        if (b->AtFirst) DrawAtFirstMark(dc, *b);
    }
    // 8.
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    // 9.
    DrawConnections(dc, mono);
    // 10.
    DrawBlockTexts(dc, mono);
    // 11.
    DrawBlockPictures(dc, mono);
    // 12.
    XOrigin = savedX;
    YOrigin = savedY;
}

void COrventView::DrawNotes(DeviceContext& dc, bool mono) {
    const COrventDoc* doc = GetDocument();
    dc.SelectFont(NotesLf);
    const bool black = dc.IsPrinting() && doc && doc->PrintMode;
    (void)mono; // on screen the notes keep their colour in monochrome too
    dc.SetTextColor(black ? RGB(0, 0, 0) : NotesClr);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const int count = static_cast<int>(NotesLines.size());
    if (count == 0) return;
    const int step = NotesHeight / count;
    int y = dc.IsPrinting() ? -2 * TextHeight : 0;
    for (const auto& line : NotesLines) {
        if (!line.empty()) dc.TextOut(10, y, line);
        y -= step;
    }
}

void COrventView::DrawHoldingPoints(DeviceContext& dc, bool mono) {
    const COLORREF color = mono ? RGB(0, 0, 0) : HoldColor;
    dc.SetPen(PenStyle::Solid, 0, color);
    dc.SetBrush(BrushStyle::Solid, color);
    const int h = HoldSize;
    if (CellWidth <= 0 || CellHeight <= 0) return;
    const CRect clip = dc.GetClipBox();
    // Only the points near the part being painted; the result is the same as painting them all.
    int x0 = XOrigin;
    if (clip.left - h > x0) x0 += (clip.left - h - x0) / CellWidth * CellWidth;
    int y0 = YOrigin;
    if (-clip.top - h > y0) y0 += (-clip.top - h - y0) / CellHeight * CellHeight;
    for (int x = x0; x < TotalWidth && x - h <= clip.right; x += CellWidth)
        for (int y = y0; y < TotalHeight && -y + h >= clip.bottom; y += CellHeight)
            dc.Rectangle({x - h, h - y, x + h, -y - h});
}

void COrventView::DrawPortMark(DeviceContext& dc, const CBlock& block, int slot) {
    // Left edges of the stem and of the arrowhead in bitmap units from the centre.
    const bool output = slot == 0;
    const bool inverted = block.Invert != 0;
    int stemX;
    int headX;
    if (output) {
        stemX = inverted ? -12 : 13;
        headX = inverted ? -15 : 14;
    } else {
        stemX = inverted ? 12 : -12;
        headX = inverted ? 13 : -15;
    }
    const CPoint c = CellCentre(block.Position.x, block.Position.y);
    const int ref = c.y + Mag(11 - kPortOffset[slot]);
    const CRect stem{c.x + Mag(stemX), ref, c.x + Mag(stemX) + Mag(1), ref - Mag(1)};
    const int headTop = ref + Mag(2);
    const CRect head{c.x + Mag(headX), headTop, c.x + Mag(headX) + Mag(3), headTop - Mag(5)};
    dc.FillRect(stem, RGB(0, 0, 0));
    // The arrowhead points right as drawn; an inverted block's marks point left.
    dc.StretchPicture(kPortMarkPicture, head, PictureMode::Plain, inverted);
}

void COrventView::DrawAtFirstMark(DeviceContext& dc, const CBlock& block) {
    const CPoint c = CellCentre(block.Position.x, block.Position.y);
    const int left = c.x + (block.Invert ? -Mag(13) : Mag(13));
    const int top = c.y - Mag(4);
    dc.StretchPicture(kAtFirstPicture, {left, top, left + Mag(2), top - Mag(8)}, PictureMode::Plain);
}

void COrventView::DrawConnections(DeviceContext& dc, bool mono) {
    COrventDoc* doc = GetDocument();
    const bool printing = dc.IsPrinting();
    const CRect clip = dc.GetClipBox();
    const RouteGeometry geometry = LineGeometry();
    for (const auto& b : doc->Blocks) {
        if (b->InputsShown <= 0) continue;
        for (int i = 0; i < 3; ++i) {
            const CBlock* source = b->Inputs[i];
            if (!source) continue;
            const auto p = RouteLine(*b, i, geometry);
            if (b->RouteRecord[i].v[0] == ROUTE_UNROUTABLE) {
                dc.SelectFont(ChartLf);
                dc.SetTextColor(mono ? RGB(0, 0, 0) : ChartClr);
                // Transparent, so the port marks the letters stand beside stay whole.
                dc.SetBkMode(BkMode::Transparent);
                const int half = TextHeight / 2;
                dc.SetTextAlign((b->Invert ? TA_LEFT : TA_RIGHT) | TA_TOP);
                dc.TextOut(p[0].x + (b->Invert ? TextGap : -TextGap), p[0].y + half, source->LineLabel);
                dc.SetTextAlign((source->Invert ? TA_RIGHT : TA_LEFT) | TA_TOP);
                dc.TextOut(p[5].x + (source->Invert ? -TextGap : TextGap), p[5].y + half, source->LineLabel);
                dc.SetBkMode(BkMode::Opaque);
                continue;
            }
            if (!printing) {
                int l = p[0].x, r = p[0].x, t = p[0].y, bt = p[0].y;
                for (const auto& q : p) {
                    l = std::min(l, q.x);
                    r = std::max(r, q.x);
                    t = std::max(t, q.y);
                    bt = std::min(bt, q.y);
                }
                // Wide: a track from a damaged record may lie at the very end of the int range.
                const long long pad = LineWidth;
                if (r + pad < clip.left || l - pad > clip.right || bt - pad > clip.top ||
                    t + pad < clip.bottom)
                    continue;
            }
            dc.SetPen(PenStyle::Solid, LineWidth, mono ? RGB(0, 0, 0) : source->LineColor);
            if (printing)
                ClippedPolyline(dc, p.data(), 6);
            else
                dc.Polyline(p.data(), 6);
        }
    }
}

void COrventView::ClippedPolyline(DeviceContext& dc, const CPoint* points, int count) {
    const int top = -5 - 2 * TextHeight;
    const int bottom = PrintRect.bottom + 2 * TextHeight;
    auto inside = [&](const CPoint& q) { return q.y >= bottom && q.y <= top; };
    auto clamp = [&](int y) { return std::clamp(y, bottom, top); };
    dc.MoveTo(points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) {
        const CPoint& p = points[i - 1];
        const CPoint& q = points[i];
        if (inside(p) && inside(q)) {
            dc.LineTo(q.x, q.y);
        } else if ((p.y > top && q.y > top) || (p.y < bottom && q.y < bottom) ||
                   (p.x < PrintRect.left && q.x < PrintRect.left) ||
                   (p.x > PrintRect.right && q.x > PrintRect.right)) {
            dc.MoveTo(q.x, q.y);
        } else {
            dc.MoveTo(p.x, clamp(p.y));
            dc.LineTo(q.x, clamp(q.y));
            dc.MoveTo(q.x, q.y);
        }
    }
}

void COrventView::DrawBlockTexts(DeviceContext& dc, bool mono) {
    if (!NameDisplay && !ValueDisplay) return;
    const COrventDoc* doc = GetDocument();
    dc.SetTextColor(mono ? RGB(0, 0, 0) : ChartClr);
    dc.SelectFont(ChartLf);
    const CRect clip = dc.GetClipBox();
    const int reachX = CellWidth + TextWidth;
    const int reachY = CellHeight + Mag(13);
    for (const auto& b : doc->Blocks) {
        if (!IsBlockDrawn(*b, dc)) continue;
        const CPoint c = CellCentre(b->Position.x, b->Position.y);
        if (!NearClip(clip, c.x, c.y, reachX, reachY)) continue;
        if (NameDisplay) {
            dc.SetTextAlign(TA_CENTER | TA_TOP);
            dc.TextOut(c.x, c.y - Mag(13) - TextGap, b->Name);
        }
        if (ValueDisplay) DrawValue(dc, *b, c);
    }
}

void COrventView::DrawValue(DeviceContext& dc, const CBlock& block, CPoint centre) {
    dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
    dc.TextOut(centre.x, centre.y + Mag(11) + TextGap, WidenExponent(FormatString("%.3e", block.Value)));
}

void COrventView::DrawLiveValues(DeviceContext& dc) {
    const COrventDoc* doc = GetDocument();
    if (!doc || !ValueDisplay) return;
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    dc.SetBkMode(BkMode::Opaque);
    dc.SetDrawMode(DrawMode::Copy);
    dc.SetTextColor(IsMonochrome(dc) ? RGB(0, 0, 0) : ChartClr);
    dc.SelectFont(ChartLf);
    const CSize widest = dc.GetTextExtent(kValueTemplate);
    const CRect clip = dc.GetClipBox();
    for (const auto& b : doc->Blocks) {
        if (!IsBlockDrawn(*b, dc)) continue;
        const CPoint c = CellCentre(b->Position.x, b->Position.y);
        if (!NearClip(clip, c.x, c.y, CellWidth + TextWidth, CellHeight + Mag(13))) continue;
        const int bottom = c.y + Mag(11) + TextGap;
        dc.FillRect({c.x - widest.cx / 2 - 1, bottom + widest.cy, c.x + widest.cx / 2 + 1, bottom},
                    GetSysColor(COLOR_WINDOW));
        DrawValue(dc, *b, c);
    }
}

void COrventView::DrawBlockPictures(DeviceContext& dc, bool mono) {
    const COrventDoc* doc = GetDocument();
    const CRect clip = dc.GetClipBox();
    const int side = Mag(24);
    for (const auto& b : doc->Blocks) {
        if (!IsBlockDrawn(*b, dc)) continue;
        const CPoint c = CellCentre(b->Position.x, b->Position.y);
        if (!NearClip(clip, c.x, c.y, side, side)) continue;
        const int left = c.x - Mag(11);
        const int top = c.y + Mag(11);
        dc.StretchPicture(mono ? b->MonoImage : b->ColorImage, {left, top, left + side, top - side},
                          b.get() == SelectedBlock ? PictureMode::Inverted : PictureMode::Plain);
    }
}

void COrventView::DrawHeaderFooter(DeviceContext& dc) {
    const COrventDoc* doc = GetDocument();
    const int t = TextHeight;
    const CRect r{PrintRect.left, -5, PrintRect.right, PrintRect.bottom};
    dc.SelectFont(ChartLf);
    PageTexts texts;
    texts.Title = doc ? doc->GetTitle() : std::string();
    if (!ChartTitle.empty()) texts.Title += " : " + ChartTitle;
    texts.Label = FormatPageLabel();
    texts.Path = doc ? doc->GetPathName() : std::string();
    texts.Date = PrintedDate(PrintDate);
    DrawPageTexts(dc, texts, {10, -t, r.right - 10, -2 * t},
                  {10, r.bottom + 2 * t, r.right - 10, r.bottom + t});
}

// ---- Printing ------------------------------------------------------------------------------

std::string COrventView::FormatPageLabel() const {
    return ::FormatPageLabel(CurrentPageRow, CurrentPageColumn, PagesDown, PagesAcross);
}

void COrventView::Paginate() {
    const double w = CellWidth;
    const double h = CellHeight;
    const double t = TextHeight;
    const double b = std::abs(PrintRect.bottom);
    // A page smaller than one grid cell still takes one column and one row.
    ColumnsPerPage =
        std::max(1, static_cast<int>(std::ceil((PrintRect.right + LinesX - XOrigin - w / 2) / w)));
    RowsFirstPage = std::max(1, static_cast<int>(std::ceil((b - h / 2 - 4 * t - YOrigin + LinesY) / h)));
    RowsPerPage =
        std::max(1, static_cast<int>(std::ceil((b + NotesHeight - 4 * t - h / 2 - YOrigin + LinesY) / h)));
    PagesAcross = static_cast<int>(std::ceil(static_cast<double>(MaxColumn + 1) / ColumnsPerPage));
    const int rows = std::abs(MinRow) + 1;
    PagesDown = 1;
    if (rows > RowsFirstPage)
        PagesDown += static_cast<int>(std::ceil(static_cast<double>(rows - RowsFirstPage) / RowsPerPage));
}
