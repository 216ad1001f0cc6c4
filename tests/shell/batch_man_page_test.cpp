// The man page of tavrel6-batch against its --help text: the same options, every one of them
// understood by the parser.
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>

#include "platform/error.h"
#include "shell/batch.h"

namespace tav::test {
namespace {

// The long options ("--name") a text mentions.
std::set<std::string> options_in(const std::string& text) {
  std::set<std::string> found;
  static const std::regex option(R"(--[a-z][a-z-]*[a-z])");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it)
    found.insert(it->str());
  return found;
}

// The man page as a reader sees it: roff's escaped minus signs ("\-") as plain ones.
std::string man_page_text() {
  std::ifstream in(std::string(TAV_SOURCE_DIR) + "/docs/tavrel6-batch.1");
  std::stringstream raw;
  raw << in.rdbuf();
  return std::regex_replace(raw.str(), std::regex(R"(\\-)"), "-");
}

TEST(BatchManPage, NamesExactlyTheOptionsOfTheHelpText) {
  const std::set<std::string> help = options_in(batch_usage());
  const std::string page = man_page_text();
  ASSERT_FALSE(page.empty()) << "docs/tavrel6-batch.1 is missing or empty";
  const std::set<std::string> man = options_in(page);
  for (const std::string& o : help)
    EXPECT_TRUE(man.count(o)) << o << " is in --help but not in the man page";
  for (const std::string& o : man)
    EXPECT_TRUE(help.count(o)) << o << " is in the man page but not in --help";
  EXPECT_GE(help.size(), 10u);  // the help text was read at all
}

TEST(BatchManPage, EveryOptionOfTheHelpTextIsUnderstood) {
  for (const std::string& o : options_in(batch_usage())) {
    if (o == "--data") continue;  // given with every other option below
    std::vector<std::string> args = {"--data", "d.txt", o};
    if (o == "--digits")
      args.push_back("8");
    else if (o == "--pcs")
      args.push_back("1,3");
    else if (o.rfind("--save", 0) == 0 || o.rfind("--plot", 0) == 0 || o == "--suggest-protocol" ||
             o == "--reference" || o == "--protocol" || o == "--data")
      args.push_back("f.txt");
    if (o == "--save-protocol-sliders")
      args.insert(args.end(), {"--protocol", "p.txt"});  // writes the protocol read
    EXPECT_NO_THROW(parse_batch_options(args)) << o;
  }
}

}  // namespace
}  // namespace tav::test
