// Every result file of the bundled example and of the test data, in every run mode, equals
// byte for byte the one kept under tests/data/golden: a change of structure keeps results.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

#include "formats/files.h"
#include "shell/batch.h"
#include "support/test_support.h"

namespace tav::test {
namespace {

const std::string kGolden = data_path("golden/");

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> all;
  for (std::string w; in >> w;) all.push_back(w);
  return all;
}

struct Case {
  std::string name;
  std::vector<std::string> args;
};

// The cases and the two output lines of cases.txt.
struct Cases {
  std::vector<Case> runs;
  std::vector<std::string> outputs, protocol_outputs;
};

Cases read_cases() {
  std::ifstream in(kGolden + "cases.txt");
  Cases cases;
  for (std::string line; std::getline(in, line);) {
    const size_t colon = line.find(": ");
    if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
    const std::string name = line.substr(0, colon);
    const std::vector<std::string> args = words(line.substr(colon + 2));
    if (name == "outputs")
      cases.outputs = args;
    else if (name == "outputs with a protocol")
      cases.protocol_outputs = args;
    else
      cases.runs.push_back({name, args});
  }
  return cases;
}

// Arguments naming files (those with a dot or a slash) placed in `folder`.
std::vector<std::string> placed(const std::vector<std::string>& args, const std::string& folder) {
  std::vector<std::string> out;
  for (const std::string& a : args)
    out.push_back(a.find_first_of("./") == std::string::npos || a.rfind("--", 0) == 0 ? a
                                                                                      : folder + a);
  return out;
}

std::string bytes_of(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GoldenResults, EveryModeWritesTheKeptBytes) {
  const Cases cases = read_cases();
  ASSERT_GE(cases.runs.size(), 20u) << "cases.txt was not read";
  for (const Case& c : cases.runs) {
    SCOPED_TRACE(c.name);
    const TempDir dir;
    std::vector<std::string> args = placed(c.args, std::string(TAV_SOURCE_DIR) + "/");
    const bool protocol = std::find(args.begin(), args.end(), "--protocol") != args.end();
    for (const auto* outputs : {&cases.outputs, &cases.protocol_outputs})
      if (outputs == &cases.outputs || protocol)
        for (const std::string& a : placed(*outputs, dir.folder())) args.push_back(a);
    args.push_back("--quiet");
    std::ostringstream err;
    run_batch(parse_batch_options(args), err);
    const std::string kept = kGolden + c.name + "/";
    std::set<std::string> written, expected;
    for (const std::string& f : dir.entries()) written.insert(f);
    for (const auto& e : std::filesystem::directory_iterator(kept))
      expected.insert(e.path().filename().string());
    EXPECT_EQ(written, expected) << err.str();
    for (const std::string& f : expected)
      if (written.count(f)) {
        EXPECT_EQ(bytes_of(dir.file(f)), bytes_of(kept + f)) << f;
      }
  }
}

}  // namespace
}  // namespace tav::test
