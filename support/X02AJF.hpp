// The relative machine precision of the library, as stored (not computed):
// bits 3CA0040000000020, 1.11130722679765E-16, slightly above 2**-53.
#pragma once

#include <bit>
#include <cstdint>

namespace triex {

inline constexpr std::uint64_t kX02AJFBits = 0x3CA0040000000020;
double X02AJF();

}  // namespace triex
