// The library may not reach the window's run: this must not compile.
#include "fit/names.h"
