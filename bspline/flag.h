// The flags of the procedures: 16-bit integers, 0 for false and -1 for true.
#pragma once

#include <cstdint>

namespace tarvelo {

using Flag = std::int16_t;
inline constexpr Flag kFalse = 0;
inline constexpr Flag kTrue = -1;

}  // namespace tarvelo
