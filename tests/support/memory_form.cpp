#include "support/memory_form.h"

namespace tarvelo::test {

MemoryForm::MemoryForm(State& s, Display& Picture1, std::string listedDirectory)
    : s_(s), pic_(Picture1), dir_(std::move(listedDirectory)) {}

std::string MemoryForm::Text(Field f) const { return text_[static_cast<int>(f)]; }

void MemoryForm::SetText(Field f, const std::string& text) {
  std::string& held = text_[static_cast<int>(f)];
  if (held == text) return;
  held = text;
  switch (f) {
    case Field::Text1: Text1_Change(s_, pic_, *this); break;
    case Field::Text2: Text2_Change(s_, pic_, *this); break;
    case Field::Text3: Text3_Change(s_, pic_, *this); break;
    case Field::Text4: Text4_Change(s_, pic_, *this); break;
  }
}

}  // namespace tarvelo::test
