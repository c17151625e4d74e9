#include "HelpWindow.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QTextBrowser>
#include <QTextStream>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QMap<int, QString>& ContextPages() {
    static const QMap<int, QString> pages = [] {
        QMap<int, QString> m;
        QFile f(QStringLiteral(":/help/contexts.tsv"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return m;
        QTextStream in(&f);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const int tab = line.indexOf(QLatin1Char('\t'));
            if (tab <= 0 || line.startsWith(QLatin1Char('#'))) continue;
            bool ok = false;
            const int id = line.left(tab).trimmed().toInt(&ok);
            if (ok) m.insert(id, line.mid(tab + 1).trimmed());
        }
        return m;
    }();
    return pages;
}

const char* const kUsingHelp = R"(<html><head><title>Using Help</title>
<link rel="stylesheet" type="text/css" href="help.css"></head><body>
<table class="bar" width="100%" cellspacing="0" cellpadding="5" border="0">
<tr><td class="bar"><a href="index.html">Kintra Help</a></td><td class="barright" align="right">Kintra 1.02</td></tr>
</table>
<h1>Using Help</h1>
<p class="lead">This window shows Kintra's help pages.</p>
<ul>
<li>Click an underlined link to go to the page it names.</li>
<li><b>Back</b> and <b>Forward</b> (Alt+Left, Alt+Right) go through the pages you have seen;
<b>Contents</b> returns to the help index.</li>
<li><b>Help &gt; Index</b> or F1 in a window shows the page of that window; the <b>Help</b> button
of a dialog shows the page of that dialog.</li>
<li>Shift+F1 or the context-help button of the Main toolbar turns the pointer into a question mark:
click a palette button, a window or a toolbar to read about it. Escape leaves that mode.</li>
<li>The window stays open beside Kintra; close it when you are done.</li>
</ul>
<p><a href="index.html">Go to the help index</a></p>
</body></html>)";
} // namespace

CHelpWindow& CHelpWindow::Instance() {
    static CHelpWindow* window = new CHelpWindow();
    return *window;
}

QString CHelpWindow::PageFor(int contextId) {
    const auto& pages = ContextPages();
    auto it = pages.find(contextId);
    if (it != pages.end()) return it.value();
    return pages.value(0, QStringLiteral("index.html"));
}

CHelpWindow::CHelpWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Kintra Help"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(720, 640);
    m_browser = new QTextBrowser(this);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    m_browser->setOpenExternalLinks(true);
    auto* bar = new QToolBar(this);
    QAction* back = bar->addAction(QStringLiteral("Back"), m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction* forward = bar->addAction(QStringLiteral("Forward"), m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    bar->addAction(QStringLiteral("Contents"), this, [this] { ShowIndex(); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
}

void CHelpWindow::ShowContext(int contextId) {
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + PageFor(contextId)));
    Present();
}

void CHelpWindow::ShowUsingHelp() {
    m_browser->setHtml(QString::fromUtf8(kUsingHelp));
    Present();
}

QString CHelpWindow::CurrentPage() const {
    return m_browser->source().fileName();
}

void CHelpWindow::Present() {
    show();
    raise();
    activateWindow();
}
