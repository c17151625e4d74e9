#pragma once
// Reading a typed value: a number, or an arithmetic expression such as "2*pi" or "-1/sqrt(2)".
//
// A text that is a number on its own (blanks around allowed) reads exactly as ParseDouble reads
// it, so every value that could be typed before keeps its meaning to the bit. Anything else is
// read as an expression: + - * / ^ (also the minus sign U+2212), parentheses, unary minus and
// plus, numbers with exponents, the constants pi and e, and the functions sqrt exp ln log10 sin
// cos tan abs (names in any case). ^ binds tighter than unary minus and groups to the right
// (-2^2 is -4, 2^3^2 is 512); the arithmetic is double precision, in the order written.

#include <string>

// False, with `value` untouched and the reason in `why` (a phrase without a final stop, such as
// "\"k\" is not a name Kintra knows"), when the text is neither a number nor an expression, or
// when it is "nan" or an expression whose result is not finite.
bool ReadNumberOrExpression(const std::string& text, double& value, std::string* why = nullptr);

// The message for a refused field: "Please enter a number or an expression for FIELD: WHY."
std::string ExpressionRefusal(const std::string& field, const std::string& why);
