#include "PropertiesDialog.h"

#include "chart/OrventView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kNumberWidth = 64;
}

// ---- Chart Viewing Properties ------------------------------------------------------------------

CViewingPropertiesDialog::CViewingPropertiesDialog(COrventView& view, QWidget* parent)
    : CSettingsForm(parent), m_logic(view) {
    using D = CViewingPropertiesDlg;
    setWindowTitle(QStringLiteral("Chart Viewing Properties"));
    auto* top = new QHBoxLayout(this);
    auto* body = new QVBoxLayout;
    top->addLayout(body, 1);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(MakeLabel(QStringLiteral("Title")));
    QLineEdit* title = MakeEdit(D::IDC_TITLE);
    LimitCharacters(title, static_cast<int>(D::kMaxTitleLength));
    connect(title, &QLineEdit::textEdited, this, [this] { m_logic.OnChanged(Exchange()); });
    titleRow->addWidget(title, 1);
    body->addLayout(titleRow);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    body->addLayout(columns);

    // Left column: the display mode, the notes and the block texts.
    QGroupBox* display = MakeGroup(QStringLiteral("Display"));
    auto* dl = new QHBoxLayout(display);
    dl->addWidget(MakeRadio(QStringLiteral("Color"), IDC_DISPLAY_MODE, IDC_DISPLAY_MODE));
    dl->addWidget(MakeRadio(QStringLiteral("Monochrome"), D::IDC_MONOCHROME, IDC_DISPLAY_MODE));
    dl->addStretch(1);
    left->addWidget(display);

    left->addWidget(MakeNotesGroup(D::IDC_NOTES, IDC_NOTES_DISPLAY, IDC_NOTES_FONT, 5, 220));

    QGroupBox* texts = MakeGroup(QStringLiteral("Display"));
    auto* tl = new QHBoxLayout(texts);
    tl->addWidget(MakeCheck(QStringLiteral("Name"), IDC_NAME_DISPLAY));
    tl->addWidget(MakeCheck(QStringLiteral("Value"), IDC_VALUE_DISPLAY));
    tl->addStretch(1);
    tl->addWidget(MakeButton(QStringLiteral("Font"), IDC_CHART_FONT));
    left->addWidget(texts);
    left->addStretch(1);

    // Right column: sizes.
    QGroupBox* hold = MakeGroup(QStringLiteral("Holding Blocks"));
    auto* hl = new QGridLayout(hold);
    hl->addWidget(MakeLabel(QStringLiteral("Size")), 0, 0);
    QLineEdit* holdSize = MakeEdit(IDC_HOLD_SIZE, kNumberWidth);
    WatchFocus(holdSize);
    hl->addWidget(holdSize, 0, 1);
    hl->addWidget(MakeButton(QStringLiteral("Color"), IDC_HOLD_COLOR), 0, 2);
    hl->addWidget(MakeCheck(QStringLiteral("Display"), IDC_HOLD_DISPLAY), 1, 0, 1, 3);
    hl->setColumnStretch(3, 1);
    right->addWidget(hold);

    QGroupBox* sizing = MakeGroup(QStringLiteral("Sizing Factors"));
    auto* sl = new QGridLayout(sizing);
    sl->addWidget(MakeCheck(QStringLiteral("Sizing Lock"), IDC_SIZE_LOCK), 0, 0, 1, 2);
    sl->addWidget(MakeLabel(QStringLiteral("MagFact")), 1, 0);
    QLineEdit* mag = MakeEdit(IDC_MAG_BMP, kNumberWidth);
    WatchFocus(mag);
    sl->addWidget(mag, 1, 1);
    sl->setColumnStretch(2, 1);
    right->addWidget(sizing);

    QGroupBox* spacing = MakeGroup(QStringLiteral("Connector Line Spacing"));
    auto* cl = new QGridLayout(spacing);
    cl->addWidget(MakeLabel(QStringLiteral("Delta")), 0, 1, Qt::AlignCenter);
    cl->addWidget(MakeLabel(QStringLiteral("Total")), 0, 2, Qt::AlignCenter);
    cl->addWidget(MakeLabel(QStringLiteral("Vert")), 1, 0);
    cl->addWidget(MakeLabel(QStringLiteral("Horiz")), 2, 0);
    for (auto [id, row, column] : {std::tuple{int(IDC_DELTA_VERT), 1, 1},
                                   {int(IDC_LINES_Y), 1, 2},
                                   {int(IDC_DELTA_HORIZ), 2, 1},
                                   {int(IDC_LINES_X), 2, 2}}) {
        QLineEdit* e = MakeEdit(id, kNumberWidth);
        WatchFocus(e);
        cl->addWidget(e, row, column);
    }
    cl->addWidget(MakeLabel(QStringLiteral("Line Width")), 3, 0);
    QLineEdit* width = MakeEdit(IDC_LINE_WIDTH, kNumberWidth);
    WatchFocus(width);
    cl->addWidget(width, 3, 1);
    cl->setColumnStretch(3, 1);
    right->addWidget(spacing);
    // The size edits of the three boxes in one column.
    AlignColumn(hl, holdSize, {Control(IDC_DELTA_VERT)});
    AlignColumn(sl, mag, {Control(IDC_DELTA_VERT)});
    right->addStretch(1);

    top->addLayout(MakeButtonColumn());

    m_logic.OnInitDialog(Exchange());
    title->setFocus();
}

