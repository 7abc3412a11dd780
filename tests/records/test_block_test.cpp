#include "records/test_block.h"

#include <gtest/gtest.h>

#include <limits>

#include "block_output.h"

namespace zk {
namespace {

using test::RunBlock;
using test::TempFolder;

const std::string kId = "\"53393681001\"";

TEST(NormaliseBlowCount, FieldsRowByRow) {
  struct Case {
    double n, p;
    const char* blowCount;
    const char* penetration;
  };
  const double huge = std::numeric_limits<double>::max();
  const Case cases[] = {
      // no blows: "00" and the penetration as it stands
      {0, 30, "00", "30"},
      {0, 5, "00", "05"},
      {0, 5.5, "00", ".5"},
      {0, 0, "00", "00"},
      {-3, 12, "00", "12"},
      {0, 123, "00", "23"},
      // below 50 blows over a penetration: scaled to 30 cm, rounded up
      {12, 30, "12", ""},
      {10, 20, "15", ""},
      {7, 25, "09", ""},   // 8.4
      {1, 300, "01", ""},  // 0.1 goes up to 1
      {5, 30, "05", ""},
      {10, 7, "43", ""},       // 42.857...
      {11, 13.2, "25", ""},    // 25.000000000000004 in double, 25 in single
      {29, 14.5, "60", ".5"},  // likewise 60; a fractional penetration keeps its last two
      {40, 20, "60", "20"},    // scaled to 50 or more: the penetration is kept
      {49, 15, "98", "15"},
      {33, 10, "99", "*"},  // 99 exactly
      {49, 1, "99", "*"},
      {49, 0.001, "99", "*"},   // beyond a 16-bit count
      {1, 1e-300, "99", "*"},   // beyond the single range
      {49, 1e-320, "99", "*"},  // beyond the double range
      // below 50 blows, no penetration: the count rounded, halves to even
      {30, 0, "30", ""},
      {30, -4, "30", ""},
      {12.5, 0, "12", ""},
      {13.5, 0, "14", ""},
      {0.4, 0, "00", ""},
      {49.5, 0, "50", "00"},  // rounds up to 50: the penetration taken as 0
      // 50 blows or more: rounded, halves to even
      {50, 8, "50", "08"},
      {50.5, 3, "50", "03"},
      {51.5, 3, "52", "03"},
      {60, 10, "60", "10"},
      {98.4, 2, "98", "02"},
      {98.5, 2, "98", "02"},
      {98.6, 2, "99", "*"},
      {120, 15, "99", "*"},
      {huge, 15, "99", "*"},
  };
  for (const Case& c : cases) {
    BlowCountFields fields = NormaliseBlowCount(c.n, c.p);
    EXPECT_EQ(fields.blowCount, c.blowCount) << c.n << " / " << c.p;
    EXPECT_EQ(fields.penetration, c.penetration) << c.n << " / " << c.p;
  }
}

TEST(WriteTestBlock, RecordsOfEveryCompleteRow) {
  TempFolder boring;
  boring.WriteCp932("X5.TXT",
                    "1,1.05,12,0,30,,,,,,\r\n"
                    "2,2.15,7,0,25,,,,,,\r\n"
                    "3,10.5,50.5,0,3,,,,,,\r\n"
                    "4,0.05,120,0,15,,,,,,\r\n"
                    "5,abc,x,0,30,,,,,,\r\n"
                    "6,12.345,10,0\r\n");  // cut short by the end: dropped
  auto result = RunBlock(WriteTestBlock, boring);
  ASSERT_TRUE(result.status) << result.status.Message();
  EXPECT_EQ(result.lines, (std::vector<std::string>{
                              "\"C\"," + kId + ",\"000\",\"005\"",
                              "\"C\"," + kId + ",\"001\",\"001.05\",\"12\",\"\"",
                              "\"C\"," + kId + ",\"002\",\"002.15\",\"09\",\"\"",
                              "\"C\"," + kId + ",\"003\",\"010.50\",\"50\",\"03\"",
                              "\"C\"," + kId + ",\"004\",\"000.05\",\"99\",\"*\"",
                              "\"C\"," + kId + ",\"005\",\"000.00\",\"00\",\"30\"",
                          }));
}

TEST(WriteTestBlock, RowsSpanLinesAndLinesHoldRows) {
  TempFolder boring;
  boring.WriteCp932("x5.txt", "1,1.5\r\n10,0,20,,,,,,\r\n2,2.5,5,0,0,,,,,,,3,3.5,10,0,20,,,,,,\r\n");
  auto result = RunBlock(WriteTestBlock, boring);
  ASSERT_TRUE(result.status);
  EXPECT_EQ(result.lines, (std::vector<std::string>{
                              "\"C\"," + kId + ",\"000\",\"003\"",
                              "\"C\"," + kId + ",\"001\",\"001.50\",\"15\",\"\"",
                              "\"C\"," + kId + ",\"002\",\"002.50\",\"05\",\"\"",
                              "\"C\"," + kId + ",\"003\",\"003.50\",\"15\",\"\"",
                          }));
}

TEST(WriteTestBlock, MissingEmptyAndRowlessTables) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {nullptr, {}},                                         // no table: no block
      {"", {}},                                              // 0 bytes: no block
      {" \r\n\r\n", {"\"C\"," + kId + ",\"000\",\"000\""}},  // present, no complete row
      {"1,2,3", {"\"C\"," + kId + ",\"000\",\"000\""}},
  };
  for (const auto& [table, lines] : cases) {
    TempFolder boring;
    if (table) boring.WriteCp932("X5.TXT", table);
    auto result = RunBlock(WriteTestBlock, boring);
    ASSERT_TRUE(result.status);
    EXPECT_EQ(result.lines, lines) << (table ? table : "(none)");
  }
}

TEST(WriteTestBlock, CountsBeyond999KeepTheirLastDigits) {
  TempFolder boring;
  std::string table;
  for (int i = 1; i <= 1001; ++i) table += std::to_string(i) + ",1,10,0,30,,,,,,\r\n";
  boring.WriteCp932("X5.TXT", table);
  auto result = RunBlock(WriteTestBlock, boring);
  ASSERT_TRUE(result.status);
  ASSERT_EQ(result.lines.size(), 1002u);
  EXPECT_EQ(result.lines[0], "\"C\"," + kId + ",\"000\",\"001\"");
  EXPECT_EQ(result.lines[999], "\"C\"," + kId + ",\"999\",\"001.00\",\"10\",\"\"");
  EXPECT_EQ(result.lines[1000], "\"C\"," + kId + ",\"000\",\"001.00\",\"10\",\"\"");
  EXPECT_EQ(result.lines[1001], "\"C\"," + kId + ",\"001\",\"001.00\",\"10\",\"\"");
}

TEST(WriteTestBlock, UnreadableTableStopsTheRunWithItsName) {
  TempFolder boring;
  boring.WriteBytes("X5.TXT", "1,1.0,10,0,30,,,,,,\r\n2,\x80");
  auto result = RunBlock(WriteTestBlock, boring);
  EXPECT_EQ(result.status.fault, Fault::NotCp932);
  EXPECT_EQ(result.status.line, 2);
  EXPECT_NE(result.status.file.find("X5.TXT"), std::string::npos);
}

}  // namespace
}  // namespace zk
