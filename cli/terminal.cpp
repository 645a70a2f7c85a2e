#include "cli/terminal.h"

namespace tarvelo {

std::string ForTerminal(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    const bool lineEnd = c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
    if (((u < 0x20 && c != '\t') || u == 0x7F) && !lineEnd) {
      shown += '^';
      shown += static_cast<char>(u == 0x7F ? '?' : u + 0x40);
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace tarvelo
