// The Graph and List windows' dialogs on the offscreen platform: opened with "&Viewing", driven
// through their controls, and drawn into gui-renders for people to look at.

#include "CommandIds.h"
#include "GraphPropertiesDialog.h"
#include "ListParamsDialog.h"
#include "ShellSupport.h"
#include "ViewHost.h"
#include "model/BlockTypes.h"
#include "views/GraphView.h"
#include "views/ListView.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>
#include <functional>

namespace {
template <class Dialog>
bool WhileModal(const std::function<void()>& open, const std::function<void(Dialog&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!d) return;
        seen = true;
        act(*d);
        if (d->isVisible()) d->reject();
    });
    open();
    return seen;
}

void SetText(CExchangeDialog& d, int id, const QString& text) {
    auto* e = qobject_cast<QLineEdit*>(d.Control(id));
    ASSERT_NE(e, nullptr) << "control " << id;
    e->setText(text);
}

void Grab(QWidget& w, const QString& name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    w.adjustSize();
    EXPECT_TRUE(w.grab().save(QStringLiteral(KINTRA_RENDER_DIR "/%1.png").arg(name)));
}
} // namespace

class OutputDialogTest : public ShellTest {
  protected:
    COrventDoc& Doc() { return *Frame().ActiveDocument(); }
    CBlock* Add(int code, int column, const char* name) {
        Doc().PendingBlock = Doc().CreateBlock(code);
        CBlock* b = Doc().PendingBlock.get();
        Doc().PlaceBlock(column, 0);
        b->Name = name;
        return b;
    }
};

TEST_F(OutputDialogTest, GraphSheetChoosesTracesAndAppliesOk) {
    Start();
    CBlock* a = Add(BlockType::Gain, 1, "Alpha");
    CBlock* b = Add(BlockType::Gain, 2, "Beta");
    Frame().OnCommand(ID_OPEN_GRAPH);
    CViewHost* host = Frame().ActiveViewHost();
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(host->Kind(), ViewKind::Graph);
    auto* graph = static_cast<CGraphBase*>(host->View());
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(ID_VIEW_PARAMETERS)->isEnabled());

    using S = CGraphPropertySheet;
    const bool seen = WhileModal<CGraphPropertiesDialog>(
        [&] { Frame().OnCommand(ID_VIEW_PARAMETERS); },
        [&](CGraphPropertiesDialog& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Graph"));
            ASSERT_EQ(d.Tabs()->count(), 5);
            const char* names[] = {"x-axis", "graph-1", "graph-2", "graph-3", "miscellaneous"};
            for (int page = 0; page < 5; ++page) {
                d.Tabs()->setCurrentIndex(page);
                Grab(d, QStringLiteral("dialog-graph-%1").arg(QString::fromLatin1(names[page])));
            }
            EXPECT_EQ(d.Tabs()->tabText(0), QStringLiteral("X Axis"));
            EXPECT_EQ(d.Tabs()->tabText(4), QStringLiteral("Miscellaneous"));
            EXPECT_EQ(d.BlockList(0)->currentText(), QString::fromStdString(Doc().Clock()->Name));
            EXPECT_EQ(d.BlockList(2)->currentIndex(), -1);
            EXPECT_FALSE(d.Control(S::IDC_G1_CLEAR)->isEnabled());
            EXPECT_FALSE(d.Control(S::IDC_G3_BLOCKS)->isEnabled());
            EXPECT_TRUE(d.Control(S::IDC_X_CLEAR)->isHidden());
            EXPECT_FALSE(d.Control(S::IDC_APPLY_NOW)->isEnabled());

            // Graph 1 := Alpha, graph 2 := Beta, as the user picks them.
            d.Tabs()->setCurrentIndex(1);
            d.BlockList(1)->setCurrentIndex(d.BlockList(1)->findText(QStringLiteral("Alpha")));
            emit d.BlockList(1)->activated(d.BlockList(1)->currentIndex());
            d.Tabs()->setCurrentIndex(2);
            d.BlockList(2)->setCurrentIndex(d.BlockList(2)->findText(QStringLiteral("Beta")));
            emit d.BlockList(2)->activated(d.BlockList(2)->currentIndex());
            EXPECT_TRUE(d.Control(S::IDC_G3_BLOCKS)->isEnabled());
            EXPECT_TRUE(d.Control(S::IDC_APPLY_NOW)->isEnabled());
            SetText(d, IDC_GRAPH2_WIDTH, QStringLiteral("3"));
            d.Click(S::IDC_APPLY_NOW);
            EXPECT_EQ(graph->Traces[2], b);
            EXPECT_FALSE(d.Control(S::IDC_APPLY_NOW)->isEnabled());

            // Fixed with an empty range is refused with the message.
            SetText(d, IDC_GRAPH2_LOW, QStringLiteral("5"));
            SetText(d, IDC_GRAPH2_HIGH, QStringLiteral("5"));
            d.Click(IDC_GRAPH2_FIXED);
            EXPECT_EQ(d.Exchange().GetCheck(IDC_GRAPH2_FIXED), 0);

            d.Tabs()->setCurrentIndex(4);
            SetText(d, S::IDC_MISC_TITLE, QStringLiteral("Levels"));
            d.Click(1);
        });
    ASSERT_TRUE(seen);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Fixed is ignored if Low is not less than High");
    EXPECT_EQ(graph->Traces[1], a);
    EXPECT_EQ(graph->Traces[2], b);
    EXPECT_EQ(graph->LastTrace, 2);
    EXPECT_EQ(graph->Width[2], 3);
    EXPECT_EQ(graph->Fixed[2], 0);
    EXPECT_EQ(graph->GraphTitle, "Levels");
    EXPECT_EQ(host->Caption(), QStringLiteral("Levels"));
}

