#include "inverse/shape_fit.hpp"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <numbers>
#include <unsupported/Eigen/LevenbergMarquardt>
#include <vector>

#include "solution/virial.hpp"
#include "solution/hydrodynamics.hpp"
#include "support/refusal.hpp"

namespace triex {
namespace {

const double kSpan = std::log(kMaxFitRatio);  // the box in x and in y
constexpr int kSearchNodes = 121;              // per axis: steps of 0.057 in ln
constexpr int kProbeNodes = 31;                // per axis of the grids that place a region's window
constexpr int kRegionNodes = 61;               // per axis of the grid that samples it
constexpr int kMaxStarts = 64;                 // local refinements at most
// Central differences for the gradients: truncation ~h^2 and rounding ~1e-16/h
// both near 1e-10 relative.
constexpr double kStep = 1e-5;

double search_coordinate(int k) { return kSpan * k / (kSearchNodes - 1); }

// The shape at (x, y) for a refinement that may step far out of the box:
// beyond four times the box (ratios of 1e12) it is held at that distance, a
// plateau the step leaves or stops on, and a refinement that ends out there is
// dropped as having left the box. Without the hold a step to ratios beyond
// about 1e75 made the shape factors' duplications fail, and the whole fit with
// them.
ShapeFactors shape_in_reach(double x, double y) {
  const double far = 4 * kSpan;
  return shape_at(std::clamp(x, -far, far), std::clamp(y, -far, far));
}

// The shape factors of the search grid's nodes, row i (y) major: the same
// for every fit, so computed once (a thread-safe static, never written after).
const std::vector<ShapeFactors>& search_table() {
  static const std::vector<ShapeFactors> table = [] {
    std::vector<ShapeFactors> t;
    t.reserve(kSearchNodes * kSearchNodes);
    for (int i = 0; i < kSearchNodes; ++i)
      for (int j = 0; j < kSearchNodes; ++j) t.push_back(shape_at(search_coordinate(j), search_coordinate(i)));
    return t;
  }();
  return table;
}

// Folds a point of the (x, y) plane into a >= b >= c: a swap of two semi-axes
// is a mirror image with the same shape factors.
void fold(double& x, double& y) {
  for (int k = 0; k < 3 && (x < 0 || y < 0); ++k) {
    if (x < 0) {
      y += x;
      x = -x;
    }
    if (y < 0) {
      x += y;
      y = -y;
    }
  }
}

// chi2 minimised over w where it is fitted, with that w.
struct Profiled {
  double chi2, w;
};
Profiled profiled(const MeasurementModel& model, const ShapeFactors& shape) {
  const double w = model.best_w(shape);
  return {model.chi2(shape, w), w};
}

// The normalised residuals as a function of (x, y[, w]) for Eigen's
// Levenberg-Marquardt, with a central-difference Jacobian.
struct Residuals : Eigen::DenseFunctor<double> {
  Residuals(const MeasurementModel& model, int parameters)
      : Eigen::DenseFunctor<double>(parameters, model.size()), model(model) {}
  const MeasurementModel& model;
  mutable int evaluations = 0;

