#include "consensus/curve_protocol.h"

#include <string>

namespace tav {

bool CurveProtocol::has_code(int j) const {
  const long pos = static_cast<long>(j) - numfull;
  return pos >= 0 && pos < static_cast<long>(members.size());
}

const std::vector<int>& CurveProtocol::members_of(int j) const {
  if (!has_code(j))
    throw Error("the curve protocol has no curve " + std::to_string(j) + " (codes " +
                std::to_string(numfull) + " to " + std::to_string(numopen) + ")");
  return members[static_cast<size_t>(j - numfull)];
}

const std::vector<double>& CurveProtocol::types_of(int j) const {
  if (!has_code(j) || static_cast<size_t>(j - numfull) >= types.size())
    throw Error("the curve protocol has no point types for curve " + std::to_string(j));
  return types[static_cast<size_t>(j - numfull)];
}

}  // namespace tav
