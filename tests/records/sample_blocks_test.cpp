// The layer and penetration blocks of the bundled sample boring, against the records worked
// out by hand for it.
#include <gtest/gtest.h>

#include <fstream>

#include "block_output.h"
#include "platform/drives.h"
#include "records/layer_block.h"
#include "records/test_block.h"

namespace zk {
namespace {

std::vector<std::string> ExpectedLines(const std::string& key) {
  std::ifstream in(std::string(ZK_FIXTURES) + "/sample-expected/" + key + ".txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string SampleFolder(const std::string& name) {
  return *test::EnvironmentDrives().ToDriveForm(std::string(ZK_SAMPLE) + "/" + name);
}

TEST(SampleBoring, LayerAndPenetrationBlocks) {
  const std::pair<test::BlockWriter, const char*> blocks[] = {{test::LayerBlock, "B"}, {WriteTestBlock, "C"}};
  for (const auto& [write, key] : blocks) {
    auto result = test::RunBlock(write, SampleFolder("B001"), SampleFolder("codes") + "\\");
    ASSERT_TRUE(result.status) << result.status.Message();
    std::vector<std::string> expected = ExpectedLines(key);
    ASSERT_FALSE(expected.empty()) << key;
    EXPECT_EQ(result.lines, expected) << key;
  }
}

}  // namespace
}  // namespace zk
