// Placeholder until the reader and writer are written.
#include "foilio/foil_files.h"

namespace tarvelo {
bool Read_FoilData(State&, Display&) { return false; }
void Write_FoilFile(State&) {}
}  // namespace tarvelo
