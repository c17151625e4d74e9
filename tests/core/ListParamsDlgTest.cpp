// The List Parameters dialog driven through a map of controls.

#include "views/ListParamsDlg.h"
#include "TestSupport.h"
#include "platform/DataExchange.h"
#include "platform/Text.h"
#include "views/ListView.h"

#include <gtest/gtest.h>

using Dlg = CListParamsDlg;

namespace {

class ListParamsTest : public ::testing::Test {
  protected:
    ListParamsTest() {
        doc.OnNewDocument();
        for (int x = 1; x <= 3; ++x) {
            PassBlock* b = Place(doc, x, 0);
            b->Name = FormatString("P%d", x);
            blocks.push_back(b);
        }
        blocks[2]->AtFirst = 1;
        doc.AddView(&list);
        list.Columns = {doc.Clock(), blocks[0]};
    }

    TestPlatform platform;
    COrventDoc doc;
    CListBase list;
    std::vector<PassBlock*> blocks;
    MapDataExchange dx;
};

TEST_F(ListParamsTest, AvailableHoldsTheBlocksNotShownExceptThoseComputedAtFirst) {
    Dlg dlg(list);
    dlg.OnInitDialog(dx);
    EXPECT_FALSE(dx.enabled[Dlg::IDC_APPLY]);
    EXPECT_EQ(dlg.DisplayNames(), (std::vector<std::string>{doc.Clock()->Name, "P1"}));
    const auto available = dlg.AvailableNames();
    EXPECT_EQ(std::count(available.begin(), available.end(), "P2"), 1);
    EXPECT_EQ(std::count(available.begin(), available.end(), "P3"), 0);
    EXPECT_EQ(std::count(available.begin(), available.end(), "P1"), 0);
    EXPECT_EQ(std::count(available.begin(), available.end(), doc.Clock()->Name), 0);
}

TEST_F(ListParamsTest, BlocksGoInAtTheCaretInOrderAndLeaveBySelection) {
    blocks[2]->AtFirst = 0;
    list.Columns = {doc.Clock()};
    Dlg dlg(list);
    dlg.OnInitDialog(dx);
    auto at = [&](CBlock* b) {
        return static_cast<int>(std::find(dlg.Available.begin(), dlg.Available.end(), b) -
                                dlg.Available.begin());
    };
    // Without a caret the blocks are appended, in list order whatever the selection's order.
    dlg.AddBlocks(dx, {at(blocks[2]), at(blocks[0])});
    EXPECT_EQ(dlg.Display, (std::vector<CBlock*>{doc.Clock(), blocks[0], blocks[2]}));
    EXPECT_TRUE(dx.enabled[Dlg::IDC_APPLY]);
    EXPECT_EQ(dlg.InsertIndex, Dlg::kAppend);

    // With the caret on the first entry, new blocks go in front of it, one after the other.
    dlg.OnDisplayCaret(0);
    dlg.AddBlocks(dx, {at(blocks[1])});
    EXPECT_EQ(dlg.Display, (std::vector<CBlock*>{blocks[1], doc.Clock(), blocks[0], blocks[2]}));

    dlg.RemoveBlocks(dx, {3, 1, 99});
    EXPECT_EQ(dlg.Display, (std::vector<CBlock*>{blocks[1], blocks[0]}));
    EXPECT_NE(std::find(dlg.Available.begin(), dlg.Available.end(), blocks[2]), dlg.Available.end());
    EXPECT_EQ(list.Columns, (std::vector<CBlock*>{doc.Clock()})) << "nothing reaches the list before OK";

    ASSERT_TRUE(dlg.OnOK(dx));
    EXPECT_EQ(list.Columns, (std::vector<CBlock*>{blocks[1], blocks[0]}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ListParamsTest, FormatLimitsTitleAndApply) {
    Dlg dlg(list);
    dlg.OnInitDialog(dx);
    EXPECT_EQ(dx.texts[IDC_LIST_PRECISION], "3");
    EXPECT_EQ(dx.texts[IDC_LIST_EXTRA], "0");

    dx.texts[IDC_LIST_PRECISION] = "17";
    EXPECT_FALSE(dlg.OnOK(dx));
    EXPECT_EQ(list.Precision, 3);
    dx.texts[IDC_LIST_PRECISION] = "16";
    dx.texts[IDC_LIST_EXTRA] = "100";
    EXPECT_FALSE(dlg.OnApply(dx));
    dx.texts[IDC_LIST_EXTRA] = "99";
    dx.texts[Dlg::IDC_TITLE] = std::string(29, 'T');
    EXPECT_FALSE(dlg.OnApply(dx));
    EXPECT_EQ(list.Extra, 0);

    dx.texts[Dlg::IDC_TITLE] = "Run 3";
    dx.texts[Dlg::IDC_NOTES] = "first line\nsecond";
    dx.checks[IDC_LIST_NOTES_DISPLAY] = 1;
    dlg.OnChanged(dx);
    ASSERT_TRUE(dlg.OnCommand(dx, Dlg::IDC_APPLY));
    EXPECT_FALSE(dx.enabled[Dlg::IDC_APPLY]);
    EXPECT_EQ(list.Precision, 16);
    EXPECT_EQ(list.Extra, 99);
    EXPECT_EQ(list.NotesDisplay, 1);
    EXPECT_EQ(list.ListTitle, "Run 3");
    EXPECT_EQ(list.ListNotes, "first line\nsecond");
    // The cells are measured again for the wider numbers.
    const int wide = list.CellWidth;
    dx.texts[IDC_LIST_EXTRA] = "0";
    dx.texts[IDC_LIST_PRECISION] = "0";
    ASSERT_TRUE(dlg.OnApply(dx));
    EXPECT_LT(list.CellWidth, wide);
}

TEST_F(ListParamsTest, UpdateRecallResetAndFonts) {
    Dlg dlg(list);
    dlg.OnInitDialog(dx);
    dx.texts[IDC_LIST_PRECISION] = "6";
    dlg.OnCommand(dx, Dlg::IDC_UPDATE);
    EXPECT_EQ(list.Precision, 3) << "Update stores defaults, it does not apply";
    dx.texts[IDC_LIST_PRECISION] = "1";
    dlg.OnCommand(dx, Dlg::IDC_RECALL);
    EXPECT_EQ(dx.texts[IDC_LIST_PRECISION], "6");
    dx.texts[Dlg::IDC_TITLE] = "Typed";
    dlg.OnCommand(dx, Dlg::IDC_RESET);
    EXPECT_EQ(dx.texts[IDC_LIST_PRECISION], "3");
    EXPECT_EQ(dx.texts[Dlg::IDC_TITLE], "Typed") << "Reset restores the settings, not the title";

    LOGFONT chosen = *dlg.Working.FindValue<LOGFONT>(IDC_LIST_FONT);
    chosen.lfHeight = -20;
    platform.windows.fontAnswer = std::make_unique<LOGFONT>(chosen);
    platform.windows.fontColorAnswer = RGB(9, 8, 7);
    dlg.OnCommand(dx, IDC_LIST_FONT);
    ASSERT_TRUE(dlg.OnOK(dx));
    EXPECT_EQ(list.ListFont.lfHeight, -20);
    EXPECT_EQ(list.FontColor, RGB(9, 8, 7));
    EXPECT_NE(list.NotesColor, RGB(9, 8, 7)) << "the table's font carries the table's colour only";
}

} // namespace
