#include "support/X02AMF.hpp"

namespace triex {

double X02AMF() { return std::bit_cast<double>(kX02AMFBits); }

}  // namespace triex
