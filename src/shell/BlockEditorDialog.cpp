#include "BlockEditorDialog.h"

#include "model/Block.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A label that shows a value, framed like a read-only field.
QLabel* Field(QLabel* l) {
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    l->setMinimumWidth(160);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> left, std::initializer_list<QPushButton*> right) {
    auto* row = new QHBoxLayout;
    for (QPushButton* b : left)
        row->addWidget(b);
    row->addStretch(1);
    for (QPushButton* b : right)
        row->addWidget(b);
    return row;
}
} // namespace

// ---- Block Editor ------------------------------------------------------------------------------

CBlockEditorDialog::CBlockEditorDialog(CBlockEditorData& data, QWidget* parent)
    : CExchangeDialog(parent), m_logic(data) {
    using D = CBlockEditorDlg;
    setWindowTitle(QStringLiteral("Block Editor"));
    auto* top = new QVBoxLayout(this);

    auto* head = new QGridLayout;
    head->addWidget(MakeLabel(QStringLiteral("Name")), 0, 0);
    QLineEdit* name = MakeEdit(D::IDC_NAME);
    LimitCharacters(name, static_cast<int>(kMaxBlockNameLength));
    head->addWidget(name, 0, 1);
    head->addWidget(MakeLabel(QStringLiteral("Type")), 1, 0);
    head->addWidget(Field(MakeLabel(QString(), D::IDC_TYPE)), 1, 1);
    head->addWidget(MakeLabel(QStringLiteral("Current"), D::IDC_CURRENT_CAPTION), 2, 0);
    head->addWidget(Field(MakeLabel(QString(), D::IDC_CURRENT_VALUE)), 2, 1);
    auto* flags = new QVBoxLayout;
    flags->addWidget(MakeCheck(QStringLiteral("Invert"), D::IDC_INVERT));
    flags->addWidget(MakeCheck(QStringLiteral("Initialize"), D::IDC_INITIALIZE));
    QCheckBox* atFirst = MakeCheck(QStringLiteral("AtFirst"), D::IDC_ATFIRST);
    atFirst->hide();
    flags->addStretch(1);
    head->addLayout(flags, 0, 2, 3, 1);
    head->setColumnStretch(1, 1);
    head->setHorizontalSpacing(12);
    top->addLayout(head);

    QGroupBox* inputs = MakeGroup(QStringLiteral("Inputs"), D::IDC_INPUTS_GROUP);
    auto* ig = new QGridLayout(inputs);
    QLabel* clear = MakeLabel(QStringLiteral("Clear"), D::IDC_CLEAR_CAPTION);
    clear->setAlignment(Qt::AlignCenter);
    ig->addWidget(clear, 0, 2);
    for (int k = 0; k < 3; ++k) {
        ig->addWidget(MakeLabel(QString(), D::kInputLabelIds[k]), k + 1, 0);
        ig->addWidget(Field(MakeLabel(QString(), D::kSourceIds[k])), k + 1, 1);
        QPushButton* x = MakeButton(QStringLiteral("X"), D::kClearIds[k]);
        x->setFixedWidth(32);
        ig->addWidget(x, k + 1, 2, Qt::AlignCenter);
    }
    ig->setColumnMinimumWidth(0, 110);
    ig->setColumnStretch(1, 1);
    top->addWidget(inputs);

    QGroupBox* params = MakeGroup(QStringLiteral("Parameters"), D::IDC_PARAMS_GROUP);
    auto* pg = new QGridLayout(params);
    for (int k = 0; k < 3; ++k) {
        pg->addWidget(MakeLabel(QString(), D::kParamLabelIds[k]), k, 0);
        pg->addWidget(MakeEdit(D::kParamIds[k]), k, 1);
    }
    pg->setColumnMinimumWidth(0, 110);
    pg->setColumnStretch(1, 1);
    top->addWidget(params);

    top->addWidget(MakeLabel(QStringLiteral("Notes")));
    QPlainTextEdit* notes = MakeNotes(D::IDC_NOTES);
    notes->setFixedHeight(notes->fontMetrics().lineSpacing() * 4 + 12);
    top->addWidget(notes);

    m_lineColor = MakeButton(QStringLiteral("Line Color"), D::IDC_LINE_COLOR);
    QPushButton* dataButton = MakeButton(QStringLiteral("Data"), D::IDC_DATA);
    QPushButton* ok = MakeButton(QStringLiteral("OK"), D::IDOK);
    ok->setDefault(true);
    QPushButton* cancel = MakeButton(QStringLiteral("Cancel"), D::IDCANCEL);
    QPushButton* help = MakeButton(QStringLiteral("Help"), D::IDC_HELP);
    top->addLayout(ButtonRow({m_lineColor, dataButton}, {ok, cancel, help}));

    // The name, type and value fields in one column with the fields of the rows below.
    AlignColumn(head, name, {Control(D::IDC_PARAM1), Control(D::IDC_SOURCE1)});

    m_logic.RunDataDialog = [this](CFunctionDataDlg& logic) {
        CFunctionDataDialog dialog(logic, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_logic.OnInitDialog(Exchange());
    ShowLineColor();
    name->setFocus();
}

void CBlockEditorDialog::ShowLineColor() {
    const COLORREF c = m_logic.Data.LineColor;
    QPixmap swatch(14, 14);
    swatch.fill(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    QPainter p(&swatch);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 13, 13);
    m_lineColor->setIcon(QIcon(swatch));
}

void CBlockEditorDialog::OnButton(int id) {
    switch (id) {
    case CBlockEditorDlg::IDOK:
        accept();
        return;
    case CBlockEditorDlg::IDCANCEL:
        reject();
        return;
    default:
        m_logic.OnCommand(Exchange(), id);
        if (id == CBlockEditorDlg::IDC_LINE_COLOR) ShowLineColor();
    }
}

void CBlockEditorDialog::accept() {
    if (m_logic.OnOK(Exchange())) QDialog::accept();
}

// ---- Function Generator Data -------------------------------------------------------------------

CFunctionDataDialog::CFunctionDataDialog(CFunctionDataDlg& logic, QWidget* parent)
    : CExchangeDialog(parent), m_logic(logic) {
    using D = CFunctionDataDlg;
    setWindowTitle(QStringLiteral("Function Generator Data"));
    auto* top = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    auto* entry = new QHBoxLayout;
    entry->addWidget(MakeLabel(QStringLiteral("Position")));
    entry->addWidget(MakeEdit(D::IDC_VALUE), 1);
    left->addLayout(entry);
    m_list = new QListWidget(this);
    m_list->setProperty("controlId", static_cast<int>(D::IDC_LIST));
    m_list->setMinimumSize(200, 220);
    left->addWidget(m_list, 1);
    top->addLayout(left, 1);

    auto* buttons = new QVBoxLayout;
    QPushButton* add = MakeButton(QStringLiteral("Add"), D::IDC_ADD);
    add->setDefault(true);
    add->setAutoDefault(true);
    buttons->addWidget(add);
    for (auto [text, id] : {std::pair{"Insert", int(D::IDC_INSERT)},
                            {"Replace", int(D::IDC_REPLACE)},
                            {"Remove", int(D::IDC_REMOVE)},
                            {"Remove All", int(D::IDC_REMOVE_ALL)},
                            {"File", int(D::IDC_FILE)}})
        buttons->addWidget(MakeButton(QString::fromUtf8(text), id));
    buttons->addStretch(1);
    buttons->addWidget(MakeButton(QStringLiteral("OK"), 1));
    buttons->addWidget(MakeButton(QStringLiteral("Cancel"), 2));
    buttons->addWidget(MakeButton(QStringLiteral("Help"), D::IDC_HELP));
    top->addLayout(buttons);

    // The dialog's selected line is the one the list shows selected: the list making a line
    // current without selecting it (as it does when tabbed into) selects nothing. A click on a
    // line loads its text even when the line was selected already.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_filling) return;
        const QList<QListWidgetItem*> selected = m_list->selectedItems();
        m_logic.OnSelectLine(Exchange(), selected.isEmpty() ? -1 : m_list->row(selected.front()));
    });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!m_filling && item && item->isSelected()) m_logic.OnSelectLine(Exchange(), m_list->row(item));
    });
    m_logic.OnInitDialog(Exchange());
    ShowList();
}

