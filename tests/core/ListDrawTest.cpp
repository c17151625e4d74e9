// The List window's drawing through the recording device context: cell sizes, scroll sizes,
// header names and values in their cells, the frozen first column while scrolling, the notes, and
// settings from damaged files. A 13-unit recording font is 7 units a character and 13 a line, so
// the cell template " +0.000e+000" is 84 x 13.

#include "TestSupport.h"
#include "platform/RecordingDC.h"
#include "platform/Text.h"
#include "views/ListView.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <map>
#include <memory>

namespace {

// A window that keeps what the list tells it.
class FakeWindow : public ViewWindow {
  public:
    std::unique_ptr<DeviceContext> GetDC() override { return std::make_unique<RecordingDC>(client); }
    void SetScrollSizes(CSize t, CSize p, CSize l) override {
        total = t;
        page = p;
        line = l;
        ++scrollSizesSet;
    }
    void Invalidate() override {}
    void SetCaption(const std::string& c) override { caption = c; }

    CRect client{0, 0, 1000, -800};
    CSize total, page, line;
    int scrollSizesSet = 0;
    std::string caption;
};

class ListDrawTest : public ::testing::Test {
  protected:
    ListDrawTest() {
        doc.OnNewDocument();
        doc.AddView(&list);
        list.SetWindow(&window);
        doc.Clock()->Name = "Time";
        doc.Clock()->SetHistory({0.0, 0.5, 1.0, 1.5, 2.0});
    }
    ~ListDrawTest() override { list.SetWindow(nullptr); }

    PassBlock* Column(int x, const char* name, std::vector<double> history) {
        PassBlock* b = Place(doc, x, 0);
        b->Name = name;
        b->SetHistory(std::move(history));
        list.Columns.push_back(b);
        return b;
    }

    // Draws the list in a window showing `client` (its left/top at the scroll position).
    void Draw(CRect client = {0, 0, 1000, -800}) {
        window.client = client;
        dc = RecordingDC(client);
        list.OnDraw(dc);
    }

    // Prints every page on sheets with the drawing area `sheet`; one recording per page.
    std::vector<std::unique_ptr<RecordingDC>> Print(CRect sheet) {
        std::vector<std::unique_ptr<RecordingDC>> pages;
        const int printed = kintra::PrintListPages(list, 1, 0, [&](int) {
            pages.push_back(std::make_unique<RecordingDC>(sheet, true));
            return pages.back().get();
        });
        EXPECT_EQ(printed, static_cast<int>(pages.size()));
        return pages;
    }

    std::vector<const RecordedOp*> Names() const { return dc.OpsOf(RecordedOp::DrawTextOp); }
    std::vector<const RecordedOp*> Values() const { return dc.OpsOf(RecordedOp::Text); }

    TestPlatform platform;
    COrventDoc doc;
    CListBase list;
    FakeWindow window;
    RecordingDC dc;
};

} // namespace

TEST_F(ListDrawTest, CellsAndScrollSizesFollowTheNumberFormat) {
    list.Columns.push_back(doc.Clock());
    Column(1, "A", {});
    Column(2, "B", {});
    list.UpdateScrollSizes();
    EXPECT_EQ(list.CellTemplate(), " +0.000e+000");
    EXPECT_EQ(list.CellWidth, 12 * 7);
    EXPECT_EQ(list.RowHeight, 13);
    // One column more than there are, three rows more; a line is one cell.
    EXPECT_EQ(window.total, (CSize{4 * 84, 13 * (5 + 3)}));
    EXPECT_EQ(window.line, (CSize{84, 13}));
    EXPECT_EQ(window.page, (CSize{0, 0}));

    list.Precision = 16;
    list.Extra = 99;
    list.ListFont.lfHeight = -20;
    list.UpdateScrollSizes();
    EXPECT_EQ(list.CellTemplate(), std::string(100, ' ') + "+0." + std::string(16, '0') + "e+000");
    EXPECT_EQ(list.CellWidth, 124 * 10);
    EXPECT_EQ(list.RowHeight, 20);
    EXPECT_EQ(window.total, (CSize{4 * 1240, 20 * 8}));
}

