// Every output of the batch tool onto what is not a regular file: a pipe or a device (or a link
// to one) is written in place and stays what it was; a link to a file stays a link. Nothing
// outside the test's folder is ever renamed over: /dev/null is reached through a link in the
// test's folder, and only after a pipe has shown that the same save writes in place.
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "shell/batch.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
namespace fs = std::filesystem;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";
const std::string kTps = std::string(TAV_TEST_DATA) + "/tps/";

// Everything one writer puts into a FIFO. Both ends are opened before the writer runs (the
// test's own write end keeps the reader's from seeing an end too early), so no open waits for
// the other side, and the reader ends however the writer went, also when it never opened the
// FIFO.
class FifoReader {
 public:
  explicit FifoReader(const fs::path& fifo)
      : read_end_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK)),
        keeper_(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) {
    ::fcntl(read_end_, F_SETFL, 0);  // reads wait for the writer from here on
    thread_ = std::thread([this] {
      char buf[4096];
      for (ssize_t n; read_end_ >= 0 && (n = ::read(read_end_, buf, sizeof buf)) > 0;)
        text_.append(buf, static_cast<size_t>(n));
    });
  }
  ~FifoReader() {
    if (thread_.joinable()) text();
    ::close(read_end_);
  }
  bool opened() const { return read_end_ >= 0 && keeper_ >= 0; }
  // What the reader got, once the writer has finished.
  std::string text() {
    ::close(keeper_);
    thread_.join();
    return text_;
  }

 private:
  int read_end_, keeper_;
  std::string text_;
  std::thread thread_;
};

struct Output {
  const char* option;
  const char* name;  // the output's name in the test's folder
  std::vector<std::string> input;
};

const std::vector<std::string> kShells = {"--data", kExamples + "shells.txt", "--protocol",
                                          kExamples + "shells_protocol.txt"};

std::vector<Output> outputs() {
  return {{"--save", "s.txt", kShells},
          {"--save-lmslm", "s.txt", kShells},
          {"--save-lm", "s.txt", kShells},
          {"--save-reference", "s.txt", kShells},
          {"--save-reference-lmslm", "s.txt", kShells},
          {"--save-reference-lm", "s.txt", kShells},
          {"--save-tps", "s.tps", kShells},
          {"--save-nts", "s.nts", kShells},
          {"--save-morphologika", "s.txt", kShells},
          {"--save-morphoj", "s.txt", kShells},
          {"--save-protocol-sliders", "s.csv", kShells},
          {"--suggest-protocol", "p.txt", {"--data", kTps + "curves.tps"}},
          {"--plot", "s.png", kShells}};
}

void PrintTo(const Output& o, std::ostream* out) { *out << o.option; }

class SpecialTarget : public ::testing::TestWithParam<Output> {
 protected:
  int run(const std::string& path) {
    std::vector<std::string> args = GetParam().input;
    args.push_back(GetParam().option);
    args.push_back(path);
    std::ostringstream err;
    const int status = run_batch(parse_batch_options(args), err);
    said = err.str();
    return status;
  }
  // The output as a plain file of the test's folder holds it.
  std::string plain_output() {
    const fs::path plain = dir / "plain" / GetParam().name;
    fs::create_directory(plain.parent_path());
    EXPECT_EQ(run(plain.string()), 0) << said;
    return read(plain);
  }
  static std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  TempDir temp;
  const fs::path dir = temp.path();
  std::string said;
};

TEST_P(SpecialTarget, PipeAndDeviceAreWrittenInPlaceAndStayWhatTheyWere) {
  const std::string plain = plain_output();
  ASSERT_FALSE(plain.empty());
  const fs::path fifo = dir / GetParam().name;
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  FifoReader reader(fifo);
  ASSERT_TRUE(reader.opened());
  EXPECT_EQ(run(fifo.string()), 0) << said;
  EXPECT_THAT(said, HasSubstr("wrote"));
  EXPECT_TRUE(reader.text() == plain) << "the FIFO did not get the whole output";
  ASSERT_TRUE(fs::is_fifo(fifo)) << "the FIFO was replaced";

  const fs::path link = dir / "device" / GetParam().name;
  fs::create_directory(link.parent_path());
  fs::create_symlink("/dev/null", link);
  EXPECT_EQ(run(link.string()), 0) << said;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), "/dev/null");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(fs::directory_iterator(link.parent_path())->path(), link) << "a file was left beside";
}

// A link to a regular file stays a link; the file it names gets the text.
TEST_P(SpecialTarget, LinkToAFileStaysALink) {
  const std::string plain = plain_output();
  const fs::path file = dir / "target", link = dir / GetParam().name;
  std::ofstream(file) << "earlier\n";
  fs::create_symlink(file, link);
  EXPECT_EQ(run(link.string()), 0) << said;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(read(file) == plain) << "the file behind the link did not get the output";
}

INSTANTIATE_TEST_SUITE_P(Outputs, SpecialTarget, ::testing::ValuesIn(outputs()), [](const auto& i) {
  std::string name = std::string(i.param.option).substr(2);
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
});

TEST(SpecialTargetRefused, AFolderIsNotAFileToWrite) {
  TempDir temp;
  const fs::path folder = temp.path() / "out.txt";
  fs::create_directory(folder);
  std::ostringstream err;
  EXPECT_EQ(run_batch(parse_batch_options(
                          {"--data", kExamples + "shells.txt", "--save-nts", folder.string()}),
                      err),
            1);
  EXPECT_THAT(err.str(), HasSubstr("it is a folder"));
  EXPECT_THAT(err.str(), HasSubstr("nothing was written"));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));
}

}  // namespace
}  // namespace tav::test
