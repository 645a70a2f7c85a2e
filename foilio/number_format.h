// Number texts shared by the screens and the output file. The decimal point is
// always ".", whatever the locale: everything is built with std::to_chars.
#pragma once

#include <string>

namespace tarvelo {

// One column of a table: Value rounded to nt decimals (halves away from zero,
// judged on the exact value of the binary number), the integer part in full,
// one blank in front of a whole number (nt = 0) shorter than nl characters,
// and nb leading blanks, one fewer when a minus sign stands in the text.
// A negative value that rounds to zero is written without its minus sign.
std::string FSt(int nb, int nl, int nt, double Value);

// A number printed on its own: a blank (or the minus sign), the digits, a
// blank. Whole numbers have no decimal point.
std::string NumberItem(double value);

// The shortest text that reads back as the same double, in plain decimal
// notation without an exponent (0.00001, 12, -0.125); minus zero as 0.
std::string PlainNumber(double value);

}  // namespace tarvelo
