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

// The fit itself, on data just read and ncp checked: the library's fit of
// the data with ncp control points and the placement held, kept as the
// run's results. When the fit stops it shows why and returns false.
bool FitData(State& s, Display& Picture1);

}  // namespace tarvelo
