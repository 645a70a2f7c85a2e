#include "foilio/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace tarvelo {

namespace {

// Enough for the integer digits of the largest double (309), the exact binary
// fraction of the smallest (1074 decimals) and sign and point.
constexpr int kExactBuffer = 1500;

// Decimals in the exact expansion of |v|: a double is m * 2^e with 53
// significant bits, so it has at most 53 - e fractional binary digits, and as
// many fractional decimal digits.
int exact_decimals(double v) {
  if (v == 0) return 0;
  int e = 0;
  std::frexp(v, &e);
  const int frac_bits = 53 - e;
  if (frac_bits <= 0) return 0;
  return frac_bits > 1074 ? 1074 : frac_bits;
}

// |v| rounded to nt decimals, halves away from zero, as digits with a point
// when nt > 0. Rounding is done on the exact decimal expansion, so a value
// exactly halfway (0.015625) rounds up and one a hair below (0.123455 as a
// double) rounds down.
std::string round_magnitude(double v, int nt) {
  const double a = std::fabs(v);
  const int exact = exact_decimals(a);
  std::array<char, kExactBuffer> buf{};
  const int prec = exact > nt ? exact : nt;
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::fixed, prec);
  std::string digits(buf.data(), res.ptr);
  if (exact <= nt) return digits;  // already exact at nt decimals

  const std::size_t point = digits.find('.');
  const char next = digits[point + 1 + static_cast<std::size_t>(nt)];
  digits.resize(nt > 0 ? point + 1 + static_cast<std::size_t>(nt) : point);
  if (next >= '5') {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i) {
      char& c = digits[static_cast<std::size_t>(i)];
      if (c == '.') continue;
      if (c == '9') {
        c = '0';
      } else {
        ++c;
        break;
      }
    }
    if (i < 0) digits.insert(digits.begin(), '1');
  }
  return digits;
}

bool all_zero(std::string_view digits) {
  return digits.find_first_not_of("0.") == std::string_view::npos;
}

}  // namespace

std::string FSt(int nb, int nl, int nt, double Value) {
  std::string text;
  if (!std::isfinite(Value)) {
    text = std::isnan(Value) ? "NaN" : (Value < 0 ? "-Infinity" : "Infinity");
  } else {
    text = round_magnitude(Value, nt < 0 ? 0 : nt);
    if (std::signbit(Value) && !all_zero(text)) text.insert(text.begin(), '-');
  }
  if (nt == 0 && static_cast<int>(text.size()) < nl) text.insert(text.begin(), ' ');
  int blanks = nb;
  if (text.find('-') != std::string::npos) blanks = nb - 1;
  if (blanks > 0) text.insert(0, static_cast<std::size_t>(blanks), ' ');
  return text;
}

std::string NumberItem(double value) {
  std::array<char, kExactBuffer> buf{};
  const double a = std::fabs(value);
  std::to_chars_result res{};
  if (a == std::floor(a) && a < 1e17) {
    res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::fixed, 0);
  } else {
    res = std::to_chars(buf.data(), buf.data() + buf.size(), a);
  }
  std::string text(1, value < 0 ? '-' : ' ');
  text.append(buf.data(), res.ptr);
  text += ' ';
  return text;
}

std::string PlainNumber(double value) {
  std::array<char, kExactBuffer> buf{};
  const auto res =
      std::to_chars(buf.data(), buf.data() + buf.size(), value == 0 ? 0.0 : value, std::chars_format::fixed);
  return std::string(buf.data(), res.ptr);
}

}  // namespace tarvelo
