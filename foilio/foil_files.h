// The input foil data file and the output foil file of the window's run.
#pragma once

#include <span>
#include <string>

#include <tarvelo/tarvelo.h>

#include "foilio/section_file.h"
#include "state/state.h"

namespace tarvelo {

// Reads InFile into IDLine, nd, xin, yd, ymax (fractions of the chord) and
// allocates dy and rms anew. On Failed, ErFlag is set with ErMsg; on TooFew
// the count is not above ncp and the caller tells the user. Unless the whole
// file was read, the data of the last good read stay as they were.
ReadOutcome Read_FoilData(State& s);

// Writes IDLine, ncp and ko, and the control points to OutFile, lines ending
// in CR LF; x of zero or less is written, and set in the state, as 0. On
// failure ErFlag is set with ErMsg and an earlier file of that name is kept.
void Write_FoilFile(State& s);

// The bytes of an output foil file: the ID line, the count and the order, and
// one line of x, yt and yc per control point (x of zero or less as 0).
std::string FoilFileText(const std::string& id, int ko, std::span<const double> x,
                         std::span<const double> yt, std::span<const double> yc);

// The name of an exported outline: the .FOI's ID line, then " t/c=" and
// " f/c=" with the largest thickness and camber.
std::string OutlineName(const FoilSpline& foil, const OutlineSize& size);

}  // namespace tarvelo
