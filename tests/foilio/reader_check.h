// What a read of any file must leave behind; shared with the fuzz target, so no test framework.
#pragma once

#include <string>
#include <vector>

#include "foilio/section_file.h"
#include "state/state.h"

namespace tarvelo::test {

// The data a read may replace, with every double's bits, to compare exactly.
std::string DataSet(const State& s);

// Read_FoilData took `before`, left `after` and returned `outcome`: what went wrong, or "" for a
// data set sized by nd, or a message or too few points with `before`'s data untouched.
std::string CheckRead(const State& before, const State& after, ReadOutcome outcome);

}  // namespace tarvelo::test
