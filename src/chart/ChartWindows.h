#pragma once
// What the chart view asks of the window host.

#include "model/ModelWindows.h"

class COrventView;

class ChartWindowHost : public ModelWindowHost {
  public:
    // The "Chart Viewing Properties" dialog on a chart view; true when it ended with OK (what it
    // applied, with OK or "Apply", is then in the view).
    virtual bool RunViewingProperties(COrventView& view);
};

// The installed window host as the chart sees it; when it has no chart side, one that answers
// every dialog with Cancel.
ChartWindowHost& ChartWindows();