TEST_F(OutputDialogTest, ListParametersChooseColumnsAndApplyOk) {
    Start();
    Add(BlockType::Gain, 1, "Alpha");
    Frame().OnCommand(ID_OPEN_LIST);
    CViewHost* host = Frame().ActiveViewHost();
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(host->Kind(), ViewKind::List);
    auto* list = static_cast<CListBase*>(host->View());
    const std::vector<CBlock*> before = list->Columns;
    ASSERT_GE(before.size(), 2u);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(ID_VIEW_PARAMETERS)->isEnabled());

    using L = CListParamsDlg;
    const bool seen = WhileModal<CListParamsDialog>(
        [&] { Frame().OnCommand(ID_VIEW_PARAMETERS); },
        [&](CListParamsDialog& d) {
            Grab(d, QStringLiteral("dialog-list-parameters"));
            EXPECT_EQ(d.windowTitle(), QStringLiteral("List Parameters"));
            EXPECT_EQ(d.DisplayList()->count(), static_cast<int>(before.size()));
            EXPECT_FALSE(d.Control(L::IDC_APPLY)->isEnabled());
            // The first column goes back to "Available" and returns at the end.
            d.DisplayList()->item(0)->setSelected(true);
            d.Click(L::IDC_REMOVE);
            EXPECT_EQ(d.DisplayList()->count(), static_cast<int>(before.size()) - 1);
            EXPECT_TRUE(d.Control(L::IDC_APPLY)->isEnabled());
            const int back =
                static_cast<int>(d.AvailableList()
                                     ->findItems(QString::fromStdString(before[0]->Name), Qt::MatchExactly)
                                     .size());
            EXPECT_EQ(back, 1);
            for (int i = 0; i < d.AvailableList()->count(); ++i)
                d.AvailableList()->item(i)->setSelected(d.AvailableList()->item(i)->text() ==
                                                        QString::fromStdString(before[0]->Name));
            d.Click(L::IDC_ADD);
            SetText(d, IDC_LIST_PRECISION, QStringLiteral("5"));
            SetText(d, L::IDC_TITLE, QStringLiteral("Table"));
            d.Click(1);
        });
    ASSERT_TRUE(seen);
    ASSERT_EQ(list->Columns.size(), before.size());
    EXPECT_EQ(list->Columns.back(), before[0]);
    EXPECT_EQ(list->Precision, 5);
    EXPECT_EQ(list->ListTitle, "Table");
    EXPECT_EQ(host->Caption(), QStringLiteral("Table"));
}
