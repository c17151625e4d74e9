// Texts: numbers that read back exactly, and limits counted in characters of UTF-8 text.

#include "platform/Text.h"
#include "TestSupport.h"
#include "platform/DataExchange.h"
#include "platform/LogFont.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>

TEST(Text, RoundTripFormatIsExactAndNoLongerThanNeeded) {
    const std::pair<double, const char*> table[] = {{0.1234567891, "0.1234567891"},
                                                    {100000.0, "100000"},
                                                    {-0.0, "-0"},
                                                    {2.0 / 3.0, "0.6666666666666666"},
                                                    {5e-324, "4.94066e-324"}};
    for (const auto& [value, text] : table)
        EXPECT_EQ(FormatRoundTrip(value), text);

    std::mt19937_64 random(7);
    for (int i = 0; i < 5000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (v != v) continue; // NaN payloads do not survive text; a text left alone keeps them
        const std::string text = FormatRoundTrip(v);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(std::strtod(text.c_str(), nullptr)),
                  std::bit_cast<std::uint64_t>(v))
            << text;
    }
}

TEST(Text, LimitsCountCharactersAndNeverCutInsideOne) {
    const std::string e = "\xC3\xA9";            // é, two bytes
    const std::string clef = "\xF0\x9D\x84\x9E"; // a four-byte character
    const std::string stray = "\xE9";            // Latin-1 é from an old file: not UTF-8
    EXPECT_EQ(Utf8Length(e + e + clef + "x"), 4u);
    EXPECT_EQ(Utf8Length(stray + "\xC3"), 2u) << "bytes of no well-formed sequence count one by one";
    EXPECT_EQ(Utf8Left("a" + clef + "b", 2), "a" + clef);
    EXPECT_EQ(Utf8Left(stray + e + stray, 2), stray + e) << "stray bytes are kept, not made worse";

    // Every cut of valid text ends between characters.
    std::string mixed;
    for (int i = 0; i < 12; ++i)
        mixed += i % 3 == 0 ? e : i % 3 == 1 ? clef : "x";
    for (std::size_t k = 0; k <= 13; ++k) {
        const std::string left = Utf8Left(mixed, k), bytes = Utf8LeftBytes(mixed, k);
        EXPECT_EQ(Utf8Length(left), std::min<std::size_t>(k, 12));
        EXPECT_EQ(mixed.compare(0, left.size(), left), 0);
        EXPECT_EQ(Utf8Length(bytes) + Utf8Length(mixed.substr(bytes.size())), 12u) << k;
        EXPECT_LE(bytes.size(), k);
    }

    // A face name holds 31 bytes: a letter across the 31st byte goes whole.
    LOGFONT lf;
    lf.SetFaceName(std::string(30, 'x') + e + "x");
    EXPECT_EQ(lf.FaceName(), std::string(30, 'x'));
}

TEST(Text, TitlesAreLimitedInCharacters) {
    TestPlatform platform;
    std::string accented;
    for (int i = 0; i < 28; ++i)
        accented += "\xC3\xA9";
    MapDataExchange dx;
    dx.saving = true;
    std::string title;
    dx.texts[1] = accented;
    ExchangeTitleAndNotes(dx, 1, title, 28);
    EXPECT_EQ(title, accented) << "28 characters of 56 bytes are accepted";
    dx.texts[1] = accented + "x";
    EXPECT_THROW(ExchangeTitleAndNotes(dx, 1, title, 28), DataExchangeFailure);
    EXPECT_EQ(title, accented);
}
