#pragma once
// Windows without a display: the command-line tool's and the tests' window host. It creates the
// chart, graph and list views a document asks for and owns them, so a chart read and written
// again keeps every view record.

#include "views/ViewWindows.h"

#include <memory>
#include <vector>

class HeadlessWindowHost : public ViewWindowHost {
  public:
    HeadlessWindowHost();
    ~HeadlessWindowHost() override;

    CView* OpenChartWindow(COrventDoc& doc) override;
    CView* OpenGraphWindow(COrventDoc& doc) override;
    CView* OpenListWindow(COrventDoc& doc) override;
    void CloseDocumentWindows(COrventDoc& doc) override;
    void CloseWindow(CView& view) override;

    // Every view this host holds, in the order they were opened.
    std::size_t ViewCount() const { return m_views.size(); }

  private:
    CView* Adopt(COrventDoc& doc, std::unique_ptr<CView> view);
    std::vector<std::unique_ptr<CView>> m_views;
};
