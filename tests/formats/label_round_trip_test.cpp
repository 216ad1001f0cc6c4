// What the writers write, the readers give back: every label in every format, or the
// replacement docs/formats.md names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "formats/files.h"
#include "formats/formats.h"

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

}  // namespace
}  // namespace tav::test
