// A command-line program may not reach the window's run: this must not compile.
#include "fit/run.h"
