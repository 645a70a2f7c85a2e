// The library may not reach the window's model: this must not compile.
#include <tarvelo/window.h>
