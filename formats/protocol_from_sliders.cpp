#include <map>

#include "formats/sliders.h"
#include "platform/error.h"

namespace tav {
namespace {

struct Curve {
  std::vector<Index> points;
  std::vector<int> types;
  bool closed = false;
};

class Chains {
 public:
  Chains(const std::vector<SliderRow>& rows, Index k, const std::string& fname)
      : rows_(rows), fname_(fname) {
    for (size_t i = 0; i < rows.size(); ++i) {
      const SliderRow& r = rows[i];
      for (Index p : {r.before, r.slider, r.after})
        if (p > k)
          throw fail(r, "names point " + std::to_string(p) + ", but the data have " +
                            std::to_string(k) + " points; load the data this table was made for");
      if (r.before == r.slider || r.after == r.slider)
        throw fail(r, "point " + std::to_string(r.slider) +
                          " is its own neighbour; give the points before and after it");
      const auto [at, fresh] = row_of_.emplace(r.slider, i);
      if (!fresh)
        throw fail(r, "point " + std::to_string(r.slider) +
                          " slides a second time (first on line " +
                          std::to_string(rows[at->second].line) +
                          "); a point slides along one curve only");
    }
    for (const SliderRow& r : rows) {
      agree(r, r.after, true);
      agree(r, r.before, false);
    }
  }

  // Open curves first walk from the sliders whose point before does not slide (a walk that
  // comes back to the fixed point it started from is a loop through that point); what is
  // left are loops of sliders alone.
  void build(std::vector<Curve>& closed, std::vector<Curve>& open) {
    std::vector<bool> used(rows_.size(), false);
    for (size_t i = 0; i < rows_.size(); ++i)
      if (!slides(rows_[i].before)) {
        Curve c = walk(i, used, true);
        (c.closed ? closed : open).push_back(std::move(c));
      }
    for (size_t i = 0; i < rows_.size(); ++i)
      if (!used[i]) closed.push_back(walk(i, used, false));
  }

  bool slides(Index p) const { return row_of_.count(p) > 0; }

 private:
  Error fail(const SliderRow& r, const std::string& what) const {
    return Error("file " + fname_ + ", line " + std::to_string(r.line) + ": " + what);
  }

  // A sliding neighbour must name this slider as its own neighbour on the other side.
  void agree(const SliderRow& r, Index neighbour, bool after) const {
    const auto it = row_of_.find(neighbour);
    if (it == row_of_.end()) return;
    const SliderRow& n = rows_[it->second];
    const Index back = after ? n.before : n.after;
    if (back != r.slider)
      throw fail(r, "point " + std::to_string(r.slider) + " has " + std::to_string(neighbour) +
                        (after ? " after" : " before") + " it, but line " + std::to_string(n.line) +
                        " gives " + std::to_string(back) + (after ? " before " : " after ") +
                        std::to_string(neighbour) + "; neighbouring sliders must name each other");
  }

  Curve walk(size_t start, std::vector<bool>& used, bool open) {
    Curve c;
    if (open) c.points.push_back(rows_[start].before), c.types.push_back(0);
    size_t i = start;
    while (true) {
      used[i] = true;
      c.points.push_back(rows_[i].slider), c.types.push_back(1);
      const Index next = rows_[i].after;
      if (!slides(next)) {
        // Back at the fixed point the walk started from: a closed outline through a landmark,
        // which a closed curve lists once.
        if (open && next == c.points.front()) {
          c.closed = true;
          return c;
        }
        c.points.push_back(next), c.types.push_back(0);
        return c;
      }
      i = row_of_.at(next);
      if (i == start) return c;  // back at the first slider: a loop
    }
  }

  const std::vector<SliderRow>& rows_;
  std::string fname_;
  std::map<Index, size_t> row_of_;  // slider -> its row
};

void append(Matrix& table, Index& row, int code, const Curve& c) {
  for (size_t j = 0; j < c.points.size(); ++j) {
    table.row(row++) << code, 0, static_cast<double>(c.points[j]), c.types[j];
  }
}

}  // namespace

Matrix protocol_from_sliders(const std::vector<SliderRow>& rows, Index k,
                             const std::string& fname) {
  Chains chains(rows, k, fname);
  std::vector<Curve> closed, open;
  chains.build(closed, open);
  Curve fixed;
  for (Index p = 1; p <= k; ++p)
    if (!chains.slides(p)) fixed.points.push_back(p), fixed.types.push_back(0);
  Index total = static_cast<Index>(fixed.points.size());
  for (const auto* list : {&closed, &open})
    for (const Curve& c : *list) total += static_cast<Index>(c.points.size());
  Matrix table(total, 4);
  Index row = 0;
  append(table, row, 0, fixed);
  for (size_t j = 0; j < closed.size(); ++j)
    append(table, row, -static_cast<int>(j) - 1, closed[j]);
  for (size_t j = 0; j < open.size(); ++j) append(table, row, static_cast<int>(j) + 1, open[j]);
  return table;
}

}  // namespace tav
