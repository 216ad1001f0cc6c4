#pragma once
// Configurations for the Procrustes tests: an asymmetric shape and its moved copies.
#include <cmath>
#include <random>

#include "platform/matrix.h"

namespace tav::test {

// Five points, no mirror symmetry, followed by the trailing value 7.
inline Row kite() { return row({0, 0, 4, 1, 3, 5, -1, 3, 1, 1.5, 7}); }

struct Pose {
  const char* name;
  double turn, scale, dx, dy;
};

// The row's points turned by p.turn about the origin, scaled and shifted; trailing value kept.
inline Row moved(const Row& r, const Pose& p) {
  Row out = r;
  const double c = std::cos(p.turn), s = std::sin(p.turn);
  for (Index q = 0; q + 1 < r.size(); q += 2) {
    out(q) = p.scale * (c * r(q) - s * r(q + 1)) + p.dx;
    out(q + 1) = p.scale * (s * r(q) + c * r(q + 1)) + p.dy;
  }
  return out;
}

// The row centred on its centroid and scaled to unit centroid size; trailing value kept.
inline Row unit_size(const Row& r) {
  const Index k = r.size() / 2;
  Row out = r;
  double mx = 0, my = 0;
  for (Index p = 0; p < k; ++p) mx += r(2 * p), my += r(2 * p + 1);
  mx /= static_cast<double>(k), my /= static_cast<double>(k);
  double ss = 0;
  for (Index p = 0; p < k; ++p) {
    out(2 * p) -= mx, out(2 * p + 1) -= my;
    ss += out(2 * p) * out(2 * p) + out(2 * p + 1) * out(2 * p + 1);
  }
  out.head(2 * k) /= std::sqrt(ss);
  return out;
}

// The coordinates of r with normal noise of the given spread added (fixed seed per call).
inline Row noisy(const Row& r, double spread, std::mt19937& gen) {
  std::normal_distribution<double> d(0, spread);
  Row out = r;
  for (Index q = 0; q + 1 < r.size(); ++q) out(q) += d(gen);
  return out;
}

}  // namespace tav::test
