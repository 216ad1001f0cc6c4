#include <string>

#include "sliding/bending_slide.h"

namespace tav {

namespace {
// Removes the columns of the points flagged in `held`, keeping the others in order.
void drop_held(SlideDirections& d, const std::vector<char>& held) {
  Index kept = 0;
  for (Index c = 0; c < static_cast<Index>(d.point.size()); ++c) {
    const Index p = d.point[static_cast<std::size_t>(c)];
    if (held[static_cast<std::size_t>(p)]) continue;
    d.point[static_cast<std::size_t>(kept)] = p;
    d.tx(kept) = d.tx(c);
    d.ty(kept) = d.ty(c);
    ++kept;
  }
  d.point.resize(static_cast<std::size_t>(kept));  // tx, ty keep their length: no allocation
}
}  // namespace

SlideStatus bending_step(const Row& target, bool closed, const CurveEnergy& energy,
                         const Eigen::VectorXd& fixed_term, Row& moved, SlideWorkspace& ws,
                         const std::vector<char>& held) {
  slide_tangents(target, closed, ws.dirs);
  if (!held.empty()) drop_held(ws.dirs, held);
  return bending_step_along(target, ws.dirs, energy, fixed_term, moved, ws);
}

Row damped_bending_step(const Row& target, bool closedend, const Matrix& Lfinal) {
  if (target.size() % 2 != 0)
    throw Error("bending-energy slide: a curve row holds x y pairs, but this one has " +
                std::to_string(target.size()) + " numbers");
  const Index q = target.size() / 2;
  check_slide_curve(q, closedend, "the curve");
  if (Lfinal.rows() != 2 * q || Lfinal.cols() != 2 * q)
    throw Error("bending-energy slide: the curve has " + std::to_string(q) +
                " points, so its bending-energy matrix must be " + std::to_string(2 * q) + "x" +
                std::to_string(2 * q) + ", not " + std::to_string(Lfinal.rows()) + "x" +
                std::to_string(Lfinal.cols()));
  Row moved;
  SlideWorkspace ws;
  const SlideStatus status =
      bending_step(target, closedend, curve_energy(Lfinal), Eigen::VectorXd(), moved, ws);
  if (status != SlideStatus::ok) throw Error(slide_failure_text(status, "the curve"));
  return moved;
}

}  // namespace tav
