#include <cmath>
#include <string>

#include "shape_space/shape_space.h"

namespace tav {

Row component_shape(const PrincipalComponents& pc, Index c, double sds) {
  if (c < 1 || c > pc.components())
    throw Error("shape space: there is no component " + std::to_string(c) + "; the sample has " +
                std::to_string(pc.components()) + " (components with variance above rounding)");
  return pc.mean + sds * std::sqrt(pc.eigenvalues(c - 1)) * pc.loadings.col(c - 1).transpose();
}

}  // namespace tav
