// Coordinate files of a section's outline, in the two layouts that section
// collections and analysis programs use: Selig and Lednicer.
#pragma once

#include <string>
#include <vector>

namespace tarvelo {

struct OutlinePoint {
  double x = 0;
  double y = 0;
  int line = 0;  // the file line it stands on, the name line being line 1
};

// An outline as a coordinate file gives it.
struct Outline {
  std::string name;  // the first line, without its line end
  // In Selig order: from one end at the trailing edge round the leading edge
  // to the other end. A Lednicer file's first surface comes reversed.
  std::vector<OutlinePoint> points;
};

// Reads a coordinate file and recognises its layout from the content: a
// Lednicer file's first line after the name holds two whole numbers that
// count the points after it. Blank lines, blanks, tabs and any line end are
// accepted. Throws Error with the file's message for a file that cannot be
// read, a bad number or a file of neither layout.
Outline ReadCoordinateFile(const std::string& name);

}  // namespace tarvelo
