// The window's input fields as the core sees them, and their change handlers.
//
// The Qt window implements Form over its line edits, the tests over fields
// held in memory. Setting a field to a different text runs that field's
// change handler at once, before SetText returns, as a toolkit's change
// notification does; setting the text it already holds runs nothing.
#pragma once

#include <string>

#include "state/state.h"
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

}  // namespace tarvelo
