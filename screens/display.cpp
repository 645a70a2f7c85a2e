#include "screens/display.h"

#include "foilio/number_format.h"

namespace tarvelo {

std::string PrintItem::number_text(double value) { return NumberItem(value); }

void Display::Print(std::initializer_list<PrintItem> items, LineEnd end) {
  std::string text;
  for (const PrintItem& item : items) text += item.text();
  PrintText(text, end);
}

void Display::PrintRows(const Rows& rows) {
  for (std::size_t n = 0; n < rows.count; ++n) PrintText(rows.text(n), LineEnd::Close);
}

}  // namespace tarvelo
