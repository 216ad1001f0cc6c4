#pragma once
#include "platform/objects.h"

namespace tav {

// Enlarges the axes over almost the whole window for an export and puts the axes' "Position"
// and "Units" and the window's "Units" back afterwards, also when the export fails.
// Enlarging: the window's units become "characters"; from its width w and height h the axes
// get the position [12 3 w-5 h-4] in those units (shown on the console as fposition), so they
// reach 7 characters past the window's right edge, which the picture cuts off.
class ExportPlacement {
 public:
  ExportPlacement(Objects& g, Handle figure, Handle axes);
  ~ExportPlacement();
  ExportPlacement(const ExportPlacement&) = delete;
  ExportPlacement& operator=(const ExportPlacement&) = delete;

  // Window units, then axes units, then axes position; only the first call acts.
  void restore();

 private:
  Objects& g_;
  Handle figure_, axes_;
  Value iposition_, iunits_, ifunits_;
  bool restored_ = false;
};

}  // namespace tav
