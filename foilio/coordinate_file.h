// Coordinate files of a section's outline, in the two layouts that section
// collections and analysis programs use: Selig and Lednicer.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>
#include <vector>

#include "foilio/items.h"

namespace tarvelo {

// An outline as a coordinate file gives it, in Selig order: from one end at
// the trailing edge round the leading edge to the other end. A Lednicer
// file's first surface comes reversed.
struct CoordinateFile {
  Coordinates outline;     // named by the first line, without its line end
  std::vector<int> lines;  // the file line of each point, the first line being 1
  bool named = true;       // false: the first line is a point and the name the file's stem
};

// Reads a coordinate file and recognises its layout from the content: a
// Lednicer file's first pair holds two whole numbers that count the points
// after it. Whole numbers that do not count them are a Selig point when the
// outline can start there (beside its last point), else counts that are
// wrong. Blank lines, blanks, tabs and any line end are accepted. Throws
// Error with the file's message for a file that cannot be read, a bad number
// or a file of neither layout.
CoordinateFile ReadCoordinateFile(const std::string& name);

// The same from bytes already opened: `name` for the messages, `size` the
// bytes there are where known (0 otherwise).
CoordinateFile ReadCoordinates(detail::ByteSource& in, const std::string& name, std::size_t size);

}  // namespace tarvelo
