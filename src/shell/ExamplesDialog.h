#pragma once
// Help > Examples: the example charts installed with Kintra, one line each, to open as an
// untitled copy.

#include <QDialog>
#include <QList>
#include <QMap>
#include <QString>

class QListWidget;

struct ExampleChart {
    QString path;        // the chart file
    QString description; // its line in the examples' README, or empty
};

// The folder holding the example charts: the installed one beside the program, else the
// source tree's; empty when neither exists.
QString ExamplesFolder();
// The "| file.cht | description |" rows of the examples' README, by file name.
QMap<QString, QString> ExampleDescriptions(const QString& readme);
// The charts of a folder, by file name, with their descriptions.
QList<ExampleChart> ExampleCharts(const QString& folder);

class CExamplesDialog : public QDialog {
    Q_OBJECT
  public:
    CExamplesDialog(const QList<ExampleChart>& charts, QWidget* parent);
    // The chart chosen (after Accepted), else empty.
    QString ChosenPath() const;
    QListWidget* List() const { return m_list; }

  private:
    QList<ExampleChart> m_charts;
    QListWidget* m_list;
};
