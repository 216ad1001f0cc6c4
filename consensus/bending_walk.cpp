#include "consensus/bending_walk.h"

#include <limits>
#include <string>
#include <utility>

#include "consensus/settle.h"
#include "platform/parallel.h"
#include "sliding/bending_slide.h"

namespace tav {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// 0-based point numbers of a curve, read from its x columns.
std::vector<Index> curve_points(const SlidingCurve& c) {
  std::vector<Index> pts;
  for (std::size_t s = 0; s < c.columns.size(); s += 2) pts.push_back(c.columns[s] / 2);
  return pts;
}

BendingCurve own_spline_curve(const SlidingCurve& c, const Row& xref) {
  try {
    return {c, curve_energy(bending_energy_matrix(curve_row(xref, c))), Matrix()};
  } catch (const Error& e) {
    throw Error("curve " + std::to_string(c.code) + ": " + e.what());
  }
}

BendingCurve restricted_curve(const SlidingCurve& c, const Matrix& linvk) {
  const std::vector<Index> pts = curve_points(c);
  const Index q = static_cast<Index>(pts.size());
  Matrix block(q, q), coupling(q, linvk.cols());
  for (Index s = 0; s < q; ++s) {
    const Index ps = pts[static_cast<std::size_t>(s)];
    coupling.row(s) = linvk.row(ps);
    for (Index t = 0; t < q; ++t) block(s, t) = linvk(ps, pts[static_cast<std::size_t>(t)]);
  }
  for (const Index p : pts) coupling.col(p).setZero();
  return {c, curve_energy_from_block(std::move(block)), coupling};
}

// The fixed points' term of one specimen and curve, stacked: coupling times the x, then the y
// of all points.
Eigen::VectorXd fixed_term(const BendingCurve& bc, const Row& config) {
  if (bc.coupling.size() == 0) return Eigen::VectorXd();
  const Index k = bc.coupling.cols(), q = bc.coupling.rows();
  const auto xs = Eigen::Map<const Eigen::VectorXd, 0, Eigen::InnerStride<2>>(config.data(), k);
  const auto ys = Eigen::Map<const Eigen::VectorXd, 0, Eigen::InnerStride<2>>(config.data() + 1, k);
  Eigen::VectorXd g(2 * q);
  g.head(q).noalias() = bc.coupling * xs;
  g.tail(q).noalias() = bc.coupling * ys;
  return g;
}

struct Failure {
  std::size_t curve = kNone;
  SlideStatus status = SlideStatus::ok;
  int point = 0;  // 1-based point number whose tangent is not a number, 0 when unknown
};

// Slides every curve of one specimen row; returns the first curve whose step failed.
Failure slide_specimen(Row& config, const std::vector<BendingCurve>& curves, double tol,
                       int max_extra) {
  SlideWorkspace ws;
  for (std::size_t c = 0; c < curves.size(); ++c) {
    const BendingCurve& bc = curves[c];
    // Computed once per specimen and curve: the other points do not move while it slides.
    const Eigen::VectorXd g = fixed_term(bc, config);
    SlideStatus status = SlideStatus::ok;
    const auto step = [&](const Row& from, Row& to) {
      if (status != SlideStatus::ok) {
        to = from;
        return;
      }
      status = bending_step(from, bc.curve.closed, bc.energy, g, to, ws, bc.curve.held);
      if (status != SlideStatus::ok) to = from;
    };
    const Row slid = settle(step, curve_row(config, bc.curve), tol, max_extra);
    if (status == SlideStatus::ok && !slid.allFinite()) status = SlideStatus::not_finite;
    if (status != SlideStatus::ok) {
      const Index at = ws.undefined_tangent;
      const int point =
          at < 0 ? 0 : static_cast<int>(bc.curve.columns[std::size_t(2 * at)] / 2 + 1);
      return {c, status, point};
    }
    for (std::size_t s = 0; s < bc.curve.columns.size(); ++s)
      config(bc.curve.columns[s]) = slid(static_cast<Index>(s));
  }
  return {};
}

}  // namespace

std::vector<BendingCurve> bending_curves(const CurveProtocol& p, const Row& xref,
                                         bool whole_configuration) {
  const Index k = (xref.size() - 1) / 2;
  // A curve's own spline leaves its affine changes free (three per coordinate): its k slides
  // can always be absorbed by them when k < 6, so a curve of its own needs 6 points, closed
  // or open. Over the whole configuration the other points fix them.
  const std::vector<SlidingCurve> walk = sliding_curves(p, k, 6, whole_configuration ? 3 : 6);
  std::vector<BendingCurve> curves;
  if (walk.empty()) return curves;
  Matrix linvk;
  if (whole_configuration) {
    try {
      linvk = bending_energy_matrix(xref).topLeftCorner(k, k);
    } catch (const Error& e) {
      throw Error(std::string("consensus: ") + e.what());
    }
  }
  for (const SlidingCurve& c : walk)
    curves.push_back(whole_configuration ? restricted_curve(c, linvk) : own_spline_curve(c, xref));
  return curves;
}

void slide_bending(Matrix& x, const std::vector<BendingCurve>& curves, double tol_per_element,
                   int max_extra) {
  if (curves.empty()) return;
  const Index n = x.rows();
  std::vector<Failure> failed(static_cast<std::size_t>(n));
  parallel_for(n, [&](long i) {
    Row config = x.row(i);
    failed[static_cast<std::size_t>(i)] =
        slide_specimen(config, curves, tol_per_element, max_extra);
    if (failed[static_cast<std::size_t>(i)].curve == kNone) x.row(i) = config;
  });
  // Report what a walk curve by curve, specimen by specimen would have met first.
  Failure worst;
  Index worst_row = 0;
  for (Index i = 0; i < n; ++i)
    if (failed[static_cast<std::size_t>(i)].curve < worst.curve)
      worst = failed[static_cast<std::size_t>(i)], worst_row = i;
  if (worst.curve != kNone)
    throw Error(slide_failure_text(
        worst.status, "specimen " + std::to_string(worst_row + 1) + ", curve " +
                          std::to_string(curves[worst.curve].curve.code) +
                          (worst.point > 0 ? ", point " + std::to_string(worst.point) : "")));
}

}  // namespace tav
