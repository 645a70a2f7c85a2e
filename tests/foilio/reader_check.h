// What a read of any file must leave behind. Shared by the randomised test and
// the fuzz target, so it uses no test framework: each check returns what went
// wrong, or an empty string when all holds.
#pragma once

#include <string>
#include <vector>

#include "fit/state.h"

namespace tarvelo::test {

// The data a read may replace (IDLine, nd, the records' values and arrays), as
// text with every double's bits, so that two states compare exactly.
std::string DataSet(const State& s);

// `before` is the state handed to Read_FoilData, `after` what it left, `ok` its
// result and `lines` what it printed. Either a data set whose sizes agree with
// nd, or a message (ErFlag set) or the two insufficient-data lines, with the
// data of `before` untouched.
std::string CheckRead(const State& before, const State& after, bool ok,
                      const std::vector<std::string>& lines);

}  // namespace tarvelo::test
