#include "chart/ChartPrint.h"

#include "chart/OrventView.h"
#include "platform/DeviceContext.h"

#include <algorithm>
#include <cstdlib>

namespace kintra {

ChartPageCell ChartPageAt(int page, int pagesDown) {
    pagesDown = std::max(1, pagesDown);
    page = std::max(1, page);
    ChartPageCell cell;
    cell.Column = (page + pagesDown - 1) / pagesDown;
    cell.Row = page % pagesDown;
    if (cell.Row == 0) cell.Row = pagesDown;
    return cell;
}

int EstimateChartPages(COrventView& view, DeviceContext* windowDc) {
    view.PrintRect = {0, 0, 800, -1054};
    view.RecalcLayout(windowDc);
    view.Paginate();
    return view.PagesAcross * view.PagesDown;
}

int PrepareChartPage(COrventView& view, DeviceContext& printerDc, int page) {
    const CRect area = printerDc.GetClientRect();
    // The drawing area with its top-left corner at the origin, y negative downwards.
    view.PrintRect = {0, 0, area.Width(), -std::abs(area.Height())};
    view.RecalcLayout(&printerDc);
    view.Paginate();
    const ChartPageCell cell = ChartPageAt(page, view.PagesDown);
    view.CurrentPageColumn = cell.Column;
    view.CurrentPageRow = cell.Row;
    return view.PagesAcross * view.PagesDown;
}

int PrintChartPages(COrventView& view, int from, int to,
                    const std::function<DeviceContext*(int page)>& pageDc) {
    from = std::max(1, from);
    int printed = 0;
    int last = from; // the page count is known once the printer has measured the chart
    for (int page = from; page <= last; ++page) {
        if (to > 0 && page > to) break;
        DeviceContext* dc = pageDc(page);
        if (!dc) break;
        last = PrepareChartPage(view, *dc, page);
        if (page > last) break;
        view.OnDraw(*dc);
        ++printed;
    }
    view.CurrentPageColumn = 1;
    view.CurrentPageRow = 1;
    // Back to the window's geometry.
    view.RecalcLayout();
    return printed;
}

} // namespace kintra
