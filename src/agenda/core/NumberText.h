#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Numbers typed by the user in input boxes, read the way the practice's
// users have always typed them: the number at the start of the text, the
// rest ignored.
namespace tv::numbertext {

// The number at the start of the text. Blanks, tabs and line feeds are
// skipped wherever they stand; an optional sign, digits, a decimal point
// (always ".") and an exponent ("E" or "D") follow; "&H" and "&O" read a
// hexadecimal or octal integer. A text that starts with no number gives 0.
double val(const QString &text);

// Rounded to the nearest integer, halves to the even neighbour; nullopt
// when the result does not fit a signed 16-bit value.
std::optional<std::int16_t> toInt16(double value);

} // namespace tv::numbertext
