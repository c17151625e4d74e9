#pragma once
// The help window: Kintra's help pages (compiled in under :/help) in a browser, reached by
// context id through :/help/contexts.tsv.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QTextBrowser;

class CHelpWindow : public QWidget {
    Q_OBJECT
  public:
    // The one help window of the program, made on first use.
    static CHelpWindow& Instance();
    // The page of a context id; the index for an id without a page of its own.
    static QString PageFor(int contextId);

    // Every help page (file names), and a page's title.
    static QStringList Pages();
    static QString PageTitle(const QString& page);
    // The pages holding every word of `query` (case ignored, markup left out): those with a word
    // in their title first, then by how often the words occur.
    static QStringList Search(const QString& query);

    void ShowContext(int contextId);
    // The help's front page.
    void ShowIndex() { ShowContext(0); }
    // An index of every page, by title.
    void ShowPageIndex();
    // The pages found for `query`, each with the line it was found in.
    void ShowSearch(const QString& query);
    void ShowUsingHelp();
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return m_browser; }
    QLineEdit* SearchField() const { return m_search; }

  private:
    CHelpWindow();
    void Present();
    QTextBrowser* m_browser;
    QLineEdit* m_search;
};
