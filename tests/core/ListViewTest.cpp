// The List window's settings, default columns, number format, export text and record.

#include "views/ListView.h"
#include "TestSupport.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"
#include "platform/FileIo.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <unistd.h>

namespace {

class ListViewTest : public ::testing::Test {
  protected:
    ListViewTest() {
        doc.OnNewDocument();
        doc.AddView(&list);
    }

    PassBlock* Named(int x, const std::string& name, int kind = BK_ALGEBRAIC) {
        PassBlock* b = Place(doc, x, 0, kind);
        b->Name = name;
        return b;
    }

    TestPlatform platform;
    COrventDoc doc;
    CListBase list;
};

} // namespace

TEST_F(ListViewTest, SettingsListHasItsItemsInFileOrder) {
    struct ExpectedItem {
        const char* name;
        int kind;
        int id;
    };
    const ExpectedItem expected[] = {{"Precision", SK_INTEGER, 1172}, {"Extra", SK_INTEGER, 1173},
                                     {"ListFont", SK_FONT, 1207},     {"FontColor", SK_COLOR, -1207},
                                     {"NotesFont", SK_FONT, 1169},    {"NotesColor", SK_COLOR, -1169},
                                     {"NotesDisplay", SK_FLAG, 1097}};
    EXPECT_EQ(list.Settings.Section(), "ListView");
    EXPECT_EQ(list.Settings.ListVersion(), 100.0);
    ASSERT_EQ(list.Settings.GetSize(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(list.Settings[i].Name(), expected[i].name);
        EXPECT_EQ(list.Settings[i].Kind(), expected[i].kind);
        EXPECT_EQ(list.Settings[i].ControlId(), expected[i].id);
        EXPECT_EQ(list.Settings[i].IntroducedVersion(), 100.0);
    }
    EXPECT_EQ(*list.Settings[0].MaximumAs<int>(), 16);
    EXPECT_EQ(*list.Settings[1].MaximumAs<int>(), 99);
    EXPECT_EQ(*list.Settings[1].MinimumAs<int>(), 0);
    EXPECT_EQ(list.Precision, 3);
    EXPECT_EQ(list.Extra, 0);
    EXPECT_EQ(list.FontColor, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(list.NotesDisplay, 0);
    EXPECT_TRUE(list.Columns.empty());
}

TEST_F(ListViewTest, FirstDisplayListsEveryBlockButCompanionsAndFirstComputedOnes) {
    Named(1, "Sine");
    PassBlock* k = Named(2, "K", BK_CONSTANT);
    k->AtFirst = 1;
    list.OnInitialUpdate();
    ASSERT_EQ(list.Columns.size(), 2u);
    EXPECT_EQ(list.Columns[0], doc.Clock());
    EXPECT_EQ(list.Columns[1]->Name, "Sine");
    // Columns already chosen are kept.
    list.Columns = {k};
    list.OnInitialUpdate();
    EXPECT_EQ(list.Columns.size(), 1u);
}

TEST_F(ListViewTest, FormatValueFollowsPrecisionAndExtra) {
    EXPECT_EQ(list.FormatValue(1.0), "1.000e+000");
    EXPECT_EQ(list.FormatValue(-0.0025), "-2.500e-003");
    EXPECT_EQ(list.FormatValue(0.0), "0.000e+000");
    EXPECT_EQ(list.FormatValue(1.5e200), "1.500e+200");
    list.Extra = 5;
    EXPECT_EQ(list.FormatValue(1.0), "    1.000e+000");
    list.Extra = 0;
    list.Precision = 1;
    EXPECT_EQ(list.FormatValue(1.0), "01.0e+000");
    EXPECT_EQ(list.FormatValue(-1.0), "-1.0e+000");
    list.Precision = 0;
    EXPECT_EQ(list.FormatValue(2.0), "0002e+000");
    EXPECT_EQ(list.FormatValue(-2.0), "-002e+000");
    list.Precision = 16;
    list.Extra = 99;
    EXPECT_EQ(list.FormatValue(1.0).size(), 108u);
    // Values a file can hold but the dialog refuses are kept within its bounds.
    list.Precision = 1000000;
    list.Extra = -7;
    EXPECT_EQ(list.FormatValue(1.0), "1.0000000000000000e+000");
    list.Precision = 3;
    list.Extra = 0;
    EXPECT_EQ(list.FormatValue(std::numeric_limits<double>::infinity()), "      inf");
}

TEST_F(ListViewTest, PrintTextIsTabSeparatedWithCarriageReturns) {
    PassBlock* a = Named(1, "A");
    PassBlock* b = Named(2, "B");
    doc.Clock()->SetHistory({0.0, 0.5, 1.0});
    a->SetHistory({2.0, -3.0, 4.0});
    b->SetHistory({7.0}); // shorter than the Clock's: 0.0 past its end
    list.Columns = {doc.Clock(), a, nullptr, b};
    EXPECT_EQ(list.PrintText(), "\r\n"
                                "Clock\tA\t\tB\t\r\n"
                                "0.000e+000\t2.000e+000\t\t7.000e+000\t\r\n"
                                "5.000e-001\t-3.000e+000\t\t0.000e+000\t\r\n"
                                "1.000e+000\t4.000e+000\t\t0.000e+000\t\r\n");
    list.ListNotes = "Run of today";
    list.Columns = {a};
    doc.Clock()->SetHistory({});
    EXPECT_EQ(list.PrintText(), "Run of today\r\nA\t\r\n");

    char tmpl[] = "/tmp/kintra-list-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    std::string error;
    ASSERT_TRUE(list.PrintToFile(dir + "/out.prn", error)) << error;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(dir + "/out.prn", bytes, error));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), list.PrintText());
    EXPECT_FALSE(list.PrintToFile(dir + "/missing/out.prn", error));
    std::remove((dir + "/out.prn").c_str());
    ::rmdir(dir.c_str());
}

