#include "picture/boring_log_svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "support/exchange_readback.h"
#include "support/test_util.h"
#include "support/xml_scan.h"

namespace zk {
namespace {

using test::TempFolder;

const std::string kFixture = ZK_FIXTURES "/exchange/53393681.001";

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<double> Numbers(const test::XmlScan& scan, const std::string& element, const std::string& attribute) {
  std::vector<double> values;
  for (const auto& e : scan.elements)
    if (e.name == element && e.attributes.count(attribute)) values.push_back(std::stod(e.attributes.at(attribute)));
  return values;
}

BoringLog FixtureLog() {
  auto records = test::ExpectReadsBack(kFixture);
  BoringLog log;
  Status s = CollectBoringLog(records, kFixture, log);
  EXPECT_TRUE(s) << s.Message();
  return log;
}

TEST(MetresText, DropsLeadingZerosOfDepthTexts) {
  const std::pair<std::string, std::string> cases[] = {
      {"001.05", "1.05"},   {"000.70", "0.70"}, {"012.34", "12.34"},    {"234.50", "234.50"}, {"0004.36", "4.36"},
      {"100.00", "100.00"}, {"", ""},           {"00-1.50", "00-1.50"}, {"abc", "abc"},       {".50", ".50"},
      {"12", "12"},
  };
  for (const auto& [field, text] : cases) EXPECT_EQ(MetresText(field), text) << field;
}

TEST(BoringLogSvg, HoldsEveryIntervalAndEveryBlowCount) {
  BoringLog log = FixtureLog();
  ASSERT_EQ(log.intervals.size(), 5u);
  ASSERT_EQ(log.tests.size(), 7u);
  std::string svg = BoringLogSvg(log, "53393681.001");
  test::XmlScan scan = test::ScanXml(svg);
  ASSERT_TRUE(scan.ok()) << scan.error;
  ASSERT_FALSE(scan.elements.empty());
  EXPECT_EQ(scan.elements.front().name, "svg");
  EXPECT_NE(scan.elements.front().attributes["font-family"].find("Noto Sans CJK JP"), std::string::npos);

  auto texts = scan.TextsOf("text");
  for (const char* depth : {"1.00", "3.50", "6.20", "8.05", "10.69"}) EXPECT_TRUE(Has(texts, depth)) << depth;
  for (const char* soil : {"盛土 (0100)", "関東ローム (0210)", "シルト質粘土 (0321)", "細砂 (0432)", "砂礫 (0400)"})
    EXPECT_TRUE(Has(texts, soil)) << soil;
  for (const char* colour : {"黒褐", "褐", "灰", "灰青", "—"}) EXPECT_TRUE(Has(texts, colour)) << colour;
  for (const char* blows : {"3", "9", "0/30", "15", "60/20", "50/8", "99以上"}) EXPECT_TRUE(Has(texts, blows)) << blows;
  for (const char* title : {"ボーリング ID: 53393681001", "メッシュコード: 53393681", "緯度: 35°39′29.1″",
                            "経度: 139°45′45.5″", "孔口標高: 4.36 m", "総掘進長: 10.69 m",
                            "調査件名: 東京駅前地質調査業務", "ボーリング名: No.1", "交換ファイル: 53393681.001"})
    EXPECT_TRUE(Has(texts, title)) << title;
}

TEST(BoringLogSvg, DrawsAtTheDepthsAndBlowCountsWritten) {
  std::string svg = BoringLogSvg(FixtureLog(), "53393681.001");
  test::XmlScan scan = test::ScanXml(svg);
  ASSERT_TRUE(scan.ok()) << scan.error;
  // 40 pixels a metre from y = 190; N 0 at x = 480, 6 pixels a blow.
  EXPECT_EQ(Numbers(scan, "circle", "cx"), (std::vector<double>{498, 534, 480, 570}));
  EXPECT_EQ(Numbers(scan, "circle", "cy"), (std::vector<double>{236, 276, 316, 396}));
  std::vector<double> ys = Numbers(scan, "rect", "y"), heights = Numbers(scan, "rect", "height");
  ys.erase(ys.begin());  // the background
  heights.erase(heights.begin());
  EXPECT_EQ(ys, (std::vector<double>{190, 230, 330, 438, 512}));
  EXPECT_EQ(heights, (std::vector<double>{40, 100, 108, 74, 105.6}));
  auto edgeMarks = std::count_if(scan.elements.begin(), scan.elements.end(), [](const auto& e) {
    return e.name == "path" && e.attributes.at("d").rfind("M780,", 0) == 0;
  });
  EXPECT_EQ(edgeMarks, 3);  // 60, 50 and 99 at the edge of the axis
}

TEST(BoringLogSvg, FieldTextCannotBreakThePicture) {
  BoringLog log;
  log.boringId = "53393681001";
  log.title = "<調査> & \"試験\" 'A'";
  log.intervals.push_back({1, "001.00", "0100", "砂 & <礫>\x01", "**KC", "黒褐"});
  std::string svg = BoringLogSvg(log, "a&b.001");
  test::XmlScan scan = test::ScanXml(svg);
  ASSERT_TRUE(scan.ok()) << scan.error;
  auto texts = scan.TextsOf("text");
  EXPECT_TRUE(Has(texts, "調査件名: <調査> & \"試験\" 'A'"));
  EXPECT_TRUE(Has(texts, "砂 & <礫>\uFFFD (0100)"));
  EXPECT_TRUE(Has(texts, "交換ファイル: a&b.001"));
}

TEST(BoringLogSvg, HeaderOnlyAndDeepBoringsStayInThePicture) {
  BoringLog headerOnly;
  headerOnly.boringId = "53393681001";
  test::XmlScan scan = test::ScanXml(BoringLogSvg(headerOnly, "53393681.001"));
  ASSERT_TRUE(scan.ok()) << scan.error;
  EXPECT_TRUE(Numbers(scan, "circle", "cx").empty());
  EXPECT_TRUE(Has(scan.TextsOf("text"), "孔口標高: —"));

  // Every label inside the picture, however crowded the depths.
  BoringLog deep;
  deep.totalDepth = "999.99";
  for (int m = 1; m <= 999; ++m) deep.tests.push_back({m + 0.15, "", m % 70, ""});
  deep.intervals.push_back({999.99, "999.99", "0400", "砂礫", "****", ""});
  BoringLog crowded;
  for (int i = 0; i < 40; ++i) crowded.intervals.push_back({10.5 + i * 0.01, "010.50", "0100", "砂", "****", ""});
  for (int i = 0; i < 40; ++i) crowded.tests.push_back({10.6, "010.60", 10, ""});
  for (const BoringLog* log : {&deep, &crowded}) {
    scan = test::ScanXml(BoringLogSvg(*log, "53393681.001"));
    ASSERT_TRUE(scan.ok()) << scan.error;
    double height = std::stod(scan.elements.front().attributes["height"]);
    for (double y : Numbers(scan, "circle", "cy")) ASSERT_LE(y, height);
    for (double y : Numbers(scan, "text", "y")) ASSERT_LE(y, height - 10);
  }
}

TEST(CollectBoringLog, RefusesRecordsItCannotDraw) {
  const std::string ok = "\"A\",\"1\",\"000\"\r\n";
  struct Case {
    const char* name;
    std::string record;
    const char* says;
  };
  const Case cases[] = {
      {"B too short", "\"B\",\"1\",\"001\",\"001.00\",\"0100\"\r\n", "項目が 5 つ"},
      {"B depth without centimetres", "\"B\",\"1\",\"001\",\"1.5\",\"0100\",\"砂\",\"****\",\"\"\r\n", "深度「1.5」"},
      {"B depth of two-digit metres", "\"B\",\"1\",\"001\",\"01.50\",\"0100\",\"砂\",\"****\",\"\"\r\n",
       "深度「01.50」"},
      {"B depth not a number", "\"B\",\"1\",\"001\",\"abc\",\"0100\",\"砂\",\"****\",\"\"\r\n", "深度「abc」"},
      {"B negative depth", "\"B\",\"1\",\"001\",\"0-1.50\",\"0100\",\"砂\",\"****\",\"\"\r\n", "深度"},
      {"C too short", "\"C\",\"1\",\"001\",\"001.15\",\"10\"\r\n", "項目が 5 つ"},
      {"C blow count not a number", "\"C\",\"1\",\"001\",\"001.15\",\"1x\",\"\"\r\n", "N 値「1x」"},
      {"C blow count of three digits", "\"C\",\"1\",\"001\",\"001.15\",\"100\",\"\"\r\n", "N 値「100」"},
      {"C empty blow count", "\"C\",\"1\",\"001\",\"001.15\",\"\",\"\"\r\n", "N 値「」"},
  };
  for (const auto& c : cases) {
    std::vector<ExchangeRecord> records;
    ASSERT_TRUE(ParseExchangeRecords(*platform::ToCp932(ok + c.record), "f.001", records)) << c.name;
    BoringLog log;
    Status s = CollectBoringLog(records, "f.001", log);
    EXPECT_EQ(s.fault, Fault::BadRecord) << c.name;
    EXPECT_EQ(s.line, 2) << c.name;
    EXPECT_NE(s.Message().find(c.says), std::string::npos) << c.name << ": " << s.Message();
  }
}

TEST(CollectBoringLog, HeaderRecordsOfTheBlocksAreNotDrawn) {
  std::vector<ExchangeRecord> records;
  ASSERT_TRUE(
      ParseExchangeRecords("\"A\",\"1\",\"000\"\r\n\"B\",\"1\",\"000\",\"001\"\r\n\"C\",\"1\",\"000\",\"000\"\r\n"
                           "\"D\",\"1\",\"001\",\"x\"\r\n",
                           "f", records));
  BoringLog log;
  ASSERT_TRUE(CollectBoringLog(records, "f", log));
  EXPECT_TRUE(log.intervals.empty());
  EXPECT_TRUE(log.tests.empty());
}

TEST(WriteBoringLogPicture, WritesNameDotSvgOrNothing) {
  TempFolder dir;
  std::filesystem::create_directory(dir.path() / "pictures");
  std::filesystem::copy_file(kFixture, dir.path() / "53393681.001");
  std::string written;
  ASSERT_TRUE(
      WriteBoringLogPicture(test::EnvironmentDrives(), dir.Drive("53393681.001"), dir.Drive("pictures"), written));
  EXPECT_EQ(written, dir.Drive("pictures") + "\\53393681.001.svg");
  std::string svg = test::ReadBytes(dir.path() / "pictures" / "53393681.001.svg");
  EXPECT_TRUE(test::ScanXml(svg).ok());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "pictures"),
                          std::filesystem::directory_iterator()),
            1);

  dir.WriteBytes("53393681.002",
                 "\"A\",\"53393681002\",\"000\"\r\n\"C\",\"53393681002\",\"001\",\"1.15\",\"03\",\"\"\r\n");
  Status s =
      WriteBoringLogPicture(test::EnvironmentDrives(), dir.Drive("53393681.002"), dir.Drive("pictures"), written);
  EXPECT_EQ(s.fault, Fault::BadRecord);
  EXPECT_EQ(s.line, 2);
  EXPECT_TRUE(written.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "pictures" / "53393681.002.svg"));

  EXPECT_EQ(
      WriteBoringLogPicture(test::EnvironmentDrives(), dir.Drive("53393681.001"), dir.Drive("none"), written).fault,
      Fault::NotFound);
  EXPECT_EQ(
      WriteBoringLogPicture(test::EnvironmentDrives(), dir.Drive("53393681.009"), dir.Drive("pictures"), written).fault,
      Fault::NotFound);
}

}  // namespace
}  // namespace zk
