#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "display/render.h"
#include "platform/format.h"
#include "platform/save_target.h"
#include "platform/shown_name.h"

namespace tav {
namespace {

enum class Format { eps, pdf, svg, png };

constexpr double kPtPerPx = 72.0 / 96.0;

// The format the name's ending asks for; a name with any other ending, or none, is refused
// before anything is written, since its content would not be what the name promises.
Format format_of(const std::string& path) {
  const std::string ext = lower_case(std::filesystem::path(path).extension().string());
  if (ext == ".pdf") return Format::pdf;
  if (ext == ".svg") return Format::svg;
  if (ext == ".png") return Format::png;
  if (ext == ".eps" || ext == ".ps") return Format::eps;
  throw Error("picture \"" + shown_name(path) + "\": " +
              (ext.empty() ? std::string("the name has no ending")
                           : "the ending " + ext + " is not written") +
              "; end the name with .eps, .ps, .pdf, .svg or .png; nothing was written");
}

// cairo writes through this: into a file or into memory.
cairo_status_t write_to_file(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

template <typename Bytes>
cairo_status_t write_to_memory(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<Bytes*>(closure)->insert(static_cast<Bytes*>(closure)->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

// Paints the figure on `surface`, scaled from figure pixels, and finishes the surface.
cairo_status_t paint(cairo_surface_t* surface, const Objects& g, Handle figure, double scale) {
  ContextPtr cr(cairo_create(surface), cairo_destroy);
  cairo_scale(cr.get(), scale, scale);
  render_figure(cr.get(), g, figure);
  const cairo_status_t drawn = cairo_status(cr.get());
  cr.reset();
  cairo_surface_flush(surface);
  return drawn != CAIRO_STATUS_SUCCESS ? drawn : cairo_surface_status(surface);
}

// A vector picture of the figure written through `write`; returns cairo's status at the end.
cairo_status_t write_vector(Format f, cairo_write_func_t write, void* closure, const Objects& g,
                            Handle figure) {
  const PixelSize px = page_size_px(g, figure);
  const double w = px.width * kPtPerPx, h = px.height * kPtPerPx;
  cairo_surface_t* raw =
      f == Format::pdf   ? cairo_pdf_surface_create_for_stream(write, closure, w, h)
      : f == Format::svg ? cairo_svg_surface_create_for_stream(write, closure, w, h)
                         : cairo_ps_surface_create_for_stream(write, closure, w, h);
  SurfacePtr surface(raw, cairo_surface_destroy);
  if (f == Format::eps) cairo_ps_surface_set_eps(raw, true);
  cairo_status_t status = paint(raw, g, figure, kPtPerPx);
  cairo_surface_finish(raw);  // vector surfaces write their last bytes here
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(raw);
  return status;
}

cairo_status_t write_png(cairo_write_func_t write, void* closure, const Objects& g, Handle figure) {
  const PixelSize px = page_size_px(g, figure);
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                                static_cast<int>(std::ceil(px.width * kPngScale)),
                                                static_cast<int>(std::ceil(px.height * kPngScale))),
                     cairo_surface_destroy);
  const cairo_status_t status = paint(surface.get(), g, figure, kPngScale);
  if (status != CAIRO_STATUS_SUCCESS) return status;
  return cairo_surface_write_to_png_stream(surface.get(), write, closure);
}

cairo_status_t write_picture(Format f, cairo_write_func_t write, void* closure, const Objects& g,
                             Handle figure) {
  return f == Format::png ? write_png(write, closure, g, figure)
                          : write_vector(f, write, closure, g, figure);
}

[[noreturn]] void fail(const std::string& path, const std::string& why) {
  throw Error("Could not write the figure to \"" + shown_name(path) + "\": " + why +
              "; choose a folder that exists and that you may write to");
}

// A new file beside `path` (same folder, so the final rename never crosses file systems),
// with the permissions a plainly created file would get.
std::FILE* open_temporary(const std::string& path, std::string& temp_name) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  temp_name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp_name.data());
  if (fd < 0) fail(path, std::strerror(errno));
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  std::FILE* file = fdopen(fd, "wb");
  if (!file) {
    const int err = errno;
    close(fd);
    std::remove(temp_name.c_str());
    fail(path, std::strerror(err));
  }
  return file;
}

}  // namespace

void export_figure(const Objects& g, Handle figure, const std::string& path) {
  if (path.empty()) throw Error("Could not write the figure: no file name was given");
  const Format format = format_of(path);
  if (save_target(path) == SaveTarget::in_place) {
    // A device or a pipe gets the whole picture, made first, and is never renamed over.
    std::string bytes;
    const cairo_status_t status =
        write_picture(format, write_to_memory<std::string>, &bytes, g, figure);
    if (status != CAIRO_STATUS_SUCCESS) fail(path, cairo_status_to_string(status));
    write_in_place(path, bytes);
    return;
  }
  // A symbolic link stays a link: the file it names gets the picture.
  const std::string target = replaced_file(path);
  std::string temp;
  std::FILE* file = open_temporary(target, temp);
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  try {
    status = write_picture(format, write_to_file, file, g, figure);
  } catch (...) {
    std::fclose(file);
    std::remove(temp.c_str());
    throw;
  }
  const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  const int err = errno;
  const bool closed = std::fclose(file) == 0;
  if (status != CAIRO_STATUS_SUCCESS || !flushed || !closed) {
    std::remove(temp.c_str());
    fail(path,
         status != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(status) : std::strerror(err));
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    const int rerr = errno;
    std::remove(temp.c_str());
    fail(path, std::strerror(rerr));
  }
}

FigureImages render_figure_images(const Objects& g, Handle figure) {
  FigureImages out;
  cairo_status_t status =
      write_picture(Format::svg, write_to_memory<std::string>, &out.svg, g, figure);
  if (status == CAIRO_STATUS_SUCCESS)
    status =
        write_picture(Format::png, write_to_memory<std::vector<std::uint8_t>>, &out.png, g, figure);
  if (status != CAIRO_STATUS_SUCCESS)
    throw Error(std::string("Could not render the figure for the clipboard: ") +
                cairo_status_to_string(status));
  return out;
}

}  // namespace tav
