#include "ChartTestSupport.h"
#include "platform/Archive.h"

#include <cstring>

namespace {

TEST(ChartViewSettings, ListHasTheEighteenItemsInFileOrder) {
    TestPlatform platform;
    COrventView view;
    const CSettingList& s = view.Settings;
    EXPECT_EQ(s.Section(), "MainView");
    EXPECT_EQ(s.ListVersion(), 100.0);
    struct Row {
        const char* name;
        int kind;
        int id;
    };
    const Row rows[] = {
        {"HoldSiz", SK_INTEGER, 1215},    {"Hold", SK_COLOR, 1207},        {"HoldDisp", SK_FLAG, 1216},
        {"LinesX", SK_INTEGER, 1218},     {"LinesY", SK_INTEGER, 1217},    {"DeltaVert", SK_INTEGER, 1034},
        {"DeltaHoriz", SK_INTEGER, 1035}, {"MagBmp", SK_REAL, 1136},       {"DisplayMode", SK_CHOICE, 1178},
        {"ChartLf", SK_FONT, 1043},       {"ChartClr", SK_COLOR, -1043},   {"NotesLf", SK_FONT, 1095},
        {"NotesClr", SK_COLOR, -1095},    {"NotesDisplay", SK_FLAG, 1205}, {"SizeLock", SK_FLAG, 1203},
        {"NameDisplay", SK_FLAG, 1201},   {"ValueDisplay", SK_FLAG, 1202}, {"LineWidth", SK_INTEGER, 1219},
    };
    ASSERT_EQ(s.GetSize(), 18u);
    for (std::size_t i = 0; i < 18; ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(s[i].Name(), rows[i].name);
        EXPECT_EQ(s[i].Kind(), rows[i].kind);
        EXPECT_EQ(s[i].ControlId(), rows[i].id);
        EXPECT_EQ(s[i].IntroducedVersion(), 100.0);
        EXPECT_EQ(s[i].RetiredVersion(), 0.0);
    }
    // Factory defaults reach the members.
    EXPECT_EQ(view.HoldSize, 2);
    EXPECT_EQ(view.HoldColor, RGB(255, 0, 0));
    EXPECT_EQ(view.HoldDisplay, 1);
    EXPECT_EQ(view.LinesX, 15);
    EXPECT_EQ(view.LinesY, 15);
    EXPECT_EQ(view.DeltaVert, 2);
    EXPECT_EQ(view.DeltaHoriz, 2);
    EXPECT_EQ(view.MagBmp, 1.0);
    EXPECT_EQ(view.DisplayMode, 0);
    EXPECT_EQ(view.ChartLf, DefaultLogFont());
    EXPECT_EQ(view.ChartClr, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(view.NotesDisplay, 0);
    EXPECT_EQ(view.SizeLock, 1);
    EXPECT_EQ(view.NameDisplay, 1);
    EXPECT_EQ(view.ValueDisplay, 1);
    EXPECT_EQ(view.LineWidth, 1);
    // Bounds as the dialog enforces them.
    auto bounds = [&](int id) {
        CSettingItem* item = s.FindItem(id);
        return std::make_pair(*item->MinimumAs<int>(), *item->MaximumAs<int>());
    };
    EXPECT_EQ(bounds(1215), std::make_pair(1, 100));
    EXPECT_EQ(bounds(1218), std::make_pair(0, 0));
    EXPECT_EQ(bounds(1034), std::make_pair(1, 99));
    EXPECT_EQ(bounds(1219), std::make_pair(1, 99));
    EXPECT_EQ(*s.FindItem(1136)->MinimumAs<double>(), 1.0);
    EXPECT_EQ(*s.FindItem(1136)->MaximumAs<double>(), 10.0);
}

TEST(ChartViewSettings, StoredDefaultsSeedANewView) {
    TestPlatform platform;
    platform.store.WriteProfileInt("MainView", "LinesX", 30);
    platform.store.WriteProfileString("MainView", "MagBmp", "2.000000e+000");
    COrventView view;
    EXPECT_EQ(view.LinesX, 30);
    EXPECT_EQ(view.MagBmp, 2.0);
}

TEST(ChartViewRecord, RoundTripsSettingsTitleAndNotesAndNewPanesCopySettings) {
    TestPlatform platform;
    COrventDoc doc;
    COrventView view;
    doc.AddView(&view);
    view.LinesX = 21;
    view.MagBmp = 1.5;
    view.DisplayMode = 1;
    view.ChartLf.lfHeight = -27;
    view.ChartLf.SetFaceName("Arial");
    view.ChartTitle = "Tank level";
    view.ChartNotes = std::string(300, 'n');

    CArchive out;
    view.Serialize(out);
    const std::vector<std::uint8_t> bytes = out.Bytes();
    // Settings: 7 ints of 4 bytes before MagBmp, a double, the choice, two fonts with colours,
    // four flags and the line width; then the title and the long notes (0xFF + int16 length).
    const std::size_t fonts = 2 * 28 + 1 + 5 + 1 + std::strlen("Times New Roman");
    EXPECT_EQ(bytes.size(), 7 * 4 + 8 + 4 + fonts + 2 * 4 + 5 * 4 + 1 + 10 + 3 + 300);

    COrventDoc doc2;
    doc2.FileVersion = 102.0;
    COrventView back;
    doc2.AddView(&back);
    CArchive in(bytes);
    back.Serialize(in);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(back.LinesX, 21);
    EXPECT_EQ(back.MagBmp, 1.5);
    EXPECT_EQ(back.DisplayMode, 1);
    EXPECT_EQ(back.ChartLf.lfHeight, -27);
    EXPECT_EQ(back.ChartLf.FaceName(), "Arial");
    EXPECT_EQ(back.ChartTitle, "Tank level");
    EXPECT_EQ(back.ChartNotes, view.ChartNotes);

    COrventView pane;
    view.CopySettingsTo(pane);
    EXPECT_EQ(pane.LinesX, 21);
    EXPECT_EQ(pane.ChartLf.lfHeight, -27);
    EXPECT_TRUE(pane.ChartTitle.empty()) << "a pane shares the settings, not the title";
}

TEST(ChartViewRecord, AFileOlderThanTheSettingsKeepsTheCurrentValues) {
    TestPlatform platform;
    COrventDoc doc;
    doc.FileVersion = 99.0;
    COrventView view;
    doc.AddView(&view);
    view.LinesX = 40;
    CArchive out;
    out.WriteString("T");
    out.WriteString("N");
    CArchive in(out.Bytes());
    view.Serialize(in);
    EXPECT_EQ(view.LinesX, 40);
    EXPECT_EQ(view.ChartTitle, "T");
    EXPECT_EQ(view.ChartNotes, "N");
}

// ---- Geometry ----

using ChartGeometry = ChartTest;

TEST_F(ChartGeometry, MinimumCellsAtMagnificationOne) {
    NoTexts();
    EXPECT_EQ(view.CellWidth, 47);
    EXPECT_EQ(view.CellHeight, 39);
    EXPECT_EQ(view.XOrigin, 38);
    EXPECT_EQ(view.YOrigin, 31);
    EXPECT_EQ(view.MaxColumn, 0);
    EXPECT_EQ(view.MinRow, 0);
    EXPECT_EQ(view.TotalWidth, 38 + 47 * 6);
    EXPECT_EQ(view.TotalHeight, 31 + 39 * 6);
    EXPECT_EQ(view.LabelOffset, 0);
    // The chart font does not matter when no text is shown.
    view.ChartLf.lfHeight = -40;
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.CellWidth, 47);
    // A block in column 4, row -3.
    EXPECT_EQ(view.CellCentre(4, -3), (CPoint{38 + 4 * 47, -3 * 39 - 31}));
}

TEST_F(ChartGeometry, TextBandsAndMagnificationSizeTheCells) {
    // Fixed metrics: 13-unit font, 7 units a character, the template is 77 wide and 13 tall.
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.TextGap, 1);
    EXPECT_EQ(view.TextWidth, 77);
    EXPECT_EQ(view.TextHeight, 13);
    EXPECT_EQ(view.CellWidth, 77 + 15);
    EXPECT_EQ(view.XOrigin, 15 + 46);
    EXPECT_EQ(view.CellHeight, 17 + 17 + 15 + 24);
    EXPECT_EQ(view.YOrigin, 73 / 2 + 12);

