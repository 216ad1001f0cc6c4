#pragma once
// The window framework: loading a window from its figure file with the reuse policy, the
// registry of open windows per file, the tag-to-handle structure, one stored value per window,
// the name rules for tags, clearing the axes and placing a window on the screen. Each function
// works on the graphics objects (or the whole graphics runtime) it is given.
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/objects.h"
#include "platform/value.h"

namespace tav {

// Loads the window described by `filename` (extension ".fig" or none, which means ".fig").
// policy "new" always loads another copy; "reuse" gives the newest open copy loaded from a file
// of the same base name, loading one only when none is open. Every copy is recorded, oldest
// first, in the root's application data under the base name + "_SINGLETON_handle" (cut to 31
// characters). The window is moved onto the screen and, when visible, made current and raised.
// Raises "Argument must be a .fig file" for another extension and
// "Second input argument must be 'new' or 'reuse'." for another policy (case matters).
Handle openfig(Runtime& rt, const std::string& filename, const std::string& policy = "new");

// Reads a figure file (our JSON layout) into a new figure with its axes and controls; returns
// the figure. Raises Error naming the file when it cannot be read or does not describe a window.
Handle load_figure_file(Objects& gr, const std::string& path);

// The figure holding the object `h` (a 1×1 handle), found by walking up through "parent";
// the empty value when `h` is empty or the walk passes the root.
Value parent_figure(const Objects& gr, const Value& h);

// The window holding the valid object `h`; raises
// "H must be the handle to a figure or figure descendent." when there is none (the root, a
// deleted object, a number that names no object).
Handle window_of(const Objects& gr, Handle h);

// One field per valid tag of the figure's objects (the figure and hidden objects included),
// each holding the 1×m row of the handles carrying that tag in listing order; the empty matrix
// when no object has a valid tag.
Value create_handles(const Objects& gr, Handle fig);

// The handle structure of the window holding `h` (default: the current figure). Raises
// "H must be the handle to a figure or figure descendent." when `h` is not such an object.
Value guihandles(Objects& gr, std::optional<Handle> h = std::nullopt);

// The value stored with the window holding `h` (empty when never stored), and storing one.
// Raise the same text as guihandles for a handle outside every window.
Value guidata(const Objects& gr, Handle h);
void guidata(Objects& gr, Handle h, const Value& data);

// Whether `s` may become a field name: a one-line text of at most 31 characters, a letter
// first, then letters, digits and "_", and not a keyword.
bool isvarname(const Value& s);

// Whether `s` is one of the 17 keywords (as a whole, case-sensitive); the list itself.
bool iskeyword(const std::string& s);
List iskeyword();

// Removes everything drawn in the current axes (the axes stay); returns them.
Handle cla(Objects& gr);

// Moves a window to a named place ("north", "south", "east", "west", "northeast", "southeast",
// "northwest", "southwest", "center", "onscreen") or to a lower-left outer corner [x y] in
// pixels (negative values count from the right or top edge), keeping its size cut to the
// screen. Arguments in any order: a handle (the window holding it), a place name, a pair.
// Default window: the running callback's, else the current figure; default place "onscreen".
void movegui(Runtime& rt, const std::vector<Value>& args = {});

}  // namespace tav
