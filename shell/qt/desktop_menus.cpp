#include "shell/qt/desktop_menus.h"

namespace tav {

const std::vector<MenuEntry>& desktop_menu_entries() {
  using K = MenuKind;
  static const std::vector<MenuEntry> entries = {
      {"&File", "&Load sample…", "LoadButton", "Ctrl+O", K::control},
      {"&File", "Load &reference…", "LoadReferenceButton", "Ctrl+Shift+O", K::control},
      {"&File", "Load &protocol and run…", "LoadProtocolButton", "Ctrl+P", K::control},
      {"&File", "Open r&ecent", "Recent", "", K::submenu},
      {"&File", "", "", "", K::command},
      {"&File", "&Save sample, all points…", "SaveButton", "Ctrl+S", K::control},
      {"&File", "Save sample, landmarks + semi-landmarks…", "SaveLMSLMButton", "", K::control},
      {"&File", "Save sample, landmarks only…", "SaveLMButton", "", K::control},
      {"&File", "Save &consensus, all points…", "SaveReferenceButton", "Ctrl+Shift+S", K::control},
      {"&File", "Save consensus, landmarks + semi-landmarks…", "SaveReferenceLMSLMButton", "",
       K::control},
      {"&File", "Save consensus, landmarks only…", "SaveReferenceLMButton", "", K::control},
      {"&File", "", "", "", K::command},
      {"&File", "&Export picture…", "SaveEPSButton", "Ctrl+E", K::control},
      {"&File", "Copy picture", "CopyImageButton", "Ctrl+Shift+C", K::control},
      {"&File", "", "", "", K::command},
      {"&File", "&Quit", "Quit", "Ctrl+Q", K::command},
      {"&Run", "&Iterate (bending energy)", "IterBox", "", K::check},
      {"&Run", "Minimise Procrustes &distance", "DistanceBox", "", K::check},
      {"&Run", "&No semi-landmark alignment", "NoAlignButton", "", K::check},
      {"&Run", "", "", "", K::command},
      {"&Run", "&Stop after this pass", "Stop", "Esc", K::command},
      {"&Run", "", "", "", K::command},
      {"&Run", "Show each pass for no time", "Pause0", "", K::toggle},
      {"&Run", "Show each pass for 0.25 s", "Pause250", "", K::toggle},
      {"&Run", "Show each pass for 1 s", "Pause1000", "", K::toggle},
      {"&Run", "Show each pass for 3 s", "Pause3000", "", K::toggle},
      {"&View", "&Replot", "ReplotButton", "F5", K::control},
      {"&View", "&Tangents", "TangentPlotButton", "F6", K::control},
      {"&View", "&Plain-consensus tangents", "OriginalTangentButton", "Shift+F6", K::control},
      {"&View", "C&lear", "ClearButton", "", K::control},
      {"&View", "", "", "", K::command},
      {"&View", "Draw &curves", "CurveButton", "", K::check},
      {"&View", "Point &numbers", "NumberButton", "", K::check},
      {"&View", "&Hide helper points", "TavrelButton", "", K::check},
      {"&View", "Show c&onsensus", "MeanButton", "", K::check},
      {"&View", "Compare with plain consensus", "OriginalButton", "", K::check},
      {"&View", "Leg&end", "LegendButton", "", K::check},
      {"&View", "", "", "", K::command},
      {"&View", "Markers &larger", "LargerMarkersButton", "Ctrl+=", K::control},
      {"&View", "Markers &smaller", "SmallerMarkersButton", "Ctrl+-", K::control},
      {"&View", "Filled markers", "FilledMarkersButton", "", K::control},
      {"&View", "Open markers", "OpenMarkersButton", "", K::control},
      {"&View", "", "", "", K::command},
      {"&View", "&Fit the drawing", "FitDrawing", "Ctrl+0", K::command},
      {"&View", "Show the lo&g", "ShowLog", "Ctrl+L", K::toggle},
      {"&Analysis", "&Shape space", "ShapeSpaceButton", "", K::control},
      {"&Help", "Short &guide", "Guide", "F1", K::command},
      {"&Help", "&About tavrel6", "About", "", K::command},
  };
  return entries;
}

const std::vector<int>& pass_pause_choices_ms() {
  static const std::vector<int> choices = {0, 250, 1000, 3000};
  return choices;
}

}  // namespace tav
