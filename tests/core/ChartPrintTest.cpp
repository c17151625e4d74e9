// Printing a chart page by page through the recording device context: the page count, the page
// labels, every block on exactly one page, a page smaller than a grid cell, and black and white.

#include "chart/ChartPrint.h"
#include "ChartTestSupport.h"

#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

class ChartPrint : public ChartTest {
  protected:
    // Prints pages `from` to `to` on sheets of `sheet`; one recording per printed page.
    int Print(CRect sheet, int from = 1, int to = 0) {
        pages.clear();
        return kintra::PrintChartPages(view, from, to, [&](int) {
            pages.push_back(std::make_unique<RecordingDC>(sheet, true));
            return pages.back().get();
        });
    }

    // How many printed pages show `text`.
    int PagesWith(const std::string& text) const {
        int n = 0;
        for (const auto& p : pages)
            n += p->TextsOf(text).empty() ? 0 : 1;
        return n;
    }

    static std::string Label(int row, int column, int down, int across) {
        std::string s = "Page ";
        if (down > 1) s += std::to_string(row);
        if (across > 1) s += static_cast<char>('A' + (column - 1) % 26);
        s += " of ";
        if (down > 1) s += std::to_string(down);
        if (across > 1) s += static_cast<char>('A' + (across - 1) % 26);
        return s;
    }

    std::vector<std::unique_ptr<RecordingDC>> pages;
};

TEST(ChartPageOrder, PagesRunDownAPageColumnFirst) {
    const int expected[4][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};
    for (int page = 1; page <= 4; ++page) {
        const kintra::ChartPageCell cell = kintra::ChartPageAt(page, 2);
        EXPECT_EQ(cell.Column, expected[page - 1][0]) << page;
        EXPECT_EQ(cell.Row, expected[page - 1][1]) << page;
    }
    EXPECT_EQ(kintra::ChartPageAt(5, 1).Column, 5);
    EXPECT_EQ(kintra::ChartPageAt(5, 1).Row, 1);
    EXPECT_EQ(kintra::ChartPageAt(3, 0).Column, 3) << "no page rows counts as one";
}

TEST_F(ChartPrint, ChartLargerThanAPagePrintsEveryBlockOnceWithItsPageLabel) {
    CBlock* left = Add(1, 0);
    CBlock* right = Add(30, -2);
    Add(3, -40);
    Add(29, -41);
    Connect(left, right);
    doc.SetTitle("wide.cht");

    const int estimate = kintra::EstimateChartPages(view, &dc);
    EXPECT_EQ(view.PrintRect, (CRect{0, 0, 800, -1054}));
    const int printed = Print({0, 0, 800, -1054});
    const int down = view.PagesDown;
    const int across = view.PagesAcross;
    ASSERT_GT(down, 1);
    ASSERT_GT(across, 1);
    EXPECT_EQ(printed, down * across);
    EXPECT_EQ(printed, estimate) << "the same sheet as the estimate";
    ASSERT_EQ(static_cast<int>(pages.size()), printed);

    for (int page = 1; page <= printed; ++page) {
        const kintra::ChartPageCell cell = kintra::ChartPageAt(page, down);
        const std::string label = Label(cell.Row, cell.Column, down, across);
        EXPECT_EQ(pages[page - 1]->TextsOf(label).size(), 1u) << label;
        EXPECT_EQ(pages[page - 1]->TextsOf("wide.cht").size(), 1u) << "the header on every page";
    }
    EXPECT_FALSE(pages[1]->TextsOf(Label(2, 1, down, across)).empty())
        << "the second page is below the first";
    for (const auto& b : doc.Blocks)
        if (b->TypeName != "Dummy") {
            EXPECT_EQ(PagesWith(b->Name), 1) << b->Name;
        }

    // The line from column 1 to column 30 reaches the first page column and the last.
    EXPECT_FALSE(pages[0]->OpsOf(RecordedOp::LineTo).empty());
    EXPECT_FALSE(pages[(across - 1) * down]->OpsOf(RecordedOp::LineTo).empty());

    // After printing the view is back on its first page.
    EXPECT_EQ(view.CurrentPageColumn, 1);
    EXPECT_EQ(view.CurrentPageRow, 1);
}

