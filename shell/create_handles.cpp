#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {

Value create_handles(const Objects& gr, Handle fig) {
  Struct handles;
  for (Handle h : gr.listing(fig)) {
    const Value tag = gr.get(h, "tag");
    if (tag.empty() || !isvarname(tag)) continue;
    Field* field = nullptr;
    for (Field& f : handles)
      if (f.name == tag.text()) field = &f;
    if (!field) {
      handles.push_back({tag.text(), Value(row({h}))});
      continue;
    }
    Matrix grown = field->value.matrix();
    grown.conservativeResize(1, grown.cols() + 1);
    grown(0, grown.cols() - 1) = h;
    field->value = Value(grown);
  }
  if (handles.empty()) return Value();
  return Value(handles);
}

}  // namespace tav
