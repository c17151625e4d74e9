#pragma once
// Number formatting and reading that do not depend on the user's locale.

#include <cstddef>
#include <string>
#include <string_view>

// printf-style formatting into a std::string ("C" numeric conventions are assumed; the program
// keeps LC_NUMERIC at "C").
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%e" with an exponent of at least three digits: 0.000000e+000, 1.000000e-007.
std::string FormatE3(double value);
// Any printf conversion of one double whose exponent is widened to three digits ("%.3e" gives
// 1.500e+002).
std::string WidenExponent(std::string text);

// The floating number at the start of `text` (after blanks); 0.0 when there is none.
double ParseLeadingDouble(const std::string& text);
// The whole text (blanks around allowed) as a number; false when it is not one.
bool ParseDouble(const std::string& text, double& value);
// The whole text as a signed 32-bit integer; false when it is not one or out of range.
bool ParseInt(const std::string& text, int& value);

// The shortest "%g"-style text, with at least the six significant digits of "%g", that reads
// back as exactly the same double.
std::string FormatRoundTrip(double value);

// Texts are UTF-8. A character is one well-formed UTF-8 sequence; a byte that starts no
// well-formed sequence (text from an older or damaged file) counts as one character of its own.
std::size_t Utf8Length(std::string_view text);
// The bytes of the character that starts at byte `at` (1 for a stray byte).
std::size_t Utf8CharSize(std::string_view text, std::size_t at);
// The first `maxChars` characters of `text`; never cut inside a sequence.
std::string Utf8Left(std::string_view text, std::size_t maxChars);
// The longest start of `text` of at most `maxBytes` bytes that ends between characters.
std::string Utf8LeftBytes(std::string_view text, std::size_t maxBytes);
// The UTF-8 form of one code point (0 .. 0x10FFFF, surrogates excluded; anything else gives
// U+FFFD).
std::string Utf8Encode(char32_t codePoint);
