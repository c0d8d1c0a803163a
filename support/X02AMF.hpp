// The safe-range threshold of the library, as stored (not computed): bits
// 0012838B84E02510, 2.57466740049304E-308, a little above the smallest normal
// number, so that its reciprocal (3.883996821525388E+307) does not overflow.
#pragma once

#include <bit>
#include <cstdint>

namespace triex {

inline constexpr std::uint64_t kX02AMFBits = 0x0012838B84E02510;
double X02AMF();

}  // namespace triex
