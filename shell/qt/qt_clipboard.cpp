// The Qt backend's clipboard: a picture as SVG and, for programs that take no SVG, as an image.
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "shell/qt/qt_backend.h"

namespace tav {

void QtBackend::to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) {
  if (!ensure_application())
    throw Error(
        "the clipboard needs a display, and there is none; export the picture to a file "
        "instead");
  auto* mime = new QMimeData;
  mime->setData(QStringLiteral("image/svg+xml"),
                QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  QImage image;
  if (image.loadFromData(png.data(), static_cast<int>(png.size()), "PNG"))
    mime->setImageData(image);
  QGuiApplication::clipboard()->setMimeData(mime);
}

}  // namespace tav