TEST_F(ListDrawTest, HeaderNamesAndValuesStandInTheirCells) {
    list.Columns.push_back(doc.Clock());
    Column(1, "Position", {1.0, 0.5, -0.25}); // shorter than the Clock's: 0.0 afterwards
    list.Columns.push_back(nullptr);          // a column whose block was not found
    Column(2, "Velocity", {0.0, -1.0, -2.0, -3.0, -4.0});
    list.ListFont.lfHeight = -10; // 5 units a character: cells of 60 x 10
    list.FontColor = RGB(10, 20, 30);
    list.ListTitle = "Values";
    Draw();
    EXPECT_EQ(window.caption, "Values");
    ASSERT_EQ(list.CellWidth, 60);
    ASSERT_EQ(list.RowHeight, 10);

    // The names centred in the header cells; none for the missing column.
    const auto names = Names();
    ASSERT_EQ(names.size(), 3u);
    const char* expected[] = {"Time", "Position", "Velocity"};
    const int cells[] = {0, 1, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(names[i]->text, expected[i]);
        EXPECT_EQ(names[i]->rect, (CRect{cells[i] * 60, 0, cells[i] * 60 + 60, -10}));
        EXPECT_TRUE(names[i]->flags & DT_CENTER);
        EXPECT_EQ(names[i]->textColor, RGB(10, 20, 30));
    }
    // One row per recorded step, each value right-aligned at the right edge of its cell.
    const auto values = Values();
    ASSERT_EQ(values.size(), 5u * 3u);
    for (int row = 0; row < 5; ++row) {
        const RecordedOp* const* r = &values[static_cast<std::size_t>(row) * 3];
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(r[i]->x, (cells[i] + 1) * 60);
            EXPECT_EQ(r[i]->y, -10 - 10 * row);
            EXPECT_EQ(r[i]->flags, TA_RIGHT | TA_TOP);
        }
        EXPECT_EQ(r[0]->text, list.FormatValue(0.5 * row));
        EXPECT_EQ(r[2]->text,
                  list.FormatValue(list.Columns[3]->HistoryValues()[static_cast<std::size_t>(row)]));
    }
    EXPECT_EQ(values[3]->text, "5.000e-001");
    EXPECT_EQ(values[13]->text, "0.000e+000"); // past the end of Position's history
    EXPECT_EQ(values[14]->text, "-4.000e+000");

    // The frozen column's edge down the window and the line under the header across it.
    const auto moves = dc.OpsOf(RecordedOp::MoveTo);
    const auto lines = dc.OpsOf(RecordedOp::LineTo);
    ASSERT_EQ(moves.size(), 2u);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(moves[0]->x, 62);
    EXPECT_EQ(moves[0]->y, 0);
    EXPECT_EQ(lines[0]->x, 62);
    EXPECT_EQ(lines[0]->y, -800);
    EXPECT_EQ(moves[1]->y, -10);
    EXPECT_EQ(lines[1]->x, 1000);
    EXPECT_EQ(lines[1]->y, -10);
    EXPECT_EQ(lines[1]->penColor, RGB(10, 20, 30));
    EXPECT_EQ(lines[1]->penWidth, 0);
}

