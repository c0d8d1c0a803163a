// The shapes the closed-form benchmarks time: one named shape, its label in
// the benchmark's name, and a fixed set of random shapes over axial ratios
// from 1e-6 to 1e6.
#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace triex::bench {

struct Shape {
  double a, b, c;
};

inline std::string label(const Shape& s) {
  char text[64];
  std::snprintf(text, sizeof text, "%g,%g,%g", s.a, s.b, s.c);
  return text;
}

inline std::vector<Shape> random_shapes(std::size_t n) {
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> exponent(-6, 6);
  std::vector<Shape> shapes(n);
  for (Shape& s : shapes) s = {1.0, std::pow(10.0, exponent(rng)), std::pow(10.0, exponent(rng))};
  return shapes;
}

}  // namespace triex::bench
