#include "support/test_support.h"

#include <limits>

namespace tav::test {

std::string data_path(const std::string& name) { return std::string(TAV_TEST_DATA) + "/" + name; }

double max_abs_diff(const Matrix& a, const Matrix& b) {
  if (a.rows() != b.rows() || a.cols() != b.cols()) return std::numeric_limits<double>::infinity();
  if (a.size() == 0) return 0;
  return (a - b).cwiseAbs().maxCoeff();
}

}  // namespace tav::test
