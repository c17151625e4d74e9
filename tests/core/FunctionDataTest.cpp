#include "TestSupport.h"
#include "blocks/FunctionDataDlg.h"
#include "platform/DataExchange.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

// A window host whose file chooser and help are scripted.
class FileWindows : public TestPlatform::Windows {
  public:
    bool ChooseOpenFile(const std::string& filter, std::string& path) override {
        ++choosersShown;
        lastFilter = filter;
        if (answer.empty()) return false;
        path = answer;
        return true;
    }
    void ShowHelp(int contextId) override { helpShown = contextId; }
    std::string answer;
    std::string lastFilter = "unset";
    int choosersShown = 0;
    int helpShown = 0;
};

struct FunctionData : ::testing::Test {
    TestPlatform platform;
    FileWindows windows;
    ScopedPlatform scope{&platform.store, &platform.messages, &windows};
    MapDataExchange dx;
    CFunctionDataDlg dlg{{1, 2.5, 1e-5}};
    std::filesystem::path dir;

    void SetUp() override {
        dlg.OnInitDialog(dx);
        dir = std::filesystem::temp_directory_path() /
              ("kintra-fdata-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void Type(const std::string& text) { dx.texts[CFunctionDataDlg::IDC_VALUE] = text; }
    std::string Edit() { return dx.texts[CFunctionDataDlg::IDC_VALUE]; }
    std::string WriteFile(const std::string& name, const std::string& content) {
        const auto p = dir / name;
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    void ExpectNoSelectionMessage() {
        ASSERT_EQ(platform.messages.shown.size(), 1u);
        EXPECT_EQ(platform.messages.shown[0].text, "Select a string from the listbox first.");
        EXPECT_EQ(platform.messages.shown[0].buttons, MB_OK);
        platform.messages.shown.clear();
    }
};

TEST_F(FunctionData, OpensWithItsValuesListedAndNothingSelected) {
    EXPECT_EQ(dlg.ListLines, (std::vector<std::string>{"1", "2.5", "1e-05"}));
    EXPECT_EQ(dlg.Selected, -1);
    EXPECT_EQ(Edit(), "");
}

TEST_F(FunctionData, AddAppendsTheValueAndSelectsIt) {
    Type("  -4.5e2 ");
    dlg.OnCommand(dx, CFunctionDataDlg::IDC_ADD);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2.5, 1e-5, -450}));
    EXPECT_EQ(dlg.ListLines.back(), "-450");
    EXPECT_EQ(dlg.Selected, 3);
    EXPECT_EQ(Edit(), "") << "the edit box is cleared";
    Type("1/2^3");
    dlg.OnAdd(dx);
    EXPECT_EQ(dlg.Values.back(), 0.125);
    EXPECT_EQ(dlg.Selected, 4);
    // Neither a number nor an expression: refused, nothing added, the text kept to mend.
    Type("4 volts");
    dlg.OnAdd(dx);
    dlg.OnSelectLine(dx, 0);
    Type("volts");
    dlg.OnInsert(dx);
    dlg.OnReplace(dx);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2.5, 1e-5, -450, 0.125}));
    EXPECT_EQ(Edit(), "volts");
    EXPECT_EQ(dx.focus, CFunctionDataDlg::IDC_VALUE);
    ASSERT_EQ(platform.messages.shown.size(), 3u);
    EXPECT_EQ(platform.messages.shown[0].text,
              "Please enter a number or an expression for Position: \"volts\" cannot stand at character 3.");
    EXPECT_EQ(platform.messages.shown[2].text,
              "Please enter a number or an expression for Position: \"volts\" is not a name Kintra knows.");
}

TEST_F(FunctionData, SelectingALineCopiesItsTextIntoTheEditBox) {
    dlg.OnSelectLine(dx, 2);
    EXPECT_EQ(dlg.Selected, 2);
    EXPECT_EQ(Edit(), "1e-05");
    EXPECT_EQ(dlg.ValueText, "1e-05");
    // The list dropping its selection leaves nothing selected: Remove then asks for a line.
    dlg.OnSelectLine(dx, -1);
    EXPECT_EQ(Edit(), "1e-05");
    dlg.OnRemove(dx);
    ExpectNoSelectionMessage();
    EXPECT_EQ(dlg.Values.size(), 3u);
}