  double w_of(const InputType& p) const { return p.size() == 3 ? p[2] : model.known_w(); }
  void residuals(double x, double y, double w, ValueType& f) const {
    ++evaluations;
    model.residuals(shape_in_reach(x, y), w, std::span<double>(f.data(), f.size()));
  }
  int operator()(const InputType& p, ValueType& f) const {
    residuals(p[0], p[1], w_of(p), f);
    return 0;
  }
  int df(const InputType& p, JacobianType& J) const {
    ValueType plus(values()), minus(values());
    for (int k = 0; k < p.size(); ++k) {
      InputType q = p;
      q[k] = p[k] + kStep;
      residuals(q[0], q[1], w_of(q), plus);
      q[k] = p[k] - kStep;
      residuals(q[0], q[1], w_of(q), minus);
      J.col(k) = (plus - minus) / (2 * kStep);
    }
    return 0;
  }
};

// d ln m_model / d(x, y, w) of one measurement at a point.
Eigen::Vector3d log_gradient(const MeasurementModel& model, Measurement kind, const std::array<ShapeFactors, 5>& shapes,
                             double w) {
  const auto ln = [&](int s, double at) { return std::log(model.predicted(kind, shapes[s], at)); };
  return {(ln(1, w) - ln(2, w)) / (2 * kStep), (ln(3, w) - ln(4, w)) / (2 * kStep),
          (ln(0, w + kStep) - ln(0, w - kStep)) / (2 * kStep)};
}
// The shape at (x, y) and its four neighbours of the central differences.
std::array<ShapeFactors, 5> stencil(double x, double y) {
  return {shape_at(x, y), shape_at(x + kStep, y), shape_at(x - kStep, y), shape_at(x, y + kStep),
          shape_at(x, y - kStep)};
}

// sqrt of the larger of the first two diagonal entries of (A^T A)^-1, with
// the columns of A after the first two dropped when `parameters` is 2.
double amplification_of(const Eigen::MatrixXd& A, int parameters) {
  const Eigen::MatrixXd B = A.leftCols(parameters);
  Eigen::JacobiSVD<Eigen::MatrixXd> svd(B, Eigen::ComputeThinV);
  const Eigen::VectorXd s = svd.singularValues();
  if (s.size() < parameters || !(s[parameters - 1] > 1e-10 * s[0])) return INFINITY;
  const Eigen::MatrixXd V = svd.matrixV();
  double worst = 0;
  for (int k = 0; k < 2; ++k) {
    double variance = 0;
    for (int l = 0; l < parameters; ++l) variance += V(k, l) * V(k, l) / (s[l] * s[l]);
    worst = std::max(worst, variance);
  }
  return std::sqrt(worst);
}

double level_curve_angle_degrees(Eigen::Vector2d g, Eigen::Vector2d h) {
  // Level curves' angle in the metric where ln a, ln b and ln c are
  // orthonormal (the box a >= b >= c is then a 60 degree wedge): gradients in
  // (x, y) pair through the inverse metric [[2, -1], [-1, 2]].
  const auto dot = [](const Eigen::Vector2d& u, const Eigen::Vector2d& v) {
    return 2 * u[0] * v[0] - u[0] * v[1] - u[1] * v[0] + 2 * u[1] * v[1];
  };
  const double norms = std::sqrt(dot(g, g) * dot(h, h));
  if (!(norms > 0)) return NAN;
  return std::acos(std::min(1.0, std::abs(dot(g, h)) / norms)) * 180 / std::numbers::pi;
}

// ---- the regions ----

struct Window {
  double x0, y0;               // the solution, the grid's centre node
  Eigen::Vector2d along, across;  // unit principal directions
  double half_along, half_across;
};

FitGrid sample(const MeasurementModel& model, const Window& window, int nodes) {
  FitGrid grid;
  grid.rows = grid.columns = nodes;
  const int half = nodes / 2;
  for (int i = 0; i < nodes; ++i)
    for (int j = 0; j < nodes; ++j) {
      const double u = window.half_along * (j - half) / half, v = window.half_across * (i - half) / half;
      const double x = window.x0 + u * window.along[0] + v * window.across[0];
      const double y = window.y0 + u * window.along[1] + v * window.across[1];
      double fx = x, fy = y;
      fold(fx, fy);
      grid.x.push_back(x);
      grid.y.push_back(y);
      // Beyond the search box, or so far out that the ellipsoid is not a
      // number: outside every region.
      const bool in_box = fx <= kSpan * (1 + 1e-12) && fy <= kSpan * (1 + 1e-12);
      grid.chi2.push_back(in_box ? profiled(model, shape_at(fx, fy)).chi2 : INFINITY);
    }
  return grid;
}

// The nodes connected to `centre` (8-neighbours) with chi2 <= level; by
// default the grid's centre node.
std::vector<char> component(const FitGrid& grid, double level, int centre = -1) {
  const int n = grid.columns;
  std::vector<char> in(grid.chi2.size(), 0);
  if (centre < 0) centre = (n / 2) * n + n / 2;
  if (!(grid.chi2[centre] <= level)) return in;
  std::vector<int> stack{centre};
  in[centre] = 1;
  while (!stack.empty()) {
    const int k = stack.back();
    stack.pop_back();
    const int i = k / n, j = k % n;
    for (int di = -1; di <= 1; ++di)
      for (int dj = -1; dj <= 1; ++dj) {
        const int a = i + di, b = j + dj;
        if (a < 0 || a >= n || b < 0 || b >= n) continue;
        const int m = a * n + b;
        if (!in[m] && grid.chi2[m] <= level) {
          in[m] = 1;
          stack.push_back(m);
        }
      }
  }
  return in;
}

struct Extent {
  int jmin, jmax, imin, imax;  // index ranges of the component
};
Extent extent(const std::vector<char>& in, int n) {
  Extent e{n, -1, n, -1};
  for (int k = 0; k < n * n; ++k)
    if (in[k]) {
      e.jmin = std::min(e.jmin, k % n);
      e.jmax = std::max(e.jmax, k % n);
      e.imin = std::min(e.imin, k / n);
      e.imax = std::max(e.imax, k / n);
    }
  return e;
}

// Widens the window where the region reaches its edge, narrows it where the
// region spans fewer than a third of the cells; true when it changed.
bool adjust(Window& window, const Extent& e, int n) {
  const int half = n / 2;
  const double cap = 2 * kSpan;
  bool changed = false;
  const auto fit_to = [&](double& h, int lo, int hi) {
    if (lo == 0 || hi == n - 1) {
      if (h < cap) {
        h = std::min(cap, 2 * h);
        changed = true;
      }
    } else if (hi - lo < n / 3) {
      const int reach = std::max(half - lo, hi - half) + 1;  // cells from the centre, one to spare
      h *= std::max(reach * 1.25 / half, 1e-3);
      changed = true;
    }
  };
  fit_to(window.half_along, e.jmin, e.jmax);
  fit_to(window.half_across, e.imin, e.imax);
  return changed;
}

// The extent in x and y (folded into x, y >= 0) of the region {chi2 <=
// level} connected to the node `centre`; empty (lo > hi) when that node is
// outside.
struct Bounds {
  double xlo = INFINITY, xhi = -INFINITY, ylo = INFINITY, yhi = -INFINITY;
  void take(double x, double y) {
    fold(x, y);
    xlo = std::min(xlo, x);
    xhi = std::max(xhi, x);
    ylo = std::min(ylo, y);
    yhi = std::max(yhi, y);
  }
};
Bounds bounds(const FitGrid& grid, double level, int centre = -1) {
  const int n = grid.columns;
  const std::vector<char> in = component(grid, level, centre);
  Bounds b;
  for (int k = 0; k < n * n; ++k) {
    if (!in[k]) continue;
    b.take(grid.x[k], grid.y[k]);
    const int i = k / n, j = k % n;
    for (const auto& [di, dj] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{0, -1}, std::pair{-1, 0}}) {
      const int a = i + di, c = j + dj;
      if (a < 0 || a >= n || c < 0 || c >= n) continue;
      const int m = a * n + c;
      const double x1 = grid.x[k], y1 = grid.y[k], x2 = grid.x[m], y2 = grid.y[m];
      if (!in[m]) {
        // The boundary between the nodes, by linear interpolation of chi2
        // (a node beyond the box counts as the box's edge).
        const double t = std::isfinite(grid.chi2[m]) ? (level - grid.chi2[k]) / (grid.chi2[m] - grid.chi2[k]) : 0.5;
        b.take(x1 + t * (x2 - x1), y1 + t * (y2 - y1));
      } else {
        // Where an edge inside the region crosses a spheroid line, the
        // region reaches the line itself.
        if ((x1 < 0) != (x2 < 0)) b.take(0.0, y1 + x1 / (x1 - x2) * (y2 - y1));
        if ((y1 < 0) != (y2 < 0)) b.take(x1 + y1 / (y1 - y2) * (x2 - x1), 0.0);
      }
    }
  }
  return b;
}

// The region's extent on the fine grid around the solution, widened by its
// extent on the search grid: a long bent band that leaves the fine grid's
// window sideways is still followed there, at the search grid's resolution.
struct Projection {
  RatioInterval ab, bc;
};
Projection project(const FitGrid& fine, const FitGrid& search, double x, double y, double level) {
  Bounds b = bounds(fine, level);
  if (b.xlo > b.xhi) return {{NAN, NAN}, {NAN, NAN}};
  const int j = std::clamp(static_cast<int>(std::lround(x / kSpan * (kSearchNodes - 1))), 0, kSearchNodes - 1);
  const int i = std::clamp(static_cast<int>(std::lround(y / kSpan * (kSearchNodes - 1))), 0, kSearchNodes - 1);
  int start = -1;
  for (int di = -1; di <= 1 && start < 0; ++di)
    for (int dj = -1; dj <= 1 && start < 0; ++dj) {
      const int a = i + di, c = j + dj;
      if (a >= 0 && a < kSearchNodes && c >= 0 && c < kSearchNodes && search.chi2[a * kSearchNodes + c] <= level)
        start = a * kSearchNodes + c;
    }
  if (start >= 0) {
    const Bounds coarse = bounds(search, level, start);
    b.xlo = std::min(b.xlo, coarse.xlo);
    b.xhi = std::max(b.xhi, coarse.xhi);
    b.ylo = std::min(b.ylo, coarse.ylo);
    b.yhi = std::max(b.yhi, coarse.yhi);
  }
  const auto ratio = [](double z) { return z <= 0 ? 1.0 : z >= kSpan ? kMaxFitRatio : std::exp(z); };
  return {{ratio(b.xlo), ratio(b.xhi)}, {ratio(b.ylo), ratio(b.yhi)}};
}

struct Region {
  FitGrid grid;
  Projection p68, p95;
};

// The regions around one solution: level95 >= its chi2.
Region resolve_region(const MeasurementModel& model, const FitGrid& search, double x, double y, double w, double chi2,
                      double chi2_min) {
  const double level68 = chi2_min + kDeltaChi2_68, level95 = chi2_min + kDeltaChi2_95;
  // Principal axes of the linearised chi2 in (x, y), w minimised over.
  Eigen::Matrix2d H;
  {
    Residuals f(model, model.hydration_fitted() ? 3 : 2);
    Eigen::VectorXd p(f.inputs());
    p[0] = x;
    p[1] = y;
    if (f.inputs() == 3) p[2] = w;
    Eigen::MatrixXd J(model.size(), f.inputs());
    f.df(p, J);
    const Eigen::MatrixXd N = J.transpose() * J;
    H = N.topLeftCorner<2, 2>();
    if (f.inputs() == 3 && N(2, 2) > 0) H -= N.topRightCorner<2, 1>() * N.bottomLeftCorner<1, 2>() / N(2, 2);
  }
  Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> eigen(H);
  const double room = level95 - chi2;
  const auto half_width = [&](double lambda) {
    const double h = lambda > 0 ? 1.5 * std::sqrt(room / lambda) : 2 * kSpan;
    return std::clamp(h, 1e-9, 2 * kSpan);
  };
  Window window{x, y, eigen.eigenvectors().col(1), eigen.eigenvectors().col(0), half_width(eigen.eigenvalues()[1]),
                half_width(eigen.eigenvalues()[0])};
  for (int round = 0; round < 12; ++round) {
    const FitGrid probe = sample(model, window, kProbeNodes);
    if (!adjust(window, extent(component(probe, level95), kProbeNodes), kProbeNodes)) break;
  }
  Region region;
  for (int round = 0; round < 3; ++round) {
    region.grid = sample(model, window, kRegionNodes);
    const Extent e = extent(component(region.grid, level95), kRegionNodes);
    const bool reaches_edge = e.jmin == 0 || e.imin == 0 || e.jmax == kRegionNodes - 1 || e.imax == kRegionNodes - 1;
    if (!reaches_edge || window.half_along >= 2 * kSpan || window.half_across >= 2 * kSpan) break;
    adjust(window, e, kRegionNodes);
  }
  region.p68 = project(region.grid, search, x, y, level68);
  region.p95 = project(region.grid, search, x, y, level95);
  return region;
}

// ---- the solutions ----

// Whether the straight path between two minima rises above the higher of the two.
bool separated(const MeasurementModel& model, const LocalMinimum& p, const LocalMinimum& q) {
  const double top = std::max(p.chi2, q.chi2);
  for (const double t : {0.25, 0.5, 0.75}) {
    const double c = profiled(model, shape_at(p.x + t * (q.x - p.x), p.y + t * (q.y - p.y))).chi2;
    if (c > top + 1e-9 * (1 + top)) return true;
  }
  return false;
}

// A minimum found on a spheroid line may be a saddle of the folded plane:
// minimal along the line (where every gradient's normal part vanishes by
// symmetry) but falling away from it. Probed a small step into the box.
bool saddle_on_spheroid_line(const MeasurementModel& model, const LocalMinimum& m) {
  constexpr double near = 1e-3, step = 1e-2;
  if (m.x > near && m.y > near) return false;
  for (const auto& [dx, dy] : {std::pair{step, 0.0}, std::pair{0.0, step}, std::pair{step, step},
                               std::pair{-step, step}, std::pair{step, -step}}) {
    double x = m.x + dx, y = m.y + dy;
    fold(x, y);
    if (profiled(model, shape_at(x, y)).chi2 < m.chi2 - 1e-9 * (1 + m.chi2)) return true;
  }
  return false;
}

FitSolution describe(const MeasurementModel& model, const LocalMinimum& m) {
  FitSolution s{};
  s.a_over_b = std::exp(m.x);
  s.b_over_c = std::exp(m.y);
  s.vs = std::exp(m.w);
  s.hydration = model.solvent_density() * (s.vs - model.vbar());
  s.chi2 = m.chi2;
  const double R0 =
      std::cbrt(3 * model.molar_mass() * s.vs / (4 * std::numbers::pi * kAvogadro)) * 1e8;  // Angstrom
  s.c_angstrom = R0 / std::cbrt(s.a_over_b * s.b_over_c * s.b_over_c);
  s.b_angstrom = s.c_angstrom * s.b_over_c;
  s.a_angstrom = s.b_angstrom * s.a_over_b;
  s.amplification = error_amplification(model, m.x, m.y, m.w);
  s.plausible = s.hydration >= 0 && s.hydration <= 2;
  s.residuals.resize(model.size());
  model.residuals(shape_at(m.x, m.y), m.w, s.residuals);
  return s;
}

std::string quantity_words(Measurement kind) { return measurement_name(kind); }

// A datum that no ellipsoid of the box can give at the given vs (or, for
// u_red, at any): refused, with the range the box reaches.
void refuse_unreachable(const FitInputs& in, const MeasurementModel& model) {
  const auto& table = search_table();
  for (const Datum& d : in.data) {
    if (model.hydration_fitted() && d.kind != Measurement::Ured) continue;
    const double w = model.hydration_fitted() ? 0.0 : model.known_w();
    double lo = INFINITY, hi = -INFINITY;
    int lo_node = 0, hi_node = 0;
    for (int k = 0; k < static_cast<int>(table.size()); ++k) {
      const double v = model.predicted(d.kind, table[k], w);
      if (v < lo) lo = v, lo_node = k;
      if (v > hi) hi = v, hi_node = k;
    }
    // Three standard errors beyond the range: not noise on a reachable value.
    const double z_low = std::log(lo / d.value) / (d.sigma / d.value);
    const double z_high = std::log(d.value / hi) / (d.sigma / d.value);
    if (z_low <= 3 && z_high <= 3) continue;
    const bool low = z_low > 3;
    const int node = low ? lo_node : hi_node;
    const std::string where = node == 0 ? " (the sphere)"
                              : " (a/b = " + shortest(std::exp(search_coordinate(node % kSearchNodes))) +
                                    ", b/c = " + shortest(std::exp(search_coordinate(node / kSearchNodes))) + ")";
    const std::string at = model.hydration_fitted() ? "" : " at vs = " + shortest(std::exp(w)) + " ml/g";
    throw FitRefused(FitRefused::Input::Datum, d.kind,
                     quantity_words(d.kind) + " = " + shortest(d.value) + " is " + (low ? "below" : "above") +
                         " what any ellipsoid with a/b and b/c in [1, " + shortest(kMaxFitRatio) + "] gives" + at +
                         ": " + (low ? "at least " : "at most ") + shortest(low ? lo : hi) + where);
  }
}

}  // namespace

