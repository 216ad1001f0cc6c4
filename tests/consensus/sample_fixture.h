#pragma once
// Synthetic samples for the consensus tests: an outline with landmarks and two curves, and
// specimens made from it by moving semi-landmarks along the outline, turning, scaling, shifting.
#include <cmath>
#include <numbers>
#include <random>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav::test {

// A point at parameter s (0..1) along a smooth closed outline (an egg with a bump).
inline Eigen::RowVector2d outline_point(double s) {
  const double a = 2 * std::numbers::pi * s;
  const double r = 1 + 0.25 * std::cos(2 * a) + 0.1 * std::sin(3 * a);
  return {1.3 * r * std::cos(a), r * std::sin(a)};
}

// A point at parameter s (0..1) around an eye-shaped closed curve inside the outline.
inline Eigen::RowVector2d eye_point(double s) {
  const double a = 2 * std::numbers::pi * s;
  return {0.3 + 0.35 * std::cos(a), 0.1 + 0.2 * std::sin(a) + 0.05 * std::cos(2 * a)};
}

// 20 points: 1-4 landmarks on the outline at s = 0, .25, .5, .75; closed curve -1: points
// 5-12 around the eye; open curve 1: 4 13 14 15 16 1 (outline s 0.75..1); open curve 2:
// 2 17 18 19 20 3 (outline s 0.25..0.5).
struct Design {
  CurveProtocol protocol;
  std::vector<double> s;  // curve parameter of every point, 1-based point p at s[p-1]
};

inline Design design() {
  Design d;
  d.s = {0, 0.25, 0.5, 0.75};
  for (int j = 0; j < 8; ++j) d.s.push_back(0.03 + j / 8.0);
  for (int j = 1; j <= 4; ++j) d.s.push_back(0.75 + 0.05 * j);
  for (int j = 1; j <= 4; ++j) d.s.push_back(0.25 + 0.05 * j);
  d.protocol.numfull = -1;
  d.protocol.numopen = 2;
  d.protocol.members = {
      {5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3, 4}, {4, 13, 14, 15, 16, 1}, {2, 17, 18, 19, 20, 3}};
  d.protocol.types = {
      std::vector<double>(8, 1.0), {0, 0, 0, 0}, {0, 1, 1, 1, 1, 0}, {0, 1, 1, 1, 1, 0}};
  return d;
}

// n specimens of the design: semi-landmarks shifted along the outline by up to `slip` in s,
// small noise, then turned, scaled and shifted; trailing value = 100 + row.
inline Matrix sample(const Design& d, int n, double slip, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  const Index k = static_cast<Index>(d.s.size());
  Matrix x(n, 2 * k + 1);
  for (int i = 0; i < n; ++i) {
    const double turn = 0.3 * u(gen), scale = 1 + 0.2 * u(gen), dx = u(gen), dy = u(gen);
    const double c = std::cos(turn), sn = std::sin(turn);
    for (Index p = 0; p < k; ++p) {
      const double shift = p < 4 ? 0.0 : slip * u(gen);
      const double at = d.s[static_cast<std::size_t>(p)] + shift;
      Eigen::RowVector2d q = p >= 4 && p < 12 ? eye_point(at) : outline_point(at);
      q += 0.01 * Eigen::RowVector2d(u(gen), u(gen));
      x(i, 2 * p) = scale * (c * q(0) - sn * q(1)) + dx;
      x(i, 2 * p + 1) = scale * (sn * q(0) + c * q(1)) + dy;
    }
    x(i, 2 * k) = 100 + i;
  }
  return x;
}

}  // namespace tav::test