TEST_F(ChartPrint, PageRangePrintsOnlyThosePages) {
    Add(30, -40);
    ASSERT_GT(Print({0, 0, 800, -1054}), 3);
    const int down = view.PagesDown;
    const int across = view.PagesAcross;
    EXPECT_EQ(Print({0, 0, 800, -1054}, 2, 3), 2);
    const kintra::ChartPageCell third = kintra::ChartPageAt(3, down);
    EXPECT_FALSE(pages[1]->TextsOf(Label(third.Row, third.Column, down, across)).empty());
    EXPECT_EQ(Print({0, 0, 800, -1054}, down * across + 1, 0), 0) << "beyond the last page";
}

TEST_F(ChartPrint, PageSmallerThanACellStillTakesAColumnAndARow) {
    Add(2, -1);
    const int printed = Print({0, 0, 20, -20});
    EXPECT_EQ(view.ColumnsPerPage, 1);
    EXPECT_EQ(view.RowsFirstPage, 1);
    EXPECT_EQ(view.RowsPerPage, 1);
    EXPECT_EQ(view.PagesAcross, 3);
    EXPECT_EQ(view.PagesDown, 2);
    EXPECT_EQ(printed, 6);
    for (const auto& b : doc.Blocks)
        if (b->TypeName != "Dummy") {
            EXPECT_EQ(PagesWith(b->Name), 1) << b->Name;
        }
    EXPECT_EQ(pages.back()->TextsOf("Page 2C of 2C").size(), 1u);
}

TEST_F(ChartPrint, MorePagesThanAnIntHoldsAreCountedUpToTheLargestAndItPrints) {
    Add(70000, -40000); // a cell a page: some 2.8 billion pages
    EXPECT_EQ(Print({0, 0, 20, -20}, std::numeric_limits<int>::max(), 0), 1);
    EXPECT_GT(static_cast<long long>(view.PagesAcross) * view.PagesDown, std::numeric_limits<int>::max());
    const kintra::ChartPageCell last = kintra::ChartPageAt(std::numeric_limits<int>::max(), view.PagesDown);
    EXPECT_GT(last.Column, 0);
    EXPECT_GT(last.Row, 0);
}

TEST_F(ChartPrint, AlwaysPrintBlackAndWhiteBlackensEveryPage) {
    CBlock* a = Add(1, 0, 0);
    CBlock* b = Add(25, -1);
    a->LineColor = RGB(255, 0, 0);
    Connect(a, b);
    view.ChartClr = RGB(0, 0, 255);
    view.NotesClr = RGB(0, 128, 0);
    view.NotesDisplay = 1;
    view.ChartNotes = "notes";

    Print({0, 0, 800, -1054});
    ASSERT_GT(pages.size(), 1u);
    EXPECT_EQ(pages[0]->PicturesOf(a->ColorImage).size(), 1u) << "colour unless asked otherwise";
    EXPECT_EQ(pages[0]->TextsOf("notes").at(0)->textColor, RGB(0, 128, 0));
    EXPECT_TRUE(pages[1]->TextsOf("notes").empty()) << "the notes are on the first page only";

    doc.PrintMode = 1;
    Print({0, 0, 800, -1054});
    int pictures = 0;
    for (const auto& p : pages) {
        for (const RecordedOp& op : p->Ops()) {
            if (op.kind == RecordedOp::Text || op.kind == RecordedOp::DrawTextOp) {
                EXPECT_EQ(op.textColor, RGB(0, 0, 0)) << op.text;
            }
            if (op.kind == RecordedOp::LineTo || op.kind == RecordedOp::Polyline) {
                EXPECT_EQ(op.penColor, RGB(0, 0, 0));
            }
            if (op.kind == RecordedOp::Picture && op.pictureId == a->ColorImage)
                ADD_FAILURE() << "colour picture";
            if (op.kind == RecordedOp::Picture && op.pictureId == a->MonoImage) ++pictures;
        }
    }
    EXPECT_EQ(pictures, 2);
}

} // namespace
