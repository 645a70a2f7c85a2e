// The CAD module sees nothing of ours but its own interface: this must not compile.
#include "bspline/exact.h"
