// The window's input fields as the core sees them, and their change handlers.
//
// A front end implements Form over its own fields (the Qt window over its line
// edits, the command line and the tests over MemoryForm). Setting a field to a
// different text runs that field's change handler at once, before SetText
// returns, as a toolkit's change notification does; setting the text it
// already holds runs nothing.
#pragma once

#include <string>
#include <utility>

#include "fit/state.h"
#include "screens/display.h"

namespace tarvelo {

enum class Field { Text1, Text2, Text3, Text4 };

class Form {
 public:
  virtual ~Form() = default;
  virtual std::string Text(Field f) const = 0;
  virtual void SetText(Field f, const std::string& text) = 0;
  // Next Screen becomes usable; nothing disables it again.
  virtual void EnableCommand3() = 0;
  // Path of the directory the file list shows.
  virtual std::string ListedDirectory() const = 0;
};

// Change handlers of the four fields.
void Text1_Change(State& s, Display& Picture1, Form& form);
void Text2_Change(State& s, Display& Picture1, Form& form);
void Text3_Change(State& s, Display& Picture1, Form& form);
void Text4_Change(State& s, Display& Picture1, Form& form);

// A click on file name F (name only) in the file list.
void File1_Click(State& s, Display& Picture1, Form& form, const std::string& F);

// Joins a directory path and a name with one separator.
std::string JoinPath(const std::string& P, const std::string& F);

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

}  // namespace tarvelo
