#pragma once
// A folder of its own per test, for the files a reader's test writes and reads back.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "support/test_support.h"

namespace tav::test {

class FormatsTest : public ::testing::Test {
 protected:
  // Writes a file in the test's folder and returns its path.
  std::string file(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  TempDir temp;
  const std::filesystem::path dir = temp.path();
};

}  // namespace tav::test