LocalMinimum refine_minimum(const MeasurementModel& model, double x, double y, double w) {
  Residuals f(model, model.hydration_fitted() ? 3 : 2);
  Eigen::VectorXd p(f.inputs());
  p[0] = x;
  p[1] = y;
  if (f.inputs() == 3) p[2] = w;
  Eigen::LevenbergMarquardt<Residuals> lm(f);
  lm.setXtol(1e-15);
  lm.setFtol(1e-15);
  lm.setGtol(0);
  lm.setMaxfev(400);
  lm.minimize(p);
  LocalMinimum m{p[0], p[1], f.inputs() == 3 ? p[2] : model.known_w(), 0, 0};
  fold(m.x, m.y);
  m.chi2 = model.chi2(shape_in_reach(m.x, m.y), m.w);
  m.evaluations = f.evaluations;
  return m;
}

double error_amplification(const MeasurementModel& model, double x, double y, double w,
                           std::span<const Measurement> extra, double extra_sigma_percent) {
  // With every datum at 1 % the covariance of (x, y, w) is 1e-4 (G^T G)^-1,
  // G the gradients of ln m_model: per 1 % it is (G^T G)^-1 itself.
  const auto shapes = stencil(x, y);
  const int parameters = model.hydration_fitted() ? 3 : 2;
  const auto& kinds = model.kinds();
  Eigen::MatrixXd A(kinds.size() + extra.size(), 3);
  for (std::size_t d = 0; d < kinds.size(); ++d) A.row(d) = log_gradient(model, kinds[d], shapes, w);
  for (std::size_t e = 0; e < extra.size(); ++e)
    A.row(kinds.size() + e) = log_gradient(model, extra[e], shapes, w) / extra_sigma_percent;
  return amplification_of(A, parameters);
}

