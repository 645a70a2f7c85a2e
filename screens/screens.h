// The error line, the screen prompt, and the screens of the display area.
#pragma once

#include "fit/state.h"
#include "screens/display.h"

namespace tarvelo {

// Lines of a text screen: content and filler up to line 36, the prompt on
// line 37; the error message stands on line 31.
inline constexpr int kScreenLines = 36;
inline constexpr int kErrorLine = 31;

// Clears the area and shows ErMsg in red and bold on line 31.
void Print_ErMsg(State& s, Display& Picture1);

// Prints ScMsg in blue at the print position.
void Print_ScMsg(State& s, Display& Picture1);

}  // namespace tarvelo
