#include "shell/qt/figure_properties.h"

#include <QStringList>

#include "platform/format.h"

namespace tav {

std::string text_property(const Objects& gr, Handle h, const char* name,
                          const std::string& fallback) {
  const Value v = gr.get(h, name);
  return v.is_text() ? v.text() : fallback;
}

QString string_of(const Objects& gr, Handle h) {
  const Value v = gr.get(h, "String");
  if (v.is_text()) return QString::fromStdString(v.text());
  QStringList lines;
  if (v.is_list())
    for (const Value& item : v.list())
      if (item.is_text()) lines << QString::fromStdString(item.text());
  return lines.join('\n');
}

QString button_label(const Objects& gr, Handle h) { return string_of(gr, h).replace('&', "&&"); }

std::optional<QColor> color_property(const Objects& gr, Handle h, const char* name) {
  const Value v = gr.get(h, name);
  if (!v.is_matrix() || v.matrix().size() != 3) return std::nullopt;
  const Matrix& m = v.matrix();
  return QColor::fromRgbF(static_cast<float>(m.data()[0]), static_cast<float>(m.data()[1]),
                          static_cast<float>(m.data()[2]));
}

double screen_height(const Objects& gr) { return gr.get(0, "screensize").matrix().data()[3]; }

bool is_normalized(const Objects& gr, Handle h) {
  return lower_case(text_property(gr, h, "Units", "pixels")) == "normalized";
}

}  // namespace tav
