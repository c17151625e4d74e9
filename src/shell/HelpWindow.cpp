#include "HelpWindow.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
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
<li><b>Index</b> (also <b>Help &gt; Index</b>) lists every page by title. Type words in the search
field and press Enter to list the pages that hold all of them.</li>
<li><b>Back</b> and <b>Forward</b> (Alt+Left, Alt+Right) go through the pages you have seen;
<b>Contents</b> returns to the help index.</li>
<li>F1 in a window shows the page of that window (in a chart, of the block under the mouse); in a
dialog F1 or its <b>Help</b> button shows the page of that dialog.</li>
<li>Shift+F1 or the context-help button of the Main toolbar turns the pointer into a question mark:
click a palette button, a window or a toolbar to read about it. Escape leaves that mode.</li>
<li>The window stays open beside Kintra; close it when you are done.</li>
</ul>
<p><a href="index.html">Go to the help index</a></p>
</body></html>)";
// A page's text without its markup, read once.
const QString& PlainText(const QString& page) {
    static QMap<QString, QString> texts;
    auto it = texts.find(page);
    if (it == texts.end()) {
        QFile f(QStringLiteral(":/help/") + page);
        QString text;
        if (f.open(QIODevice::ReadOnly)) {
            QTextDocument doc;
            doc.setHtml(QString::fromUtf8(f.readAll()));
            text = doc.toPlainText();
        }
        it = texts.insert(page, text);
    }
    return it.value();
}

QString PageHead(const QString& title) {
    return QStringLiteral("<html><head><title>%1</title></head><body><h1>%1</h1>").arg(title.toHtmlEscaped());
}

QString PageLink(const QString& page) {
    return QStringLiteral("<a href=\"qrc:/help/%1\">%2</a>")
        .arg(page, CHelpWindow::PageTitle(page).toHtmlEscaped());
}

} // namespace

QStringList CHelpWindow::Pages() {
    return QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QString CHelpWindow::PageTitle(const QString& page) {
    static QMap<QString, QString> titles;
    auto it = titles.find(page);
    if (it == titles.end()) {
        QFile f(QStringLiteral(":/help/") + page);
        QString title = page;
        if (f.open(QIODevice::ReadOnly)) {
            static const QRegularExpression re(QStringLiteral("<title>(.*?)</title>"),
                                               QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::DotMatchesEverythingOption);
            const QRegularExpressionMatch m = re.match(QString::fromUtf8(f.readAll()));
            if (m.hasMatch()) {
                QTextDocument doc;
                doc.setHtml(m.captured(1));
                title = doc.toPlainText().simplified();
            }
        }
        it = titles.insert(page, title);
    }
    return it.value();
}

QStringList CHelpWindow::Search(const QString& query) {
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // Pages whose title holds a word first, then those that use the words most.
    std::vector<std::pair<qsizetype, QString>> found;
    if (words.isEmpty()) return {};
    for (const QString& page : Pages()) {
        const QString& text = PlainText(page);
        const QString title = PageTitle(page);
        qsizetype score = 0;
        bool all = true;
        for (const QString& w : words) {
            const qsizetype inText = text.count(w, Qt::CaseInsensitive);
            const bool inTitle = title.contains(w, Qt::CaseInsensitive);
            if (!inText && !inTitle) all = false;
            score += inText + (inTitle ? 1000 : 0);
        }
        if (all) found.emplace_back(score, page);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first > b.first;
        return PageTitle(a.second).compare(PageTitle(b.second), Qt::CaseInsensitive) < 0;
    });
    QStringList pages;
    for (const auto& f : found)
        pages.append(f.second);
    return pages;
}

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
    bar->addAction(QStringLiteral("Index"), this, [this] { ShowPageIndex(); });
    bar->addSeparator();
    m_search = new QLineEdit(bar);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search all pages"));
    m_search->setClearButtonEnabled(true);
    m_search->setMaximumWidth(260);
    bar->addWidget(m_search);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { ShowSearch(m_search->text()); });
    bar->addAction(QStringLiteral("Search"), this, [this] { ShowSearch(m_search->text()); });
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

void CHelpWindow::ShowPageIndex() {
    QStringList pages = Pages();
    std::stable_sort(pages.begin(), pages.end(), [](const QString& a, const QString& b) {
        return PageTitle(a).compare(PageTitle(b), Qt::CaseInsensitive) < 0;
    });
    QString html = PageHead(QStringLiteral("Index"));
    html += QStringLiteral("<p>Every page of Kintra's help, by title.</p><ul>");
    for (const QString& page : pages)
        html += QStringLiteral("<li>") + PageLink(page) + QStringLiteral("</li>");
    html += QStringLiteral("</ul></body></html>");
    m_browser->setHtml(html);
    Present();
}

void CHelpWindow::ShowSearch(const QString& query) {
    const QStringList found = Search(query);
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString html = PageHead(QStringLiteral("Search"));
    if (words.isEmpty())
        html += QStringLiteral("<p>Type one or more words in the search field and press Enter.</p>");
    else if (found.isEmpty())
        html +=
            QStringLiteral("<p>No page holds &ldquo;%1&rdquo;.</p>").arg(query.simplified().toHtmlEscaped());
    else
        html += QStringLiteral("<p>%1 page(s) hold &ldquo;%2&rdquo;:</p><ul>")
                    .arg(found.size())
                    .arg(query.simplified().toHtmlEscaped());
    for (const QString& page : found) {
        // The first line holding the first word, to show where it was found.
        QString line;
        for (const QString& l : PlainText(page).split(QLatin1Char('\n')))
            if (l.contains(words.front(), Qt::CaseInsensitive)) {
                line = l.simplified();
                break;
            }
        if (line.size() > 160) line = line.left(157) + QStringLiteral("...");
        html += QStringLiteral("<li>") + PageLink(page);
        if (!line.isEmpty())
            html += QStringLiteral("<br><small>") + line.toHtmlEscaped() + QStringLiteral("</small>");
        html += QStringLiteral("</li>");
    }
    if (!found.isEmpty()) html += QStringLiteral("</ul>");
    html += QStringLiteral("</body></html>");
    m_search->setText(query);
    m_browser->setHtml(html);
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
