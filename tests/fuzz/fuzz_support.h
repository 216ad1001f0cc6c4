#pragma once
// Helpers of the fuzz targets: the readers take file names, so every input is written to a
// scratch file of this process first.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "platform/error.h"
#include "platform/matrix.h"

namespace tav::fuzz {

// A file name in the temporary folder, private to this process and `role`.
inline std::string scratch_file(const std::string& role) {
  return (std::filesystem::temp_directory_path() /
          ("tavrel6_fuzz_" + role + "_" + std::to_string(::getpid()) + ".txt"))
      .string();
}

inline void write_bytes(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A property the target must keep whatever the input: a broken one is a fault, reported to the
// fuzzer as a crash with the reason on standard error.
inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

inline bool names(const std::string& message, const std::string& path) {
  return message.find(path) != std::string::npos;
}

// What every landmark reader gives for a file it accepts: configuration rows of x and y of
// every point and a trailing value, finite coordinates, a label per configuration, and warnings
// that name the file.
inline void require_sample(const Matrix& x, std::size_t labels,
                           const std::vector<std::string>& warnings, const std::string& path) {
  require(x.rows() > 0 && x.cols() >= 3 && x.cols() % 2 == 1,
          "configurations of x and y of every point and a trailing value");
  require(x.leftCols(x.cols() - 1).allFinite(), "every coordinate read is a finite number");
  require(labels == static_cast<std::size_t>(x.rows()), "a label per configuration");
  for (const std::string& w : warnings) require(names(w, path), "a warning names the file");
}

// Arbitrary bytes through a reader of another program's format (read(name, text) gives a
// ForeignSample): a sample with the properties above, or a refusal that names the file.
template <class Read>
int fuzz_foreign_reader(const std::uint8_t* data, std::size_t size, const std::string& path,
                        Read read) {
  try {
    const auto s = read(path, std::string(as_text(data, size)));
    require_sample(s.x, s.ids.size(), s.warnings, path);
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  return 0;
}

}  // namespace tav::fuzz
