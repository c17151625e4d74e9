#pragma once
// The run window: a small document window showing the simulated time while a run proceeds. A
// click in it, or Escape anywhere, stops the run after the current output step. While it is
// open only it (and dialogs the run shows) takes input.

#include "platform/Document.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QWidget>

class COrventDoc;

// The view: paints the document's CurrentTime, "%15.3g", at (10, 10).
class CRunWndw : public QWidget, public CView {
    Q_OBJECT
  public:
    explicit CRunWndw(QWidget* parent = nullptr);
    ~CRunWndw() override;

    // The window serves one run of a document at a time; between runs it belongs to none.
    void Attach(COrventDoc& doc);
    void Detach();
    COrventDoc* Document() const;
    void OnInitialUpdate() override;
    // The text shown: the current time in 15 characters.
    static QString TimeText(double time);
    // The text painted last (for checking what the window showed).
    const QString& ShownText() const { return m_shown; }
    int PaintCount() const { return m_paints; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString m_shown;
    int m_paints = 0;
};

// The frame: 150 x 100 at (50, 50), captioned "Time".
class CRunChild : public QMdiSubWindow {
    Q_OBJECT
  public:
    explicit CRunChild(QWidget* parent = nullptr);
    CRunWndw* View() const { return m_view; }

  private:
    CRunWndw* m_view;
};

// Installed on the application while a run proceeds: input to any window but the run window,
// a modal dialog the run shows, or the Terminate Run buttons is dropped; Escape stops the run.
class CRunInputFilter : public QObject {
    Q_OBJECT
  public:
    CRunInputFilter(COrventDoc& doc, QWidget* runWindow, QObject* parent = nullptr);
    void AllowWidget(QWidget* w) { m_allowed.push_back(w); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool IsAllowed(QObject* target) const;
    COrventDoc* m_doc;
    QPointer<QWidget> m_runWindow;
    std::vector<QPointer<QWidget>> m_allowed;
};
