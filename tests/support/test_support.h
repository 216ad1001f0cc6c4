#pragma once
// Small helpers shared by the test programs.
#include <string>

#include "platform/matrix.h"

namespace tav::test {

// Path of a fixture under tests/data.
std::string data_path(const std::string& name);
// Largest absolute element difference (infinity when the shapes differ).
double max_abs_diff(const Matrix& a, const Matrix& b);

}  // namespace tav::test
