#include "support/test_support.h"

#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

namespace tav::test {

std::string data_path(const std::string& name) { return std::string(TAV_TEST_DATA) + "/" + name; }

double max_abs_diff(const Matrix& a, const Matrix& b) {
  if (a.rows() != b.rows() || a.cols() != b.cols()) return std::numeric_limits<double>::infinity();
  if (a.size() == 0) return 0;
  return (a - b).cwiseAbs().maxCoeff();
}

TempDir::TempDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "_" + info->name() : "no_test";
  for (char& c : name)
    if (c == '/') c = '_';
  // Parameterised names can be long: a folder name stays well below the system's limit.
  name = ("tavrel6_" + std::to_string(::getpid()) + "_" + name).substr(0, 120);
  path_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec || cwd.string().rfind(path_.string(), 0) == 0)
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> TempDir::entries() const {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(path_))
    out.push_back(e.path().filename().string());
  return out;
}

}  // namespace tav::test
