#pragma once
// Printing a chart: the chart is cut into page columns of whole grid columns and page rows of
// whole grid rows; pages run down a page column first, then on to the next page column. The view
// keeps the page geometry (PrintRect, ColumnsPerPage, ...); these functions drive it page by page.

#include <functional>

class COrventView;
class DeviceContext;

namespace kintra {

// Page column and page row (both from 1) of page `page` (from 1) when a page column holds
// `pagesDown` pages.
struct ChartPageCell {
    int Column = 1;
    int Row = 1;
};
ChartPageCell ChartPageAt(int page, int pagesDown);

// Before the print dialog: the pages of an 8.00 by 10.54 inch drawing area, measured on
// `windowDc` (the window's, or none for the window's own). Returns the page count.
int EstimateChartPages(COrventView& view, DeviceContext* windowDc);

// Gets the view ready to draw page `page` on `printerDc`, whose client rectangle is the page's
// drawing area: the geometry is measured on the printer and the chart paginated again. Returns
// the page count at that geometry; `page` beyond it prints nothing.
int PrepareChartPage(COrventView& view, DeviceContext& printerDc, int page);

// Prints pages `from` to `to` (from 1; `to` 0 or beyond the last page means to the last page).
// `pageDc(page)` starts a new sheet and gives its device context (null stops printing). The
// screen geometry is restored afterwards. Returns the number of pages printed.
int PrintChartPages(COrventView& view, int from, int to,
                    const std::function<DeviceContext*(int page)>& pageDc);

} // namespace kintra
