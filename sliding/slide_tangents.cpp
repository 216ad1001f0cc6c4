#include <cmath>

#include "sliding/bending_slide.h"
#include "sliding/tangent_rules.h"

namespace tav {

namespace {

// The constant step of closed curves (the same as umaker2's): every closed-curve tangent points
// towards positive x.
constexpr double kClosedStep = 0.3;

// The quadratic-fit tangent of one window (W = 5 or 6 points, t = abscissa shifted to x0) from
// an orthogonal basis of the window: 1, u = t - mean(t), and u² made orthogonal to both
// (re-orthogonalised once). This is the least-squares fit of umaker2 in closed form: a few
// dozen operations instead of a pivoting QR, with the accuracy of an orthogonal factorisation.
// A window whose abscissas leave the fit without a unique solution (or with one at rounding
// level) is handed to the rank-revealing solve, so that such a window gives what umaker2 gives.
template <int W>
Tangent window_tangent(const double* xs, const double* ys, double x0, double dx) {
  constexpr double inv_w = 1.0 / W;
  double u[W], phi[W];
  double tmean = 0, ymean = 0;
  for (int j = 0; j < W; ++j) {
    tmean += xs[j] - x0;
    ymean += ys[j];
  }
  tmean *= inv_w;
  ymean *= inv_w;
  double s2 = 0, s3 = 0;
  for (int j = 0; j < W; ++j) {
    u[j] = (xs[j] - x0) - tmean;
    s2 += u[j] * u[j];
    s3 += u[j] * u[j] * u[j];
  }
  const double inv_s2 = 1.0 / s2;
  const double alpha = s3 * inv_s2, beta = s2 * inv_w;
  double pmean = 0, pu = 0, s4 = 0;
  for (int j = 0; j < W; ++j) {
    phi[j] = u[j] * u[j] - alpha * u[j] - beta;
    pmean += phi[j];
    pu += phi[j] * u[j];
    s4 += u[j] * u[j] * u[j] * u[j];
  }
  pmean *= inv_w;
  pu *= inv_s2;
  double pp = 0, uy = 0, py = 0;
  for (int j = 0; j < W; ++j) {
    phi[j] -= pmean + pu * u[j];
    const double v = ys[j] - ymean;
    pp += phi[j] * phi[j];
    uy += u[j] * v;
    py += phi[j] * v;
  }
  // sqrt(pp / s4): the sine of the angle between the u² column and the line and constant
  // columns; near zero the three columns are (numerically) dependent.
  if (!(s2 > 0) || !(pp > 1e-24 * s4)) {
    return quadratic_tangent(Eigen::Map<const Row>(xs, W), Eigen::Map<const Row>(ys, W), x0,
                             dx);
  }
  const double c1 = uy * inv_s2, c2 = py / pp;
  // Slope at t = 0 (u = -tmean) of the fit ymean + c1·u + c2·phi(u), where
  // phi(u) = u² - (alpha + pu)·u - (beta + pmean) after the re-orthogonalisation.
  const double slope = c1 + c2 * (-2 * tmean - alpha - pu);
  const double dy = dx * slope;
  const double inv_mag = 1.0 / std::sqrt(dx * dx + dy * dy);
  return {dx * inv_mag, dy * inv_mag};
}

}  // namespace

void slide_tangents(const Row& target, bool closed, SlideDirections& d) {
  const Index q = target.size() / 2;
  check_slide_curve(q, closed, "the curve");
  const Index cols = closed ? q : q - 2;
  d.point.resize(static_cast<std::size_t>(cols));
  d.tx.resize(cols);
  d.ty.resize(cols);
  double xs[6], ys[6];
  for (Index c = 0; c < cols; ++c) {
    const Index p = closed ? c : c + 1;  // 0-based point of the column
    Index first = p - 2;                 // 0-based first point of the window
    int w = 5;
    double dx = kClosedStep;
    if (closed) {
      for (int j = 0; j < w; ++j) {
        Index pj = first + j;  // within -2..q+1: one wrap across the ends at most
        if (pj < 0) pj += q;
        else if (pj >= q) pj -= q;
        xs[j] = target(2 * pj);
        ys[j] = target(2 * pj + 1);
      }
    } else {
      // Points 2 (1-based) share the fit over points 1..5, point q-1 the six-point fit over
      // points q-5..q; the step is the forward difference of x.
      if (p <= 1) {
        first = 0;
      } else if (p >= q - 2) {
        first = q - 6;
        w = 6;
      }
      for (int j = 0; j < w; ++j) {
        xs[j] = target(2 * (first + j));
        ys[j] = target(2 * (first + j) + 1);
      }
      dx = target(2 * (p + 1)) - target(2 * p);
    }
    const Tangent t = w == 5 ? window_tangent<5>(xs, ys, target(2 * p), dx)
                             : window_tangent<6>(xs, ys, target(2 * p), dx);
    d.point[static_cast<std::size_t>(c)] = p;
    d.tx(c) = t.x;
    d.ty(c) = t.y;
  }
}

}  // namespace tav
