#include "writers/l204.h"

#include <gtest/gtest.h>

#include "writers/writer_test_util.h"

namespace zk {
namespace {

using test::TableRow;
using test::TempFolder;

std::vector<std::string> L204Lines(const std::string& rows) {
  TempFolder boring;
  boring.WriteCp932("L204.txt", rows);
  return test::RunWriter(WriteL204Records, boring);
}

TEST(L204Records, Code08TakesColumn4) {
  auto lines = L204Lines(TableRow(15, {{2, "1.00"}, {3, "12.50"}, {4, "2.5E-05"}, {6, "9"}}) +
                         TableRow(15, {{2, "0.5"}, {3, "13.5"}, {4, "0.00123"}}) +
                         TableRow(15, {{3, "14"}, {6, "0.5"}}) +  // column 4 blank: empty, column 6 unused
                         TableRow(15, {}));
  const std::vector<std::string> expected = {
      R"("F","53393681001","000","004","08")",
      R"("F","53393681001","001","012.50","013.50","2.5E-05")",
      R"("F","53393681001","002","013.50","014.00","1.23E-03")",
      R"("F","53393681001","003","014.00","014.00","")",
      R"("F","53393681001","004","","000.00","")",  // no blank test on the end of the interval
  };
  EXPECT_EQ(lines, expected);
}

TEST(L204Records, Code99TakesColumn6TimesTen) {
  auto lines = L204Lines(TableRow(15, {{2, "1"}, {3, "2"}, {6, "0.0015"}}) +
                         TableRow(15, {{3, "3"}, {4, "5"}, {6, "abc"}}) +  // not a number: 0
                         TableRow(15, {{3, "4"}, {6, ""}}) + TableRow(15, {{3, "5"}, {6, "0.09999"}}));
  const std::vector<std::string> expected = {
      R"("F","53393681001","000","004","99")",
      R"("F","53393681001","001","002.00","003.00","1.50E-02")",
      R"("F","53393681001","002","003.00","003.00","0.00E+00")",
      R"("F","53393681001","003","004.00","004.00","")",
      R"("F","53393681001","004","005.00","005.00","1.00E+00")",
  };
  EXPECT_EQ(lines, expected);
}

TEST(L204Records, Column4OfTheFirstRowChoosesTheCode) {
  const std::pair<const char*, const char*> cases[] = {{"2.5E-05", "08"}, {"abc", "08"}, {"0", "08"}, {" ", "99"}};
  for (const auto& [column4, code] : cases) {
    auto lines = L204Lines(TableRow(15, {{4, column4}}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(R"("F","53393681001","000","001",")") + code + "\"") << column4;
  }
}

TEST(L204Records, RowlessTableWritesNothing) { EXPECT_TRUE(L204Lines("1,2,3\r\n").empty()); }

}  // namespace
}  // namespace zk
