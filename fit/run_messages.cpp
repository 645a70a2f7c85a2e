#include "fit/run_messages.h"

#include "foilio/number_format.h"
#include "screens/screens.h"

namespace tarvelo {

std::string StopMessage(const Error& error) {
  switch (error.kind()) {
    case ErrorKind::Singular: return " ***** SINGULAR !!  - check your input data ";
    case ErrorKind::Overflow: return " ***** OVERFLOW !!  - check your input data ";
    default: return WindowText(error);
  }
}

std::array<std::string, 2> InsufficientData(double ncp) {
  return {"*** Insufficient data. For" + NumberItem(ncp) + " control points,",
          "  you need at least" + NumberItem(ncp + 1) + " data points. ****"};
}

}  // namespace tarvelo
