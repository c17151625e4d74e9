#include "RunWindow.h"

#include "model/OrventDoc.h"
#include "platform/Text.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

// ---- CRunWndw ---------------------------------------------------------------------------------

CRunWndw::CRunWndw(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RunWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

CRunWndw::~CRunWndw() {
    Detach();
}

void CRunWndw::Attach(COrventDoc& doc) {
    Detach();
    doc.AddView(this);
}

void CRunWndw::Detach() {
    COrventDoc* doc = Document();
    if (!doc) return;
    if (doc->RunWindow == this) doc->RunWindow = nullptr;
    doc->RemoveView(this);
}

COrventDoc* CRunWndw::Document() const {
    return static_cast<COrventDoc*>(GetDocument());
}

void CRunWndw::OnInitialUpdate() {
    CView::OnInitialUpdate();
    if (COrventDoc* doc = Document()) doc->RunWindow = this;
}

QString CRunWndw::TimeText(double time) {
    return QString::fromStdString(FormatString("%15.3g", time));
}

void CRunWndw::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const COrventDoc* doc = Document();
    m_shown = TimeText(doc ? doc->CurrentTime : 0.0);
    ++m_paints;
    p.setPen(palette().color(QPalette::Text));
    const QFontMetrics fm(font());
    p.drawText(10, 10 + fm.ascent(), m_shown);
}

void CRunWndw::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        if (COrventDoc* doc = Document()) doc->OnTerminateRun();
}

// ---- CRunChild --------------------------------------------------------------------------------

CRunChild::CRunChild(QWidget* parent) : QMdiSubWindow(parent) {
    setObjectName(QStringLiteral("RunChild"));
    setWindowIcon(QIcon(QStringLiteral(":/app/kintra.svg")));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_view = new CRunWndw(this);
    setWidget(m_view);
    setGeometry(50, 50, 150, 100);
    setWindowTitle(QStringLiteral("Time"));
}

// ---- CRunInputFilter --------------------------------------------------------------------------

CRunInputFilter::CRunInputFilter(COrventDoc& doc, QWidget* runWindow, QObject* parent)
    : QObject(parent), m_doc(&doc), m_runWindow(runWindow) {}

bool CRunInputFilter::IsAllowed(QObject* target) const {
    auto* w = qobject_cast<QWidget*>(target);
    if (!w) {
        // Input for a window handle: only the run window's and a dialog's.
        if (auto* win = qobject_cast<QWindow*>(target)) {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (modal->windowHandle() == win) return true;
            return m_runWindow && m_runWindow->window()->windowHandle() == win;
        }
        return false;
    }
    if (QWidget* modal = QApplication::activeModalWidget())
        if (modal == w || modal->isAncestorOf(w)) return true;
    if (m_runWindow && (m_runWindow == w || m_runWindow->isAncestorOf(w))) return true;
    for (const auto& a : m_allowed)
        if (a && (a == w || a->isAncestorOf(w))) return true;
    return false;
}

bool CRunInputFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease: {
        // Keys go to a dialog the run shows; otherwise only Escape means something: stop.
        if (QApplication::activeModalWidget()) return !IsAllowed(watched);
        if (event->type() != QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_doc->OnTerminateRun();
        return true;
    }
    case QEvent::Shortcut:
        return !QApplication::activeModalWidget();
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return !IsAllowed(watched);
    default:
        return false;
    }
}