TEST_F(ListViewTest, DataTextPutsTimeFirstAndQuotesNamesThatNeedIt) {
    PassBlock* a = Named(1, "a,b");
    PassBlock* b = Named(2, "say \"hi\"");
    PassBlock* c = Named(3, "two\nlines");
    PassBlock* d = Named(4, "tab\there");
    doc.Clock()->SetHistory({0.0, 0.25});
    a->SetHistory({0.1, -2.5});
    b->SetHistory({1e300});
    c->SetHistory({-0.0, 5e-324});
    d->SetHistory({std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()});
    // A first column of the Clock is not repeated; one further on is the user's choice.
    list.Columns = {doc.Clock(), a, nullptr, b, c, d, doc.Clock()};
    EXPECT_EQ(list.CsvText(), "Clock,\"a,b\",,\"say \"\"hi\"\"\",\"two\nlines\",tab\there,Clock\r\n"
                              "0,0.1,,1e+300,-0,nan,0\r\n"
                              "0.25,-2.5,,0,4.94066e-324,-inf,0.25\r\n");
    list.Columns = {d, a};
    EXPECT_EQ(list.DataText('\t', "\n"), "Clock\t\"tab\there\"\ta,b\n"
                                         "0\tnan\t0.1\n"
                                         "0.25\t-inf\t-2.5\n");
    EXPECT_EQ(list.DefaultPrintFileName(CListBase::FileKind::Csv), "Output.csv");
}

TEST_F(ListViewTest, CsvReadsBackToTheBit) {
    PassBlock* a = Named(1, "A");
    using Limits = std::numeric_limits<double>;
    a->SetHistory({-0.0, 0.0, Limits::denorm_min(), -Limits::denorm_min(), Limits::min() / 3, Limits::min(),
                   Limits::max(), -Limits::max(), Limits::epsilon(), 1e-300, 1e300, 0.1, 1.0 / 3.0});
    std::mt19937_64 random(11);
    std::vector<double> values = a->HistoryValues();
    while (values.size() < 20000) {
        const double v = std::bit_cast<double>(random());
        if (std::isfinite(v)) values.push_back(v);
    }
    a->SetHistory(values);
    doc.Clock()->SetHistory(a->HistoryValues());
    list.Columns = {a};
    std::istringstream csv(list.CsvText());
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, "Clock,A\r");
    for (const double v : a->HistoryValues()) {
        ASSERT_TRUE(std::getline(csv, line));
        const std::size_t comma = line.find(',');
        ASSERT_EQ(line.back(), '\r');
        const std::string field = line.substr(comma + 1, line.size() - comma - 2);
        EXPECT_EQ(line.substr(0, comma), field);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(std::strtod(field.c_str(), nullptr)),
                  std::bit_cast<std::uint64_t>(v))
            << field;
    }
    EXPECT_FALSE(std::getline(csv, line));
}

