// The checked, 1-based access the routines use wherever an index comes from data: every bad index
// is refused with a text that names it and the matrix's size, and never touches memory.
#include "platform/matrix.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tav {
namespace {
using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(Matrix, CheckedIndexReadsInColumnOrder) {
  const Matrix m = rows({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(at(m, 1), 1);
  EXPECT_EQ(at(m, 2), 4);  // down the first column first
  EXPECT_EQ(at(m, 6), 6);
  EXPECT_EQ(at(m, 2, 3), 6);
  EXPECT_EQ(at(Row(row({7, 8})), 2), 8);
  EXPECT_EQ(pick(m, {6, 1, 2}), row({6, 1, 4}));
}

struct BadIndex {
  const char* what;
  std::function<void()> access;
  const char* text;
};

TEST(Matrix, EveryBadIndexIsRefusedWithItsValueAndTheMatrixSize) {
  const Matrix m = rows({{1, 2, 3}, {4, 5, 6}});
  Matrix grown = m;
  Row r = row({1, 2});
  const BadIndex cases[] = {
      {"past the end", [&] { at(m, 7); },
       "Index exceeds matrix dimensions: index 7 is outside 1..6 (a 2x3 matrix)"},
      {"zero", [&] { at(m, 0); },
       "Index exceeds matrix dimensions: index 0 is outside 1..6 (a 2x3 matrix)"},
      {"of a row", [&] { at(r, 3); },
       "Index exceeds matrix dimensions: index 3 is outside 1..2 (a 1x2 matrix)"},
      {"row past the end", [&] { at(m, 3, 1); },
       "Index exceeds matrix dimensions: (3, 1) is outside a 2x3 matrix"},
      {"column zero", [&] { at(m, 1, 0); },
       "Index exceeds matrix dimensions: (1, 0) is outside a 2x3 matrix"},
      {"picked",
       [&] {
         pick(m, {1, 9});
       },
       "Index exceeds matrix dimensions: index 9 is outside 1..6 (a 2x3 matrix)"},
      {"growing at row zero", [&] { set_grow(grown, 0, 2, 9); },
       "Subscript indices must be positive integers: (0, 2)"},
      {"growing a row at zero", [&] { set_grow(r, 0, 1); },
       "Subscript indices must be positive integers: 0"},
  };
  for (const BadIndex& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THAT(c.access, ThrowsMessage<Error>(StrEq(c.text)));
  }
  EXPECT_EQ(grown, m);  // a refused assignment changes nothing
  EXPECT_EQ(r, row({1, 2}));
}

TEST(Matrix, AssignmentBeyondTheSizeGrowsWithZeros) {
  Matrix m = rows({{1, 2}});
  set_grow(m, 2, 3, 9);
  EXPECT_EQ(m, rows({{1, 2, 0}, {0, 0, 9}}));
  set_grow(m, 1, 1, 5);  // inside: only that element changes
  EXPECT_EQ(m, rows({{5, 2, 0}, {0, 0, 9}}));
  Row r(0);
  set_grow(r, 3, 0);  // the runtime's way of making a row of k zeros
  EXPECT_EQ(r, row({0, 0, 0}));
}

}  // namespace
}  // namespace tav
