// Every result file of the bundled example and of the test data, in every run mode, equals
// byte for byte the one kept under tests/data/golden: a change of structure keeps results.
#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// A sanitizer's instrumentation changes how the compiler orders some sums, so a sanitized build's
// results differ from the kept ones in the last printed digit; it compares the files' words
// instead, numbers within that digit. The plain build compares bytes.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> all;
  std::string word;
  for (const char c : text + "\n") {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',') {
      if (!word.empty()) all.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return all;
}

// Equal words, or numbers that differ by at most one unit of a 6-digit last place (values of
// rounding size, below 1e-12, taken as equal).
bool same_words(const std::string& a, const std::string& b) {
  const std::vector<std::string> wa = words_of(a), wb = words_of(b);
  if (wa.size() != wb.size()) return false;
  for (size_t i = 0; i < wa.size(); ++i) {
    if (wa[i] == wb[i]) continue;
    char *ea = nullptr, *eb = nullptr;
    const double x = std::strtod(wa[i].c_str(), &ea), y = std::strtod(wb[i].c_str(), &eb);
    if (*ea != 0 || *eb != 0) return false;
    if (std::abs(x - y) > 1e-5 * std::max(std::abs(x), std::abs(y)) + 1e-12) return false;
  }
  return true;
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
      if (written.count(f) && kSanitized) {
        EXPECT_TRUE(same_words(bytes_of(dir.file(f)), bytes_of(kept + f))) << f;
      } else if (written.count(f)) {
        EXPECT_EQ(bytes_of(dir.file(f)), bytes_of(kept + f)) << f;
      }
  }
}

}  // namespace
}  // namespace tav::test
