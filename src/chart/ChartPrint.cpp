#include "chart/ChartPrint.h"

#include "chart/OrventView.h"
#include "platform/DeviceContext.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace kintra {

ChartPageCell ChartPageAt(int page, int pagesDown) {
    pagesDown = std::max(1, pagesDown);
    page = std::max(1, page);
    ChartPageCell cell;
    cell.Column = (page - 1) / pagesDown + 1;
    cell.Row = page % pagesDown;
    if (cell.Row == 0) cell.Row = pagesDown;
    return cell;
}

namespace {

// The pages of the chart as paginated, held at the largest count an int takes: a block placed far
// out makes more pages across times down than that.
int PageCount(const COrventView& view) {
    const long long pages = static_cast<long long>(view.PagesAcross) * view.PagesDown;
    return static_cast<int>(std::min<long long>(pages, std::numeric_limits<int>::max()));
}

} // namespace

int EstimateChartPages(COrventView& view, DeviceContext* windowDc) {
    view.PrintRect = {0, 0, 800, -1054};
    view.RecalcLayout(windowDc);
    view.Paginate();
    return PageCount(view);
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
    return PageCount(view);
}

int PrintChartPages(COrventView& view, int from, int to,
                    const std::function<DeviceContext*(int page)>& pageDc) {
    from = std::max(1, from);
    int printed = 0;
    // The page count is known once the printer has measured the chart. The loop stops on the last
    // page rather than past it, which may be the largest int.
    for (int page = from;; ++page) {
        if (to > 0 && page > to) break;
        DeviceContext* dc = pageDc(page);
        if (!dc) break;
        const int last = PrepareChartPage(view, *dc, page);
        if (page > last) break;
        view.OnDraw(*dc);
        ++printed;
        if (page >= last) break;
    }
    view.CurrentPageColumn = 1;
    view.CurrentPageRow = 1;
    // Back to the window's geometry.
    view.RecalcLayout();
    return printed;
}

} // namespace kintra
