// The run window: one window serves every run of the program. While a run shows it, only it (and
// what the run asks in dialogs) takes input, and it is repainted at most every 30 ms, together with
// the run's graph and list windows, which grow as the samples come in, and its chart windows' values.

#include "MainFrame.h"

#include "ChildFrame.h"
#include "CommandIds.h"
#include "RunWindow.h"
#include "ViewHost.h"
#include "model/OrventDoc.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMdiArea>
#include <QToolBar>

namespace {
// The run window repaints at most this often, so that painting does not slow a long run.
constexpr qint64 kRunPaintInterval = 30;
} // namespace

void CMainFrame::OnRun(bool initializeOnly) {
    COrventDoc* doc = ActiveDocument();
    if (!doc || IsRunning()) return;
    m_runningDoc = doc;
    if (initializeOnly) {
        // The initialization is over before anything could be shown.
        doc->OnInitialize();
        m_runningDoc = nullptr;
        UpdateCommandUI();
        return;
    }
    doc->OnRun();
    m_runningDoc = nullptr;
    UpdateCommandUI();
}

CView* CMainFrame::OpenRunWindow(COrventDoc& doc) {
    if (m_runChild && m_runChild->isVisible()) return nullptr;
    // The run window must not take the place of the window the run was started from.
    m_runReturn = ActiveChildFrame();
    // One run window serves every run; it is made on the first and hidden between runs, so that
    // a run pays little for it.
    if (!m_runChild) {
        m_runChild = new CRunChild;
        m_runChild->setAttribute(Qt::WA_ShowWithoutActivating);
        m_runChild->setAttribute(Qt::WA_DeleteOnClose, false);
        m_mdi->addSubWindow(m_runChild);
    }
    CRunChild* child = m_runChild;
    child->View()->Attach(doc);
    child->setGeometry(50, 50, 150, 100);
    child->setWindowTitle(QStringLiteral("Time"));
    // Beside a maximised document window the area would maximise the run window too, leaving it
    // without its frame and caption and hiding the window the run was started from.
    const bool dontMaximize = m_mdi->testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    child->show();
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, dontMaximize);
    child->raise();
    if (!m_runningDoc) m_runningDoc = &doc;
    child->View()->OnInitialUpdate();

    // Only the run window (and what the run asks in dialogs) takes input until the run ends;
    // the other windows wait and are repainted at its end (the graphs and lists also as it goes).
    m_runFilter = std::make_unique<CRunInputFilter>(doc, child);
    if (QToolBar* display = Bar(ID_BAR_DISPLAY))
        m_runFilter->AllowWidget(display->widgetForAction(Action(ID_TERMINATE_RUN)));
    qApp->installEventFilter(m_runFilter.get());
    CViewHost::SetPaintingSuspended(true);
    // Only the run commands change while the run proceeds.
    Action(ID_RUN)->setChecked(doc.InitializeOnly == 0);
    Action(ID_TERMINATE_RUN)->setEnabled(true);
    Action(ID_TERMINATE_RUN)->setChecked(true);
    Action(ID_RUN)->setEnabled(false);
    Action(ID_INITIALIZE)->setEnabled(false);
    child->View()->repaint();
    m_runPaintClock.start();
    if (OnRunWindowPainted) OnRunWindowPainted(*child);
    return child->View();
}

void CMainFrame::RefreshOutputWindows(COrventDoc& doc) {
    for (CChildFrame* f : ChildFrames(&doc))
        for (CViewHost* h : f->Panes()) {
            if (!h->isVisible() || !h->View()) continue;
            if (h->Kind() != ViewKind::Chart) h->View()->OnUpdate(nullptr, HINT_HISTORIES_GREW, nullptr);
            h->RepaintDuringRun();
        }
}

void CMainFrame::RunWindowStep(COrventDoc& doc) {
    if (!m_runChild || !m_runChild->isVisible() || m_runPaintClock.elapsed() < kRunPaintInterval) return;
    m_runPaintClock.restart();
    // The charts show the blocks' values as they change, and the events below may open them.
    doc.UpdateRunValues();
    m_runChild->View()->repaint();
    RefreshOutputWindows(doc);
    if (OnRunWindowPainted) OnRunWindowPainted(*m_runChild);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CMainFrame::CloseRunWindow(COrventDoc& doc) {
    if (m_runFilter) {
        qApp->removeEventFilter(m_runFilter.get());
        m_runFilter.reset();
    }
    if (m_runChild) {
        m_runChild->hide();
        m_runChild->View()->Detach();
    }
    doc.RunWindow = nullptr;
    CViewHost::SetPaintingSuspended(false);
    // Every window shows the finished run.
    for (CChildFrame* f : ChildFrames())
        for (CViewHost* h : f->Panes())
            h->Invalidate();
    if (m_runReturn) {
        m_lastChild = m_runReturn;
        m_mdi->setActiveSubWindow(m_runReturn);
    }
    m_runReturn = nullptr;
}
