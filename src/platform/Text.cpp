#include "platform/Text.h"

#include <cctype>
#include <cerrno>
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
            while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) ++e;
            // Built anew rather than inserted in place: GCC 12 at -O3 warns falsely about insert.
            if (e - d == 2) text = text.substr(0, d) + '0' + text.substr(d);
            break;
        }
    }
    return text;
}

std::string FormatE3(double value) { return WidenExponent(FormatString("%e", value)); }

double ParseLeadingDouble(const std::string& text) {
    const char* s = text.c_str();
    char* end = nullptr;
    double v = std::strtod(s, &end);
    return end == s ? 0.0 : v;
}

static bool OnlyBlanks(const char* p) {
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return *p == '\0';
}

bool ParseDouble(const std::string& text, double& value) {
    const char* s = text.c_str();
    while (*s && std::isspace(static_cast<unsigned char>(*s))) ++s;
    if (!*s) return false;
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (end == s || !OnlyBlanks(end)) return false;
    value = v;
    return true;
}

bool ParseInt(const std::string& text, int& value) {
    const char* s = text.c_str();
    while (*s && std::isspace(static_cast<unsigned char>(*s))) ++s;
    if (!*s) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || !OnlyBlanks(end) || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}
