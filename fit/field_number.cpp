#include "fit/field_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tarvelo {

double FieldNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::size_t end = i;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == i) return 0;
  double value = 0;
  const auto res = std::from_chars(text.data() + i, text.data() + end, value);
  if (res.ec == std::errc::result_out_of_range) return HUGE_VAL;
  return value;
}

}  // namespace tarvelo
