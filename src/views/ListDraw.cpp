// Drawing of the List window: cell sizes, scroll sizes and the table.

#include "model/OrventDoc.h"
#include "platform/RecordingDC.h"
#include "views/GraphView.h" // WrapNotes, DrawableFont
#include "views/ListView.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace {

// Room left of the notes and of a header name in its cell.
constexpr int kNotesIndent = 4;
// Scroll sizes stay far from the integer limits whatever a file holds.
constexpr long long kMaxExtent = 1LL << 30;

int Extent(long long v) {
    return static_cast<int>(std::clamp(v, 0LL, kMaxExtent));
}

// Position / step rounded to the nearest whole step.
int NearestStep(int position, int step) {
    if (step <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(position) / step));
}

} // namespace

std::string CListBase::CellTemplate() const {
    const auto extra = static_cast<std::size_t>(std::clamp(Extra, 0, kMaxExtra));
    const auto precision = static_cast<std::size_t>(std::clamp(Precision, 0, kMaxPrecision));
    return std::string(extra + 1, ' ') + "+0." + std::string(precision, '0') + "e+000";
}

void CListBase::MeasureCells(DeviceContext* dc) {
    std::unique_ptr<DeviceContext> windowDc;
    RecordingDC fallback;
    if (!dc) {
        if (ViewWindow* window = GetWindow()) windowDc = window->GetDC();
        dc = windowDc ? windowDc.get() : &fallback;
    }
    dc->SelectFont(DrawableFont(ListFont));
    const CSize cell = dc->GetTextExtent(CellTemplate());
    CellWidth = std::max(1, cell.cx);
    RowHeight = std::max(1, cell.cy);

    NotesLines.clear();
    NotesExtent = {};
    if (NotesDisplay && !ListNotes.empty()) {
        const int width = std::max(0, dc->GetClientRect().Width());
        dc->SelectFont(DrawableFont(NotesFont));
        NotesLines = WrapNotes(*dc, ListNotes, std::max(1, width - 2 * kNotesIndent));
        const long long height = static_cast<long long>(dc->GetTextMetrics().height) * NotesLines.size();
        NotesExtent = {width, Extent(height)};
    }
}

void CListBase::UpdateScrollSizes(DeviceContext* dc) {
    MeasureCells(dc);
    const long long columns = static_cast<long long>(Columns.size());
    const long long rows = RowCount();
    ScrollTotal = {Extent(std::max<long long>(NotesExtent.cx, (columns + 1) * CellWidth)),
                   Extent(std::abs(static_cast<long long>(NotesExtent.cy)) + RowHeight * (rows + 3))};
    ScrollLine = {CellWidth, RowHeight};
    if (ViewWindow* window = GetWindow()) window->SetScrollSizes(ScrollTotal, {0, 0}, ScrollLine);
}

void CListBase::OnDraw(DeviceContext& dc) {
    // 1.
    UpdateScrollSizes(&dc);
    UpdateCaption();
    const COrventDoc* doc = GetDocument();
    const bool black = dc.IsPrinting() && doc && doc->PrintMode;

    // 2. The window shows whole cells from the scroll position on.
    const CRect client = dc.GetClientRect();
    const int left = client.left;
    const int top = client.top;
    const int firstColumn = std::max(0, NearestStep(left, CellWidth));
    const int firstRow = std::max(0, NearestStep(-top, RowHeight));
    const int shownColumns = client.Width() / CellWidth - 1;
    const int shownRows = std::abs(client.Height()) / RowHeight - 1;
    const int bottom = top - std::abs(client.Height());
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    dc.SetBkMode(BkMode::Opaque);
    dc.SetDrawMode(DrawMode::Copy);

    // 3. Notes.
    if (!NotesLines.empty()) {
        dc.SelectFont(DrawableFont(NotesFont));
        dc.SetTextColor(black ? RGB(0, 0, 0) : NotesColor);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        const int step = dc.GetTextMetrics().height;
        int y = top;
        for (const std::string& line : NotesLines) {
            if (!line.empty()) dc.TextOut(left + kNotesIndent, y, line);
            y -= step;
        }
    }

    // 4. The table.
    const COLORREF color = black ? RGB(0, 0, 0) : FontColor;
    dc.SelectFont(DrawableFont(ListFont));
    dc.SetTextColor(color);
    dc.SetPen(PenStyle::Solid, 0, color);
    const int tableTop = top - NotesExtent.cy;
    const int columnCount = static_cast<int>(std::min<std::size_t>(Columns.size(), INT_MAX));
    // Column shown in cell i: the frozen first one, then those from the scroll position on.
    auto columnOf = [&](int cell) { return cell == 0 ? 0 : firstColumn + cell; };
    int cells = columnCount > 0 ? 1 : 0;
    while (cells > 0 && cells <= shownColumns && columnOf(cells) < columnCount)
        ++cells;

    for (int i = 0; i < cells; ++i) {
        const CBlock* b = Columns[static_cast<std::size_t>(columnOf(i))];
        if (!b || b->Name.empty()) continue;
        const int x = left + i * CellWidth;
        dc.DrawText(b->Name, {x, tableTop, x + CellWidth, tableTop - RowHeight},
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    const CRect clip = dc.GetClipBox();
    const int rowCount = RowCount();
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    for (int line = 1; line <= shownRows; ++line) {
        const int row = firstRow + line - 1;
        if (row >= rowCount || row < 0) break;
        const int y = tableTop - line * RowHeight;
        if (y - RowHeight > clip.top) continue;
        if (y < clip.bottom) break;
        for (int i = 0; i < cells; ++i) {
            const CBlock* b = Columns[static_cast<std::size_t>(columnOf(i))];
            if (!b) continue;
            dc.TextOut(left + (i + 1) * CellWidth, y, FormatValue(b->GetHistoryAt(row)));
        }
    }

    // The frozen column's edge and the line under the header.
    dc.MoveTo(left + CellWidth + 2, tableTop);
    dc.LineTo(left + CellWidth + 2, bottom);
    dc.MoveTo(left, tableTop - RowHeight);
    dc.LineTo(left + client.Width(), tableTop - RowHeight);
}
