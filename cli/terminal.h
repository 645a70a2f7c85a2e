// What the programs show on a terminal. Names and ID lines come from files
// and may hold control characters, which a terminal would obey: an escape
// sequence could retitle the window, clear the screen or hide text.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// Control characters as ^X (DEL as ^?); tabs and line ends (LF, and CR
// before LF) are kept.
std::string ForTerminal(std::string_view text);

}  // namespace tarvelo