void CViewingPropertiesDialog::OnButton(int id) {
    switch (id) {
    case IDC_DISPLAY_MODE:
    case CViewingPropertiesDlg::IDC_MONOCHROME:
    case IDC_NAME_DISPLAY:
    case IDC_VALUE_DISPLAY:
    case IDC_SIZE_LOCK:
    case IDC_NOTES_DISPLAY:
    case IDC_HOLD_DISPLAY:
        m_logic.OnChanged(Exchange());
        return;
    default:
        CSettingsForm::OnButton(id);
    }
}

void CViewingPropertiesDialog::OnFocusIn(int id) {
    m_logic.OnFocusIn(Exchange(), id);
}

void CViewingPropertiesDialog::OnFocusOut(int id) {
    m_logic.OnFocusOut(Exchange(), id);
}

// ---- Model Properties --------------------------------------------------------------------------

CModelPropertiesDialog::CModelPropertiesDialog(CSettingList& working, std::string& title, QWidget* parent)
    : CSettingsForm(parent), m_logic(working, title) {
    using D = CModelPropertiesDlg;
    setWindowTitle(QStringLiteral("Model Properties"));
    auto* top = new QHBoxLayout(this);
    auto* body = new QVBoxLayout;
    top->addLayout(body, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(QStringLiteral("Title")), 0, 0);
    QLineEdit* titleEdit = MakeEdit(D::IDC_TITLE);
    LimitCharacters(titleEdit, static_cast<int>(D::kMaxTitleLength));
    titleEdit->setMinimumWidth(200);
    grid->addWidget(titleEdit, 0, 1, 1, 2);
    grid->addWidget(MakeLabel(QStringLiteral("Max Sort")), 1, 0);
    QLineEdit* maxSort = MakeEdit(D::IDC_MAX_SORT, kNumberWidth);
    grid->addWidget(maxSort, 1, 1);
    grid->addWidget(MakeLabel(QStringLiteral("Max Steps")), 2, 0);
    grid->addWidget(MakeEdit(D::IDC_MAX_STEPS, kNumberWidth), 2, 1);
    grid->setColumnStretch(2, 1);
    body->addLayout(grid);

    QGroupBox* count = MakeGroup(QStringLiteral("Connector Line Count"));
    auto* cl = new QGridLayout(count);
    cl->addWidget(MakeLabel(QStringLiteral("Vert")), 0, 0);
    QLineEdit* vert = MakeEdit(D::IDC_VERT_LINES, kNumberWidth);
    cl->addWidget(vert, 0, 1);
    cl->addWidget(MakeLabel(QStringLiteral("Horiz")), 1, 0);
    cl->addWidget(MakeEdit(D::IDC_HORIZ_LINES, kNumberWidth), 1, 1);
    cl->setColumnStretch(2, 1);
    body->addWidget(count);

    QGroupBox* style = MakeGroup(QStringLiteral("Integration Style"));
    auto* il = new QVBoxLayout(style);
    il->addWidget(MakeRadio(QStringLiteral("Runge-Kutta 4/5"), D::IDC_INT_STYLE, D::IDC_INT_STYLE));
    il->addWidget(MakeRadio(QStringLiteral("Runge-Kutta 7/8"), D::IDC_INT_STYLE78, D::IDC_INT_STYLE));
    body->addWidget(style);
    body->addWidget(MakeCheck(QStringLiteral("Always print B/W"), D::IDC_PRINT_MODE));
    body->addStretch(1);

    top->addLayout(MakeButtonColumn());

    // The line counts' edits in one column with the edits above them.
    AlignColumn(cl, vert, {maxSort});

    m_logic.OnInitDialog(Exchange());
    titleEdit->setFocus();
}
