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

}  // namespace tav::fuzz
