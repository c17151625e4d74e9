#include "TestSupport.h"
#include "platform/Archive.h"
#include "platform/DataExchange.h"
#include "settings/SettingList.h"

#include <gtest/gtest.h>

namespace {

// An owner with one setting of every kind that has an Add call, plus a text setting.
struct Owner {
    int flag = 0, choice = 0, integer = 0;
    double real = 0.0;
    COLORREF color = 0, fontColor = 0;
    LOGFONT font;
    std::string text;
    CSettingList list;

    Owner() {
        list.SetSection("GraphView", 100.0);
        list.AddFlag(100.0, 0.0, &flag, 1, "Grid", 10);
        list.AddChoice(100.0, 0.0, &choice, 2, "Placement", 11);
        LOGFONT big;
        big.lfHeight = -20;
        list.AddFont(100.0, 0.0, &font, &big, "Title Font", 12);
        list.AddColor(100.0, 0.0, &fontColor, RGB(1, 2, 3), "Title Color", -12);
        list.AddColor(100.0, 0.0, &color, RGB(0, 0, 0), "Axis Color", 13);
        list.AddInteger(100.0, 0.0, &integer, 7, "Lines", 14, 0, 99);
        list.AddReal(101.0, 0.0, &real, 0.5, "Low", 15, 0.0, 0.0);
        list.Append(std::make_unique<CTextSetting>(100.0, 0.0, &text, "abc", "Caption", 16, &list, 5));
    }
};

TEST(Settings, AFreshOwnerHoldsTheFactoryDefaults) {
    TestPlatform platform;
    Owner o;
    EXPECT_EQ(o.flag, 1);
    EXPECT_EQ(o.choice, 2);
    EXPECT_EQ(o.font.lfHeight, -20);
    EXPECT_EQ(o.fontColor, RGB(1, 2, 3));
    EXPECT_EQ(o.integer, 7);
    EXPECT_EQ(o.real, 0.5);
    EXPECT_EQ(o.text, "abc");
    EXPECT_TRUE(platform.store.Values().empty()) << "creating an owner writes nothing";
}

TEST(Settings, StoreMappingOfEveryKind) {
    TestPlatform platform;
    Owner o;
    o.list.Update();
    auto& s = platform.store;
    EXPECT_EQ(s.GetProfileString("GraphView", "Grid", ""), "1");
    EXPECT_EQ(s.GetProfileString("GraphView", "Placement", ""), "2");
    EXPECT_EQ(s.GetProfileString("GraphView", "Axis ColorRed", ""), "0");
    EXPECT_EQ(s.GetProfileString("GraphView", "Title ColorBlue", ""), "3");
    EXPECT_EQ(s.GetProfileString("GraphView", "Title Font.Height", ""), "-20");
    EXPECT_EQ(s.GetProfileString("GraphView", "Title Font.Weight", ""), "400");
    EXPECT_EQ(s.GetProfileString("GraphView", "Title Font.PitchAndFamily", ""), "18");
    EXPECT_EQ(s.GetProfileString("GraphView", "Title Font.FaceName", ""), "Times New Roman");
    EXPECT_EQ(s.GetProfileString("GraphView", "Low", ""), "5.000000e-001");
    EXPECT_EQ(s.GetProfileString("GraphView", "Caption", ""), "abc");
    // Font: fourteen values; colour: three.
    int fontValues = 0;
    for (const auto& [name, value] : s.Values().at("GraphView"))
        if (name.rfind("Title Font.", 0) == 0) ++fontValues;
    EXPECT_EQ(fontValues, 14);
}

TEST(Settings, StoredValuesAreReadBackWithTheirRules) {
    TestPlatform platform;
    auto& s = platform.store;
    s.WriteProfileInt("GraphView", "Axis ColorGreen", 255); // alone: pure green
    s.WriteProfileInt("GraphView", "Grid", 0x100);          // only the low byte counts
    s.WriteProfileString("GraphView", "Low", "1.23456789012");
    s.WriteProfileString("GraphView", "Title Font.FaceName", std::string(40, 'F'));
    s.WriteProfileInt("GraphView", "Title Font.Italic", 0x101);
    Owner o;
    EXPECT_EQ(o.color, RGB(0, 255, 0));
    EXPECT_EQ(o.flag, 0);
    EXPECT_EQ(o.real, 1.23456789012);
    EXPECT_EQ(o.font.FaceName(), std::string(31, 'F'));
    EXPECT_EQ(o.font.lfItalic, 1);
    EXPECT_EQ(o.font.lfHeight, -20) << "missing font fields come from the default font";

    // Through the store a real keeps seven significant digits.
    o.real = 1.23456789012;
    o.list.Update();
    EXPECT_EQ(s.GetProfileString("GraphView", "Low", ""), "1.234568e+000");
    o.list.Recall();
    Owner again;
    EXPECT_EQ(again.real, 1.234568);
}

TEST(Settings, RecallResetAndUpdateNeverTouchTheOwner) {
    TestPlatform platform;
    Owner o;
    CSettingList working;
    working.CloneFrom(o.list);
    *working.FindValue<int>(14) = 42;
    working.Update();
    EXPECT_EQ(o.integer, 7);
    working.Reset();
    EXPECT_EQ(*working.FindValue<int>(14), 7);
    working.Recall();
    EXPECT_EQ(*working.FindValue<int>(14), 42);
    o.list.CopyValuesFrom(working);
    EXPECT_EQ(o.integer, 42) << "OK copies the working values into the owner's members";
}

TEST(Settings, TypedAccessAnswersOnlyForTheTypeAnItemKeeps) {
    TestPlatform platform;
    Owner o;
    const auto kept = [&](int id) {
        CSettingItem& item = *o.list.FindItem(id);
        std::string types;
        if (item.ValueAs<std::uint8_t>()) types += "flag ";
        if (item.ValueAs<int>()) types += "int ";
        if (item.ValueAs<double>()) types += "real ";
        if (item.ValueAs<COLORREF>()) types += "colour ";
        if (item.ValueAs<LOGFONT>()) types += "font ";
        if (item.ValueAs<std::string>()) types += "text ";
        if (item.DefaultAs<int>()) types += "int-default ";
        return types;
    };
    const std::pair<int, std::string> expected[] = {
        {10, "flag "},   {11, "int int-default "}, {12, "font "}, {-12, "colour "},
        {13, "colour "}, {14, "int int-default "}, {15, "real "}, {16, "text "},
    };
    for (const auto& [id, types] : expected)
        EXPECT_EQ(kept(id), types) << "control " << id;
    EXPECT_EQ(o.list.FindItem(14)->MinimumAs<int>(), 0);
    EXPECT_FALSE(o.list.FindItem(14)->MaximumAs<double>()) << "an integer's range is in ints";
    EXPECT_FALSE(o.list.FindItem(11)->MaximumAs<int>()) << "a choice has no range";
    EXPECT_EQ(o.list.FindValue<double>(14), nullptr);
}

TEST(Settings, CloneTakesTheOwnersCurrentMembers) {
    TestPlatform platform;
    Owner o;
    o.real = 9.5;
    o.text = "xyz";
    CSettingList working;
    working.CloneFrom(o.list);
    EXPECT_EQ(working.Section(), "GraphView");
    ASSERT_EQ(working.GetSize(), o.list.GetSize());
    EXPECT_EQ(*working.FindValue<double>(15), 9.5);
    EXPECT_EQ(*working.FindValue<std::string>(16), "xyz");
    EXPECT_EQ(*working.FindDefault<double>(15), 0.5);
    EXPECT_EQ(*working.FindItem(14)->MaximumAs<int>(), 99);
    CSettingList empty;
    EXPECT_EQ(empty.FindValue<double>(15), nullptr);
}

TEST(Settings, FileRecordIsByteExactAndReadsAgainstTheFileVersion) {
    TestPlatform platform;
    Owner o;
    o.flag = 1;
    o.real = 0.1;
    CArchive out;
    o.list.Serialize(out, 0.0);
    const auto& b = out.Bytes();
    // flag 4 + choice 4 + font (28 + 1 + 15) + 2 colours 8 + integer 4 + real 8 + text 1 + 3
    ASSERT_EQ(b.size(), 4u + 4 + 44 + 8 + 4 + 8 + 4);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 8),
              (std::vector<std::uint8_t>{1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(b[8], 0xEC);      // height -20
    EXPECT_EQ(b[8 + 16], 0x90); // weight 400 = 0x190
    EXPECT_EQ(b[8 + 20 + 7], 0x12);
    EXPECT_EQ(b[8 + 28], 15);
    EXPECT_EQ(std::string(b.begin() + 37, b.begin() + 52), "Times New Roman");

    // Everything comes back exactly, through the bound members.
    Owner other;
    other.real = 3.0;
    CArchive in(out.Bytes());
    other.list.Serialize(in, 102.0);
    EXPECT_EQ(other.real, 0.1);
    EXPECT_EQ(other.font, o.font);
    EXPECT_EQ(in.Remaining(), 0u);

    // A 100.0 record has no "Low" (introduced in 101.0): the item is skipped and keeps its value.
    CArchive old;
    Owner writer;
    writer.list.Serialize(old, 0.0);
    std::vector<std::uint8_t> bytes = old.Bytes();
    bytes.erase(bytes.end() - 12, bytes.end() - 4); // drop the real
    Owner reader;
    reader.real = 7.25;
    CArchive in100(bytes);
    reader.list.Serialize(in100, 100.0);
    EXPECT_EQ(reader.real, 7.25);
    EXPECT_EQ(reader.text, "abc");
    EXPECT_EQ(in100.Remaining(), 0u);
}

TEST(Settings, AFlagReadsOnlyItsLowByteFromTheFile) {
    TestPlatform platform;
    int flag = 0;
    CSettingList list;
    list.SetSection("MainView", 100.0);
    list.AddFlag(100.0, 0.0, &flag, 0, "HoldDisp", 1);
    CArchive set(std::vector<std::uint8_t>{0x01, 0x00, 0x00, 0x00});
    list.Serialize(set, 102.0);
    EXPECT_EQ(flag, 1);
    CArchive high(std::vector<std::uint8_t>{0x00, 0x01, 0xFF, 0xFF});
    list.Serialize(high, 102.0);
    EXPECT_EQ(flag, 0);
    CArchive shortRecord(std::vector<std::uint8_t>{0x01});
    EXPECT_THROW(list.Serialize(shortRecord, 102.0), CArchiveException);
}

TEST(Settings, ExchangeValidatesOnlyWhereBoundsAreSet) {
    TestPlatform platform;
    Owner o;
    MapDataExchange dx;
    o.list.Exchange(dx); // fill
    EXPECT_EQ(dx.texts[14], "7");
    EXPECT_EQ(dx.texts[15], "0.5");
    EXPECT_EQ(dx.checks[10], 1);
    EXPECT_EQ(dx.radios[11], 2);

    dx.saving = true;
    dx.texts[14] = "100";
    EXPECT_THROW(o.list.Exchange(dx), DataExchangeFailure);
    EXPECT_EQ(dx.focus, 14);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Please enter an integer between 0 and 99.");
    dx.texts[14] = "12x";
    EXPECT_THROW(o.list.Exchange(dx), DataExchangeFailure);
    dx.texts[14] = " 99 ";
    dx.texts[15] = "nan"; // no bounds on the real, but it must be a number
    EXPECT_THROW(o.list.Exchange(dx), DataExchangeFailure);
    EXPECT_EQ(dx.focus, 15);
    dx.texts[15] = "-1e300"; // no bounds on the real: anything goes
    dx.texts[16] = "abcdef"; // longer than 5
    EXPECT_THROW(o.list.Exchange(dx), DataExchangeFailure);
    EXPECT_EQ(dx.focus, 16);
    dx.texts[16] = "abcde";
    dx.checks[10] = 0;
    dx.radios[11] = 1;
    o.list.Exchange(dx);
    CSettingList& l = o.list;
    EXPECT_EQ(*l.FindValue<int>(14), 99);
    EXPECT_EQ(*l.FindValue<double>(15), -1e300);
    EXPECT_EQ(*l.FindValue<std::uint8_t>(10), 0);
    EXPECT_EQ(*l.FindValue<int>(11), 1);
    EXPECT_EQ(o.integer, 7) << "exchange moves values between controls and items only";
}

TEST(Settings, ChoosersChangeTheWorkingValuesAndTheFontsPairedColour) {
    TestPlatform platform;
    Owner o;
    CSettingList working;
    working.CloneFrom(o.list);
    EXPECT_FALSE(working.OnCommand(999));
    EXPECT_FALSE(working.OnCommand(13)) << "the chooser was cancelled";
    platform.windows.colorAnswer = std::make_unique<COLORREF>(RGB(9, 8, 7));
    EXPECT_TRUE(working.OnCommand(13));
    EXPECT_EQ(*working.FindValue<COLORREF>(13), RGB(9, 8, 7));

    LOGFONT chosen;
    chosen.lfWeight = 700;
    chosen.SetFaceName("Liberation Sans");
    platform.windows.fontAnswer = std::make_unique<LOGFONT>(chosen);
    platform.windows.fontColorAnswer = RGB(200, 0, 0);
    EXPECT_TRUE(working.OnCommand(12));
    EXPECT_EQ(platform.windows.lastFontFlags, 0x101);
    EXPECT_EQ(platform.windows.lastFontColorShown, RGB(1, 2, 3));
    EXPECT_EQ(*working.FindValue<LOGFONT>(12), chosen);
    EXPECT_EQ(*working.FindValue<COLORREF>(-12), RGB(200, 0, 0));
    EXPECT_EQ(o.fontColor, RGB(1, 2, 3)) << "the owner changes only on OK";
}

} // namespace
