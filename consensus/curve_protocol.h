#pragma once
#include <vector>

#include "platform/error.h"

namespace tav {

// A curve protocol as the sliding and drawing routines receive it: curve codes run from
// numfull (most negative: closed curves < 0) through 0 (the fixed landmarks) to numopen
// (open curves > 0); members/types hold one row per code, code j at position j - numfull.
struct CurveProtocol {
  int numfull = 0, numopen = 0;            // smallest, largest curve code
  std::vector<std::vector<int>> members;   // per code: 1-based point numbers in curve order
  std::vector<std::vector<double>> types;  // per code: 0 landmark, 1 semi, other helper
  bool operator==(const CurveProtocol&) const = default;

  // Members of curve code j; raises Error when the lists hold no entry for j.
  const std::vector<int>& members_of(int j) const;
  const std::vector<double>& types_of(int j) const;
  bool has_code(int j) const;
};

}  // namespace tav
