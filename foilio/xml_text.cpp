#include "foilio/xml_text.h"

#include <array>
#include <charconv>

#include "foilio/text_bytes.h"

namespace tarvelo {

namespace {

// A well-formed UTF-8 sequence that XML can carry (not U+FFFE or U+FFFF).
std::size_t XmlUtf8Length(std::string_view s, std::size_t i) {
  const std::size_t n = Utf8Length(s, i);
  if (n == 3 && static_cast<unsigned char>(s[i]) == 0xEF &&
      static_cast<unsigned char>(s[i + 1]) == 0xBF && static_cast<unsigned char>(s[i + 2]) >= 0xBE)
    return 0;
  return n;
}

}  // namespace

void HexByte(std::string& out, unsigned byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += kDigits[(byte >> 4) & 0xFu];
  out += kDigits[byte & 0xFu];
}

void AppendXmlText(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      if (const std::size_t n = XmlUtf8Length(text, i); n > 0) {
        out.append(text.substr(i, n));
        i += n;
        continue;
      }
      out += "&#x";
      HexByte(out, c);
      out += ';';
      ++i;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += (c < 0x20 && c != '\t') ? '?' : static_cast<char>(c);
    }
    ++i;
  }
}

void AppendDecimal(std::string& out, double v, int decimals) {
  std::array<char, 400> buf{};
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
  std::string_view s(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  if (s.find('.') != std::string_view::npos) {
    while (s.back() == '0') s.remove_suffix(1);
    if (s.back() == '.') s.remove_suffix(1);
  }
  if (s == "-0") s = "0";
  out.append(s);
}

}  // namespace tarvelo
