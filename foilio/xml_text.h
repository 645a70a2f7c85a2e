// Text and numbers as XML and SVG documents hold them.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// Text as XML character data or an attribute value. Texts are 8-bit: a file
// name or an identification line may be UTF-8 or a one-byte code page.
// Well-formed UTF-8 is kept; any other byte above 127 is taken as Latin-1 and
// written as a character reference, so the document is always well-formed.
// Control characters XML cannot carry become '?'.
void AppendXmlText(std::string& out, std::string_view text);

// v rounded to at most `decimals` decimals, trailing zeros dropped, without
// an exponent: 6806.9, 12, 0 (never -0).
void AppendDecimal(std::string& out, double v, int decimals);

// A byte as two lower-case hexadecimal digits.
void HexByte(std::string& out, unsigned byte);

}  // namespace tarvelo
