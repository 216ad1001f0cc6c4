#include <string>

#include "sliding/bending_slide.h"

namespace tav {

SlideStatus bending_step(const Row& target, bool closed, const Matrix& lcurve,
                         const Eigen::VectorXd& fixed_term, Row& moved) {
  const Index q = target.size() / 2;
  return bending_step_along(target, slide_directions(umaker2(target, closed), q, closed), lcurve,
                            fixed_term, moved);
}

Row tavrel2(const Row& target, bool closedend, const Matrix& Lfinal) {
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
  const SlideStatus status = bending_step(target, closedend, Lfinal, Eigen::VectorXd(), moved);
  if (status != SlideStatus::ok) throw Error(slide_failure_text(status, "the curve"));
  return moved;
}

}  // namespace tav
