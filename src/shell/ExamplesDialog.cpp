#include "ExamplesDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

QString ExamplesFolder() {
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../" KINTRA_EXAMPLES_INSTALL_DIR);
    for (const QString& dir : {installed, QStringLiteral(KINTRA_EXAMPLES_SOURCE_DIR)})
        if (!QDir(dir).entryList({QStringLiteral("*.cht")}, QDir::Files).isEmpty())
            return QDir(dir).absolutePath();
    return {};
}

QMap<QString, QString> ExampleDescriptions(const QString& readme) {
    QMap<QString, QString> out;
    for (const QString& line : readme.split(QLatin1Char('\n'))) {
        const QStringList cells = line.trimmed().split(QLatin1Char('|'));
        // "| a.cht | text |" splits into "", " a.cht ", " text ", "".
        if (cells.size() < 4) continue;
        const QString file = cells[1].trimmed();
        if (!file.endsWith(QStringLiteral(".cht"), Qt::CaseInsensitive)) continue;
        out.insert(file, cells.mid(2, cells.size() - 3).join(QLatin1Char('|')).trimmed());
    }
    return out;
}

QList<ExampleChart> ExampleCharts(const QString& folder) {
    QList<ExampleChart> charts;
    if (folder.isEmpty()) return charts;
    const QDir dir(folder);
    QString readme;
    QFile f(dir.filePath(QStringLiteral("README.md")));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) readme = QString::fromUtf8(f.readAll());
    const QMap<QString, QString> descriptions = ExampleDescriptions(readme);
    for (const QString& name : dir.entryList({QStringLiteral("*.cht")}, QDir::Files, QDir::Name))
        charts.append({dir.filePath(name), descriptions.value(name)});
    return charts;
}

CExamplesDialog::CExamplesDialog(const QList<ExampleChart>& charts, QWidget* parent)
    : QDialog(parent), m_charts(charts) {
    setObjectName(QStringLiteral("ExamplesDialog"));
    setWindowTitle(QStringLiteral("Examples"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(charts.isEmpty() ? QStringLiteral("No example charts were found.")
                                    : QStringLiteral("Choose an example; it opens as a new, untitled chart."),
                   this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ExampleList"));
    for (const ExampleChart& c : charts) {
        const QString name = QFileInfo(c.path).completeBaseName();
        m_list->addItem(c.description.isEmpty() ? name : name + QStringLiteral(": ") + c.description);
    }
    m_list->setCurrentRow(0);
    m_list->setMinimumWidth(720);
    m_list->setWordWrap(true);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Open)->setEnabled(!charts.isEmpty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString CExamplesDialog::ChosenPath() const {
    const int row = m_list->currentRow();
    return row >= 0 && row < m_charts.size() ? m_charts[row].path : QString();
}
