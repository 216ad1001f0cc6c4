#include <string>

#include "shape_space/shape_space.h"

namespace tav {

ShapeSpace shape_space_of(const Matrix& superimposed, const Row& consensus) {
  const Index k = superimposed.cols() / 2;
  if (consensus.size() < 2 * k)
    throw Error("shape space: the consensus has " + std::to_string(consensus.size() / 2) +
                " points and the sample " + std::to_string(k));
  ShapeSpace s;
  s.consensus = unit_size_rows(consensus, k).row(0);
  s.configurations = unit_size_rows(superimposed, k);
  // The tangent space at a shape of k points has 2k - 4 dimensions: position (2), size and
  // orientation are gone.
  s.components = principal_components(tangent_coordinates(s.configurations, s.consensus),
                                      std::max<Index>(2 * k - 4, 0));
  s.distances = procrustes_distances(s.configurations, s.consensus);
  s.fence = upper_fence(s.distances);
  s.outliers.resize(static_cast<size_t>(s.distances.size()));
  for (Index i = 0; i < s.distances.size(); ++i)
    s.outliers[static_cast<size_t>(i)] = s.distances(i) > s.fence.fence;
  return s;
}

}  // namespace tav