void check_fit_inputs(const FitInputs& in) {
  using Input = FitRefused::Input;
  const auto require = [](Input input, const std::optional<Refusal>& refusal) {
    if (refusal) throw FitRefused(input, std::nullopt, refusal->what(), refusal->field());
  };
  require(Input::MolarMass, not_a_molar_mass(Field::molar_mass, in.molar_mass));
  require(Input::Vbar, not_positive(Field::vbar, in.vbar));
  require(Input::SolventDensity, not_positive(Field::solvent_density, in.solvent.density.value_or(kDefaultSolventDensity)));
  require(Input::Viscosity, not_positive(Field::viscosity, in.solvent.viscosity));
  require(Input::Temperature, not_positive(Field::temperature, in.solvent.temperature));
  if (in.hydration && in.vs) throw FitRefused(Input::Hydration, std::nullopt, "give the hydration or vs, not both");
  if (in.hydration) {
    require(Input::Hydration, not_finite(Field::hydration, *in.hydration));
    require(Input::Hydration,
            not_positive(Field::hydration,
                         specific_volume_from_hydration(in.vbar, *in.hydration,
                                                        in.solvent.density.value_or(kDefaultSolventDensity)),
                         kDerivedVs));
  }
  if (in.vs) require(Input::Vs, not_positive(Field::vs, *in.vs));
  if (in.charge) {
    require(Input::Charge, not_finite(Field::valency, in.charge->valency));
    require(Input::Charge, not_positive(Field::ionic_strength, in.charge->ionic_strength));
  }
  std::array<bool, kMeasurementKinds> seen{};
  for (const Datum& d : in.data) {
    const std::string name = measurement_name(d.kind);
    if (auto problem = not_positive(name, d.value)) throw FitRefused(Input::Datum, d.kind, *problem);
    if (auto problem = not_positive("the error of " + name, d.sigma)) throw FitRefused(Input::Datum, d.kind, *problem);
    if (!(d.sigma < 0.5 * d.value))
      throw FitRefused(Input::Datum, d.kind,
                       "the error of " + name + " = " + shortest(d.sigma) +
                           " must be below half the value: the fit's model of ln " + name + " needs it");
    if (d.kind == Measurement::Sedimentation &&
        !(1 - in.vbar * in.solvent.density.value_or(kDefaultSolventDensity) > 0))
      throw FitRefused(Input::Datum, d.kind, "s needs 1 - vbar rho > 0: a particle as dense as the solvent does not sediment");
    seen[information_class(d.kind)] = true;
  }
  const int unknowns = in.hydration || in.vs ? 2 : 3;
  const int independent = static_cast<int>(std::count(seen.begin(), seen.end(), true));
  if (independent < unknowns)
    throw FitRefused(Input::Data, std::nullopt,
                     std::to_string(independent) + " independent data cannot fix " + std::to_string(unknowns) +
                         " unknowns (a/b, b/c" + (unknowns == 3 ? " and vs" : "") + "): give " +
                         (unknowns == 3 ? "the hydration or vs, or another measurement" : "another measurement") +
                         " (s, D and the Stokes radius count as one)");
}

