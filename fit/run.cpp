// Placeholder until the fitting run is written.
#include "fit/run.h"

namespace tarvelo {
void Main(State&, Display&, Form&) {}
}  // namespace tarvelo
