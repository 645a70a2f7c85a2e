// What the programs' help texts are laid out with: lists of named entries
// (placements, export formats) made from the library's tables, whatever the
// length of their names.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tarvelo {

// A name and the text that says what it is.
using NamedText = std::pair<std::string, std::string>;

// Each name at column `name_column`, its text wrapped from column
// `text_column` (both from 0). A name that leaves no blank before the text's
// column stands on a line of its own, its text on the lines below it: the
// column stays where it is for any name.
std::string NamedList(const std::vector<NamedText>& entries, std::size_t name_column, std::size_t text_column);

}  // namespace tarvelo
