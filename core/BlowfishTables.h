#pragma once
// The cipher's published start values (the hex digits of pi).
#include <array>
#include <cstdint>

namespace modBlowFish {
extern const std::array<std::uint32_t, 18> InitialP;
extern const std::array<std::array<std::uint32_t, 256>, 4> InitialS;
} // namespace modBlowFish