TEST_F(ListDrawTest, ScrollingKeepsTheFirstColumnAndShowsWholeCells) {
    std::vector<double> many(100);
    for (int j = 0; j < 100; ++j)
        many[j] = j;
    doc.Clock()->SetHistory(many);
    list.Columns.push_back(doc.Clock());
    for (int c = 1; c <= 20; ++c)
        Column(c, FormatString("C%d", c).c_str(), many);
    list.ListFont.lfHeight = -10;

    // Scrolled by two cells and ten rows (and a little more, which rounds away).
    Draw({2 * 60 + 20, -(10 * 10 + 4), 2 * 60 + 20 + 310, -(10 * 10 + 4) - 95});
    const int left = 140, top = -104;
    // 310 / 60 = 5 cells: the frozen one and columns 3, 4, 5, 6.
    const auto names = Names();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0]->text, "Time");
    EXPECT_EQ(names[0]->rect.left, left);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(names[i]->text, "C" + std::to_string(2 + i));
        EXPECT_EQ(names[i]->rect.left, left + 60 * i);
        EXPECT_EQ(names[i]->rect.top, top);
    }
    // 95 / 10 = 9 rows: the header and rows 10 to 17.
    const auto values = Values();
    ASSERT_EQ(values.size(), 8u * 5u);
    EXPECT_EQ(values[0]->text, list.FormatValue(10.0));
    EXPECT_EQ(values[0]->x, left + 60);
    EXPECT_EQ(values[0]->y, top - 10);
    EXPECT_EQ(values.back()->text, list.FormatValue(17.0));
    EXPECT_EQ(values.back()->y, top - 80);

    // Scrolled past the last rows: only those that exist.
    Draw({0, -97 * 10, 1000, -97 * 10 - 800});
    EXPECT_EQ(Values().size(), 3u * 16u); // rows 97..99, 16 cells
    // A partial repaint draws only the rows it needs.
    dc = RecordingDC({0, 0, 1000, -800});
    dc.SetClipBox({0, -200, 1000, -230});
    list.OnDraw(dc);
    EXPECT_EQ(Values().size(), 5u * 16u); // rows 18..22 meet units 200..230
}

TEST_F(ListDrawTest, NotesAboveTheTableWhenShown) {
    list.Columns.push_back(doc.Clock());
    list.ListNotes = "Notes of the list, long enough to wrap in a window five hundred units wide when "
                     "each character is seven units wide.";
    list.NotesFont.lfHeight = -13;
    list.NotesColor = RGB(200, 0, 0);
    Draw({0, 0, 500, -400});
    EXPECT_TRUE(Values().size() == 5u);
    EXPECT_EQ(Names()[0]->rect.top, 0); // not shown: the table starts at the top
    EXPECT_EQ(window.total.cy, 13 * 8);

    list.NotesDisplay = 1;
    Draw({0, 0, 500, -400});
    ASSERT_EQ(list.NotesLines.size(), 2u);
    EXPECT_EQ(list.NotesExtent, (CSize{500, 26}));
    EXPECT_EQ(window.total, (CSize{500, 26 + 13 * 8})); // as wide as the notes
    const auto texts = Values();
    ASSERT_EQ(texts.size(), 2u + 5u);
    EXPECT_EQ(texts[0]->y, 0);
    EXPECT_EQ(texts[1]->y, -13);
    EXPECT_EQ(texts[0]->textColor, RGB(200, 0, 0));
    EXPECT_LE(static_cast<int>(texts[0]->text.size()) * 7, 500);
    // The header and the frozen column's edge start under them.
    EXPECT_EQ(Names()[0]->rect.top, -26);
    EXPECT_EQ(texts[2]->y, -26 - 13);
    EXPECT_EQ(dc.OpsOf(RecordedOp::MoveTo)[0]->y, -26);
}

TEST_F(ListDrawTest, AListWithoutColumnsOrRowsDrawsItsFrame) {
    doc.Clock()->SetHistory({});
    Draw();
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(Values().empty());
    EXPECT_EQ(dc.OpsOf(RecordedOp::LineTo).size(), 2u);
    EXPECT_EQ(window.total, (CSize{84, 13 * 3}));

    // First display picks the columns and sizes the window.
    window.scrollSizesSet = 0;
    list.OnInitialUpdate();
    EXPECT_EQ(window.scrollSizesSet, 1);
    EXPECT_EQ(window.total.cx, 2 * 84); // the Clock
}

