#include "GraphPropertiesDialog.h"

#include "views/GraphView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kNumberWidth = 90;

using Sheet = CGraphPropertySheet;

struct AxisPage {
    const char* caption;
    int blocks, width, low, high, fixed, color, clear, help;
    const char* groupTitle;
    int radios[4];
    const char* radioTexts[4];
};

const AxisPage kPages[4] = {
    {"X Axis",
     Sheet::IDC_X_BLOCKS,
     IDC_AXIS_WIDTH,
     IDC_AXIS_LOW,
     IDC_AXIS_HIGH,
     IDC_AXIS_FIXED,
     IDC_AXIS_COLOR,
     Sheet::IDC_X_CLEAR,
     Sheet::IDC_X_HELP,
     "Grid",
     {IDC_AXIS_GRIDS, Sheet::IDC_GRID_HORIZONTAL, Sheet::IDC_GRID_VERTICAL, Sheet::IDC_GRID_BOTH},
     {"None", "Horizontal", "Vertical", "Both"}},
    {"Graph 1",
     Sheet::IDC_G1_BLOCKS,
     IDC_GRAPH1_WIDTH,
     IDC_GRAPH1_LOW,
     IDC_GRAPH1_HIGH,
     IDC_GRAPH1_FIXED,
     IDC_GRAPH1_COLOR,
     Sheet::IDC_G1_CLEAR,
     Sheet::IDC_G1_HELP,
     "Location",
     {IDC_GRAPH1_LOCN, Sheet::IDC_G1_RIGHT, 0, 0},
     {"Left", "Right", nullptr, nullptr}},
    {"Graph 2",
     Sheet::IDC_G2_BLOCKS,
     IDC_GRAPH2_WIDTH,
     IDC_GRAPH2_LOW,
     IDC_GRAPH2_HIGH,
     IDC_GRAPH2_FIXED,
     IDC_GRAPH2_COLOR,
     Sheet::IDC_G2_CLEAR,
     Sheet::IDC_G2_HELP,
     "Location",
     {IDC_GRAPH2_LOCN, Sheet::IDC_G2_WITH1, Sheet::IDC_G2_OPPOSITE1, 0},
     {"Best Fit", "With 1", "Opposite 1", nullptr}},
    {"Graph 3",
     Sheet::IDC_G3_BLOCKS,
     IDC_GRAPH3_WIDTH,
     IDC_GRAPH3_LOW,
     IDC_GRAPH3_HIGH,
     IDC_GRAPH3_FIXED,
     IDC_GRAPH3_COLOR,
     Sheet::IDC_G3_CLEAR,
     Sheet::IDC_G3_HELP,
     "Location",
     {IDC_GRAPH3_LOCN, Sheet::IDC_G3_WITH1, Sheet::IDC_G3_WITH2, 0},
     {"Best Fit", "With 1", "With 2", nullptr}},
};

} // namespace

CGraphPropertiesDialog::CGraphPropertiesDialog(CGraphBase& graph, QWidget* parent)
    : CSettingsForm(parent), m_logic(graph) {
    setWindowTitle(QString::fromStdString(m_logic.Caption()));
    auto* top = new QVBoxLayout(this);
    m_tabs = new QTabWidget;
    for (int page = 0; page < 4; ++page)
        m_tabs->addTab(MakeAxisPage(page), QString::fromLatin1(kPages[page].caption));
    m_tabs->addTab(MakeMiscPage(), QStringLiteral("Miscellaneous"));
    // Every page's tab in view: no scrolling tab bar.
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setMinimumWidth(m_tabs->tabBar()->sizeHint().width() + 24);
    top->addWidget(m_tabs);
    // Page activation: the list and its dependent controls follow what the other pages chose.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        ShowBlocks();
        m_logic.ShowPageStates(Exchange());
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = MakeButton(QStringLiteral("OK"), 1);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(MakeButton(QStringLiteral("Cancel"), 2));
    buttons->addWidget(MakeButton(QStringLiteral("Apply"), Sheet::IDC_APPLY_NOW));
    top->addLayout(buttons);

    // Any typing marks the sheet modified.
    for (QLineEdit* e : findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textEdited, this, [this] { m_logic.OnChanged(Exchange()); });

    m_logic.OnInitDialog(Exchange());
    ShowBlocks();
}

