// What the program writes, its own readers give back: every label in every format (or the
// replacement docs/formats.md names), and the centroid sizes of a Morphologika file as loaded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "formats/files.h"
#include "formats/formats.h"
#include "formats/tps.h"
#include "support/test_support.h"

namespace tav::test {
namespace {

// A label, and what each format's reader gives back for it (nullptr: the label itself).
struct AwkwardLabel {
  std::string label;
  const char* nts = nullptr;
  const char* morphologika = nullptr;
  const char* morphoj = nullptr;
  const char* tps = nullptr;
};

const std::string kLong(3000, 'w');

// The label is the second of three specimens, so a label that read back as two, or as none,
// also moves its neighbours.
const std::vector<AwkwardLabel>& awkward_labels() {
  static const std::vector<AwkwardLabel> table = {
      {"s5\"x", "s5_x"},
      {"\"s1\"", "_s1_"},
      {"\"", "_"},
      {"'s1", nullptr, "_s1"},
      {"o'brien"},
      {"[s1]", nullptr, "_s1]"},
      {"[individuals]", nullptr, "_individuals]"},
      {"wing 7", "wing_7"},
      {"  s1  ", "s1", "s1", "s1", "s1"},
      {"a\tb", "a_b", nullptr, "a_b"},
      {"a,b"},
      {"a;b"},
      {"Ångström-αβ_東京"},
      {"", "2", "2", "2", "2"},
      {" \t ", "2", "2", "2", "2"},
      {kLong},
      {"12"},
      {"-0.5"},
      {"1e5"},
      {"LM=3"},
      {"ID=x"},
      {"a\nb", "a_b", "a_b", "a_b", "a_b"},
      {"a\r\nb", "a__b", "a__b", "a__b", "a__b"},
  };
  return table;
}

struct Format {
  const char* name;
  FileKind kind;
  const char* AwkwardLabel::*back;
};

void PrintTo(const Format& f, std::ostream* out) { *out << f.name; }

class LabelRoundTrip : public ::testing::TestWithParam<Format> {};

TEST_P(LabelRoundTrip, EveryLabelReadsBackAsWrittenOrAsItsDocumentedReplacement) {
  const Format& f = GetParam();
  const Matrix x = rows({{0, 0, 1, 0, 0, 1, 1}, {0, 0, 2, 0, 0, 1, 1}, {0, 0, 1, 0, 0, 3, 1}});
  const Row cs = row({1, 2, 3});
  for (const AwkwardLabel& c : awkward_labels()) {
    const std::string shown = c.label.substr(0, 20);
    const std::string text = sample_text(f.kind, x, {"a", c.label, "c"}, cs, 10);
    DataFile back;
    try {
      back = read_data_text("out", text);
    } catch (const Error& e) {
      ADD_FAILURE() << "label \"" << shown << "\": " << e.what();
      continue;
    }
    EXPECT_EQ(back.kind, f.kind) << shown;
    const char* replaced = c.*f.back;
    EXPECT_EQ(back.specimen_ids,
              (std::vector<std::string>{"a", replaced ? replaced : c.label, "c"}))
        << "label \"" << shown << "\"";
    EXPECT_EQ(back.x.leftCols(6), x.leftCols(6)) << shown;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LabelRoundTrip,
    ::testing::Values(Format{"nts", FileKind::Nts, &AwkwardLabel::nts},
                      Format{"morphologika", FileKind::Morphologika, &AwkwardLabel::morphologika},
                      Format{"morphoj", FileKind::MorphoJ, &AwkwardLabel::morphoj},
                      Format{"tps", FileKind::Tps, &AwkwardLabel::tps}),
    [](const auto& i) { return std::string(i.param.name); });

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

// Saved, loaded and saved again, a Morphologika file keeps the centroid sizes of the specimens
// as first loaded, not the unit sizes of the superimposed configurations it holds.
TEST_F(EngineTest, MorphologikaSavedLoadedAndSavedAgainKeepsTheCentroidSizesAsFirstLoaded) {
  act("Load", kExamples + "shells.txt");
  const Row first_sizes = engine_state().centroid_sizes;
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  const std::string once = (dir / "once.morphologika.txt").string();
  act("Save", once);
  act("Load", once);
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  const std::string twice = (dir / "twice.morphologika.txt").string();
  act("Save", twice);
  const Matrix a = read_data_file(once).x, b = read_data_file(twice).x;
  ASSERT_EQ(a.rows(), first_sizes.size());
  ASSERT_EQ(b.rows(), a.rows());
  EXPECT_GT(first_sizes.minCoeff(), 2.0);  // far from the unit size of the superimposed sample
  const Row sizes_once = a.col(a.cols() - 1).transpose(),
            sizes_twice = b.col(b.cols() - 1).transpose();
  EXPECT_LT(((sizes_once - first_sizes).array() / first_sizes.array()).abs().maxCoeff(), 1e-9);
  EXPECT_EQ(sizes_twice, sizes_once);
}

}  // namespace
}  // namespace tav::test
