#pragma once
// Number formatting and reading that do not depend on the user's locale.

#include <string>

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
