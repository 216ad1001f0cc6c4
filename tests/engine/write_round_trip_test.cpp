// What the program saves, its own readers give back: the centroid sizes of a Morphologika file
// as first loaded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "formats/files.h"
#include "support/test_support.h"

namespace tav::test {
namespace {

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

// Saved, loaded and saved again, a Morphologika file keeps the centroid sizes of the specimens
// as first loaded, not the unit sizes of the superimposed configurations it holds.
TEST_F(EngineTest, MorphologikaSavedLoadedAndSavedAgainKeepsTheCentroidSizesAsFirstLoaded) {
  act("Load", kExamples + "shells.txt");
  const Row first_sizes = engine_state().loaded.centroid_sizes;
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
