#include <algorithm>
#include <string>
#include <vector>

#include "formats/sliders.h"

namespace tav {
namespace {

std::string listed(const std::vector<int>& points) {
  std::string s;
  for (size_t i = 0; i < points.size(); ++i)
    s += (i == 0 ? "" : i + 1 == points.size() ? " and " : ", ") + std::to_string(points[i]);
  return s;
}

// What a sliders table loses of curve j (not curve 0), or "" when it reads back as it is.
std::string loss(int j, const std::vector<int>& m, const std::vector<double>& t) {
  const std::string curve = "curve " + std::to_string(j);
  std::vector<int> landmarks;  // inside an open curve; anywhere on a closed one
  std::vector<size_t> places;
  for (size_t i = 0; i < m.size(); ++i)
    if (t[i] == 0 && (j < 0 || (i > 0 && i + 1 < m.size())))
      landmarks.push_back(m[i]), places.push_back(i);
  const size_t fixed = static_cast<size_t>(std::count(t.begin(), t.end(), 0.0));
  if (fixed == m.size())
    return curve +
           " holds only landmarks: a sliders table has no row for it, so read back it is no "
           "curve (its points stay landmarks; only the drawing loses it)";
  if (j > 0 && !landmarks.empty())
    return curve + " runs through landmark" + (landmarks.size() > 1 ? "s " : " ") +
           listed(landmarks) +
           " inside it: a sliders table names only each slider's neighbours, so read back the "
           "curve is split at the landmark into curves of their own, and runs on the table "
           "differ from runs on the protocol (each curve has its own bending energy); give "
           "this program the protocol itself";
  if (j > 0 && m.size() > 2 && m.front() == m.back())
    return curve + " begins and ends at landmark " + std::to_string(m.front()) +
           ": read back, a sliders table gives a closed curve through it, and runs on the "
           "table differ from runs on the protocol; give this program the protocol itself";
  if (j < 0 && landmarks.size() > 1)
    return curve + " is closed through landmarks " + listed(landmarks) +
           ": read back, a sliders table gives open curves from landmark to landmark instead "
           "of one closed outline, and runs on the table differ from runs on the protocol; give "
           "this program the protocol itself";
  if (j < 0 && landmarks.size() == 1 && places[0] != 0)
    return curve + " is closed through landmark " + std::to_string(landmarks[0]) +
           ", listed in place " + std::to_string(places[0] + 1) +
           ": read back from a sliders table the curve starts at that landmark, and the "
           "distance slide, which holds the first and the last point listed on a closed "
           "curve, holds other points; list landmark " +
           std::to_string(landmarks[0]) + " first on the curve to keep the same run";
  return "";
}

}  // namespace

std::vector<std::string> sliders_table_losses(const CurveProtocol& p) {
  std::vector<std::string> out;
  for (int j = p.numfull; j <= p.numopen; ++j) {
    if (j == 0 || !p.has_code(j)) continue;
    std::string l = loss(j, p.members_of(j), p.types_of(j));
    if (!l.empty()) out.push_back(std::move(l));
  }
  return out;
}

}  // namespace tav
