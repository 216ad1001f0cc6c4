#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {
namespace {

using Json = nlohmann::ordered_json;

// A JSON value as a property value: numbers and flags become 1×1 matrices, an array of numbers
// a row, any other array a list (a callback: function name, then its inputs), text stays text.
Value property_value(const Json& j) {
  if (j.is_null()) return Value();
  if (j.is_boolean()) return Value(j.get<bool>() ? 1.0 : 0.0);
  if (j.is_number()) return Value(j.get<double>());
  if (j.is_string()) return Value(j.get<std::string>());
  if (j.is_array()) {
    const bool numeric =
        !j.empty() && std::all_of(j.begin(), j.end(), [](const Json& e) { return e.is_number(); });
    if (numeric) {
      Row r(static_cast<Index>(j.size()));
      for (size_t i = 0; i < j.size(); ++i) r(static_cast<Index>(i)) = j[i].get<double>();
      return Value(r);
    }
    List items;
    for (const Json& e : j) items.push_back(property_value(e));
    return Value(items);
  }
  Struct fields;
  for (auto it = j.begin(); it != j.end(); ++it)
    fields.push_back({it.key(), property_value(it.value())});
  return Value(fields);
}

// Sets every member of `props` except "type" and "children" as a property of `h`; "Units"
// first, so that positions are read in the units the file states.
void set_properties(Objects& gr, Handle h, const Json& props) {
  if (props.contains("Units")) gr.set(h, "Units", property_value(props["Units"]));
  for (auto it = props.begin(); it != props.end(); ++it) {
    if (it.key() == "type" || it.key() == "children" || it.key() == "Units") continue;
    gr.set(h, it.key(), property_value(it.value()));
  }
}

std::string where(const Json& obj, size_t index) {
  std::string s = "object " + std::to_string(index + 1);
  if (obj.is_object() && obj.contains("Tag") && obj["Tag"].is_string())
    s += " (Tag \"" + obj["Tag"].get<std::string>() + "\")";
  return s;
}

void create_objects(Objects& gr, Handle parent, const Json& objects) {
  if (!objects.is_array()) throw Error("\"objects\" and \"children\" must be arrays of objects");
  for (size_t i = 0; i < objects.size(); ++i) {
    const Json& o = objects[i];
    try {
      if (!o.is_object() || !o.contains("type") || !o["type"].is_string())
        throw Error("each object needs a \"type\" text (axes, uicontrol, uipanel)");
      const std::string type = o["type"].get<std::string>();
      if (type == "figure") throw Error("a figure cannot hold another figure");
      const Handle h = gr.create(type, parent);
      set_properties(gr, h, o);
      if (o.contains("children")) create_objects(gr, h, o["children"]);
    } catch (const Error& e) {
      throw Error(where(o, i) + ": " + e.what());
    }
  }
}

Json read_json(const std::string& path) {
  std::ifstream in(path);
  if (!in)
    throw Error("cannot open the figure file \"" + path +
                "\"; check that it exists and can be read");
  try {
    return Json::parse(in);
  } catch (const Json::exception& e) {
    // A syntax error names the line and column where the text stops being JSON; a number
    // beyond the range of a double is refused the same way.
    throw Error("the figure file \"" + path + "\" is not valid JSON: " + e.what());
  }
}

}  // namespace

Handle load_figure_file(Objects& gr, const std::string& path) {
  const Json doc = read_json(path);
  if (!doc.is_object() || !doc.contains("figure") || !doc["figure"].is_object())
    throw Error("the figure file \"" + path + "\" has no \"figure\" object describing the window");
  const Handle fig = gr.create("figure", 0);
  try {
    set_properties(gr, fig, doc["figure"]);
    if (doc.contains("objects")) create_objects(gr, fig, doc["objects"]);
  } catch (const std::exception& e) {
    // No half-built window stays behind.
    gr.remove(fig);
    throw Error("the figure file \"" + path + "\": " + e.what());
  }
  return fig;
}

}  // namespace tav
