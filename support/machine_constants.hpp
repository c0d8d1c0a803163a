// The library's machine constants, as stored (not computed), so that every
// result depends on the same two numbers whatever the host computes:
//   X02AJF, the relative machine precision: bits 3CA0040000000020,
//     1.11130722679765E-16, slightly above 2**-53;
//   X02AMF, the safe-range threshold: bits 0012838B84E02510,
//     2.57466740049304E-308, a little above the smallest normal number, so
//     that its reciprocal (3.883996821525388E+307) does not overflow.
#pragma once

#include <bit>
#include <cstdint>

namespace triex {

inline constexpr std::uint64_t kX02AJFBits = 0x3CA0040000000020;
inline constexpr std::uint64_t kX02AMFBits = 0x0012838B84E02510;

// X02AJF: the relative machine precision.
constexpr double X02AJF() { return std::bit_cast<double>(kX02AJFBits); }
// X02AMF: the safe-range threshold.
constexpr double X02AMF() { return std::bit_cast<double>(kX02AMFBits); }

}  // namespace triex
