#pragma once
// The shape space of a superimposed sample: its Procrustes shape variables (tangent
// coordinates at the consensus), their principal components, each specimen's distance to the
// consensus and outlier flag, how far the sliding moved each point, and thin-plate-spline
// deformation grids from the consensus to a target shape.
// Configurations are interleaved rows (x1 y1 ... xk yk); where a row is 2k+1 wide its last
// value (the trailing value) is not a coordinate and is ignored. Pure functions: no I/O, no
// state.
#include <vector>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

// Each row's k points centred on their centroid and scaled to unit centroid size.
// x: n×m with m >= 2k (columns past 2k ignored). Returns n×2k. A row whose points all
// coincide raises Error naming the row (1-based).
Matrix unit_size_rows(const Matrix& x, Index k);

// The shape variables: each configuration projected orthogonally into the tangent space at
// the consensus, x - (x·mu) mu + mu. x: n×2k and mu: 1×2k, each centred and of unit centroid
// size (unit_size_rows), x superimposed on mu. Returns n×2k.
Matrix tangent_coordinates(const Matrix& x, const Row& mu);

// Principal components of n observations of p variables (the shape variables, p = 2k).
struct PrincipalComponents {
  Row mean{0};                  // 1×p mean of the observations
  double total_variance = 0;    // the sum of the variables' variances (divisor n - 1)
  Eigen::VectorXd eigenvalues;  // m variances along the components, largest first
  Eigen::VectorXd percent;      // m: 100 · eigenvalue / total_variance
  Eigen::VectorXd cumulative;   // m: running sum of percent
  Matrix loadings{0, 0};        // p×m unit columns, each one's largest-magnitude entry > 0
  Matrix scores{0, 0};          // n×m: (observation - mean) · loadings
  Index components() const { return eigenvalues.size(); }
};
// v: n×p. Only components whose variance is above rounding (1e-12 of the largest) are kept,
// at most min(n - 1, max_components). The eigenvectors come from Eigen's
// SelfAdjointEigenSolver on the p×p covariance when n > p, on the n×n Gram matrix of the
// centred observations otherwise (the cheaper of the two; the same components).
PrincipalComponents principal_components(const Matrix& v, Index max_components);

// Each row's Procrustes distance to mu: the norm of the difference of the two unit-size
// configurations (as unit_size_rows makes them; x superimposed on mu). x: n×2k, mu: 1×2k.
Eigen::VectorXd procrustes_distances(const Matrix& x, const Row& mu);

// The quartiles of a set of values and the outlier fence above them: q3 + 1.5 (q3 - q1).
// Quartiles by linear interpolation between the sorted values (value i at (i-1)/(n-1)).
struct OutlierFence {
  double q1 = 0, q3 = 0, fence = 0;
};
OutlierFence upper_fence(const Eigen::VectorXd& values);

// `from` carried onto `to` by the similarity (shift, turn, uniform scale; never a mirror)
// that fits the listed points (0-based) best by least squares; every point of `from` is
// moved. from, to: 1×m rows, m >= 2k. Returns 1×2k. When the listed points of `from`
// coincide (no turn or scale fits), only the shift is fitted.
Row carried_onto(const Row& from, const Row& to, const std::vector<Index>& points);

// How far each point slid, over a sample.
struct PointSlide {
  int curve = 0;         // the curve whose row lists the point as sliding (0: none)
  int kind = 0;          // 0 landmark, 1 semi-landmark, 2 helper
  double mean = 0;       // mean slide over the specimens
  double largest = 0;    // largest slide
  Index specimen = 0;    // 1-based specimen of the largest slide (0 when nothing slid)
  double half_gap = 0;   // half the distance to the nearer neighbour along its curve in the
                         // consensus (0 for points on no curve)
  bool flagged = false;  // largest > half_gap: points may have overtaken each other
};
struct SlideRecord {
  Matrix slides{0, 0};             // n×k: specimen i's slide of point p
  std::vector<PointSlide> points;  // k, in point order
};
// input: n×m the specimens as loaded; saved: n×m the same specimens after the run, of unit
// centroid size; consensus: 1×m' the run's consensus (m, m' >= 2k). kinds: k entries (0
// landmark, 1 semi-landmark, 2 helper); curves: the protocol's curves. Each input specimen is
// carried onto its saved configuration over its landmarks (over every point when it has fewer
// than two) and each semi-landmark's and helper's slide is its distance from there to its saved
// place; landmarks slide 0. Distances are in the saved sample's units (unit centroid size).
SlideRecord slide_record(const Matrix& input, const Matrix& saved, const Row& consensus,
                         const CurveProtocol& curves, const std::vector<int>& kinds);
// The record of a run in which nothing slid: every slide 0, the curves and kinds filled in.
SlideRecord no_slides(Index specimens, const Row& consensus, const CurveProtocol& curves,
                      const std::vector<int>& kinds);

// The thin-plate spline that maps the points of `from` onto those of `to` (1×m rows,
// m >= 2k, k >= 3 points of `from` not all on one line and no two coinciding; Error
// otherwise): f(p) = a0 + a1 px + a2 py + sum_i w_i U(|p - from_i|), U(r) = r² log r².
class ThinPlateSpline {
 public:
  ThinPlateSpline(const Row& from, const Row& to);
  Eigen::RowVector2d at(const Eigen::RowVector2d& p) const;

 private:
  Matrix from_;         // 2×k points of `from`
  Matrix coefficient_;  // (k+3)×2: the weights w, then a0 a1 a2, for x and y
};

// A square grid over the points of `from` (their bounding box widened by a tenth of its larger
// side on every side, made square about its centre), cells+1 by cells+1 nodes, and the same
// nodes carried by the thin-plate spline from `from` to `to`.
struct DeformationGrid {
  Matrix x{0, 0}, y{0, 0};                // (cells+1)×(cells+1) straight nodes: row r, column c
  Matrix warped_x{0, 0}, warped_y{0, 0};  // the nodes carried by the spline
  Row from{0}, to{0};                     // the two configurations, 1×2k
};
DeformationGrid deformation_grid(const Row& from, const Row& to, int cells = 20);

// The shape `sds` standard deviations along component c (1-based) from the mean:
// mean + sds · sqrt(eigenvalue c) · loading c. Error for a component the sample lacks.
Row component_shape(const PrincipalComponents& pc, Index c, double sds);

// Everything above for one superimposed sample.
struct ShapeSpace {
  Row consensus{0};             // 1×2k, centred, unit centroid size
  Matrix configurations{0, 0};  // n×2k the specimens centred, of unit centroid size
  PrincipalComponents components;
  Row centroid_sizes{0};       // n, as read (in the file's units)
  Eigen::VectorXd distances;   // n Procrustes distances to the consensus
  OutlierFence fence;          // of the distances
  std::vector<bool> outliers;  // n: distance > fence.fence
  SlideRecord slides;
};
// superimposed: n×m specimens superimposed on the consensus (1×m', m, m' >= 2k with k from
// superimposed's width: m = 2k or 2k+1). Fills every member but centroid_sizes and slides.
ShapeSpace shape_space_of(const Matrix& superimposed, const Row& consensus);

}  // namespace tav
