// The window's naming rules, for the programs that follow them.
#include <tarvelo/window.h>

#include <algorithm>

#include "fit/field_number.h"
#include "fit/names.h"

namespace tarvelo {

bool IsWindowFileName(std::string_view name) { return HasExtensionPoint(name); }

std::string FoilFileNameFor(std::string_view section_file) { return FoilFileOf(section_file); }

std::string FoilNumberFileName(std::string_view directory, std::string_view number) {
  const std::size_t first = number.find_first_not_of(' ');
  number = first == std::string_view::npos ? std::string_view()
                                           : number.substr(first, number.find_last_not_of(' ') - first + 1);
  if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    throw Error(ErrorKind::Usage, "only numbers are allowed");
  // The window takes the first three digits of a longer number; a program
  // is told so instead.
  if (number.size() > kFoilNumberDigits) throw Error(ErrorKind::Usage, "a foil number has 3 digits");
  const double value = FieldNumber(number);
  if (number.size() < kFoilNumberDigits || value < kFoilNumberLowest || value > kFoilNumberHighest)
    throw Error(ErrorKind::Usage, "numbers between 101 and 255 are allowed");
  return JoinPath(std::string(directory), FoilNumberName(number));
}

}  // namespace tarvelo
