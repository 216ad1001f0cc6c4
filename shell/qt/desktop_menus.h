#pragma once
// The main window's menu bar: each entry stands for a control of the window (found by its
// tag, so the entry does exactly what a click on the control does) or for a command of the
// window itself.
#include <vector>

namespace tav {

enum class MenuKind {
  control,  // clicks the push button tagged `name`
  check,    // clicks the check box tagged `name`; shows its state
  command,  // a command of the window: Quit, Stop, FitDrawing, Guide, About
  toggle,   // a window setting with a check mark: ShowLog, Pause<milliseconds>
  submenu,  // Recent: the recently opened files
};

struct MenuEntry {
  const char* menu;      // "&File", "&Run", "&View", "&Analysis", "&Help"
  const char* label;     // "" for a separator
  const char* name;      // control tag or command name
  const char* shortcut;  // as QKeySequence reads it, "" for none
  MenuKind kind;
};

// In menu order, entries in their menu's order.
const std::vector<MenuEntry>& desktop_menu_entries();

// The pauses between passes of the iterated run the Run menu offers, in milliseconds.
const std::vector<int>& pass_pause_choices_ms();

}  // namespace tav
