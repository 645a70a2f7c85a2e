// 8-bit text of files shown as UTF-8.
#include <tarvelo/tarvelo.h>

#include "foilio/text_bytes.h"

namespace tarvelo {

std::string TextAsUtf8(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(2 * bytes.size());
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (u >> 6));
      text += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return text;
}

}  // namespace tarvelo
