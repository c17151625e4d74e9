#pragma once
// Document windows: CChildFrame, one MDI window holding one view, and CChartSplitter, the pane
// grid of chart and list windows (at most 2 x 2 panes, each its own view on the document).

#include "ViewHost.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class COrventDoc;
class QSplitter;
class CChartSplitter;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
  public:
    // The frame takes the view over; chart and list windows get a splitter.
    CChildFrame(ViewKind kind, std::unique_ptr<CView> view, COrventDoc& doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    ViewKind Kind() const { return m_kind; }
    COrventDoc* Document() const { return m_doc; }
    // The first pane's view: the one the frame was made with.
    CView* FirstView() const;
    CViewHost* FirstPane() const;
    // The pane with the focus, else the first.
    CViewHost* ActivePane() const;
    // Every pane's view host.
    std::vector<CViewHost*> Panes() const;
    CChartSplitter* Splitter() const { return m_splitter; }

    // The caption: the view's title when it has one, else the document's title with the window
    // number when several windows show the document (number 0: none).
    void UpdateFrameTitle(int windowNumber);
    const QString& TitleText() const { return m_titleText; }

    // Closing without asking (the document is going, or its open failed).
    void CloseSilently();
    // Asked before the user's close goes ahead; false keeps the window.
    std::function<bool(CChildFrame*)> CanClose;
    // The user's close goes ahead: once the window's views have left the document, the close is
    // a step of its history, from the chart's image `before`.
    void RecordCloseAs(std::string label, std::vector<std::uint8_t> before);

  signals:
    void captionWanted();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    ViewKind m_kind;
    COrventDoc* m_doc;
    CChartSplitter* m_splitter = nullptr;
    CViewHost* m_single = nullptr;
    QString m_titleText;
    bool m_silent = false;
    bool m_recordClose = false;
    std::string m_closeLabel;
    std::vector<std::uint8_t> m_closeBefore;
};

// A grid of panes: rows of a vertical splitter, each a horizontal splitter; the columns of all
// rows keep the same widths.
class CChartSplitter : public QWidget {
    Q_OBJECT
  public:
    CChartSplitter(ViewKind kind, std::unique_ptr<CView> first, COrventDoc& doc, QWidget* parent = nullptr);

    int Rows() const { return static_cast<int>(m_panes.size()); }
    int Columns() const { return m_panes.empty() ? 0 : static_cast<int>(m_panes.front().size()); }
    CViewHost* Pane(int row, int column) const;
    CViewHost* FirstPane() const { return Pane(0, 0); }
    std::vector<CViewHost*> Panes() const;

    // One more row or column, the new panes split off at `pixel` (splitter coordinates).
    bool SplitRow(int pixel);
    bool SplitColumn(int pixel);
    // Removes a row or column other than the first pane's.
    void RemoveRow(int row);
    void RemoveColumn(int column);
    // Window > Split: an unsplit window splits into 2 x 2 at its middle; a split one becomes one
    // pane again.
    void ToggleSplit();
    // F6 and Shift+F6: the focus to the next or previous pane.
    void NextPane(bool forward);

    static constexpr int kMaxRows = 2;
    static constexpr int kMaxColumns = 2;
    static constexpr int kMinPane = 10;

  signals:
    void panesChanged();

  private:
    CViewHost* MakePane();
    void AddSplitBoxes();
    void SyncColumns(QSplitter* source);
    void CheckCollapsed();

    ViewKind m_kind;
    COrventDoc* m_doc;
    QSplitter* m_rows;
    std::vector<QSplitter*> m_rowSplitters;
    std::vector<std::vector<CViewHost*>> m_panes;
    bool m_syncing = false;
};
