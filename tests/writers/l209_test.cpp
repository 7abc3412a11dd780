#include "writers/l209.h"

#include <gtest/gtest.h>

#include "writers/writer_test_util.h"

namespace zk {
namespace {

using test::TableRow;
using test::TempFolder;

TEST(L209Records, TableCodeFromTheFirstRow) {
  const std::pair<const char*, const char*> cases[] = {
      {"12", "12"}, {"123", "23"}, {"3", "03"}, {"", "99"}, {"  ", "99"}, {"abc", "00"}, {"8.0", "08"},
  };
  for (const auto& [column4, code] : cases) {
    TempFolder boring;
    // Only the first row's column 4 counts.
    boring.WriteCp932("L209.txt", TableRow(15, {{4, column4}}) + TableRow(15, {{4, "77"}}));
    auto lines = test::RunWriter(WriteL209Records, boring);
    ASSERT_EQ(lines.size(), 3u) << column4;
    EXPECT_EQ(lines[0], std::string(R"("E","53393681001","000","002",")") + code + "\"") << column4;
  }
}

TEST(L209Records, FourFixedPointFields) {
  TempFolder boring;
  boring.WriteCp932("L209.txt", TableRow(15, {{3, "1.5"}, {4, "5"}, {5, "123456.789"}, {7, "2.345"}, {8, "45"}}) +
                                    TableRow(15, {{3, "abc"}}));
  auto lines = test::RunWriter(WriteL209Records, boring);
  const std::vector<std::string> expected = {
      R"("E","53393681001","000","002","05")",
      R"("E","53393681001","001","001.50","02.34","45.00","23456.78")",
      R"("E","53393681001","002","000.00","","","")",
  };
  EXPECT_EQ(lines, expected);
}

TEST(L209Records, RowsAreGroupsOfFifteenFieldsWhateverTheLines) {
  // Row 1 split over two lines, rows 2 and 3 on one line, then a row cut short by the end.
  std::string row1 = ",,1,4,,,2,3,,,,,,,";
  std::string rows = ",,1,4,,,2,3\r\n,,,,,,\r\n" + row1 + "," + row1 + "\r\n,,9,9\r\n";
  TempFolder boring;
  boring.WriteCp932("L209.txt", rows);
  auto lines = test::RunWriter(WriteL209Records, boring);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], R"("E","53393681001","000","003","04")");
  for (std::size_t i = 1; i < 4; ++i)
    EXPECT_EQ(test::DataFields(lines[i]), (std::vector<std::string>{"001.00", "02.00", "03.00", ""}));
}

TEST(L209Records, MissingOrRowlessTableWritesNothing) {
  TempFolder missing;
  EXPECT_TRUE(test::RunWriter(WriteL209Records, missing).empty());
  TempFolder blanks;
  blanks.WriteCp932("L209.txt", "  \r\n\r\n");
  EXPECT_TRUE(test::RunWriter(WriteL209Records, blanks).empty());
}

TEST(L209Records, AtMost999Records) {
  TempFolder boring;
  std::string rows;
  for (int i = 1; i <= 1000; ++i) rows += TableRow(15, {{3, std::to_string(i % 100)}, {4, "12"}});
  boring.WriteCp932("L209.txt", rows);
  auto lines = test::RunWriter(WriteL209Records, boring);
  ASSERT_EQ(lines.size(), 1000u);  // the header and 999 records
  EXPECT_EQ(lines[0], R"("E","53393681001","000","999","12")");
  EXPECT_EQ(test::RecordFields(lines[1])[2], "001");
  EXPECT_EQ(test::RecordFields(lines[999])[2], "999");
  EXPECT_EQ(test::DataFields(lines[999])[0], "099.00");
}

TEST(L209Records, InvalidTextStopsTheRun) {
  TempFolder boring;
  boring.WriteBytes("L209.txt", ",,,\xff\r\n");
  Status s;
  EXPECT_TRUE(test::RunWriter(WriteL209Records, boring, &s).empty());
  EXPECT_EQ(s.fault, Fault::NotCp932);
}

}  // namespace
}  // namespace zk
