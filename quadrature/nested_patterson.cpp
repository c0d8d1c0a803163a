// D01DAF: double integral over a finite region by Patterson's nested rules
// (see nested_patterson.hpp). The scheme itself is D01DAF_prepared (nested_patterson_core.hpp);
// here the integrand is any F(x, y) behind a function_ref, with nothing
// prepared per outer point.

#include "quadrature/nested_patterson.hpp"

#include "quadrature/nested_patterson_core.hpp"

namespace triex {
namespace {

// F(x, y) at a fixed outer point y.
struct Unprepared {
  Integrand2D F;
  auto at(double y) const {
    return [F = F, y](double x) { return F(x, y); };
  }
};

}  // namespace

void D01DAF(double YA, double YB, LimitFunction PHI1, LimitFunction PHI2, Integrand2D F, double ABSACC, double& ANS,
            int& NPTS, int& IFAIL) {
  D01DAF_prepared(YA, YB, PHI1, PHI2, Unprepared{F}, ABSACC, ANS, NPTS, IFAIL);
}

}  // namespace triex
