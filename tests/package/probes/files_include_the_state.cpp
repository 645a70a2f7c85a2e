// The file formats are free of the window's state: this must not compile.
#include "state/state.h"
