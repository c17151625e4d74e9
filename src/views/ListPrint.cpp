// Printing of the List window: the table cut into pages, and the pages driven one by one.

#include "chart/ChartPrint.h" // ChartPageAt: the same page order as a chart's
#include "platform/PageText.h"
#include "views/ListView.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

int CeilDiv(long long a, long long b) {
    return static_cast<int>(std::min<long long>(INT_MAX, (a + b - 1) / b));
}

} // namespace

CListBase::Pages CListBase::Paginate(const CRect& area) const {
    Pages p;
    const long long width = area.Width();
    const long long height = std::abs(static_cast<long long>(area.Height()));
    // A page too small for two cells still takes one column and one row.
    p.ColumnsPerPage = static_cast<int>(std::clamp<long long>((width - CellWidth) / CellWidth, 1, INT_MAX));
    // The header line, the table's header row and the footer line take three rows.
    p.RowsPerPage =
        static_cast<int>(std::clamp<long long>((height - 3LL * RowHeight) / RowHeight, 1, INT_MAX));
    const int notesRows = CeilDiv(NotesExtent.cy, RowHeight);
    p.RowsFirstPage = std::clamp(p.RowsPerPage - notesRows, 0, p.RowsPerPage);
    // Rows move to later pages by the room the notes take, so the last rows are never left out.
    const long long rows = RowCount();
    p.PagesDown = std::max(1, CeilDiv(rows + p.RowsPerPage - p.RowsFirstPage, p.RowsPerPage));
    // The first column is on every page: only the others need page columns.
    const long long others = static_cast<long long>(Columns.size()) - 1;
    p.PagesAcross = std::max(1, CeilDiv(others, p.ColumnsPerPage));
    return p;
}

CListBase::Span CListBase::PageRows(const Pages& pages, int pageRow) const {
    const long long rows = RowCount();
    long long first = 0;
    long long end = pages.RowsFirstPage;
    if (pageRow > 1) {
        first = pages.RowsFirstPage + static_cast<long long>(pageRow - 2) * pages.RowsPerPage;
        end = first + pages.RowsPerPage;
    }
    first = std::min(first, rows);
    return {static_cast<int>(first), static_cast<int>(std::clamp(end, first, rows))};
}

CListBase::Span CListBase::PageColumns(const Pages& pages, int pageColumn) const {
    const long long columns = static_cast<long long>(Columns.size());
    const long long first =
        std::min(columns, 1 + static_cast<long long>(std::max(pageColumn, 1) - 1) * pages.ColumnsPerPage);
    const long long end = std::min(columns, first + pages.ColumnsPerPage);
    return {static_cast<int>(first), static_cast<int>(std::max(first, end))};
}

std::string CListBase::FormatPageLabel() const {
    return ::FormatPageLabel(CurrentPageRow, CurrentPageColumn, PrintPages.PagesDown, PrintPages.PagesAcross);
}

namespace kintra {

int EstimateListPages(CListBase& list, DeviceContext* windowDc) {
    const CRect area{0, 0, 800, -1054};
    list.MeasureCells(windowDc, area.Width());
    const int pages = list.Paginate(area).Count();
    list.MeasureCells(windowDc);
    return pages;
}

int PrepareListPage(CListBase& list, DeviceContext& printerDc, int page) {
    list.MeasureCells(&printerDc);
    list.PrintPages = list.Paginate(printerDc.GetClientRect());
    const ChartPageCell cell = ChartPageAt(page, list.PrintPages.PagesDown);
    list.CurrentPageColumn = cell.Column;
    list.CurrentPageRow = cell.Row;
    return list.PrintPages.Count();
}

int PrintListPages(CListBase& list, int from, int to, const std::function<DeviceContext*(int page)>& pageDc) {
    from = std::max(1, from);
    int printed = 0;
    int last = from; // the page count is known once the printer has measured the list
    for (int page = from; page <= last; ++page) {
        if (to > 0 && page > to) break;
        DeviceContext* dc = pageDc(page);
        if (!dc) break;
        last = PrepareListPage(list, *dc, page);
        if (page > last) break;
        list.OnDraw(*dc);
        ++printed;
    }
    list.CurrentPageColumn = 1;
    list.CurrentPageRow = 1;
    // Back to the window's geometry.
    list.UpdateScrollSizes();
    return printed;
}

} // namespace kintra