TEST_F(ListDrawTest, SettingsFromADamagedFileKeepTheGeometryBounded) {
    list.Columns.push_back(doc.Clock());
    Column(1, "A", {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()});
    list.Precision = INT_MAX;
    list.Extra = INT_MIN;
    list.ListFont.lfHeight = INT_MIN;
    list.NotesFont.lfHeight = INT_MAX;
    list.NotesDisplay = 1;
    list.ListNotes = std::string(10000, 'w');
    for (const CRect& client : {CRect{0, 0, 1000, -800}, CRect{0, 0, 1, -1}, CRect{-5, 7, -5, 7}}) {
        Draw(client);
        EXPECT_GT(list.CellWidth, 0);
        EXPECT_GT(list.RowHeight, 0);
        EXPECT_GE(window.total.cx, 0);
        EXPECT_GE(window.total.cy, 0);
        for (const RecordedOp& op : dc.Ops())
            EXPECT_LE(std::abs(op.font.lfHeight), 1000);
    }
    EXPECT_EQ(list.CellTemplate(), " +0." + std::string(16, '0') + "e+000");
}

TEST_F(ListDrawTest, PrintedPagesHoldEveryValueOnceAndTheFirstColumnOnEach) {
    // Every value distinct: column c, row r holds c * 1000 + r.
    list.Precision = 6;
    list.ListNotes = "Notes of the list, long enough to wrap on a narrow page.";
    list.NotesColor = RGB(200, 0, 0);
    const auto fill = [&](int rows, int columns) {
        list.Columns.clear();
        std::vector<double> times;
        for (int r = 0; r < rows; ++r)
            times.push_back(r);
        doc.Clock()->SetHistory(times);
        if (columns > 0) list.Columns.push_back(doc.Clock());
        for (int c = 1; c < columns; ++c) {
            std::vector<double> history;
            for (int r = 0; r < rows; ++r)
                history.push_back(c * 1000 + r);
            PassBlock* b = Place(doc, c, 0);
            b->Name = FormatString("C%d", c);
            b->SetHistory(std::move(history));
            list.Columns.push_back(b);
        }
    };
    for (int notes : {0, 1})
        for (int rows : {0, 1, 9, 41})
            for (int columns : {0, 1, 2, 5, 9})
                for (const CRect& sheet : {CRect{0, 0, 800, -1054}, CRect{0, 0, 300, -120},
                                           CRect{0, 0, 10, -10}, CRect{0, 0, 420, -80}}) {
                    list.NotesDisplay = notes;
                    fill(rows, columns);
                    const auto pages = Print(sheet);
                    const CListBase::Pages layout = list.PrintPages; // as measured on the sheet
                    const std::string where = FormatString("notes %d, %d x %d on %d x %d", notes, rows,
                                                           columns, sheet.Width(), -sheet.Height());
                    ASSERT_EQ(static_cast<int>(pages.size()), layout.Count()) << where;
                    std::map<std::string, int> seen;
                    for (const auto& page : pages)
                        for (const RecordedOp* op : page->OpsOf(RecordedOp::Text))
                            if (op->textColor != list.NotesColor) {
                                ++seen[op->text];
                                // Between the table's header row and the footer line.
                                if (-sheet.Height() < 4 * list.RowHeight) continue;
                                EXPECT_LE(op->y, sheet.top - 2 * list.RowHeight) << where;
                                EXPECT_GE(op->y - list.RowHeight, sheet.bottom + list.RowHeight) << where;
                            }
                    std::size_t values = 0;
                    for (int c = 0; c < columns; ++c)
                        for (int r = 0; r < rows; ++r) {
                            const double v = c == 0 ? r : c * 1000 + r;
                            const int expected = c == 0 ? layout.PagesAcross : 1;
                            EXPECT_EQ(seen[list.FormatValue(v)], expected) << where << ", " << c << ", " << r;
                            ++values;
                        }
                    // Nothing else was printed, and no page column or page row is idle.
                    std::size_t printed = 0;
                    for (const auto& [text, count] : seen)
                        printed += count > 0 ? 1 : 0;
                    EXPECT_EQ(printed, values) << where;
                    if (rows > 0 && layout.RowsFirstPage > 0) {
                        EXPECT_LT(list.PageRows(layout, layout.PagesDown).First, rows) << where;
                    }
                    if (columns > 1) {
                        EXPECT_LT(list.PageColumns(layout, layout.PagesAcross).First, columns) << where;
                    }
                }
}

