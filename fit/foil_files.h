// The window's run reads the input foil data file into the shared state and
// writes the output foil file from it.
#pragma once

#include "foilio/section_file.h"
#include "state/state.h"

namespace tarvelo {

// Reads InFile into IDLine, nd and the data (fractions of the chord) with
// their largest values, and lets go of the fit of the data held before. On
// Failed, ErFlag is set with ErMsg; on TooFew the count is not above ncp and
// the caller tells the user. Unless the whole file was read, the data of the
// last good read, and their fit, stay as they were.
ReadOutcome Read_FoilData(State& s);

// Writes IDLine, ncp and ko, and the control points of the fit to OutFile,
// lines ending in CR LF; x of zero or less is written, and set in the state,
// as 0. On failure ErFlag is set with ErMsg and an earlier file of that name
// is kept.
void Write_FoilFile(State& s);

}  // namespace tarvelo
