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

namespace {
// Every character boundary kept, every byte of a well-formed sequence kept with its sequence.
bool ValidUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = Utf8CharSize(s, i);
        if (n == 1 && static_cast<unsigned char>(s[i]) >= 0x80) return false;
        i += n;
    }
    return true;
}
} // namespace

TEST(Text, RoundTripFormatIsExactAndNoLongerThanNeeded) {
    const struct {
        double value;
        const char* text;
    } table[] = {{0.1234567891, "0.1234567891"},
                 {1.0, "1"},
                 {100000.0, "100000"},
                 {0.1, "0.1"},
                 {-0.0, "-0"},
                 {1e300, "1e+300"},
                 {2.0 / 3.0, "0.6666666666666666"},
                 {5e-324, "4.94066e-324"}};
    for (const auto& row : table)
        EXPECT_EQ(FormatRoundTrip(row.value), row.text);

    std::mt19937_64 random(7);
    for (int i = 0; i < 5000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (v != v) continue; // NaN payloads do not survive text; a text left alone keeps them
        const std::string text = FormatRoundTrip(v);
        const double back = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v)) << text;
    }
}

TEST(Text, LimitsCountCharactersAndNeverCutInsideOne) {
    const std::string e = "\xC3\xA9";            // é, two bytes
    const std::string clef = "\xF0\x9D\x84\x9E"; // a four-byte character
    const std::string stray = "\xE9";            // Latin-1 é from an old file: not UTF-8
    EXPECT_EQ(Utf8Length("abc"), 3u);
    EXPECT_EQ(Utf8Length(e + e + clef), 3u);
    EXPECT_EQ(Utf8Length(stray + "ab" + stray), 4u);
    EXPECT_EQ(Utf8Length("\xC3"), 1u) << "a sequence cut short counts byte by byte";

    EXPECT_EQ(Utf8Left(e + e + e, 2), e + e);
    EXPECT_EQ(Utf8Left("a" + clef + "b", 2), "a" + clef);
    EXPECT_EQ(Utf8Left(stray + e + stray, 2), stray + e) << "stray bytes are kept, not made worse";
    EXPECT_EQ(Utf8LeftBytes(e + e, 3), e);
    EXPECT_EQ(Utf8LeftBytes("ab" + clef, 5), "ab");

    // Any cut of valid text is valid text.
    std::string mixed;
    for (int i = 0; i < 12; ++i)
        mixed += i % 3 == 0 ? e : i % 3 == 1 ? clef : "x";
    for (std::size_t k = 0; k <= 13; ++k) {
        EXPECT_TRUE(ValidUtf8(Utf8Left(mixed, k))) << k;
        EXPECT_EQ(Utf8Length(Utf8Left(mixed, k)), std::min<std::size_t>(k, 12));
        EXPECT_TRUE(ValidUtf8(Utf8LeftBytes(mixed, k)));
    }

    // A face name holds 31 bytes: 20 accented letters keep 15 whole ones.
    LOGFONT lf;
    std::string face;
    for (int i = 0; i < 20; ++i)
        face += e;
    lf.SetFaceName(face);
    EXPECT_EQ(lf.FaceName(), Utf8Left(face, 15));

    EXPECT_EQ(Utf8Encode(U'a'), "a");
    EXPECT_EQ(Utf8Encode(0xE9), e);
    EXPECT_EQ(Utf8Encode(0x1D11E), clef);
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
    EXPECT_TRUE(platform.messages.shown.empty());
    dx.texts[1] = accented + "x";
    EXPECT_THROW(ExchangeTitleAndNotes(dx, 1, title, 28), DataExchangeFailure);
    EXPECT_EQ(title, accented);
}
