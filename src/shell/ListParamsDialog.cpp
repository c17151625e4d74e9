#include "ListParamsDialog.h"

#include "views/ListView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
constexpr int kNumberWidth = 64;
using Dlg = CListParamsDlg;

std::vector<int> SelectedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) rows.push_back(i);
    return rows;
}

QListWidget* MakeBlockList(int id) {
    auto* list = new QListWidget;
    list->setProperty("controlId", id);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setMinimumSize(140, 160);
    return list;
}
} // namespace

CListParamsDialog::CListParamsDialog(CListBase& list, QWidget* parent)
    : CSettingsForm(parent), m_logic(list) {
    setWindowTitle(QStringLiteral("List Parameters"));
    auto* top = new QHBoxLayout(this);
    auto* body = new QVBoxLayout;
    top->addLayout(body, 1);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(MakeLabel(QStringLiteral("Title")));
    QLineEdit* title = MakeEdit(Dlg::IDC_TITLE);
    LimitCharacters(title, static_cast<int>(Dlg::kMaxTitleLength));
    titleRow->addWidget(title, 1);
    body->addLayout(titleRow);

    // The columns: shown ones on the left, the others on the right.
    QGroupBox* columns = MakeGroup(QStringLiteral("Columns"));
    auto* cl = new QGridLayout(columns);
    cl->addWidget(MakeLabel(QStringLiteral("Display")), 0, 0);
    cl->addWidget(MakeLabel(QStringLiteral("Available")), 0, 2);
    m_display = MakeBlockList(Dlg::IDC_DISPLAY_LIST);
    m_available = MakeBlockList(Dlg::IDC_AVAILABLE_LIST);
    cl->addWidget(m_display, 1, 0);
    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    moves->addWidget(MakeButton(QStringLiteral("<<"), Dlg::IDC_ADD));
    moves->addWidget(MakeButton(QStringLiteral(">>"), Dlg::IDC_REMOVE));
    moves->addStretch(1);
    cl->addLayout(moves, 1, 1);
    cl->addWidget(m_available, 1, 2);
    body->addWidget(columns);
    connect(m_display, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) m_logic.OnDisplayCaret(row);
    });

    auto* lower = new QHBoxLayout;
    QGroupBox* format = MakeGroup(QStringLiteral("Numbers"));
    auto* fl = new QGridLayout(format);
    fl->addWidget(MakeLabel(QStringLiteral("Precision")), 0, 0);
    fl->addWidget(MakeEdit(IDC_LIST_PRECISION, kNumberWidth), 0, 1);
    fl->addWidget(MakeLabel(QStringLiteral("Extra")), 1, 0);
    fl->addWidget(MakeEdit(IDC_LIST_EXTRA, kNumberWidth), 1, 1);
    fl->addWidget(MakeButton(QStringLiteral("Font"), IDC_LIST_FONT), 2, 1, Qt::AlignLeft);
    fl->setColumnStretch(2, 1);
    lower->addWidget(format);

    lower->addWidget(MakeNotesGroup(Dlg::IDC_NOTES, IDC_LIST_NOTES_DISPLAY, IDC_LIST_NOTES_FONT, 4, 200), 1);
    body->addLayout(lower);

    top->addLayout(MakeButtonColumn());

    for (QLineEdit* e : findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textEdited, this, [this] { m_logic.OnChanged(Exchange()); });

    m_logic.OnInitDialog(Exchange());
    ShowLists();
    title->setFocus();
}

void CListParamsDialog::ShowLists() {
    const QSignalBlocker blockDisplay(m_display);
    const QSignalBlocker blockAvailable(m_available);
    m_display->clear();
    m_available->clear();
    for (const std::string& name : m_logic.DisplayNames())
        m_display->addItem(QString::fromStdString(name));
    for (const std::string& name : m_logic.AvailableNames())
        m_available->addItem(QString::fromStdString(name));
}

void CListParamsDialog::OnButton(int id) {
    switch (id) {
    case Dlg::IDC_ADD:
        m_logic.AddBlocks(Exchange(), SelectedRows(m_available));
        ShowLists();
        return;
    case Dlg::IDC_REMOVE:
        m_logic.RemoveBlocks(Exchange(), SelectedRows(m_display));
        ShowLists();
        return;
    default:
        CSettingsForm::OnButton(id);
    }
}