namespace {

// chi^2 over the search grid, profiled over w, and the w of each node.
std::vector<double> search_grid(const MeasurementModel& model, FitGrid& search) {
  const auto& table = search_table();
  search.rows = search.columns = kSearchNodes;
  std::vector<double> node_w(table.size());
  for (int k = 0; k < static_cast<int>(table.size()); ++k) {
    const Profiled p = profiled(model, table[k]);
    search.x.push_back(search_coordinate(k % kSearchNodes));
    search.y.push_back(search_coordinate(k / kSearchNodes));
    search.chi2.push_back(p.chi2);
    node_w[k] = p.w;
  }
  return node_w;
}

// Nodes that are minima of their neighbourhood, the lowest first, at most kMaxStarts.
std::vector<int> neighbourhood_minima(const FitGrid& search) {
  std::vector<int> starts;
  for (int i = 0; i < kSearchNodes; ++i)
    for (int j = 0; j < kSearchNodes; ++j) {
      const double c = search.chi2[i * kSearchNodes + j];
      bool lowest = true;
      for (int di = -1; di <= 1 && lowest; ++di)
        for (int dj = -1; dj <= 1 && lowest; ++dj) {
          const int a = i + di, b = j + dj;
          if ((di || dj) && a >= 0 && a < kSearchNodes && b >= 0 && b < kSearchNodes &&
              search.chi2[a * kSearchNodes + b] < c)
            lowest = false;
        }
      if (lowest) starts.push_back(i * kSearchNodes + j);
    }
  std::sort(starts.begin(), starts.end(), [&](int p, int q) { return search.chi2[p] < search.chi2[q]; });
  if (starts.size() > kMaxStarts) starts.resize(kMaxStarts);
  return starts;
}

// The distinct minima refined from the starts, the lowest first: refinements
// that leave the box or stop on a spheroid line's saddle are dropped, and two
// that are not separated by a barrier are one. The starts are the lowest first.
std::vector<LocalMinimum> refined_minima(const MeasurementModel& model, const FitGrid& search,
                                         const std::vector<int>& starts, const std::vector<double>& node_w) {
  std::vector<LocalMinimum> minima;
  for (const int k : starts) {
    const LocalMinimum m = refine_minimum(model, search.x[k], search.y[k], node_w[k]);
    if (!(m.x <= kSpan * (1 + 1e-12) && m.y <= kSpan * (1 + 1e-12) && std::isfinite(m.chi2))) continue;
    if (saddle_on_spheroid_line(model, m)) continue;
    bool merged = false;
    for (LocalMinimum& known : minima) {
      const bool close = std::abs(known.x - m.x) < 1e-6 && std::abs(known.y - m.y) < 1e-6;
      if (close || !separated(model, known, m)) {
        if (m.chi2 < known.chi2) known = m;
        merged = true;
        break;
      }
    }
    if (!merged) minima.push_back(m);
  }
  // A refinement only descends from its node, so when no minimum kept is as
  // low as the best node, that node's refinement left the box (down a valley
  // towards an infinitely thin or long shape): the best node is then the
  // closest shape in the box, and not the higher minimum that stayed in it.
  const int k = starts.front();
  const bool best_node_lost = std::none_of(minima.begin(), minima.end(),
                                           [&](const LocalMinimum& m) { return m.chi2 <= search.chi2[k]; });
  if (best_node_lost) minima.push_back({search.x[k], search.y[k], node_w[k], search.chi2[k], 0});
  std::sort(minima.begin(), minima.end(), [](const LocalMinimum& p, const LocalMinimum& q) { return p.chi2 < q.chi2; });
  return minima;
}

// Each minimum as a solution; those within the 95 % level of the best carry
// their confidence regions.
void add_solutions(const MeasurementModel& model, const std::vector<LocalMinimum>& minima, FitResult& result) {
  const double chi2_min = minima.front().chi2;
  for (const LocalMinimum& m : minima) {
    FitSolution s = describe(model, m);
    if (m.chi2 <= chi2_min + kDeltaChi2_95) {
      Region region = resolve_region(model, result.search, m.x, m.y, m.w, m.chi2, chi2_min);
      s.a_over_b_68 = region.p68.ab;
      s.b_over_c_68 = region.p68.bc;
      s.a_over_b_95 = region.p95.ab;
      s.b_over_c_95 = region.p95.bc;
      result.regions.push_back(std::move(region.grid));
    } else {
      s.a_over_b_68 = s.b_over_c_68 = s.a_over_b_95 = s.b_over_c_95 = {NAN, NAN};
      result.regions.emplace_back();
    }
    result.solutions.push_back(std::move(s));
  }
}

// The conditioning of the best solution: the two data whose level curves
// cross at the smallest angle, and the one measurement of another kind that
// would lower the error amplification most.
void add_conditioning(const MeasurementModel& model, const LocalMinimum& best, FitResult& result) {
  result.ill_conditioned = !(result.solutions.front().amplification <= kIllConditioned);
  result.weak_first = result.weak_second = -1;
  result.weak_angle_degrees = NAN;
  const auto shapes = stencil(best.x, best.y);
  const auto& kinds = model.kinds();
  for (int d = 0; d < model.size(); ++d)
    for (int e = d + 1; e < model.size(); ++e) {
      const double angle = level_curve_angle_degrees(log_gradient(model, kinds[d], shapes, best.w).head<2>(),
                                                    log_gradient(model, kinds[e], shapes, best.w).head<2>());
      if (angle < result.weak_angle_degrees || (std::isnan(result.weak_angle_degrees) && !std::isnan(angle))) {
        result.weak_angle_degrees = angle;
        result.weak_first = d;
        result.weak_second = e;
      }
    }
  std::array<bool, kMeasurementKinds> present{};
  for (const Measurement kind : kinds) present[information_class(kind)] = true;
  result.amplification_with_addition = NAN;
  for (const Measurement candidate : {Measurement::RelaxationTime, Measurement::IntrinsicViscosity,
                                      Measurement::RadiusOfGyration, Measurement::StokesRadius, Measurement::Virial}) {
    if (present[information_class(candidate)]) continue;
    const Measurement added[] = {candidate};
    const double amplification = error_amplification(model, best.x, best.y, best.w, added);
    if (!result.best_addition || amplification < result.amplification_with_addition) {
      result.best_addition = candidate;
      result.amplification_with_addition = amplification;
    }
  }
}

// Each datum's deviation over the search grid at the best solution's w.
std::vector<std::vector<double>> datum_deviations(const MeasurementModel& model, double w) {
  const auto& table = search_table();
  std::vector<std::vector<double>> deviation(model.size(), std::vector<double>(table.size()));
  std::vector<double> r(model.size());
  for (int k = 0; k < static_cast<int>(table.size()); ++k) {
    model.residuals(table[k], w, r);
    for (int d = 0; d < model.size(); ++d) deviation[d][k] = r[d];
  }
  return deviation;
}

}  // namespace

