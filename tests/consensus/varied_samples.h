#pragma once
// Samples whose shapes vary as real ones do, for the iterated run: the outline itself differs
// from specimen to specimen (not only where its semi-landmarks were placed), so the sliding and
// the consensus move together, as on real data.
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <string>

#include "consensus/sample_fixture.h"

namespace tav::test {

// A point at parameter s (0..1) along the closed curve r(a) = 1 + sum_j c_j cos(j a + phase_j).
struct Blob {
  std::vector<double> c, phase;
  double stretch = 1;  // the x axis scaled by this
  Eigen::RowVector2d at(double s) const {
    const double a = 2 * std::numbers::pi * s;
    double r = 1;
    for (std::size_t j = 0; j < c.size(); ++j)
      r += c[j] * std::cos(static_cast<double>(j + 2) * a + phase[j]);
    return {stretch * r * std::cos(a), r * std::sin(a)};
  }
};

// Places q on a specimen: turned by up to 0.3 rad, scaled by 0.8..1.2, shifted by up to 1.
struct Placement {
  double c = 1, s = 0, scale = 1, dx = 0, dy = 0;
  Eigen::RowVector2d operator()(const Eigen::RowVector2d& q) const {
    return {scale * (c * q(0) - s * q(1)) + dx, scale * (s * q(0) + c * q(1)) + dy};
  }
};

inline Placement random_placement(std::mt19937& gen) {
  std::uniform_real_distribution<double> u(-1, 1);
  const double turn = 0.3 * u(gen);
  return {std::cos(turn), std::sin(turn), 1 + 0.2 * u(gen), u(gen), u(gen)};
}

// n specimens of the 20-point design of sample_fixture.h whose outline and eye vary in shape
// by `variation` (the harmonics' amplitudes and the stretch), with semi-landmarks placed up to
// `slip` along their curves away from the design's places and noise of 0.005.
inline Matrix varied_sample(const Design& d, int n, double variation, double slip, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  const Index k = static_cast<Index>(d.s.size());
  Matrix x(n, 2 * k + 1);
  for (int i = 0; i < n; ++i) {
    const Blob outline{{0.25 + variation * u(gen), variation * u(gen), 0.1 + variation * u(gen)},
                       {0, 0.5 * u(gen), 1.5 * std::numbers::pi},
                       1.3 + variation * u(gen)};
    const double eye_size = 1 + variation * u(gen), eye_dx = 0.3 * variation * u(gen);
    const Placement place = random_placement(gen);
    for (Index p = 0; p < k; ++p) {
      const double at = d.s[static_cast<std::size_t>(p)] + (p < 4 ? 0.0 : slip * u(gen));
      Eigen::RowVector2d q = p >= 4 && p < 12 ? eye_size * eye_point(at) : outline.at(at);
      if (p >= 4 && p < 12) q(0) += eye_dx;
      q += 0.005 * Eigen::RowVector2d(u(gen), u(gen));
      const Eigen::RowVector2d placed = place(q);
      x(i, 2 * p) = placed(0);
      x(i, 2 * p + 1) = placed(1);
    }
    x(i, 2 * k) = 100 + i;
  }
  return x;
}

// A closed outline of k semi-landmarks and no landmark (a sand grain): curve -1 lists them all.
inline CurveProtocol grain_protocol(int k) {
  CurveProtocol p;
  p.numfull = -1;
  p.numopen = -1;
  p.members.resize(1);
  p.types.resize(1);
  for (int q = 1; q <= k; ++q) {
    p.members[0].push_back(q);
    p.types[0].push_back(1);
  }
  return p;
}

// n grains of k outline points, each a blob of its own with points at even steps of the
// parameter from a random start, jittered by up to `slip` steps.
inline Matrix grain_sample(int n, int k, double variation, double slip, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  Matrix x(n, 2 * k + 1);
  for (int i = 0; i < n; ++i) {
    Blob grain;
    for (int j = 0; j < 4; ++j) {
      grain.c.push_back(variation * u(gen) / (j + 1));
      grain.phase.push_back(std::numbers::pi * u(gen));
    }
    grain.stretch = 1.2 + variation * u(gen);
    const Placement place = random_placement(gen);
    const double start = 0.02 * u(gen);
    for (int q = 0; q < k; ++q) {
      const Eigen::RowVector2d p = place(grain.at(start + (q + slip * u(gen)) / k));
      x(i, 2 * q) = p(0);
      x(i, 2 * q + 1) = p(1);
    }
    x(i, 2 * k) = 1 + i;
  }
  return x;
}

// A sample as the rows reader reads it: a specimen per line, every number to 17 digits.
inline std::string rows_text(const Matrix& x) {
  std::ostringstream text;
  text.precision(17);
  for (Index i = 0; i < x.rows(); ++i)
    for (Index c = 0; c < x.cols(); ++c) text << x(i, c) << (c + 1 < x.cols() ? " " : "\n");
  return text.str();
}

// A protocol as its file lists it: a row "curve 0 point type" per member, curve by curve.
inline std::string protocol_rows(const CurveProtocol& p) {
  std::string rows;
  for (int j = p.numfull; j <= p.numopen; ++j)
    for (std::size_t s = 0; s < p.members_of(j).size(); ++s)
      rows += std::to_string(j) + " 0 " + std::to_string(p.members_of(j)[s]) + " " +
              std::to_string(static_cast<int>(p.types_of(j)[s])) + "\n";
  return rows;
}

}  // namespace tav::test
