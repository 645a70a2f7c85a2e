// The engine knows nothing of the library above it: this must not compile.
#include <tarvelo/tarvelo.h>
