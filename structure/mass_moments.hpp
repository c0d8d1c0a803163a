// The mass, centre of mass and second central moments of a set of point
// masses, accumulated one atom at a time in constant memory.
//
// The update is West's weighted form of the running mean and co-moment
// (D. H. D. West, Commun. ACM 22, 1979, 532-535): each atom moves the centre by
// w/W of its offset and adds w (x - old centre)(x - new centre)^T to the
// co-moment. Unlike the sums of m x and m x x^T, it does not lose the
// molecule's size to cancellation when the molecule lies far from the origin
// (coordinates of 10^4 Angstrom, a molecule of 10 Angstrom: the raw sums would
// cancel eight of the sixteen digits).
#pragma once

#include <array>
#include <cstddef>

namespace triex {

class MassMoments {
 public:
  // One point of mass `mass` (> 0) at `position`.
  void add(double mass, const std::array<double, 3>& position);

  std::size_t count() const { return count_; }
  double mass() const { return mass_; }
  const std::array<double, 3>& centre() const { return centre_; }
  // The mass-weighted covariance sum_i m_i (x_i - centre)(x_i - centre)^T / M,
  // as xx, yy, zz, xy, xz, yz (square Angstrom when positions are in Angstrom).
  std::array<double, 6> covariance() const;

 private:
  std::size_t count_ = 0;
  double mass_ = 0;
  std::array<double, 3> centre_{};
  std::array<double, 6> comoment_{};  // xx, yy, zz, xy, xz, yz
};

}  // namespace triex
