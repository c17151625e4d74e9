#pragma once
// The font record kept in settings and chart files.

#include "platform/Text.h"

#include <cstdint>
#include <cstring>
#include <string>

using COLORREF = std::uint32_t; // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    std::int32_t lfHeight = -13;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 3;
    std::uint8_t lfClipPrecision = 2;
    std::uint8_t lfQuality = 1;
    std::uint8_t lfPitchAndFamily = 0x12;
    char lfFaceName[LF_FACESIZE] = "Times New Roman";

    std::string FaceName() const { return std::string(lfFaceName, strnlen(lfFaceName, LF_FACESIZE)); }
    // The field holds 31 bytes: a longer name is cut there, but never inside a character.
    void SetFaceName(const std::string& name) {
        std::memset(lfFaceName, 0, sizeof lfFaceName);
        const std::string kept = Utf8LeftBytes(name, LF_FACESIZE - 1);
        std::memcpy(lfFaceName, kept.data(), kept.size());
    }
    bool operator==(const LOGFONT& o) const {
        return lfHeight == o.lfHeight && lfWidth == o.lfWidth && lfEscapement == o.lfEscapement &&
               lfOrientation == o.lfOrientation && lfWeight == o.lfWeight && lfItalic == o.lfItalic &&
               lfUnderline == o.lfUnderline && lfStrikeOut == o.lfStrikeOut && lfCharSet == o.lfCharSet &&
               lfOutPrecision == o.lfOutPrecision && lfClipPrecision == o.lfClipPrecision &&
               lfQuality == o.lfQuality && lfPitchAndFamily == o.lfPitchAndFamily &&
               FaceName() == o.FaceName();
    }
};

// The built-in default font: 13-unit Times New Roman, normal weight.
inline LOGFONT DefaultLogFont() {
    return LOGFONT{};
}
