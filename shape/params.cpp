#include "shape/params.hpp"

namespace triex {

Params PARAMS;

}  // namespace triex
