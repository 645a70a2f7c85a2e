// Placeholder until the field handlers are written.
#include "fit/form.h"

namespace tarvelo {
void Text1_Change(State&, Display&, Form&) {}
void Text2_Change(State&, Display&, Form&) {}
void Text3_Change(State&, Display&, Form&) {}
void Text4_Change(State&, Display&, Form&) {}
void File1_Click(State&, Display&, Form&, const std::string&) {}
std::string JoinPath(const std::string& P, const std::string& F) { return P + "/" + F; }
MemoryForm::MemoryForm(State& s, Display& Picture1, std::string listedDirectory)
    : s_(s), pic_(Picture1), dir_(std::move(listedDirectory)) {}
std::string MemoryForm::Text(Field f) const { return text_[static_cast<int>(f)]; }
void MemoryForm::SetText(Field f, const std::string& text) { text_[static_cast<int>(f)] = text; }
}  // namespace tarvelo
