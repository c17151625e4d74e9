// Drawing of the List window: cell sizes, scroll sizes and the table.

#include "model/OrventDoc.h"
#include "platform/PageText.h"
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

void CListBase::MeasureCells(DeviceContext* dc, int notesWidth) {
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
        const int width = std::max(0, notesWidth > 0 ? notesWidth : dc->GetClientRect().Width());
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
    if (dc.IsPrinting()) {
        DrawPage(dc);
        return;
    }
    // 1.
    UpdateScrollSizes(&dc);
    UpdateCaption();

    // 2. The window shows whole cells from the scroll position on.
    const CRect client = dc.GetClientRect();
    const int left = client.left;
    const int top = client.top;
    const int firstColumn = std::max(0, NearestStep(left, CellWidth));
    const int firstRow = std::max(0, NearestStep(-top, RowHeight));
    const int shownColumns = client.Width() / CellWidth - 1;
    const int shownRows = std::abs(client.Height()) / RowHeight - 1;
    ShownRowsEnd = firstRow + std::max(0, shownRows);
    const int bottom = top - std::abs(client.Height());
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    dc.SetBkMode(BkMode::Opaque);
    dc.SetDrawMode(DrawMode::Copy);

    // 3. Notes.
    if (!NotesLines.empty()) {
        dc.SelectFont(DrawableFont(NotesFont));
        dc.SetTextColor(NotesColor);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        const int step = dc.GetTextMetrics().height;
        int y = top;
        for (const std::string& line : NotesLines) {
            if (!line.empty()) dc.TextOut(left + kNotesIndent, y, line);
            y -= step;
        }
    }

    // 4. The table.
    dc.SelectFont(DrawableFont(ListFont));
    dc.SetTextColor(FontColor);
    dc.SetPen(PenStyle::Solid, 0, FontColor);
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

void CListBase::DrawPage(DeviceContext& dc) {
    MeasureCells(&dc);
    const CRect area = dc.GetClientRect();
    PrintPages = Paginate(area);
    CurrentPageRow = std::clamp(CurrentPageRow, 1, PrintPages.PagesDown);
    CurrentPageColumn = std::clamp(CurrentPageColumn, 1, PrintPages.PagesAcross);
    const COrventDoc* doc = GetDocument();
    const bool black = doc && doc->PrintMode;
    const COLORREF color = black ? RGB(0, 0, 0) : FontColor;
    const int left = area.left;
    const int right = area.left + area.Width();
    const int top = area.top;
    const int bottom = area.top - std::abs(area.Height());
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    dc.SetBkMode(BkMode::Opaque);
    dc.SetDrawMode(DrawMode::Copy);

    // Header line at the top of the page, footer line at its bottom.
    dc.SelectFont(DrawableFont(ListFont));
    dc.SetTextColor(color);
    PageTexts texts;
    texts.Title = doc ? doc->GetTitle() : std::string();
    if (!ListTitle.empty()) texts.Title += " : " + ListTitle;
    texts.Label = FormatPageLabel();
    texts.Path = doc ? doc->GetPathName() : std::string();
    texts.Date = PrintedDate(PrintDate);
    DrawPageTexts(dc, texts, {left, top, right, top - RowHeight}, {left, bottom + RowHeight, right, bottom});

    // The notes on the first page; every page of the first page row leaves their room, so that
    // a row stands at the same height on every page column.
    int tableTop = top - RowHeight;
    if (CurrentPageRow == 1 && !NotesLines.empty()) {
        if (CurrentPageColumn == 1) {
            dc.SelectFont(DrawableFont(NotesFont));
            dc.SetTextColor(black ? RGB(0, 0, 0) : NotesColor);
            dc.SetTextAlign(TA_LEFT | TA_TOP);
            const int step = dc.GetTextMetrics().height;
            int y = tableTop;
            for (const std::string& line : NotesLines) {
                if (!line.empty()) dc.TextOut(left + kNotesIndent, y, line);
                y -= step;
            }
        }
        tableTop -= NotesExtent.cy;
    }

    // The table: the frozen first column, then this page column's columns.
    const Span rows = PageRows(PrintPages, CurrentPageRow);
    const Span others = PageColumns(PrintPages, CurrentPageColumn);
    std::vector<const CBlock*> cells;
    if (!Columns.empty()) cells.push_back(Columns.front());
    for (int c = others.First; c < others.End; ++c)
        cells.push_back(Columns[static_cast<std::size_t>(c)]);
    dc.SelectFont(DrawableFont(ListFont));
    dc.SetTextColor(color);
    dc.SetPen(PenStyle::Solid, 0, color);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (!cells[i] || cells[i]->Name.empty()) continue;
        const int x = left + static_cast<int>(i) * CellWidth;
        dc.DrawText(cells[i]->Name, {x, tableTop, x + CellWidth, tableTop - RowHeight},
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    for (int row = rows.First; row < rows.End; ++row) {
        const int y = tableTop - (row - rows.First + 1) * RowHeight;
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (cells[i])
                dc.TextOut(left + (static_cast<int>(i) + 1) * CellWidth, y,
                           FormatValue(cells[i]->GetHistoryAt(row)));
    }

    // The frozen column's edge down to under the last printed row, the line under the header.
    dc.MoveTo(left + CellWidth + 2, tableTop);
    dc.LineTo(left + CellWidth + 2, tableTop - (rows.End - rows.First + 1) * RowHeight);
    dc.MoveTo(left, tableTop - RowHeight);
    dc.LineTo(right, tableTop - RowHeight);
}
