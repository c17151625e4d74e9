#include "chart/ChartWindows.h"

#include "platform/Platform.h"

bool ChartWindowHost::RunViewingProperties(COrventView&) {
    return false;
}

ChartWindowHost& ChartWindows() {
    static ChartWindowHost none;
    auto* host = dynamic_cast<ChartWindowHost*>(&Platform().Windows());
    return host ? *host : none;
}
