#include "bspline/array.h"

namespace tarvelo::detail {

void index_error(long i, long lo, long hi) {
  throw IndexError("index " + std::to_string(i) + " outside " + std::to_string(lo) + ".." +
                   std::to_string(hi));
}

}  // namespace tarvelo::detail
