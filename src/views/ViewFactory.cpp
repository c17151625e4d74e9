#include "views/ViewFactory.h"

#include "chart/OrventView.h"
#include "model/ChartFile.h"
#include "views/GraphView.h"
#include "views/ListView.h"

std::unique_ptr<CView> CreateChartFileView(const std::string& className) {
    if (className == kintra::kChartViewClass) return std::make_unique<COrventView>();
    if (className == kintra::kGraphViewClass) return std::make_unique<CGraphBase>();
    if (className == kintra::kListViewClass) return std::make_unique<CListBase>();
    return nullptr;
}