TEST_F(ListViewTest, PrintFileNameIsAPlainNameFromTheTitle) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "Output.prn"},
        {"Run 3", "Run 3.prn"},
        {"Débit", "Débit.prn"},
        {"../../.bashrc", "_.._.bashrc.prn"},
        {"/etc/passwd", "_etc_passwd.prn"},
        {"..", "Output.prn"},
        {"a\\b\x1b[2J\n\x7f", "a_b_[2J__.prn"},
        {std::string(300, 'x'), std::string(251, 'x') + ".prn"},
        {std::string(250, 'x') + "é", std::string(250, 'x') + ".prn"},
    };
    for (const auto& [title, name] : cases) {
        list.ListTitle = title;
        EXPECT_EQ(list.DefaultPrintFileName(), name) << title;
    }
}

TEST_F(ListViewTest, RemovingABlockDropsEveryColumnShowingIt) {
    PassBlock* a = Named(1, "A");
    PassBlock* b = Named(2, "B");
    list.Columns = {a, b, a, a};
    doc.DeleteBlock(a);
    EXPECT_EQ(list.Columns, std::vector<CBlock*>{b});
}

TEST_F(ListViewTest, RecordRoundTripAndCopy) {
    PassBlock* a = Named(1, "A");
    PassBlock* twin = Named(1, "Twin");
    list.Columns = {doc.Clock(), a, doc.CompanionBlocks[0]};
    list.Precision = 5;
    list.Extra = 3;
    list.NotesColor = RGB(4, 5, 6);
    list.ListTitle = "Title";
    list.ListNotes = "Notes";
    CArchive out;
    list.Serialize(out);
    std::vector<std::uint8_t> bytes = out.TakeBytes();
    const std::size_t fonts = 2 * (28 + 1 + 15);
    ASSERT_EQ(bytes.size(), 20 + fonts + 6 + 6 + 4 + 3 * 8);

    CListBase loaded;
    doc.AddView(&loaded);
    CArchive in{bytes};
    loaded.Serialize(in);
    EXPECT_EQ(in.Remaining(), 0u);
    ASSERT_EQ(loaded.Columns.size(), 3u);
    EXPECT_EQ(loaded.Columns[0], doc.Clock());
    EXPECT_EQ(loaded.Columns[1], twin) << "the last block on the cell";
    EXPECT_EQ(loaded.Columns[2], doc.CompanionBlocks[0]);
    EXPECT_EQ(loaded.Precision, 5);
    EXPECT_EQ(loaded.Extra, 3);
    EXPECT_EQ(loaded.NotesColor, RGB(4, 5, 6));
    EXPECT_EQ(loaded.ListTitle, "Title");
    EXPECT_EQ(loaded.ListNotes, "Notes");

    // No columns at all.
    std::int32_t zero = 0;
    std::vector<std::uint8_t> none(bytes.begin(), bytes.end() - 3 * 8);
    std::memcpy(none.data() + none.size() - 4, &zero, 4);
    CArchive empty{none};
    loaded.Serialize(empty);
    EXPECT_TRUE(loaded.Columns.empty());

    // A count the record cannot hold.
    std::int32_t huge = 0x10000000;
    std::memcpy(bytes.data() + bytes.size() - 3 * 8 - 4, &huge, 4);
    CArchive bad{bytes};
    EXPECT_THROW(loaded.Serialize(bad), CArchiveException);

    CListBase pane;
    list.Precision = 7;
    list.CopySettingsTo(pane);
    EXPECT_EQ(pane.Precision, 7);
    EXPECT_EQ(pane.Extra, 3);
    EXPECT_EQ(pane.Columns, list.Columns);
    EXPECT_EQ(pane.ListTitle, "");
}
