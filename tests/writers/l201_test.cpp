#include "writers/l201.h"

#include <gtest/gtest.h>

#include "writers/writer_test_util.h"

namespace zk {
namespace {

using test::TableRow;
using test::TempFolder;

std::vector<std::string> L201Lines(const std::string& rows) {
  TempFolder boring;
  boring.WriteCp932("L201.txt", rows);
  return test::RunWriter(WriteL201Records, boring);
}

TEST(L201Records, GFromColumn6ThenHFromColumn10) {
  auto lines = L201Lines(TableRow(15, {{2, "2"}, {3, "10.5"}, {6, "37.9"}, {10, "5"}}) +
                         TableRow(15, {{3, "12.5"}, {6, "12345"}, {10, "-3.7"}}) +
                         TableRow(15, {{2, "1.5"}, {3, "abc"}, {6, ""}, {10, "1E+20"}}));
  const std::vector<std::string> expected = {
      R"("G","53393681001","000","003","10")",
      R"("G","53393681001","001","010.50","012.50","0037")",
      R"("G","53393681001","002","012.50","","2345")",  // column 2 blank: no end
      R"("G","53393681001","003","000.00","001.50","")",
      R"("H","53393681001","000","003","10")",
      R"("H","53393681001","001","010.50","012.50","0005")",
      R"("H","53393681001","002","012.50","","00-3")",
      R"("H","53393681001","003","000.00","001.50","E+20")",
  };
  EXPECT_EQ(lines, expected);
}

TEST(L201Records, NoCompleteRowWritesNeitherBlock) {
  EXPECT_TRUE(L201Lines(",,1,,,2\r\n").empty());
  TempFolder missing;
  EXPECT_TRUE(test::RunWriter(WriteL201Records, missing).empty());
}

}  // namespace
}  // namespace zk