    view.ValueDisplay = 0;
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.CellHeight, 17 + 15 + 24);
    EXPECT_EQ(view.LabelOffset, 17 / 2);
    view.ValueDisplay = 1;
    view.NameDisplay = 0;
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.LabelOffset, -(17 / 2));

    view.ChartLf.lfHeight = -27; // trunc(27 * 0.15) = 4
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.TextGap, 4);

    // Magnification 1.5: every product is cut toward zero.
    NoTexts();
    view.MagBmp = 1.5;
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.CellWidth, 48 + 15);
    EXPECT_EQ(view.CellHeight, 15 + 36);
    EXPECT_EQ(view.YOrigin, 51 / 2 + 18);
    view.MagBmp = 2.0;
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.CellWidth, 64 + 15);
    EXPECT_EQ(view.CellHeight, 48 + 15);
}

TEST_F(ChartGeometry, ExtentFollowsVisibleBlocksOnly) {
    NoTexts();
    Add(7, -2);
    Add(3, -9);
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.MaxColumn, 7);
    EXPECT_EQ(view.MinRow, -9);
    EXPECT_EQ(view.TotalWidth, view.XOrigin + view.CellWidth * 13);
    EXPECT_EQ(view.TotalHeight, view.YOrigin + view.CellHeight * 15);
    // The Clock's companions sit far off the grid and never count.
    EXPECT_EQ(doc.Blocks[2]->TypeName, "Dummy");
}

