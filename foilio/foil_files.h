// The input foil data file and the output foil file.
#pragma once

#include "fit/state.h"
#include "screens/display.h"

namespace tarvelo {

// Reads InFile into IDLine, nd, xin, yd, ymax (fractions of the chord) and
// allocates dy and rms anew. Returns true when the data are ready to fit.
// Returns false when the run must stop: ErFlag is then set with ErMsg, or, for
// too few data points for ncp control points, two lines were printed on the
// display area (and ErFlag is clear). On false the data of the last good read
// stay as they were.
bool Read_FoilData(State& s, Display& Picture1);

// Writes IDLine, ncp and ko, and the control points to OutFile, lines ending
// in CR LF; x of zero or less is written, and set in the state, as 0. On
// failure ErFlag is set with ErMsg and an earlier file of that name is kept.
void Write_FoilFile(State& s);

}  // namespace tarvelo
