#include "fit/run_messages.h"

#include "foilio/number_format.h"

namespace tarvelo {

const char* StopMessage(FitStatus status) {
  return status == FitStatus::Overflow ? " ***** OVERFLOW !!  - check your input data "
                                       : " ***** SINGULAR !!  - check your input data ";
}

std::array<std::string, 2> InsufficientData(double ncp) {
  return {"*** Insufficient data. For" + NumberItem(ncp) + " control points,",
          "  you need at least" + NumberItem(ncp + 1) + " data points. ****"};
}

}  // namespace tarvelo
