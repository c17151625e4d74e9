#include "platform/Archive.h"

#include "platform/Text.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "Kintra's archive assumes a little-endian machine");

CArchive::CArchive() : m_mode(Store) {}

CArchive::CArchive(std::vector<std::uint8_t> bytes) : m_mode(Load), m_bytes(std::move(bytes)) {}

void CArchive::WriteBytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + n);
}

void CArchive::WriteByte(std::uint8_t v) {
    m_bytes.push_back(v);
}
void CArchive::WriteInt16(std::int16_t v) {
    WriteBytes(&v, 2);
}
void CArchive::WriteUInt16(std::uint16_t v) {
    WriteBytes(&v, 2);
}
void CArchive::WriteInt32(std::int32_t v) {
    WriteBytes(&v, 4);
}
void CArchive::WriteUInt32(std::uint32_t v) {
    WriteBytes(&v, 4);
}
void CArchive::WriteDouble(double v) {
    WriteBytes(&v, 8);
}

void CArchive::WriteString(const std::string& s) {
    const std::size_t n = s.size();
    if (n < 255) {
        WriteByte(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteUInt16(static_cast<std::uint16_t>(n));
    } else {
        WriteByte(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<std::uint32_t>(n));
    }
    WriteBytes(s.data(), n);
}

void CArchive::Need(std::size_t n) const {
    if (m_mode != Load)
        throw CArchiveException(CArchiveException::BadData, "archive is not open for reading");
    if (n > Remaining()) throw CArchiveException(CArchiveException::EndOfFile, "unexpected end of file");
}

void CArchive::ReadBytes(void* data, std::size_t n) {
    Need(n);
    if (n > 0) std::memcpy(data, m_bytes.data() + m_pos, n);
    m_pos += n;
}

std::uint8_t CArchive::ReadByte() {
    Need(1);
    return m_bytes[m_pos++];
}

std::int16_t CArchive::ReadInt16() {
    std::int16_t v;
    ReadBytes(&v, 2);
    return v;
}

std::uint16_t CArchive::ReadUInt16() {
    std::uint16_t v;
    ReadBytes(&v, 2);
    return v;
}

std::int32_t CArchive::ReadInt32() {
    std::int32_t v;
    ReadBytes(&v, 4);
    return v;
}

std::uint32_t CArchive::ReadUInt32() {
    std::uint32_t v;
    ReadBytes(&v, 4);
    return v;
}

double CArchive::ReadDouble() {
    double v;
    ReadBytes(&v, 8);
    return v;
}

std::uint64_t CArchive::ReadStringLength() {
    std::uint8_t b = ReadByte();
    if (b < 0xFF) return b;
    std::uint16_t w = ReadUInt16();
    if (w < 0xFFFE) return w;
    if (w == 0xFFFF) return ReadUInt32();
    // 0xFFFE announces 16-bit characters; the caller handles that form.
    return UINT64_MAX;
}

void CArchive::CheckCount(std::int64_t count, std::size_t elementSize) const {
    if (count < 0 || (elementSize != 0 && static_cast<std::uint64_t>(count) > Remaining() / elementSize))
        throw CArchiveException(CArchiveException::BadData, "a count in the file exceeds its size");
}

std::string CArchive::ReadString() {
    std::uint64_t n = ReadStringLength();
    if (n != UINT64_MAX) {
        CheckCount(static_cast<std::int64_t>(n), 1);
        std::string s(static_cast<std::size_t>(n), '\0');
        ReadBytes(s.data(), s.size());
        return s;
    }
    // A string of 16-bit characters: its length follows in the same three forms.
    n = ReadStringLength();
    if (n == UINT64_MAX) throw CArchiveException(CArchiveException::BadData, "bad string length in the file");
    CheckCount(static_cast<std::int64_t>(n), 2);
    // Texts are UTF-8: the characters are converted, surrogate pairs joined (a lone surrogate
    // becomes U+FFFD).
    std::string s;
    s.reserve(static_cast<std::size_t>(n));
    std::uint32_t high = 0; // a high surrogate waiting for its low half
    for (std::uint64_t i = 0; i < n; ++i) {
        const std::uint16_t c = ReadUInt16();
        if (c >= 0xDC00 && c <= 0xDFFF && high) {
            s += Utf8Encode(0x10000 + ((high - 0xD800) << 10) + (c - 0xDC00));
            high = 0;
            continue;
        }
        if (high) s += Utf8Encode(0xFFFD);
        high = 0;
        if (c >= 0xD800 && c <= 0xDBFF)
            high = c;
        else
            s += Utf8Encode(c);
    }
    if (high) s += Utf8Encode(0xFFFD);
    return s;
}
