#pragma once
// The properties of the object model as the Qt window reads them: texts, a control's label,
// colours, the units a position is given in.
#include <QColor>
#include <QString>
#include <optional>
#include <string>

#include "platform/objects.h"

namespace tav {

// A property that holds a text, or `fallback` when it holds something else.
std::string text_property(const Objects& gr, Handle h, const char* name,
                          const std::string& fallback = "");

// A control's "String": a text (line breaks kept) or a list of lines joined by line breaks.
QString string_of(const Objects& gr, Handle h);

// A button's label: its "String" with every '&' shown as itself, not as a shortcut mark.
QString button_label(const Objects& gr, Handle h);

// An [r g b] colour with parts from 0 to 1, or none when the property holds something else.
std::optional<QColor> color_property(const Objects& gr, Handle h, const char* name);

// The height of the screen in pixels, as the root's "ScreenSize" gives it.
double screen_height(const Objects& gr);

// Whether the object's position is given in normalised units (a share of its parent's size).
bool is_normalized(const Objects& gr, Handle h);

}  // namespace tav
