// The results block that ends a run, headed "TRIEX Output Data".
#pragma once

#include <ostream>

#include "app/run_data.hpp"

namespace triex {

void write_report(std::ostream& out, const RunData& run);

}  // namespace triex