FitResult fit_shape(const FitInputs& in) {
  const MeasurementModel model(in);
  refuse_unreachable(in, model);
  const int unknowns = model.hydration_fitted() ? 3 : 2;

  FitResult result{};
  result.hydration_fitted = model.hydration_fitted();
  result.degrees_of_freedom = model.size() - unknowns;
  result.chi2_limit = 2 * boost::math::gamma_p_inv(std::max(1, result.degrees_of_freedom) / 2.0, 0.999);

  const std::vector<double> node_w = search_grid(model, result.search);
  const std::vector<LocalMinimum> minima =
      refined_minima(model, result.search, neighbourhood_minima(result.search), node_w);
  result.consistent = minima.front().chi2 <= result.chi2_limit;
  add_solutions(model, minima, result);
  add_conditioning(model, minima.front(), result);
  result.datum_deviation = datum_deviations(model, minima.front().w);
  return result;
}

FitResult fit(const FitInputs& inputs) {
  check_fit_inputs(inputs);
  return fit_shape(inputs);
}

FitMap fit_map(const FitInputs& inputs, double w, double a_over_b_max, double b_over_c_max, int nodes) {
  check_fit_inputs(inputs);
  if (!(a_over_b_max > 1 && b_over_c_max > 1 && a_over_b_max <= kMaxFitRatio && b_over_c_max <= kMaxFitRatio))
    throw std::invalid_argument("the map's largest a/b and b/c must be above 1 and at most " + shortest(kMaxFitRatio));
  if (nodes < 2 || nodes > 2001) throw std::invalid_argument("nodes = " + std::to_string(nodes) + " must be 2 to 2001");
  if (!std::isfinite(w)) throw std::invalid_argument("w = " + shortest(w) + " must be a finite number");
  const MeasurementModel model(inputs);
  FitMap map;
  map.chi2.rows = map.chi2.columns = nodes;
  map.datum_deviation.assign(model.size(), {});
  std::vector<double> r(model.size());
  for (int i = 0; i < nodes; ++i)
    for (int j = 0; j < nodes; ++j) {
      const double x = std::log(a_over_b_max) * j / (nodes - 1), y = std::log(b_over_c_max) * i / (nodes - 1);
      const ShapeFactors shape = shape_at(x, y);
      map.chi2.x.push_back(x);
      map.chi2.y.push_back(y);
      map.chi2.chi2.push_back(profiled(model, shape).chi2);
      model.residuals(shape, model.hydration_fitted() ? w : model.known_w(), r);
      for (int d = 0; d < model.size(); ++d) map.datum_deviation[d].push_back(r[d]);
    }
  return map;
}

