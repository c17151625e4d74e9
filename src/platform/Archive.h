#pragma once
// Little-endian binary archive used for chart files. A loading archive holds the whole input
// in memory, so every count can be checked against the bytes that remain before anything is
// allocated for it.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class CArchiveException : public std::runtime_error {
  public:
    enum Cause { EndOfFile, BadData };
    CArchiveException(Cause cause, const std::string& what) : std::runtime_error(what), m_cause(cause) {}
    Cause GetCause() const { return m_cause; }

  private:
    Cause m_cause;
};

class CArchive {
  public:
    enum Mode { Store, Load };

    // A storing archive that collects bytes in memory.
    CArchive();
    // A loading archive over a copy of the given bytes.
    explicit CArchive(std::vector<std::uint8_t> bytes);

    bool IsStoring() const { return m_mode == Store; }
    bool IsLoading() const { return m_mode == Load; }

    // Storing.
    void WriteByte(std::uint8_t v);
    void WriteInt16(std::int16_t v);
    void WriteUInt16(std::uint16_t v);
    void WriteInt32(std::int32_t v);
    void WriteUInt32(std::uint32_t v);
    void WriteDouble(double v);
    void WriteString(const std::string& s);
    void WriteBytes(const void* data, std::size_t n);
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

    // Loading. Each throws CArchiveException at the end of the data.
    std::uint8_t ReadByte();
    std::int16_t ReadInt16();
    std::uint16_t ReadUInt16();
    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    double ReadDouble();
    std::string ReadString();
    void ReadBytes(void* data, std::size_t n);

    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    std::size_t Position() const { return m_pos; }
    // Throws BadData unless `count` elements of `elementSize` bytes each can still be read.
    void CheckCount(std::int64_t count, std::size_t elementSize) const;

    // Name of the file being read or written, for messages.
    std::string FileName;

  private:
    void Need(std::size_t n) const;
    std::uint64_t ReadStringLength();

    Mode m_mode;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};