TEST_F(ChartGeometry, ScrollSizesFollowTheWindow) {
    NoTexts();
    dc.SetClient({0, 0, 500, -300});
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.ScrollTotal, (CSize{view.TotalWidth, view.TotalHeight}));
    EXPECT_EQ(view.ScrollPage, (CSize{450, 270}));
    EXPECT_EQ(view.ScrollLine, (CSize{47, 39}));
}

// ---- Notes ----

class ChartNotes : public ChartTest {
  protected:
    ChartNotes() {
        view.NotesDisplay = 1;
        view.NotesLf.lfHeight = -10; // 5 units a character, 10 a line
    }
    std::vector<std::string> Wrap(const std::string& text, int width) {
        view.ChartNotes = text;
        dc.SetClient({0, 0, width, -400});
        view.RecalcLayout(&dc);
        return view.NotesLines;
    }
};

TEST_F(ChartNotes, WrapAtBreakCharactersAndTrimTheLineEnds) {
    // "alpha beta gamma." : "alpha beta " is 55 wide, all of it 85.
    EXPECT_EQ(Wrap("alpha beta gamma.", 60), (std::vector<std::string>{"alpha beta", "gamma."}));
    EXPECT_EQ(view.NotesHeight, 20);
    EXPECT_EQ(Wrap("alpha beta gamma.", 85), (std::vector<std::string>{"alpha beta gamma."}));
    EXPECT_EQ(Wrap("one two three four five six", 55),
              (std::vector<std::string>{"one two", "three four", "five six"}));
    EXPECT_EQ(view.NotesHeight, 30);
    EXPECT_EQ(Wrap("a/b;c,d.e f", 20), (std::vector<std::string>{"a/b;", "c,d.", "e f"}));
}

TEST_F(ChartNotes, APieceWithoutBreaksGetsItsOwnLinesAndIsCutToFit) {
    // 12 characters of 5 units into 25-unit lines: 5 characters a line.
    EXPECT_EQ(Wrap("ab abcdefghijkl", 25), (std::vector<std::string>{"ab", "abcde", "fghij", "kl"}));
    EXPECT_EQ(Wrap("abcdefghijkl", 25), (std::vector<std::string>{"abcde", "fghij", "kl"}));
    // A window narrower than one character still ends.
    EXPECT_EQ(Wrap("abc", 2), (std::vector<std::string>{"a", "b", "c"}));
    // Accented letters are characters, never split into their bytes.
    EXPECT_EQ(Wrap("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 25),
              (std::vector<std::string>{"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9"}));
}

TEST_F(ChartNotes, TypedLineBreaksStartNewLines) {
    EXPECT_EQ(Wrap("first\r\nsecond line", 500), (std::vector<std::string>{"first", "second line"}));
}

TEST_F(ChartNotes, NotesPushTheGridDownOnlyWhenShown) {
    NoTexts();
    Wrap("one two three four five six", 55);
    EXPECT_EQ(view.YOrigin, 31 + 30);
    view.NotesDisplay = 0;
    view.RecalcLayout(&dc);
    EXPECT_EQ(view.YOrigin, 31);
    EXPECT_EQ(view.NotesHeight, 0);
    EXPECT_EQ(view.NotesLines.size(), 3u) << "the old lines are kept, not drawn";
}

TEST_F(ChartNotes, PrintingWrapsToThePrintRectangle) {
    view.ChartNotes = "alpha beta gamma.";
    view.PrintRect = {0, 0, 60, -1054};
    RecordingDC printer({0, 0, 5000, -5000}, true);
    view.RecalcLayout(&printer);
    EXPECT_EQ(view.NotesLines, (std::vector<std::string>{"alpha beta", "gamma."}));
}

} // namespace
