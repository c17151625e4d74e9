#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

std::string FormatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char buf[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(buf, sizeof buf, format, copy);
    va_end(copy);
    std::string out;
    if (n < 0) {
        out.clear();
    } else if (static_cast<std::size_t>(n) < sizeof buf) {
        out.assign(buf, static_cast<std::size_t>(n));
    } else {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, args);
        out.assign(big.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}

std::string WidenExponent(std::string text) {
    // Find "e+" or "e-" followed by exactly two digits at the end of the number.
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if ((text[i] == 'e' || text[i] == 'E') && (text[i + 1] == '+' || text[i + 1] == '-')) {
            std::size_t d = i + 2, e = d;
            while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e])))
                ++e;
            // Built anew rather than inserted in place: GCC 12 at -O3 warns falsely about insert.
            if (e - d == 2) text = text.substr(0, d) + '0' + text.substr(d);
            break;
        }
    }
    return text;
}

std::string FormatE3(double value) {
    return WidenExponent(FormatString("%e", value));
}

double ParseLeadingDouble(const std::string& text) {
    const char* s = text.c_str();
    char* end = nullptr;
    double v = std::strtod(s, &end);
    return end == s ? 0.0 : v;
}

static bool OnlyBlanks(const char* p) {
    while (*p && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return *p == '\0';
}

bool ParseDouble(const std::string& text, double& value) {
    const char* s = text.c_str();
    while (*s && std::isspace(static_cast<unsigned char>(*s)))
        ++s;
    if (!*s) return false;
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (end == s || !OnlyBlanks(end)) return false;
    value = v;
    return true;
}

bool ParseInt(const std::string& text, int& value) {
    const char* s = text.c_str();
    while (*s && std::isspace(static_cast<unsigned char>(*s)))
        ++s;
    if (!*s) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || !OnlyBlanks(end) || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

std::string FormatRoundTrip(double value) {
    // The shortest scientific form that reads back exactly tells how many significant digits
    // are needed; "%g" with that many (six at least) gives the same digits in its usual form.
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    int digits = 17;
    if (ec == std::errc()) {
        digits = 0;
        for (const char* p = buf; p != end && *p != 'e'; ++p)
            if (*p >= '0' && *p <= '9') ++digits;
    }
    return FormatString("%.*g", std::max(6, digits), value);
}

namespace {
// The length of the well-formed UTF-8 sequence at `i`, or 0 when none starts there.
std::size_t SequenceAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF; // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

} // namespace

std::size_t Utf8CharSize(std::string_view text, std::size_t at) {
    const std::size_t n = SequenceAt(text, at);
    return n ? n : 1;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += Utf8CharSize(text, i))
        ++count;
    return count;
}

std::string Utf8Left(std::string_view text, std::size_t maxChars) {
    std::size_t i = 0;
    for (std::size_t count = 0; i < text.size() && count < maxChars; ++count)
        i += Utf8CharSize(text, i);
    return std::string(text.substr(0, i));
}

std::string Utf8LeftBytes(std::string_view text, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t n = Utf8CharSize(text, i);
        if (i + n > maxBytes) break;
        i += n;
    }
    return std::string(text.substr(0, i));
}

std::string Utf8Encode(char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}