const char* measurement_name(Measurement kind) {
  switch (kind) {
    case Measurement::Virial: return "B";
    case Measurement::Sedimentation: return "s";
    case Measurement::Diffusion: return "D";
    case Measurement::StokesRadius: return "R_S";
    case Measurement::RadiusOfGyration: return "R_g";
    case Measurement::IntrinsicViscosity: return "[eta]";
    case Measurement::RelaxationTime: return "tau_h";
    case Measurement::Ured: return "ured";
  }
  return "?";
}

const char* measurement_keyword(Measurement kind) {
  switch (kind) {
    case Measurement::Virial: return "virial";
    case Measurement::Sedimentation: return "sedimentation";
    case Measurement::Diffusion: return "diffusion";
    case Measurement::StokesRadius: return "stokes_radius";
    case Measurement::RadiusOfGyration: return "radius_of_gyration";
    case Measurement::IntrinsicViscosity: return "intrinsic_viscosity";
    case Measurement::RelaxationTime: return "relaxation_time";
    case Measurement::Ured: return "ured";
  }
  return "?";
}

std::string conditioning_note(const FitResult& result, const std::vector<Datum>& data,
                              std::string (*label)(Measurement)) {
  if (!result.ill_conditioned || result.solutions.empty()) return "";
  const double amplification = result.solutions.front().amplification;
  std::string note =
      amplification <= 1000
          ? "ill-conditioned: a 1 % error in the data moves the axial ratios by about " +
                shortest(std::round(amplification)) + " % (amplification above " + shortest(kIllConditioned) + ")"
          : "ill-conditioned: the data fix the shape only to second order here (amplification above 1000, as on a "
            "spheroid line)";
  if (result.weak_first >= 0)
    note += "; the level curves of " + label(data[result.weak_first].kind) + " and " +
            label(data[result.weak_second].kind) + " cross at " + shortest(std::round(result.weak_angle_degrees * 10) / 10) +
            " degrees there";
  // A measurement that would help: only off the spheroid lines, where every
  // pair is degenerate and no single datum restores first-order information.
  if (result.best_addition && result.amplification_with_addition < std::min(amplification / 2, 1000.0))
    note += "; " + label(*result.best_addition) + " would help most (amplification " +
            shortest(std::round(result.amplification_with_addition * 10) / 10) + " with it at 2 %)";
  else if (result.best_addition)
    note += "; no one more measurement helps much: near a spheroid line every pair of data is degenerate";
  return note;
}

}  // namespace triex
