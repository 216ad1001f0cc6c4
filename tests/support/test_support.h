#pragma once
// Small helpers shared by the test programs.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/matrix.h"
#include "platform/parallel.h"

namespace tav::test {

// Path of a fixture under tests/data.
std::string data_path(const std::string& name);
// Largest absolute element difference (infinity when the shapes differ).
double max_abs_diff(const Matrix& a, const Matrix& b);

// run() once on one worker thread and once on two, for tests that results do not depend on
// the thread count; the default count is back afterwards, also when run() throws.
// Returns {result on one thread, result on two}.
template <class Run>
auto on_one_and_two_threads(Run run) {
  struct DefaultAfter {
    ~DefaultAfter() { set_thread_count(0); }
  } default_after;
  set_thread_count(1);
  auto one = run();
  set_thread_count(2);
  auto two = run();
  return std::pair{std::move(one), std::move(two)};
}

// A fresh folder of its own for the files one test writes (named after the test and the process,
// so that parallel runs never share one), removed with everything in it afterwards. A test that
// works inside it is moved out first.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::string folder() const { return path_.string() + "/"; }
  std::vector<std::string> entries() const;  // names of what is in it, in no set order
  void enter() const { std::filesystem::current_path(path_); }  // make it the working folder

 private:
  std::filesystem::path path_;
};

}  // namespace tav::test
