// What the shape section evaluates, for the benchmarks: the points (x, y) at
// which the two double integrals call FYS and FYR, in the order of the calls,
// and the abscissae at which the ten one-dimensional integrals call FUN. They
// are recorded once per shape, outside every timed region, by running the
// integrators as the shape section runs them with spies around the plain
// call-backs.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "quadrature/infinite_range.hpp"
#include "quadrature/nested_patterson.hpp"
#include "shape/integrands.hpp"

namespace triex::bench {

struct Axes {
  double A, B, C;
};

struct Point {
  double x, y;  // inner (elevation) and outer (azimuth) variable
};

struct SectionPoints {
  std::vector<Point> fys, fyr;
  std::array<std::vector<double>, 10> fun;  // fun[NN - 1]: abscissae of FUN
  std::size_t fun_evaluations() const {
    std::size_t n = 0;
    for (const auto& f : fun) n += f.size();
    return n;
  }
  std::size_t evaluations() const { return fys.size() + fyr.size() + fun_evaluations(); }
};

// The points of one double integral, with the shape section's arguments.
template <class Integrand>
std::vector<Point> double_integral_points(Integrand f) {
  std::vector<Point> points;
  const auto spy = [&points, f](double x, double y) {
    points.push_back({x, y});
    return f(x, y);
  };
  double ANS = 0;
  int NPTS = 0, IFAIL = 1;
  D01DAF(0.0, kHalfPi, YLOW, YUP, spy, 1.0e-5, ANS, NPTS, IFAIL);
  if (points.size() != static_cast<std::size_t>(NPTS)) {
    std::fprintf(stderr, "D01DAF reported %d points but called F %zu times\n", NPTS, points.size());
    std::abort();
  }
  return points;
}

inline SectionPoints section_points(const Axes& axes) {
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  SectionPoints s;
  std::array<double, 2000> W{};
  std::array<int, 500> IW{};
  for (int NN = 1; NN <= 10; ++NN) {
    auto& xs = s.fun[static_cast<std::size_t>(NN - 1)];
    const auto spy = [&xs, &shape, NN](double X) {
      xs.push_back(X);
      return FUN(shape, NN, X);
    };
    double ANS = 0, ABSERR = 0;
    int IFAIL = 1;
    D01AMF(spy, 0.0, 1, 0.0, 5.0e-5, ANS, ABSERR, W, 2000, IW, 500, IFAIL);
  }
  s.fys = double_integral_points([&shape](double x, double y) { return FYS(shape, x, y); });
  s.fyr = double_integral_points([&shape](double x, double y) { return FYR(shape, x, y); });
  return s;
}

inline std::string label(const Axes& axes) {
  char text[80];
  std::snprintf(text, sizeof text, "%g,%g,%g", axes.A, axes.B, axes.C);
  return text;
}

}  // namespace triex::bench