TEST_F(ListDrawTest, PagesRunDownFirstUnderAHeaderWithTheNotesOnTheFirstOnly) {
    doc.SetTitle("tank.cht");
    doc.SetPathName("/home/u/tank.cht");
    list.ListTitle = "Run 3";
    list.PrintDate = "12/09/26";
    list.FontColor = RGB(0, 0, 200);
    std::vector<double> times;
    for (int r = 0; r < 12; ++r)
        times.push_back(r);
    doc.Clock()->SetHistory(times);
    list.Columns.push_back(doc.Clock());
    for (const char* name : {"A", "B", "C", "D"})
        Column(static_cast<int>(list.Columns.size()), name, std::vector<double>(12, 5.0));

    // Cells of 84 x 13: a 252 x 91 sheet holds the first column and two others, four rows.
    const CRect sheet{0, 0, 252, -91};
    auto pages = Print(sheet);
    ASSERT_EQ(pages.size(), 6u);
    const RecordingDC& fifth = *pages[4];
    const auto texts = fifth.OpsOf(RecordedOp::DrawTextOp);
    ASSERT_EQ(texts.size(), 4u + 3u);
    EXPECT_EQ(texts[0]->text, "tank.cht : Run 3");
    EXPECT_EQ(texts[1]->text, "Page 2B of 3B");
    EXPECT_EQ(texts[1]->rect, (CRect{0, 0, 252, -13}));
    EXPECT_EQ(texts[2]->text, "/home/u/tank.cht");
    EXPECT_EQ(texts[3]->text, "12/09/26");
    EXPECT_EQ(texts[3]->rect, (CRect{0, -78, 252, -91}));
    EXPECT_EQ(texts[5]->text, "C");
    EXPECT_EQ(texts[5]->rect.left, 84);
    const auto values = fifth.OpsOf(RecordedOp::Text);
    ASSERT_EQ(values.size(), 4u * 3u);
    EXPECT_EQ(values[0]->text, list.FormatValue(4.0)); // rows 4 to 7
    EXPECT_EQ(values[0]->y, -26);
    EXPECT_EQ(values.back()->text, list.FormatValue(5.0));
    EXPECT_EQ(values[0]->textColor, RGB(0, 0, 200));
    // The frozen column's edge stops under the last printed row.
    EXPECT_EQ(fifth.OpsOf(RecordedOp::LineTo)[0]->y, -13 - 5 * 13);

    // The notes take a row on the first page row; they are drawn on the first page only.
    list.ListNotes = "Run of today";
    list.NotesDisplay = 1;
    list.NotesColor = RGB(200, 0, 0);
    pages = Print(sheet);
    ASSERT_EQ(pages.size(), 8u);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto drawn = pages[p]->OpsOf(RecordedOp::Text);
        const bool notes = !drawn.empty() && drawn[0]->text == "Run of today";
        EXPECT_EQ(notes, p == 0) << p;
    }
    EXPECT_EQ(pages[4]->OpsOf(RecordedOp::DrawTextOp)[4]->rect.top, -26) << "room of the notes kept";
    EXPECT_EQ(pages[1]->OpsOf(RecordedOp::Text)[0]->text, list.FormatValue(3.0));

    // In black and white everything is black.
    doc.PrintMode = 1;
    for (const auto& page : Print(sheet))
        for (const RecordedOp& op : page->Ops()) {
            const bool text = op.kind == RecordedOp::Text || op.kind == RecordedOp::DrawTextOp;
            EXPECT_EQ(text ? op.textColor : op.penColor, RGB(0, 0, 0));
        }

    // Before the print dialog: the pages of an 800 x 1054 area, 8 columns and 78 rows a page.
    list.NotesDisplay = 0;
    times.resize(200);
    doc.Clock()->SetHistory(times);
    EXPECT_EQ(kintra::EstimateListPages(list, nullptr), 3);
    for (int c = 0; c < 15; ++c)
        Column(10 + c, "E", {});
    EXPECT_EQ(kintra::EstimateListPages(list, nullptr), 3 * 3);
    EXPECT_EQ(list.CurrentPageRow, 1);
}
