#include "views/ViewWindows.h"

#include "chart/OrventView.h"
#include "model/ChartFile.h"
#include "platform/Platform.h"
#include "views/GraphView.h"
#include "views/ListView.h"

bool ViewWindowHost::RunGraphProperties(CGraphBase&) {
    return false;
}
bool ViewWindowHost::RunListParameters(CListBase&) {
    return false;
}

std::unique_ptr<CView> ViewWindowHost::CreateView(const std::string& className) {
    if (className == kintra::kChartViewClass) return std::make_unique<COrventView>();
    if (className == kintra::kGraphViewClass) return std::make_unique<CGraphBase>();
    if (className == kintra::kListViewClass) return std::make_unique<CListBase>();
    return nullptr;
}

ViewWindowHost& ViewWindows() {
    static ViewWindowHost none;
    auto* host = dynamic_cast<ViewWindowHost*>(&Platform().Windows());
    return host ? *host : none;
}
