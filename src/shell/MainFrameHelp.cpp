// Help from the main window: F1 by the active window (a chart: the block under the mouse), and context help,
// which shows the page of whatever is clicked next.

#include "MainFrame.h"

#include "CommandIds.h"
#include "ViewHost.h"
#include "platform/Platform.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

void CMainFrame::OnHelp() {
    CViewHost* host = ActiveViewHost();
    int context = 0;
    // F1 over a chart shows the page of the block under the mouse.
    if (host) context = host->HelpContextAtCursor();
    Platform().Windows().ShowHelp(context);
}

void CMainFrame::EnterContextHelp() {
    if (m_contextHelp) return;
    m_contextHelp = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
}

void CMainFrame::LeaveContextHelp() {
    if (!m_contextHelp) return;
    m_contextHelp = false;
    QApplication::restoreOverrideCursor();
}

int CMainFrame::ContextHelpAt(QWidget* widget) const {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* button = qobject_cast<QToolButton*>(w)) {
            if (QAction* a = button->defaultAction()) return 0x10000 + a->data().toInt();
        }
        if (auto* host = qobject_cast<CViewHost*>(w)) return HelpContextOf(host->Kind());
    }
    return 0;
}

bool CMainFrame::FilterContextHelp(QObject* watched, QEvent* event) {
    if (!m_contextHelp) return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        LeaveContextHelp();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        // Menus answer through the command they would run.
        if (!qobject_cast<QMenu*>(w) && !qobject_cast<QMenuBar*>(w)) {
            const int context = ContextHelpAt(w);
            LeaveContextHelp();
            Platform().Windows().ShowHelp(context);
            return true;
        }
    }
    return false;
}
