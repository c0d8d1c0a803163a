#include "cli/evaluate.hpp"

#include <charconv>

#include "api/result_columns.hpp"
#include "shape/shape_section.hpp"
#include "cli/command_error.hpp"

namespace triex::cli {

ShapeValues evaluate_axes(double a, double b, double c, Method method) {
  ShapeValues v;
  if (method != Method::Quadrature) v.exact = ured(a, b, c);
  if (method != Method::Exact) v.quadrature = quadrature(a, b, c);
  return v;
}

ShapeValues evaluate_ratios(double a_over_b, double b_over_c, Method method) {
  ShapeValues v;
  if (method != Method::Quadrature) v.exact = ured_ratios(a_over_b, b_over_c);
  if (method != Method::Exact) v.quadrature = quadrature_ratios(a_over_b, b_over_c);
  return v;
}

std::vector<std::string> method_columns(Method method) {
  std::vector<std::string> columns;
  if (method != Method::Quadrature) columns.push_back("ured_exact");
  if (method != Method::Exact) {
    columns.push_back("ured_quadrature");
    columns.insert(columns.end(), kQuadratureCountColumns.begin(), kQuadratureCountColumns.end());
  }
  if (method == Method::Both) columns.push_back("relative_difference");
  return columns;
}

void method_cells(const ShapeValues& v, Method method, std::vector<Cell>& cells) {
  if (method != Method::Quadrature) cells.emplace_back(v.exact);
  if (method != Method::Exact) {
    const QuadratureResult& q = v.quadrature;
    cells.emplace_back(q.ured);
    for (const int n : {q.npts_surface, q.npts_curvature, q.ifail_surface, q.ifail_curvature})
      cells.emplace_back(std::int64_t{n});
  }
  // Signed: positive when the quadrature gives more than the exact value.
  if (method == Method::Both) cells.emplace_back((v.quadrature.ured - v.exact) / v.exact);
}

double chosen_ured(const ShapeValues& v, Method method) {
  return method == Method::Quadrature ? v.quadrature.ured : v.exact;
}

bool plainly_wrong(const ShapeValues& v, Method method) { return method != Method::Exact && v.quadrature.plainly_wrong; }

void QuadratureTally::add(const ShapeValues& v, Method method) {
  if (method == Method::Exact) return;
  ++shapes;
  if (v.quadrature.ifail_surface != 0 || v.quadrature.ifail_curvature != 0) ++failure_codes;
  if (v.quadrature.plainly_wrong) ++plainly_wrong;
}

std::string plainly_wrong_rule() {
  char trust[32];  // 0.0001 rather than shortest()'s 1e-04
  const auto end = std::to_chars(trust, trust + sizeof trust, kQuadratureTrust, std::chars_format::fixed).ptr;
  return "not finite, or further than " + std::string(trust, end) + " relative from the closed form";
}

Outcome quadrature_status(std::ostream& err, std::string_view command, const QuadratureTally& tally) {
  const auto of_shapes = [&](std::size_t n) {
    return std::to_string(n) + " of " + std::to_string(tally.shapes) + (tally.shapes == 1 ? " shape" : " shapes");
  };
  if (tally.failure_codes > 0)
    say(err, command,
        "note: ifail_surface or ifail_curvature is not 0 for " + of_shapes(tally.failure_codes) +
            " (a rule stopped short of its requested accuracy); such a value counts as wrong only when it is " +
            plainly_wrong_rule());
  if (tally.plainly_wrong > 0)
    say(err, command,
        "the quadrature's ured is plainly wrong for " + of_shapes(tally.plainly_wrong) + " (" + plainly_wrong_rule() + ")");
  return tally.plainly_wrong > 0 ? Outcome::QuadraturePlainlyWrong : Outcome::Done;
}

}  // namespace triex::cli
