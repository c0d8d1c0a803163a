// The exit statuses the dialogue and the commands share: 0 a normal end,
// 2 refused input (or input that could not be read), 3 a failed write. Status
// 1 means a library failure ended the dialogue, and a quadrature value that is
// plainly wrong in the commands.
#pragma once

namespace triex {

inline constexpr int kStatusQuadratureWrong = 1;
inline constexpr int kStatusRefused = 2;
inline constexpr int kStatusWriteFailed = 3;
// triex fit: no ellipsoid fits the data within the 99.9 % point of chi2 (the
// closest shapes are written, with their residuals).
inline constexpr int kStatusDataInconsistent = 1;

}  // namespace triex