TEST_F(FunctionData, InsertReplaceAndRemoveNeedASelectedLine) {
    Type("9");
    dlg.OnInsert(dx);
    ExpectNoSelectionMessage();
    dlg.OnReplace(dx);
    ExpectNoSelectionMessage();
    dlg.OnRemove(dx);
    ExpectNoSelectionMessage();
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2.5, 1e-5})) << "nothing changes";

    dlg.OnSelectLine(dx, 1);
    Type("7");
    dlg.OnInsert(dx);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 7, 2.5, 1e-5}));
    EXPECT_EQ(dlg.Selected, 1) << "the inserted line is selected";
    Type("8");
    dlg.OnReplace(dx);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 8, 2.5, 1e-5}));
    EXPECT_EQ(dlg.ListLines[1], "8");
    EXPECT_EQ(dlg.Selected, 1);
    dlg.OnRemove(dx);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2.5, 1e-5}));
    EXPECT_EQ(dlg.Selected, 1) << "the same index stays selected";
    dlg.OnSelectLine(dx, 2);
    dlg.OnRemove(dx);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2.5}));
    EXPECT_EQ(dlg.Selected, -1) << "no selection once the last line went";
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(FunctionData, RemoveAllEmptiesTheListAndLaterEditsNeedANewSelection) {
    dlg.OnSelectLine(dx, 0);
    dlg.OnCommand(dx, CFunctionDataDlg::IDC_REMOVE_ALL);
    EXPECT_TRUE(dlg.Values.empty());
    EXPECT_TRUE(dlg.ListLines.empty());
    EXPECT_EQ(dlg.Selected, -1);
    Type("1");
    dlg.OnReplace(dx);
    ExpectNoSelectionMessage();
    EXPECT_FALSE(dlg.OnCommand(dx, 1)) << "OK is not one of the dialog's own buttons";
}

TEST_F(FunctionData, FileReadsOneValuePerLineAndSelectsTheLast) {
    windows.answer = WriteFile("data.txt", "1\n2\n\n3\n");
    dlg.OnCommand(dx, CFunctionDataDlg::IDC_FILE);
    EXPECT_EQ(windows.lastFilter, "") << "no filter";
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2, 0, 3}));
    EXPECT_EQ(dlg.ListLines, (std::vector<std::string>{"1", "2", "0", "3"}));
    EXPECT_EQ(dlg.Selected, 3);
}

TEST_F(FunctionData, AFileThatCannotBeReadOrIsNotChosenChangesNothing) {
    dlg.OnFile(dx);
    EXPECT_EQ(windows.choosersShown, 1);
    windows.answer = (dir / "missing.txt").string();
    dlg.OnFile(dx);
    windows.answer = dir.string(); // a folder
    dlg.OnFile(dx);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    windows.answer = (dir / "pipe").string(); // nobody writes: reading it would wait for ever
    dlg.OnFile(dx);
    EXPECT_EQ(dlg.Values, (std::vector<double>{1, 2.5, 1e-5}));
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(FunctionData, HelpOpensItsContext) {
    dlg.OnCommand(dx, CFunctionDataDlg::IDC_HELP);
    EXPECT_EQ(windows.helpShown, 119);
}

TEST(FunctionDataFile, LinesAreTakenFortyEightCharactersAtATime) {
    const std::string exact48 = "12" + std::string(46, ' ');
    const std::string long50 = std::string(47, ' ') + "7" + "-3";
    EXPECT_EQ(ParseFunctionData(exact48 + "\n5\n"), (std::vector<double>{12, 5}))
        << "48 characters: one value";
    EXPECT_EQ(ParseFunctionData(long50 + "\n"), (std::vector<double>{7, -3})) << "the rest is the next value";
    EXPECT_EQ(ParseFunctionData(std::string(100, '1')).size(), 3u);
}

TEST(FunctionDataFile, LineEndsBlankLinesAndText) {
    EXPECT_EQ(ParseFunctionData("1\r\n2.5\r\n\r\n"), (std::vector<double>{1, 2.5, 0}));
    EXPECT_EQ(ParseFunctionData("4\n5"), (std::vector<double>{4, 5})) << "a last line without its end";
    EXPECT_EQ(ParseFunctionData(""), std::vector<double>{});
    EXPECT_EQ(ParseFunctionData("\n"), std::vector<double>{0});
    EXPECT_EQ(ParseFunctionData("x 3\n  -2e1abc\n"), (std::vector<double>{0, -20}));
}

} // namespace
