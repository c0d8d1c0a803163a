#include "structure/mass_moments.hpp"

namespace triex {

void MassMoments::add(double mass, const std::array<double, 3>& position) {
  ++count_;
  mass_ += mass;
  std::array<double, 3> before{}, after{};
  for (std::size_t k = 0; k < 3; ++k) {
    before[k] = position[k] - centre_[k];
    centre_[k] += (mass / mass_) * before[k];
    after[k] = position[k] - centre_[k];
  }
  // The co-moment's update w (x - old)(x - new)^T is symmetric in exact
  // arithmetic; its off-diagonal terms take the mean of the two orders so
  // that the stored tensor stays symmetric in rounding too.
  comoment_[0] += mass * before[0] * after[0];
  comoment_[1] += mass * before[1] * after[1];
  comoment_[2] += mass * before[2] * after[2];
  comoment_[3] += mass * 0.5 * (before[0] * after[1] + before[1] * after[0]);
  comoment_[4] += mass * 0.5 * (before[0] * after[2] + before[2] * after[0]);
  comoment_[5] += mass * 0.5 * (before[1] * after[2] + before[2] * after[1]);
}

std::array<double, 6> MassMoments::covariance() const {
  std::array<double, 6> c{};
  if (mass_ > 0)
    for (std::size_t k = 0; k < 6; ++k) c[k] = comoment_[k] / mass_;
  return c;
}

}  // namespace triex
