#include "cli/evaluate.hpp"

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
  if (method != Method::Exact)
    columns.insert(columns.end(),
                   {"ured_quadrature", "npts_surface", "npts_curvature", "ifail_surface", "ifail_curvature"});
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

bool quadrature_converged(const ShapeValues& v, Method method) {
  return method == Method::Exact || (v.quadrature.ifail_surface == 0 && v.quadrature.ifail_curvature == 0);
}

}  // namespace triex::cli
