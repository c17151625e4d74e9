#pragma once
// What the graph and list views ask of the window host, and the views a chart file names: the
// whole window host, which the program's host and the headless one implement.

#include "chart/ChartWindows.h"

class CGraphBase;
class CListBase;

class ViewWindowHost : public ChartWindowHost {
  public:
    // The graph's property sheet and the list's "List Parameters" dialog; true when they ended
    // with OK (what they applied, with OK or "Apply", is then in the view).
    virtual bool RunGraphProperties(CGraphBase& graph);
    virtual bool RunListParameters(CListBase& list);

    // A new chart, graph or list view for "COrventView", "CGraphBase" or "CListBase"; null for
    // any other name.
    std::unique_ptr<CView> CreateView(const std::string& className) override;
};

// The installed window host as the graph and list views see it; when it has no such side, one
// that answers every dialog with Cancel.
ViewWindowHost& ViewWindows();
