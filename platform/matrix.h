#pragma once
// Dense double matrices (Eigen, column-major) with the 1-based, checked access that the
// routines use wherever an index comes from data: a bad index raises tav::Error, never UB.
// GCC 12's AVX-512 intrinsics initialise a placeholder from itself, which its own
// uninitialised-value warnings then report hundreds of times through Eigen's packet code
// (a compiler fault, fixed in later releases); nothing in our code is concerned.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <Eigen/Dense>
#pragma GCC diagnostic pop
#else
#include <Eigen/Dense>
#endif
#include <string>
#include <vector>

#include "platform/error.h"

namespace tav {

using Matrix = Eigen::MatrixXd;
using Row = Eigen::RowVectorXd;
using Index = Eigen::Index;

// "index 7 is outside 1..6 (a 1x6 matrix)": the text of every index error.
std::string index_error_text(Index i, Index count, Index rows, Index cols);

// Element i (1-based) in column order; raises Error when i is outside 1..numel.
double at(const Matrix& m, Index i);
double at(const Row& m, Index i);
// Element (r, c), 1-based; raises Error outside the matrix.
double at(const Matrix& m, Index r, Index c);

// Assigns element (r, c), 1-based, growing the matrix with zeros when (r, c) lies beyond it.
// r and c must be >= 1 (Error otherwise).
void set_grow(Matrix& m, Index r, Index c, double v);
// Assigns element i of a row (1-based), growing it with zeros.
void set_grow(Row& m, Index i, double v);

// The elements at the 1-based positions `idx` (column order), as a row; checked.
Row pick(const Matrix& m, const std::vector<Index>& idx);
Row pick(const Row& m, const std::vector<Index>& idx);

// Whole-matrix literal helpers for code and tests.
Row row(std::initializer_list<double> v);
Matrix rows(std::initializer_list<std::initializer_list<double>> v);

// True when every element is finite.
bool all_finite(const Matrix& m);

}  // namespace tav