void CFunctionDataDialog::ShowList() {
    m_filling = true;
    m_list->clear();
    for (const std::string& line : m_logic.ListLines)
        m_list->addItem(QString::fromStdString(line));
    m_list->setCurrentRow(m_logic.Selected);
    if (m_logic.Selected < 0) m_list->clearSelection();
    m_filling = false;
}

void CFunctionDataDialog::OnButton(int id) {
    if (id == 1) {
        accept();
        return;
    }
    if (id == 2) {
        reject();
        return;
    }
    if (m_logic.OnCommand(Exchange(), id) && id != CFunctionDataDlg::IDC_HELP) ShowList();
}

// ---- Debugging Settings ------------------------------------------------------------------------

CDebugSettingsDialog::CDebugSettingsDialog(CDebugSettingsDlg& logic, QWidget* parent)
    : CExchangeDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("Debugging Settings"));
    // Wide enough for the caption.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
    auto* top = new QVBoxLayout(this);
    top->addWidget(MakeCheck(QStringLiteral("CONNECT"), CDebugSettingsDlg::IDC_CONNECT));
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    box->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    connect(box, &QDialogButtonBox::accepted, this, &CDebugSettingsDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CDebugSettingsDialog::reject);
    top->addWidget(box);
    UpdateData(Exchange(), false, [this](DataExchange& d) { m_logic.DoDataExchange(d); });
}

void CDebugSettingsDialog::accept() {
    UpdateData(Exchange(), true, [this](DataExchange& d) { m_logic.DoDataExchange(d); });
    QDialog::accept();
}
