#include "display/export_placement.h"

#include "platform/console.h"

namespace tav {

ExportPlacement::ExportPlacement(Objects& g, Handle figure, Handle axes)
    : g_(g),
      figure_(figure),
      axes_(axes),
      iposition_(g.get(axes, "Position")),
      iunits_(g.get(axes, "Units")),
      ifunits_(g.get(figure, "Units")) {
  g_.set(figure_, "Units", "characters");
  const Row window = g_.get(figure_, "Position").matrix();
  const Row fposition = row({12, 3, window(2) - 5, window(3) - 4});
  console_show("fposition", Value(fposition));
  const Value funits = g_.get(figure_, "Units");
  g_.set(axes_, "Units", funits);
  g_.set(axes_, "Position", Value(fposition));
}

ExportPlacement::~ExportPlacement() {
  try {
    restore();
  } catch (...) {
    // Only reached while another error is already on its way to the user.
  }
}

void ExportPlacement::restore() {
  if (restored_) return;
  restored_ = true;
  g_.set(figure_, "Units", ifunits_);
  g_.set(axes_, "Units", iunits_);
  g_.set(axes_, "Position", iposition_);
}

}  // namespace tav
