#include "records/layer_block.h"

#include <gtest/gtest.h>

#include "block_output.h"
#include "records/depth_text.h"

namespace zk {
namespace {

using test::RunBlock;
using test::TempFolder;

const std::string kId = "\"53393681001\"";

std::vector<std::string> Merged(const std::vector<LayerRow>& layers, const std::vector<ColourRow>& colours) {
  std::vector<std::string> shown;
  for (const MergedInterval& i : MergeLayersAndColours(layers, colours))
    shown.push_back(DepthText(static_cast<double>(i.depth)) + " " + i.soilCode + " [" + i.colourCodes + "]");
  return shown;
}

TEST(MergeLayersAndColours, EveryBoundaryOfEitherTable) {
  struct Case {
    const char* name;
    std::vector<LayerRow> layers;
    std::vector<ColourRow> colours;
    std::vector<std::string> intervals;
  };
  const Case cases[] = {
      {"boundaries of both tables",
       {{"1.00", "S1"}, {"3.00", "S2"}},
       {{2.0f, "01"}, {3.0f, "02"}},
       {"001.00 S1 [01]", "002.00 S2 [01]", "003.00 S2 [02]"}},
      {"colours deeper than the layers",
       {{"1.00", "S1"}},
       {{1.0f, "01"}, {2.5f, "02"}, {4.0f, "04"}},
       {"001.00 S1 [01]", "002.50 0000 [02]", "004.00 0000 [04]"}},
      {"layers deeper than the colours",
       {{"1", "S1"}, {"2", "S2"}, {"4", "S3"}},
       {{1.5f, "01"}},
       {"001.00 S1 [01]", "001.50 S2 [01]", "002.00 S2 [    ]", "004.00 S3 [    ]"}},
      {"equal last boundaries: no interval after them", {{"2", "S1"}}, {{2.0f, "01"}}, {"002.00 S1 [01]"}},
      {"no colours", {{"1", "S1"}, {"2", "S2"}}, {}, {"001.00 S1 [    ]", "002.00 S2 [    ]"}},
      {"no layers", {}, {{1.0f, "01"}, {2.0f, "02"}}, {"001.00 0000 [01]", "002.00 0000 [02]"}},
      {"neither", {}, {}, {}},
      // Held in single precision just below the written depth (0.69999999), the colour's
      // boundary still falls on the layer's: one interval, no second one of no thickness.
      {"0.7 in both tables: one boundary",
       {{"0.7", "S1"}, {"2", "S2"}},
       {{0.7f, "01"}, {2.0f, "02"}},
       {"000.70 S1 [01]", "002.00 S2 [02]"}},
      {"3.80 and 12.70 in both tables: one boundary each",
       {{"3.80", "S1"}, {"12.70", "S2"}},
       {{3.8f, "01"}, {12.7f, "02"}},
       {"003.80 S1 [01]", "012.70 S2 [02]"}},
      {"a centimetre apart: two boundaries",
       {{"12.69", "S1"}, {"12.70", "S2"}},
       {{12.7f, "01"}},
       {"012.69 S1 [01]", "012.70 S2 [01]"}},
      {"1.25, exact in single precision, is one boundary", {{"1.25", "S1"}}, {{1.25f, "01"}}, {"001.25 S1 [01]"}},
      {"a layer deeper than the end marker, no colours",
       {{"1", "S1"}, {"123456.7", "S2"}},
       {},
       {"001.00 S1 [    ]", "456.70 S2 [    ]"}},
      {"a colour deeper than the end marker, no more layers",
       {{"1", "S1"}},
       {{1.0f, "01"}, {123456.5f, "02"}},
       {"001.00 S1 [01]", "456.50 0000 [02]"}},
      {"a layer at the end marker's depth is still written", {{"99999.99", "S1"}}, {}, {"999.99 S1 [    ]"}},
      {"both at the end marker's depth",
       {{"99999.99", "S1"}, {"100000", "S2"}},
       {{99999.99f, "01"}},
       {"999.99 S1 [01]", "000.00 S2 [    ]"}},
      {"a depth that is no number is 0",
       {{"abc", "S1"}, {"1", "S2"}},
       {{0.5f, "01"}},
       {"000.00 S1 [01]", "000.50 S2 [01]", "001.00 S2 [    ]"}},
      {"depths out of order still end",
       {{"3", "S1"}, {"1", "S2"}},
       {{2.0f, "01"}},
       {"002.00 S1 [01]", "003.00 S1 [    ]", "001.00 S2 [    ]"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Merged(c.layers, c.colours), c.intervals) << c.name;
}

class WriteLayerBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    codes_.WriteCp932("Kishitu.txt",
                      "10,\" 砂混りシルト質粘性土 \",,,,\r\n"
                      "20,砂,,,,\r\n"
                      "30,軽石,,,,\r\n"
                      "0,表土,,,,\r\n");
    codeFolder_ = codes_.Drive() + "\\";
  }

  static std::string Record(const std::string& number, const std::string& rest) {
    return "\"B\"," + kId + ",\"" + number + "\"," + rest;
  }

  TempFolder codes_;
  TempFolder boring_;
  std::string codeFolder_;
};

TEST_F(WriteLayerBlockTest, MergedIntervalsWithSoilAndColour) {
  boring_.WriteCp932("X1.TXT", "1,1.00,10,a\r\n2,3.00,20,b\r\n3,5.5,99,c\r\n");
  boring_.WriteCp932("X3.TXT", "1,2.00,0102,,,,\r\n2,3.00,010213,,,,\r\n");
  auto result = RunBlock(test::LayerBlock, boring_, codeFolder_);
  ASSERT_TRUE(result.status) << result.status.Message();
  EXPECT_EQ(result.lines, (std::vector<std::string>{
                              Record("000", "\"004\""),
                              Record("001", "\"001.00\",\"0623\",\"砂混りシルト質粘性土\",\"**KC\",\"黒褐\""),
                              Record("002", "\"002.00\",\"0300\",\"砂\",\"**KC\",\"黒褐\""),
                              Record("003", "\"003.00\",\"0300\",\"砂\",\"*KCN\",\"黒褐濃\""),
                              Record("004", "\"005.50\",\"0000\",\"\",\"****\",\"\""),
                          }));
  EXPECT_EQ(result.bytes.substr(result.bytes.size() - 2), "\r\n");
}

TEST_F(WriteLayerBlockTest, BelowTheLastLayerTheSoilCodeIs0000) {
  boring_.WriteCp932("x1.txt", "1,1,30,\r\n");
  boring_.WriteCp932("x3.txt", "1,1,01,,,,\r\n2,2,02,,,,\r\n");
  auto result = RunBlock(test::LayerBlock, boring_, codeFolder_);
  ASSERT_TRUE(result.status);
  EXPECT_EQ(result.lines, (std::vector<std::string>{
                              Record("000", "\"002\""),
                              Record("001", "\"001.00\",\"0010\",\"軽石\",\"***K\",\"黒\""),
                              Record("002", "\"002.00\",\"0000\",\"表土\",\"***C\",\"褐\""),
                          }));
}

TEST_F(WriteLayerBlockTest, MissingEmptyAndRowlessTables) {
  struct Case {
    const char* name;
    const char* layers;  // nullptr: no table
    const char* colours;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"no layer table", nullptr, "1,1,01,,,,\r\n", {}},
      {"0-byte layer table", "", "1,1,01,,,,\r\n", {}},
      {"layer table without a complete row", " \r\n", nullptr, {Record("000", "\"000\"")}},
      {"layer table without a complete row, colours present",
       "1,2",
       "1,1,01,,,,\r\n",
       {Record("000", "\"001\""), Record("001", "\"001.00\",\"0000\",\"表土\",\"***K\",\"黒\"")}},
      {"a last layer row cut short is dropped",
       "1,1,20,\r\n2,2",
       nullptr,
       {Record("000", "\"001\""), Record("001", "\"001.00\",\"0300\",\"砂\",\"****\",\"\"")}},
      {"0-byte colour table",
       "1,1,20,\r\n",
       "",
       {Record("000", "\"001\""), Record("001", "\"001.00\",\"0300\",\"砂\",\"****\",\"\"")}},
      {"a last colour row cut short is dropped",
       "1,2,20,\r\n",
       "1,1,01,,,,\r\n2,1.5,02",
       {Record("000", "\"002\""), Record("001", "\"001.00\",\"0300\",\"砂\",\"***K\",\"黒\""),
        Record("002", "\"002.00\",\"0300\",\"砂\",\"****\",\"\"")}},
  };
  for (const Case& c : cases) {
    TempFolder boring;
    if (c.layers) boring.WriteCp932("X1.TXT", c.layers);
    if (c.colours) boring.WriteCp932("X3.TXT", c.colours);
    auto result = RunBlock(test::LayerBlock, boring, codeFolder_);
    ASSERT_TRUE(result.status) << c.name;
    EXPECT_EQ(result.lines, c.lines) << c.name;
  }
}

TEST_F(WriteLayerBlockTest, WithoutTheSoilNameTableEveryLayerIs0000) {
  codeFolder_ = boring_.Drive() + "\\";  // a folder without "Kishitu.txt"
  boring_.WriteCp932("X1.TXT", "1,1,10,\r\n");
  auto result = RunBlock(test::LayerBlock, boring_, codeFolder_);
  ASSERT_TRUE(result.status);
  EXPECT_EQ(result.lines.back(), Record("001", "\"001.00\",\"0000\",\"\",\"****\",\"\""));
}

TEST_F(WriteLayerBlockTest, UnreadableTablesStopTheRunWithTheirName) {
  const std::pair<const char*, long> tables[] = {{"X1.TXT", 2}, {"X3.TXT", 2}, {"Kishitu.txt", 2}};
  for (const auto& [name, line] : tables) {
    TempFolder boring;
    boring.WriteCp932("X1.TXT", "1,1,10,\r\n");
    boring.WriteCp932("X3.TXT", "1,1,01,,,,\r\n");
    const TempFolder& folder = std::string(name) == "Kishitu.txt" ? codes_ : boring;
    folder.WriteBytes(name, "1,1,10,\r\n\x80");
    auto result = RunBlock(test::LayerBlock, boring, codeFolder_);
    EXPECT_EQ(result.status.fault, Fault::NotCp932) << name;
    EXPECT_EQ(result.status.line, line) << name;
    EXPECT_NE(result.status.file.find(name), std::string::npos) << name;
  }
}

TEST_F(WriteLayerBlockTest, CountsBeyond999KeepTheirLastDigits) {
  std::string layers;
  for (int i = 1; i <= 1000; ++i) layers += std::to_string(i) + "," + std::to_string(i) + ",20,\r\n";
  boring_.WriteCp932("X1.TXT", layers);
  auto result = RunBlock(test::LayerBlock, boring_, codeFolder_);
  ASSERT_TRUE(result.status);
  ASSERT_EQ(result.lines.size(), 1001u);
  EXPECT_EQ(result.lines[0], Record("000", "\"000\""));
  EXPECT_EQ(result.lines[999], Record("999", "\"999.00\",\"0300\",\"砂\",\"****\",\"\""));
  EXPECT_EQ(result.lines[1000], Record("000", "\"000.00\",\"0300\",\"砂\",\"****\",\"\""));
}

}  // namespace
}  // namespace zk
