// The fitting run started by the Start button.
#pragma once

#include "fit/form.h"
#include "state/state.h"
#include "screens/display.h"

namespace tarvelo {

// Checks the names and the count, reads the data file, fits thickness and
// camber, writes the output foil file and shows the first page; a failed
// check, file or system stops the run with the red error line.
void Main(State& s, Display& Picture1, Form& form);

// The fit itself, on data just read and ncp checked: normalises yd, builds the
// x-spline, places the data points and fits thickness and camber. On a
// singular system it shows the message and returns false.
bool FitData(State& s, Display& Picture1);

}  // namespace tarvelo
