#pragma once
// A leaf-like sample for the bending-energy consensus tests: three landmarks (tip, base, a point
// on the midrib) and one closed curve of semi-landmarks round the blade, placed unevenly along
// the outline in every specimen.
#include <cmath>
#include <numbers>
#include <random>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav::test {

// Point at parameter s (0..1) round the blade of a leaf with shape factor `w` (its width).
inline Eigen::RowVector2d leaf_point(double s, double w) {
  const double a = 2 * std::numbers::pi * s;
  const double x = std::cos(a);
  return {x, w * std::sin(a) * (1 - 0.35 * x) * (1 + 0.15 * std::cos(3 * a))};
}

constexpr int kLeafCurve = 24;

// Points 1-3: tip (s = 0), base (s = 0.5), midrib point; 4..27: closed curve -1.
inline CurveProtocol leaf_protocol() {
  CurveProtocol p;
  p.numfull = -1;
  p.numopen = 0;
  std::vector<int> curve;
  for (int j = 0; j < kLeafCurve; ++j) curve.push_back(4 + j);
  p.members = {curve, {1, 2, 3}};
  p.types = {std::vector<double>(kLeafCurve, 1.0), {0, 0, 0}};
  return p;
}

struct LeafSpecimen {
  double width, turn, scale, dx, dy;
  std::vector<double> s;  // curve parameter of each semi-landmark
};

inline std::vector<LeafSpecimen> leaf_specimens(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  std::vector<LeafSpecimen> out;
  for (int i = 0; i < n; ++i) {
    LeafSpecimen sp{0.45 + 0.1 * u(gen), 0.4 * u(gen), 1 + 0.3 * u(gen), u(gen), u(gen), {}};
    for (int j = 0; j < kLeafCurve; ++j) sp.s.push_back((j + 0.5 + 0.3 * u(gen)) / kLeafCurve);
    out.push_back(sp);
  }
  return out;
}

inline Eigen::RowVector2d placed(const LeafSpecimen& sp, Eigen::RowVector2d q) {
  const double c = std::cos(sp.turn), s = std::sin(sp.turn);
  return {sp.scale * (c * q(0) - s * q(1)) + sp.dx, sp.scale * (s * q(0) + c * q(1)) + sp.dy};
}

inline Matrix leaf_sample(const std::vector<LeafSpecimen>& sps) {
  const Index k = 3 + kLeafCurve;
  Matrix x(static_cast<Index>(sps.size()), 2 * k + 1);
  for (Index i = 0; i < x.rows(); ++i) {
    const LeafSpecimen& sp = sps[static_cast<std::size_t>(i)];
    const Eigen::RowVector2d pts[3] = {
        leaf_point(0, sp.width), leaf_point(0.5, sp.width), {0.1, 0.02}};
    for (Index p = 0; p < 3; ++p) x.block(i, 2 * p, 1, 2) = placed(sp, pts[p]);
    for (Index j = 0; j < kLeafCurve; ++j)
      x.block(i, 6 + 2 * j, 1, 2) =
          placed(sp, leaf_point(sp.s[static_cast<std::size_t>(j)], sp.width));
    x(i, 2 * k) = 7 + static_cast<double>(i);
  }
  return x;
}

}  // namespace tav::test
