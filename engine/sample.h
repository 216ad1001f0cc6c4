#pragma once
// What a session holds of the user's files: a sample of configurations and a curve protocol.
#include <string>
#include <vector>

#include "consensus/curve_protocol.h"
#include "formats/tps.h"
#include "platform/matrix.h"

namespace tav {

// The point count of configuration rows (x1 y1 ... xk yk and a trailing value each): k.
inline Index points_of(const Matrix& rows) { return rows.cols() >= 1 ? (rows.cols() - 1) / 2 : 0; }

// A sample as read from one file.
struct Sample {
  // n×(2k+1): each specimen's x1 y1 ... xk yk, then its trailing value; the layout the readers
  // give and the consensus routines take. Reach the two parts through coordinates() and
  // trailing_values().
  Matrix rows{0, 0};
  std::vector<std::string> trailing_text;  // numeric rows: each trailing value as written
  std::vector<std::string> ids;            // TPS: each specimen's ID= ("" where none); else empty
  Row centroid_sizes{0};                   // of every specimen as read, in the file's units
  std::string file;                        // the file's name without its folder
  std::string format;                      // the format it was read in ("numeric rows", ...)
  TpsLayout tps_layout;                    // TPS: its landmarks and curve blocks
  Index unread_lines = 0;                  // lines after the file's end line, left unread

  Index specimens() const { return rows.rows(); }
  Index points() const { return points_of(rows); }
  bool empty() const { return rows.size() == 0; }
  auto coordinates() const { return rows.leftCols(2 * points()); }
  auto trailing_values() const { return rows.col(rows.cols() - 1); }
  // The specimens' names for the writers of other programs' formats: the file's own IDs, or
  // each row's trailing value as written.
  const std::vector<std::string>& labels() const { return ids.empty() ? trailing_text : ids; }
};

enum class PointKind : unsigned char { landmark = 0, semilandmark = 1, helper = 2 };

// A curve protocol as read and checked against the sample it was loaded over.
struct Protocol {
  Matrix rows{0, 0};     // the table as read: curve code, unused, point, kind
  std::string file;      // the file's name without its folder
  CurveProtocol curves;  // the curves' members and kinds
  bool has_curves = false;
  std::vector<PointKind> kinds;  // of every point of the sample, in order
  Index landmarks = 0, semilandmarks = 0, helpers = 0;
  Index points = 0;  // point count of the sample it was loaded over

  bool loaded() const { return has_curves || !kinds.empty(); }
  // The kind of 1-based point p; a landmark where the protocol says nothing.
  PointKind kind_of(Index p) const {
    return p >= 1 && static_cast<size_t>(p) <= kinds.size() ? kinds[static_cast<size_t>(p - 1)]
                                                            : PointKind::landmark;
  }
};

}  // namespace tav
