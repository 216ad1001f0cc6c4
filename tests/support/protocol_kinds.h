#pragma once
// A protocol's point kinds as the row of codes a protocol file writes (0 landmark,
// 1 semi-landmark, 2 helper), for tests that compare or set them as such.
#include "engine/sample.h"

namespace tav::test {

inline Row kinds_row(const Protocol& p) {
  Row r(static_cast<Index>(p.kinds.size()));
  for (size_t i = 0; i < p.kinds.size(); ++i)
    r(static_cast<Index>(i)) = static_cast<int>(p.kinds[i]);
  return r;
}

inline void set_kinds(Protocol& p, const Row& codes) {
  p.kinds.clear();
  for (Index i = 0; i < codes.size(); ++i) p.kinds.push_back(static_cast<PointKind>(codes(i)));
}

}  // namespace tav::test
