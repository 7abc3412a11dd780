// The bundled sample boring against its hand-derived records of the blocks D to H.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/drives.h"
#include "writers/l201.h"
#include "writers/l204.h"
#include "writers/l209.h"
#include "writers/soil_tests.h"
#include "writers/writer_test_util.h"

namespace zk {
namespace {

std::vector<std::string> ExpectedLines(const std::string& key) {
  std::ifstream in(std::string(ZK_FIXTURES) + "/sample-expected/" + key + ".txt", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SampleBoring, BlocksDToHAsDerivedByHand) {
  std::string boring = *test::EnvironmentDrives().ToDriveForm(std::string(ZK_SAMPLE) + "/B001");
  const std::pair<const char*, test::Writer> blocks[] = {
      {"D", WriteSoilTestRecords}, {"E", WriteL209Records}, {"F", WriteL204Records}, {"G", WriteL201Records}};
  for (const auto& [key, writer] : blocks) {
    test::TempFolder destination;
    ExchangeFile out;
    ASSERT_TRUE(out.Create(test::EnvironmentDrives(), destination.Drive(), "53393681.001"));
    FindingSink findings;
    Status s = writer(out, BoringSnapshot::Take(test::EnvironmentDrives(), boring, ""), test::kBoringId, findings);
    ASSERT_TRUE(s) << s.Message();
    ASSERT_TRUE(out.Commit());
    auto lines = test::SplitCrLf(test::ReadCp932(destination.path() / "53393681.001"));
    auto expected = ExpectedLines(key);
    if (std::string(key) == "G") {
      auto h = ExpectedLines("H");  // the one L201 writer writes both G and H
      expected.insert(expected.end(), h.begin(), h.end());
    }
    ASSERT_FALSE(expected.empty()) << key;
    EXPECT_EQ(lines, expected) << key;
  }
}

}  // namespace
}  // namespace zk
