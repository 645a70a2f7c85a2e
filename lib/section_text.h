// The section data file's digits, shared by its writer and the import.
#pragma once

#include <tarvelo/tarvelo.h>

namespace tarvelo {

// The section as ReadSection reads back the file SectionFileText makes of
// it: each value rounded to the file's six decimals of a percent, the
// thickness as the sum of its two printed halves.
Section AsReadBack(Section section);

}  // namespace tarvelo
