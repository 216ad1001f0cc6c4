#pragma once
// The batch tool's tables of the shape space (shape_space/shape_space.h), as CSV text: a row of
// column names, then a row per specimen, component or point. Numbers have `digits`
// significant digits; a text field holding a comma, a quote or a line break is quoted.
#include <string>
#include <vector>

#include "shape_space/shape_space.h"

namespace tav {

// id,centroid_size,procrustes_distance,outlier,PC1,...,PCm: a row per specimen; outlier 1 or 0.
// ids: one per specimen.
std::string scores_table(const ShapeSpace& space, const std::vector<std::string>& ids, int digits);

// component,eigenvalue,percent,cumulative_percent,x1,y1,...,xk,yk: a row per component, its
// number from 1 and its loadings.
std::string components_table(const ShapeSpace& space, int digits);

// point,curve,kind,mean_slide,largest_slide,specimen,flag: a row per point; kind landmark,
// semi-landmark or helper; specimen the ID of the largest slide (empty when nothing slid);
// flag 1 when the largest slide passed half the gap to the point's neighbour, else 0.
std::string slides_table(const ShapeSpace& space, const std::vector<std::string>& ids, int digits);

// A text field as CSV writes it: as it is, or quoted (inner quotes doubled) when it holds a
// comma, a quote or a line break.
std::string csv_field(const std::string& text);

}  // namespace tav
