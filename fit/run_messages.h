// The texts with which a fit stops, shared by the window's run and the library.
#pragma once

#include <array>
#include <string>

#include "bspline/fitting.h"

namespace tarvelo {

inline constexpr const char* kCountMessage = "   4 to 20 control points are allowed !! ";

// The red line of a fit that stopped: singular, or out of range.
const char* StopMessage(FitStatus status);

// The two lines for a section with no more data points than ncp.
std::array<std::string, 2> InsufficientData(double ncp);

}  // namespace tarvelo
