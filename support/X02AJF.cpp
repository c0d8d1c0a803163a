#include "support/X02AJF.hpp"

namespace triex {

double X02AJF() { return std::bit_cast<double>(kX02AJFBits); }

}  // namespace triex
