// The numeric value of a field's text.
#pragma once

#include <string_view>

namespace tarvelo {

// The number that the leading digits of a field's text spell (blanks before
// them skipped); 0 when there are none. A count too large for a double reads
// as +infinity, which every range check refuses.
double FieldNumber(std::string_view text);

}  // namespace tarvelo
