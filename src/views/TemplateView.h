#pragma once
// The common base of the output windows (Graph and List): a view of a chart document that reads
// the blocks' recorded histories, keeps its own settings and writes its own record.

#include "platform/DeviceContext.h"
#include "platform/Document.h"

#include <string>
#include <vector>

class CBlock;
class COrventDoc;

class CTemplateView : public CView {
  public:
    CTemplateView() = default;
    ~CTemplateView() override;

    std::string GetViewClassName() const override { return "CTemplateView"; }
    COrventDoc* GetDocument() const;

    // The window showing this view (not owned); none for a view without a window.
    void SetWindow(ViewWindow* window) { m_window = window; }
    ViewWindow* GetWindow() const { return m_window; }

    // Number of rows or samples of an output view: the length of the Clock's history.
    int RecordedCount() const;

  protected:
    void Invalidate();
    // The parent frame's caption := `title` (empty: the framework's standard caption).
    void SetCaption(const std::string& title);
    // For each position, the block of the document standing there, the last match winning; none
    // where no block stands.
    std::vector<CBlock*> ResolvePositions(const std::vector<CPoint>& positions) const;

  private:
    ViewWindow* m_window = nullptr;
};
