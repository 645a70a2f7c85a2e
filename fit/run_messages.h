// The texts with which the window's run stops.
#pragma once

#include <tarvelo/tarvelo.h>

#include <array>
#include <string>

namespace tarvelo {

inline constexpr const char* kCountMessage = "   4 to 20 control points are allowed !! ";

// The red line of a fit that stopped: singular, out of range, or any other
// refusal of the library in the window's form.
std::string StopMessage(const Error& error);

// The two lines for a section with no more data points than ncp.
std::array<std::string, 2> InsufficientData(double ncp);

}  // namespace tarvelo
