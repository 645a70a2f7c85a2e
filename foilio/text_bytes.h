// Texts on a page are 8-bit, as read from files: an identification line or a
// file name may be UTF-8 or a one-byte code page. Every view decides the same way.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvelo {

// Length of the well-formed UTF-8 sequence (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF) starting at s[i] with a byte above 127;
// 0 when there is none.
std::size_t Utf8Length(std::string_view s, std::size_t i);

// The whole text is well-formed UTF-8.
bool IsUtf8(std::string_view s);

}  // namespace tarvelo
