#include "AboutDlg.h"

#include "HelpWindow.h"
#include "model/OrventDoc.h"
#include "platform/Text.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Kintra"));
    setObjectName(QStringLiteral("AboutDlg"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/app/kintra.svg")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(QStringLiteral("Kintra, The Analog Simulator"), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    m_version = new QLabel(VersionText(), this);
    m_version->setObjectName(QStringLiteral("Version"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    QPushButton* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("Help"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [] { CHelpWindow::Instance().ShowContext(995); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(m_version);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

QString CAboutDlg::VersionText() {
    return QStringLiteral("Version :") + QString::fromStdString(FormatString("%5.2f", kDataVersion / 100.0));
}
