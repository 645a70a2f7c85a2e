// The window's four fields held in memory, for tests of the run and the
// field handlers without a window.
#pragma once

#include <string>
#include <utility>

#include "fit/form.h"

namespace tarvelo::test {

// Fields held in memory, with the window's initial texts, dispatching to the
// change handlers like the window does.
class MemoryForm : public Form {
 public:
  MemoryForm(State& s, Display& Picture1, std::string listedDirectory = ".");
  std::string Text(Field f) const override;
  void SetText(Field f, const std::string& text) override;
  void EnableCommand3() override { command3Enabled_ = true; }
  std::string ListedDirectory() const override { return dir_; }
  void SetListedDirectory(std::string dir) { dir_ = std::move(dir); }
  bool Command3Enabled() const { return command3Enabled_; }

 private:
  State& s_;
  Display& pic_;
  std::string dir_;
  std::string text_[4] = {"Input-File", "Output-File", "8", ""};
  bool command3Enabled_ = false;
};

}  // namespace tarvelo::test
