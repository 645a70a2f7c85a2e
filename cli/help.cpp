#include "cli/help.h"

#include "cli/arguments.h"

namespace tarvelo {

std::string NamedList(const std::vector<NamedText>& entries, std::size_t name_column, std::size_t text_column) {
  const std::string text_indent(text_column, ' ');
  std::string list;
  for (const auto& [name, text] : entries) {
    const std::string head = std::string(name_column, ' ') + name;
    if (head.size() < text_column)
      list += WrapText(text, head + std::string(text_column - head.size(), ' '), text_indent);
    else
      list += head + '\n' + WrapText(text, text_indent, text_indent);
  }
  return list;
}

}  // namespace tarvelo