QWidget* CGraphPropertiesDialog::MakeAxisPage(int page) {
    const AxisPage& p = kPages[page];
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);

    auto* blockRow = new QHBoxLayout;
    blockRow->addWidget(MakeLabel(QStringLiteral("Block")));
    auto* combo = new QComboBox;
    combo->setProperty("controlId", p.blocks);
    combo->setMinimumWidth(180);
    for (const std::string& name : m_logic.BlockNames())
        combo->addItem(QString::fromStdString(name));
    connect(combo, &QComboBox::activated, this,
            [this, page](int index) { m_logic.OnSelectBlock(Exchange(), page, index); });
    m_blocks[static_cast<std::size_t>(page)] = combo;
    blockRow->addWidget(combo, 1);
    v->addLayout(blockRow);

    auto* middle = new QHBoxLayout;
    QGroupBox* scale = MakeGroup(QStringLiteral("Scale"));
    auto* g = new QGridLayout(scale);
    g->addWidget(MakeLabel(QStringLiteral("Low")), 0, 0);
    g->addWidget(MakeEdit(p.low, kNumberWidth), 0, 1);
    g->addWidget(MakeLabel(QStringLiteral("High")), 1, 0);
    g->addWidget(MakeEdit(p.high, kNumberWidth), 1, 1);
    g->addWidget(MakeCheck(QStringLiteral("Fixed"), p.fixed), 2, 1);
    g->addWidget(MakeLabel(QStringLiteral("Width")), 3, 0);
    g->addWidget(MakeEdit(p.width, kNumberWidth), 3, 1);
    g->addWidget(MakeButton(QStringLiteral("Color"), p.color), 4, 1, Qt::AlignLeft);
    g->setColumnStretch(2, 1);
    middle->addWidget(scale, 1);

    QGroupBox* radios = MakeGroup(QString::fromLatin1(p.groupTitle));
    auto* r = new QVBoxLayout(radios);
    for (int i = 0; i < 4 && p.radios[i] != 0; ++i)
        r->addWidget(MakeRadio(QString::fromLatin1(p.radioTexts[i]), p.radios[i], p.radios[0]));
    r->addStretch(1);
    middle->addWidget(radios);
    v->addLayout(middle);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MakeButton(QStringLiteral("Clear"), p.clear));
    bottom->addStretch(1);
    bottom->addWidget(MakeButton(QStringLiteral("Help"), p.help));
    v->addLayout(bottom);
    v->addStretch(1);
    return w;
}

QWidget* CGraphPropertiesDialog::MakeMiscPage() {
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(MakeLabel(QStringLiteral("Title")));
    QLineEdit* title = MakeEdit(Sheet::IDC_MISC_TITLE);
    LimitCharacters(title, static_cast<int>(Sheet::kMaxTitleLength));
    titleRow->addWidget(title, 1);
    v->addLayout(titleRow);

    v->addWidget(MakeNotesGroup(Sheet::IDC_MISC_NOTES, IDC_GRAPH_DISPLAY_NOTES, IDC_GRAPH_NOTES_FONT, 5));

    auto* fonts = new QHBoxLayout;
    fonts->addWidget(MakeButton(QStringLiteral("Legend Font"), IDC_GRAPH_LEGENDS_FONT));
    fonts->addWidget(MakeButton(QStringLiteral("Label Font"), IDC_GRAPH_LABELS_FONT));
    fonts->addStretch(1);
    v->addLayout(fonts);

    auto* defaults = new QHBoxLayout;
    defaults->addWidget(MakeButton(QStringLiteral("Update"), Sheet::IDC_MISC_UPDATE));
    defaults->addWidget(MakeButton(QStringLiteral("Recall"), Sheet::IDC_MISC_RECALL));
    defaults->addWidget(MakeButton(QStringLiteral("Reset"), Sheet::IDC_MISC_RESET));
    defaults->addStretch(1);
    defaults->addWidget(MakeButton(QStringLiteral("Help"), Sheet::IDC_MISC_HELP));
    v->addLayout(defaults);
    v->addStretch(1);
    return w;
}

void CGraphPropertiesDialog::ShowBlocks() {
    for (int page = 0; page < 4; ++page) {
        QComboBox* combo = m_blocks[static_cast<std::size_t>(page)];
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(m_logic.SelectedIndex(page));
    }
}

void CGraphPropertiesDialog::OnButton(int id) {
    if (id == 1 || id == 2) {
        CSettingsForm::OnButton(id);
        return;
    }
    // A radio button is no command: it changes the sheet.
    if (!m_logic.OnCommand(Exchange(), id)) m_logic.OnChanged(Exchange());
    ShowBlocks();
}
