#pragma once
// The help window: Kintra's help pages (compiled in under :/help) in a browser, reached by
// context id through :/help/contexts.tsv.

#include <QMap>
#include <QString>
#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget {
    Q_OBJECT
  public:
    // The one help window of the program, made on first use.
    static CHelpWindow& Instance();
    // The page of a context id; the index for an id without a page of its own.
    static QString PageFor(int contextId);

    void ShowContext(int contextId);
    void ShowIndex() { ShowContext(0); }
    void ShowUsingHelp();
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return m_browser; }

  private:
    CHelpWindow();
    void Present();
    QTextBrowser* m_browser;
};
