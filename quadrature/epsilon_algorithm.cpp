// D01AJY: the epsilon algorithm of Wynn (Math. Tables Aids Comput. 10, 1956,
// 91-96) in the storage-saving form that keeps only the lower diagonal, with
// the error estimate from the last three results, of de Doncker (SIGNUM
// Newsletter 13, 1978) and Piessens, de Doncker-Kapenga, Ueberhuber and
// Kahaner (Springer Ser. Comput. Math. 1, 1983); see epsilon_algorithm.hpp.
//
// The table is kept as one lower diagonal: with e0, e1, e2 the three elements
// above and e3 the element to the left of the new one,
//   e_new = e1 + 1 / (1/(e1 - e3) + 1/(e2 - e1) - 1/(e1 - e0)),
// the rhombus rule written so that it cancels least. Elements that agree to
// machine accuracy end the sweep: the table is cut back to the part that is
// still trustworthy.

#include "quadrature/epsilon_algorithm.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "support/machine_constants.hpp"
#include "support/one_based.hpp"

namespace triex {

void D01AJY(int& N, std::span<double, kEpsilonTableLength> EPSTAB, double& RESULT, double& ABSERR,
            std::span<double, 3> RES3LA, int& NRES) {
  assert(N >= 1 && N <= LIMEXP);
  const double EPMACH = X02AJF();
  const double UFLOW = X02AMF();
  const double OFLOW = 1.0 / UFLOW;

  NRES = NRES + 1;
  ABSERR = OFLOW;
  RESULT = at(EPSTAB, N);

  // With fewer than three elements there is nothing to extrapolate yet.
  if (N >= 3) {
    bool converged = false;
    at(EPSTAB, N + 2) = at(EPSTAB, N);
    const int NEWELM = (N - 1) / 2;
    at(EPSTAB, N) = OFLOW;
    const int NUM = N;
    int k1 = N;
    for (int i = 1; i <= NEWELM; ++i) {
      const double e0 = at(EPSTAB, k1 - 2);
      const double e1 = at(EPSTAB, k1 - 1);
      const double e2 = at(EPSTAB, k1 + 2);
      double res = e2;
      const double delta2 = e2 - e1;
      const double err2 = std::abs(delta2);
      const double tol2 = std::max(std::abs(e2), std::abs(e1)) * EPMACH;
      const double delta3 = e1 - e0;
      const double err3 = std::abs(delta3);
      const double tol3 = std::max(std::abs(e1), std::abs(e0)) * EPMACH;
      if (err3 <= tol3 && err2 <= tol2) {
        // e0, e1 and e2 agree to machine accuracy: the sequence has converged.
        RESULT = res;
        ABSERR = err2 + err3;
        converged = true;
        break;
      }
      const double e3 = at(EPSTAB, k1);
      at(EPSTAB, k1) = e1;
      const double delta1 = e1 - e3;
      const double err1 = std::abs(delta1);
      const double tol1 = std::max(std::abs(e1), std::abs(e3)) * EPMACH;
      // Two elements very close: the rhombus rule would divide by rounding
      // noise, so the table is cut off before this diagonal.
      if (err1 <= tol1 || err2 <= tol2 || err3 <= tol3) {
        N = 2 * i - 1;
        break;
      }
      const double ss = 1.0 / delta1 + 1.0 / delta2 - 1.0 / delta3;
      // Irregular behaviour in the table: cut it off likewise.
      if (std::abs(ss * e1) <= 1.0e-4) {
        N = 2 * i - 1;
        break;
      }
      res = e1 + 1.0 / ss;
      at(EPSTAB, k1) = res;
      k1 = k1 - 2;
      const double err = err2 + std::abs(res - e2) + err3;
      if (err <= ABSERR) {
        ABSERR = err;
        RESULT = res;
      }
    }

    if (!converged) {
      // Keep at most LIMEXP - 1 elements, an odd number, so that the table
      // stays on the diagonals of the sequence's own parity.
      if (N == LIMEXP) N = 2 * (LIMEXP / 2) - 1;

      // Shift the kept diagonal up by two places.
      int ib = NUM % 2 == 0 ? 2 : 1;
      const int IE = NEWELM + 1;
      for (int i = 1; i <= IE; ++i) {
        at(EPSTAB, ib) = at(EPSTAB, ib + 2);
        ib = ib + 2;
      }
      if (NUM != N) {
        int INDX = NUM - N + 1;
        for (int i = 1; i <= N; ++i) {
          at(EPSTAB, i) = at(EPSTAB, INDX);
          INDX = INDX + 1;
        }
      }

      // The error of the extrapolation is judged by how far the new result lies
      // from the last three; until three are known it counts as unbounded.
      if (NRES < 4) {
        at(RES3LA, NRES) = RESULT;
        ABSERR = OFLOW;
      } else {
        ABSERR = std::abs(RESULT - at(RES3LA, 1)) + std::abs(RESULT - at(RES3LA, 2)) +
                 std::abs(RESULT - at(RES3LA, 3));
        at(RES3LA, 1) = at(RES3LA, 2);
        at(RES3LA, 2) = at(RES3LA, 3);
        at(RES3LA, 3) = RESULT;
      }
    }
  }
  // Never claim more than the rounding of the result itself allows.
  ABSERR = std::max(ABSERR, 0.5 * EPMACH * std::abs(RESULT));
}

}  // namespace triex
