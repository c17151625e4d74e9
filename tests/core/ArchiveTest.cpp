#include "platform/Archive.h"

#include <gtest/gtest.h>

TEST(Archive, IntegersAndDoublesAreLittleEndian) {
    CArchive out;
    out.WriteInt16(-2);
    out.WriteInt32(0x01020304);
    out.WriteDouble(1.0);
    const auto& b = out.Bytes();
    ASSERT_EQ(b.size(), 14u);
    EXPECT_EQ(b[0], 0xFE);
    EXPECT_EQ(b[1], 0xFF);
    EXPECT_EQ(b[2], 0x04);
    EXPECT_EQ(b[5], 0x01);
    EXPECT_EQ(b[12], 0xF0); // 1.0 = 0x3FF0000000000000
    EXPECT_EQ(b[13], 0x3F);

    CArchive in(out.Bytes());
    EXPECT_EQ(in.ReadInt16(), -2);
    EXPECT_EQ(in.ReadInt32(), 0x01020304);
    EXPECT_EQ(in.ReadDouble(), 1.0);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, CountedStringsUseTheThreeLengthForms) {
    const std::string shortText(254, 'a'), mid(300, 'b'), edge(65533, 'c'), longText(70000, 'd');
    CArchive out;
    out.WriteString(shortText);
    out.WriteString(mid);
    out.WriteString(edge);
    out.WriteString(longText);
    const auto& b = out.Bytes();
    EXPECT_EQ(b[0], 254);
    std::size_t p = 1 + 254;
    EXPECT_EQ(b[p], 0xFF);
    EXPECT_EQ(b[p + 1] | (b[p + 2] << 8), 300);
    p += 3 + 300;
    EXPECT_EQ(b[p], 0xFF);
    EXPECT_EQ(b[p + 1] | (b[p + 2] << 8), 65533);
    p += 3 + 65533;
    EXPECT_EQ(b[p], 0xFF);
    EXPECT_EQ(b[p + 1], 0xFF);
    EXPECT_EQ(b[p + 2], 0xFF);
    EXPECT_EQ(b[p + 3] | (b[p + 4] << 8) | (b[p + 5] << 16), 70000);

    CArchive in(out.Bytes());
    EXPECT_EQ(in.ReadString(), shortText);
    EXPECT_EQ(in.ReadString(), mid);
    EXPECT_EQ(in.ReadString(), edge);
    EXPECT_EQ(in.ReadString(), longText);
}

TEST(Archive, ReadsSixteenBitCharacterStrings) {
    // 0xFF, 0xFFFE announces 16-bit characters; the length follows in the usual forms.
    // The characters become UTF-8: é, U+1234, a surrogate pair, and a lone surrogate.
    std::vector<std::uint8_t> bytes{0xFF, 0xFE, 0xFF, 7,    'K',  0,    'i',  0,    0xE9,
                                    0,    0x34, 0x12, 0x34, 0xD8, 0x1E, 0xDD, 0x00, 0xDC};
    CArchive in(bytes);
    EXPECT_EQ(in.ReadString(), "Ki\xC3\xA9\xE1\x88\xB4\xF0\x9D\x84\x9E\xEF\xBF\xBD");
}

TEST(Archive, TruncatedDataRaisesTheArchiveErrorWithoutReadingPastTheEnd) {
    CArchive out;
    out.WriteString(std::string(300, 'x'));
    auto bytes = out.Bytes();
    for (std::size_t cut = 0; cut < bytes.size(); cut += 37) {
        CArchive in(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
        EXPECT_THROW(in.ReadString(), CArchiveException) << "cut at " << cut;
    }
    CArchive in(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_THROW(in.ReadInt32(), CArchiveException);
    EXPECT_EQ(in.Remaining(), 3u);
}

TEST(Archive, ACountLargerThanTheRemainingBytesIsRefusedBeforeAllocating) {
    // A string claiming four gigabytes in a six-byte file.
    CArchive in(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    try {
        in.ReadString();
        FAIL() << "no error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::BadData);
    }
    CArchive small(std::vector<std::uint8_t>(16));
    EXPECT_NO_THROW(small.CheckCount(2, 8));
    EXPECT_THROW(small.CheckCount(3, 8), CArchiveException);
    EXPECT_THROW(small.CheckCount(-1, 8), CArchiveException);
}
