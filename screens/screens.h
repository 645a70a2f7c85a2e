// The error line, the screen prompt, and the screens of the display area.
#pragma once

#include <tarvelo/window.h>

#include <string>

#include "state/state.h"
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

// The first line of a result screen: its usual text, or, when the results
// held are not of the file now named as input, the file they come from.
void Print_ResultsLine(const State& s, Display& Picture1, std::string_view usual);
inline constexpr const char* kFileReadLabel = "File read     : ";

}  // namespace tarvelo

namespace tarvelo {

// The five screens; each begins with Cls, ends with its blue prompt and sets
// nScreen to its successor.
void Print_FirstPage(State& s, Display& Picture1);
void List_Data1(State& s, Display& Picture1);
void List_Data2(State& s, Display& Picture1);
void List_Foil_Camber(State& s, Display& Picture1);
void Draw_Graphic(State& s, Display& Picture1);

// User coordinates of the graphic and the mapping of chord position and
// normalised ordinate onto them.
void picture_scale(State& s, Display& Picture1);
double AbX(const State& s, double XX);
double AbY(const State& s, double XX);

// Samples both fitted curves at t = n/np, n = 0..np, into xp and yp.
void EvalPoints(State& s);

// Next Screen: shows the screen nScreen selects; other values do nothing.
void Command3_Click(State& s, Display& Picture1);

}  // namespace tarvelo
