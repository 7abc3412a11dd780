#include "records/header_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "conversion/run.h"
#include "platform/drives.h"
#include "support/fake_window.h"
#include "support/run_program.h"
#include "support/settings.h"
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using Record = std::vector<std::string>;

TEST(FixedText, WholeDigitsAndCentimetresCutAfterTheGuard) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::tuple<double, std::size_t, const char*> cases[] = {
      {3, 3, "003.00"},
      {0, 3, "000.00"},
      {12.345, 3, "012.34"},
      {1.05, 3, "001.05"},
      {0.999, 3, "000.99"},
      {5.5 - 1.1344, 4, "0004.36"},
      {5.5 - 0.8402, 4, "0004.66"},  // 4.6598: within the guard of the next centimetre
      // Held just below the written decimals: the 0.001 guard keeps them.
      {11.2, 4, "0011.20"},                        // 11.1999999999999993
      {static_cast<double>(11.2f), 4, "0011.20"},  // 11.1999998
      {static_cast<double>(10.7f), 3, "010.70"},   // 10.6999998
      {static_cast<double>(15.45f), 3, "015.45"},
      {0.995, 3, "000.99"},
      {-1.5, 4, "00-1.50"},  // the minus sign inside the zero padding
      {-0.25, 4, "00-0.25"},
      {-12.5, 4, "0-12.50"},
      {-0.0, 3, "000.00"},
      {1234.5, 3, "234.50"},  // too wide: the last integer digits, still two decimals
      {inf, 3, "000.00"},
      {-inf, 4, "0000.00"},
      {std::nan(""), 3, "000.00"},
  };
  for (const auto& [value, width, expected] : cases) EXPECT_EQ(FixedText(value, width), expected) << value;
}

// The fields of a record line, without their quotes.
Record FieldsOf(const std::string& line) {
  Record fields;
  std::size_t at = 0;
  while (at < line.size()) {
    std::size_t close = line.find('"', at + 1);
    fields.push_back(line.substr(at + 1, close - at - 1));
    at = close + 2;
  }
  return fields;
}

// The records a boring's title data give, with the boring folder and code-table folder of the
// test (no tables unless a test writes them).
class HeaderTest : public ::testing::Test {
 protected:
  void SetUp() override { SampleTitles(); }
  // The boring and code tables as a run takes them.
  BoringSnapshot Taken() const {
    return BoringSnapshot::Take(test::EnvironmentDrives(), source.Drive(), codes.Drive() + "\\");
  }

  // The sample boring's title data.
  void SampleTitles() {
    titles = TitleTables{};
    const char* t1[] = {"",
                        "東京駅前地質調査業務",
                        "1",
                        "",
                        "12",
                        "",
                        "",
                        "2026",
                        "11",
                        "",
                        "No.1",
                        "35",
                        "39",
                        "29.1",
                        "139",
                        "45",
                        "45.5",
                        "",
                        "  調査会社 太郎  "};
    for (std::size_t i = 1; i < std::size(t1); ++i) titles.t1[i] = t1[i];
    for (std::size_t i = 1; i <= 41; ++i) titles.t2[i] = std::to_string(i);
    titles.t2[17] = "2";
    titles.t2[19] = "5.5";
    titles.t2[23] = "-12.5";
    titles.t2[25] = "90";
    titles.t2[26] = "45";
    titles.t2[31] = "3";
    const char* t4[] = {
        "",     "13101",        "1234",   "", "2", "567890", "千代田区", "丸の内", "東京都千代田区丸の内一丁目",
        "東京", "ロータリー式", "油圧式", "", "",  ""};
    for (std::size_t i = 1; i < std::size(t4); ++i) titles.t4[i] = t4[i];
  }

  std::vector<Record> Write(long sequence = 1) {
    TempFolder destination;
    ExchangeFile out;
    EXPECT_TRUE(out.Create(test::EnvironmentDrives(), destination.Drive(), "53393681.001"));
    std::string id;
    BoringSnapshot taken = Taken();
    Status s = WriteHeaderRecords(out, titles, taken, "53393681", sequence, id, flags, CollectTestNames(taken));
    EXPECT_TRUE(s) << s.Message();
    boringId = id;
    EXPECT_TRUE(out.Commit());
    std::vector<Record> records;
    for (const auto& line : test::SplitCrLf(test::ReadCp932(destination.path() / "53393681.001")))
      records.push_back(FieldsOf(line));
    return records;
  }
  // Field n (from 1) of record sub (0 to 4).
  std::string Field(int sub, std::size_t n) {
    auto records = Write();
    if (records.size() != 5 || records[static_cast<std::size_t>(sub)].size() < n) return "<no such field>";
    return records[static_cast<std::size_t>(sub)][n - 1];
  }

  TitleTables titles;
  TempFolder source, codes;
  FlagArray flags{};
  std::string boringId;
};

TEST_F(HeaderTest, SampleBoring) {
  auto records = Write();
  const std::vector<Record> expected = {
      {"A", "53393681001", "000"},
      {"A", "53393681001", "001", "東京駅前地質調査業務"},
      {"A", "53393681001", "002", "No.1", "13101", "1234", "2", "0012567890"},
      {"A", "53393681001", "003", "3539291", "13945455", "0004.36", "千代田区丸の内", "東京都千代田区丸の内一丁目",
       "090", "045", "3", "000.00", "012.50", "000000000000000", "000000000"},
      {"A", "53393681001", "004", "東京", "ロータリー式", "油圧式", "", "", "", "2026", "11", "調査会社 太郎"},
  };
  EXPECT_EQ(records, expected);
  EXPECT_EQ(boringId, "\"53393681001\"");
}

TEST_F(HeaderTest, BoringIdOfTheSequenceNumber) {
  const std::pair<long, const char*> cases[] = {
      {1, "\"53393681001\""}, {42, "\"53393681042\""}, {999, "\"53393681999\""}, {1000, "\"53393681000\""}};
  for (const auto& [sequence, id] : cases) {
    auto records = Write(sequence);
    EXPECT_EQ(boringId, id);
    for (const auto& r : records) EXPECT_EQ("\"" + r[1] + "\"", id) << sequence;
  }
}

TEST_F(HeaderTest, MissingTitl04) {
  titles.t4 = TitleTables{}.t4;
  auto records = Write();
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[2], (Record{"A", "53393681001", "002", "No.1", "*0000", "*000", "0", "0012000000"}));
  EXPECT_EQ(records[3][6], "");
  EXPECT_EQ(records[3][7], "");
  EXPECT_EQ(records[4], (Record{"A", "53393681001", "004", "", "", "", "", "", "", "2026", "11", "調査会社 太郎"}));
}

struct FieldCase {
  const char* name;
  std::vector<std::tuple<int, std::size_t, std::string>> titles;  // table 1, 2 or 4; entry; text
  int record;
  std::size_t field;
  std::string expected;
};

TEST_F(HeaderTest, FieldsFromTheTitleData) {
  const FieldCase cases[] = {
      {"record 001 as it stands", {{1, 1, " 業務 名 "}}, 1, 4, " 業務 名 "},
      {"code of 5 digits", {{4, 1, "13101"}}, 2, 5, "13101"},
      {"code too long keeps its last digits", {{4, 1, "123456"}}, 2, 5, "23456"},
      {"code with a fraction", {{4, 1, "12.5"}}, 2, 5, "012.5"},
      {"code 0", {{4, 1, "0"}}, 2, 5, "*0000"},
      {"code not a number", {{4, 1, "abc"}}, 2, 5, "*0000"},
      {"negative code", {{4, 1, "-5"}}, 2, 5, "*0000"},
      {"second code short", {{4, 2, "12"}}, 2, 6, "0012"},
      {"second code empty", {{4, 2, ""}}, 2, 6, "*000"},
      {"number of field 7", {{4, 4, "2.50"}}, 2, 7, "2.5"},
      {"field 8 texts padded", {{1, 4, "7"}, {4, 5, "89"}}, 2, 8, "0007000089"},
      {"field 8 texts cut", {{1, 4, "12345"}, {4, 5, "1234567"}}, 2, 8, "2345234567"},
      {"seconds 59.96 cut to tenths", {{1, 13, "59.96"}}, 3, 4, "3539599"},
      {"minutes 5", {{1, 12, "5"}}, 3, 4, "3505291"},
      {"minutes 5.0 used as text", {{1, 12, "5.0"}}, 3, 4, "35.0291"},
      {"degrees with blanks", {{1, 11, " 35 "}}, 3, 4, "3539291"},
      {"seconds 0", {{1, 13, ""}}, 3, 4, "3539000"},
      {"longitude", {{1, 14, "139"}, {1, 15, "5"}, {1, 16, "5.55"}}, 3, 5, "13905055"},
      {"longitude degrees short", {{1, 14, "39"}}, 3, 5, "03945455"},
      {"datum 2", {{2, 17, "2"}, {2, 19, "5.5"}}, 3, 6, "0004.36"},
      {"datum 8", {{2, 17, "8"}, {2, 19, "5.5"}}, 3, 6, "0004.66"},  // 4.6598 with the 0.001 guard
      {"elevation 11.20", {{2, 17, "1"}, {2, 19, "11.20"}}, 3, 6, "0011.20"},
      {"datum 3", {{2, 17, "3"}, {2, 19, "5.5"}}, 3, 6, "0004.62"},
      {"datum 2.0 is 2", {{2, 17, "2.0"}, {2, 19, "5.5"}}, 3, 6, "0004.36"},
      {"other datum", {{2, 17, "1"}, {2, 19, "5.5"}}, 3, 6, "0005.50"},
      {"no datum", {{2, 17, ""}, {2, 19, "5.5"}}, 3, 6, "0005.50"},
      {"below the datum", {{2, 17, "1"}, {2, 19, "-1.5"}}, 3, 6, "00-1.50"},
      {"below the datum after reduction", {{2, 17, "2"}, {2, 19, "0.5"}}, 3, 6, "00-0.63"},
      {"no elevation", {{2, 17, "1"}, {2, 19, ""}}, 3, 6, "0000.00"},
      {"fields 7 and 8 as they stand", {{4, 6, " 区"}, {4, 7, "町 "}}, 3, 7, " 区町 "},
      {"field 9", {{2, 25, "5.9"}}, 3, 9, "005"},
      {"field 9 empty", {{2, 25, ""}}, 3, 9, "000"},
      {"direction 180", {{2, 26, "180"}}, 3, 10, ""},
      {"direction 0", {{2, 26, "0"}}, 3, 10, ""},
      {"direction empty", {{2, 26, ""}}, 3, 10, ""},
      {"direction 45", {{2, 26, "45"}}, 3, 10, "045"},
      {"direction 270.5", {{2, 26, "270.5"}}, 3, 10, "270"},
      {"class empty", {{2, 31, ""}}, 3, 11, "4"},
      {"class 0", {{2, 31, "0"}}, 3, 11, "4"},
      {"class 7", {{2, 31, "7"}}, 3, 11, "4"},
      {"class -2", {{2, 31, "-2"}}, 3, 11, "4"},
      {"class 3", {{2, 31, "3"}}, 3, 11, "3"},
      {"class 1", {{2, 31, "1"}}, 3, 11, "1"},
      {"class 4", {{2, 31, "4"}}, 3, 11, "4"},
      {"class 2.5 not cut", {{2, 31, "2.5"}}, 3, 11, "2.5"},
      {"negative depth of field 13", {{2, 23, "-12.5"}}, 3, 13, "012.50"},
      {"depth of field 13", {{2, 23, "3.456"}}, 3, 13, "003.45"},
      {"field 13 empty", {{2, 23, ""}}, 3, 13, "000.00"},
      {"year short", {{1, 7, "26"}}, 4, 10, "0026"},
      {"year empty", {{1, 7, ""}}, 4, 10, "0000"},
      {"month 5", {{1, 8, "5"}}, 4, 11, "05"},
      {"month with a fraction", {{1, 8, "11.9"}}, 4, 11, "11"},
      {"name trimmed", {{1, 18, "  a b  "}}, 4, 12, "a b"},
      {"full-width blank stays", {{1, 18, "　a"}}, 4, 12, "　a"},
  };
  for (const auto& c : cases) {
    SampleTitles();
    for (const auto& [table, entry, text] : c.titles) {
      auto& slots = table == 1 ? titles.t1 : table == 2 ? titles.t2 : titles.t4;
      slots[entry] = text;
    }
    EXPECT_EQ(Field(c.record, c.field), c.expected) << c.name;
  }
}

TEST_F(HeaderTest, TotalDepthFromTheLayerTable) {
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, "000.00"},
      {"1,3.5,a,b\r\n2,10.7,c,d\r\n3,8,e,f\r\n", "010.70"},  // 10.6999998 in single precision
      {"1,15.45,a,b\r\n", "015.45"},
      {"1,2,a,b\r\n2,30", "002.00"},  // the last row cut short is no layer
  };
  for (const auto& [x1, expected] : cases) {
    fs::remove(source.path() / "X1.TXT");
    if (x1) source.WriteCp932("X1.TXT", x1);
    EXPECT_EQ(Field(3, 12), expected) << (x1 ? x1 : "no X1");
  }
}

// 68 fields with one name in column 30.
std::string TestRow(const std::string& name) { return std::string(29, ',') + name + std::string(38, ',') + "\r\n"; }

TEST_F(HeaderTest, FlagListsOfRecord003) {
  std::string l9;
  for (int i = 1; i <= 15; ++i) l9 += std::to_string(i) + ",試験" + std::to_string(i) + "\r\n";
  codes.WriteCp932("L9.txt", l9);
  source.WriteCp932("X6.TXT", TestRow("試験2") + TestRow("試験12"));
  source.WriteCp932("X7.TXT", TestRow("その他"));
  source.WriteCp932("X5.TXT", "1");
  source.WriteCp932("L202.txt", "1");
  auto records = Write();
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[3][13], "010000000010000");
  EXPECT_EQ(records[3][14], "100000011");
  EXPECT_EQ(FlagDigits(flags, 1, 15), "100000011000000") << "the table flags stay for the run";
}

TEST_F(HeaderTest, CodeTableFaultStopsBeforeRecord003) {
  source.WriteCp932("X6.TXT", TestRow("試験2"));
  TempFolder destination;
  ExchangeFile out;
  ASSERT_TRUE(out.Create(test::EnvironmentDrives(), destination.Drive(), "53393681.001"));
  std::string id;
  BoringSnapshot taken = Taken();
  Status s = WriteHeaderRecords(out, titles, taken, "53393681", 1, id, flags, CollectTestNames(taken));
  EXPECT_EQ(s.fault, Fault::CodeTable);
  EXPECT_NE(s.Message().find("L9.txt"), std::string::npos) << s.Message();
}

// A whole run over a boring with "X6.TXT" whose code table is missing or short.
TEST(HeaderRun, MissingOrShortL9StopsTheRunAndLeavesNoFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"missing", nullptr},
      {"14 rows",
       "1,a\r\n2,b\r\n3,c\r\n4,d\r\n5,e\r\n6,f\r\n7,g\r\n8,h\r\n9,i\r\n10,j\r\n11,k\r\n12,l\r\n13,m\r\n14,n\r\n"},
  };
  for (const auto& [name, l9] : cases) {
    TempFolder boring, codes, destination;
    test::CopyFolder(fs::path(ZK_SAMPLE) / "B001", boring.path());
    fs::remove(boring.path() / "L9.txt");
    if (l9) codes.WriteCp932("L9.txt", l9);
    test::FakeWindow ui;
    ui.context.codeTableFolder = codes.Drive() + "\\";
    ui.source = boring.Drive();
    ui.destination = destination.Drive();
    RunResult result = RunConversion(ui, ui.context);
    EXPECT_FALSE(result.converted) << name;
    ASSERT_EQ(ui.messages.size(), 1u) << name;
    EXPECT_NE(ui.messages[0].text.find("L9.txt"), std::string::npos) << name << ": " << ui.messages[0].text;
    EXPECT_TRUE(fs::is_empty(destination.path())) << name;
    EXPECT_FALSE(fs::exists(boring.path() / "BORLING.NO")) << name;
  }
}

// The command line on the sample boring, with the setting in a settings file.
TEST(HeaderRun, SampleThroughTheCommandLine) {
  TempFolder system, boring, destination;
  test::CopyFolder(fs::path(ZK_SAMPLE) / "B001", boring.path());
  fs::remove(boring.path() / "BORLING.NO");
  system.WriteBytes("RaroreD5.ini",
                    "[zk2morvex]\r\n" + *test::EnvironmentDrives().ToDriveForm(ZK_SAMPLE "/codes") + "\\\r\n");
  test::ProgramResult run =
      test::RunProgram(ZK_CLI, {"--yes", "--dest", destination.path().string(), boring.path().string()},
                       {{"ZK_SYSDIR", system.path().string()}}, system.path());
  ASSERT_EQ(run.code, 0) << run.err;
  auto lines = test::SplitCrLf(test::ReadCp932(destination.path() / "53393681.001"));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "\"A\",\"53393681001\",\"000\"");
  Record r003 = FieldsOf(lines[3]);
  ASSERT_GE(r003.size(), 5u);
  EXPECT_EQ(r003[3], "3539291");
  EXPECT_EQ(r003[4], "13945455");
}

TEST(HeaderRun, CommandLineWithoutSettingStops) {
  const std::pair<const char*, const char*> cases[] = {{"no settings file", nullptr}, {"ends after line 1", "[x]\r\n"}};
  for (const auto& [name, ini] : cases) {
    TempFolder system, destination;
    if (ini) system.WriteBytes("RaroreD5.ini", ini);
    test::ProgramResult run =
        test::RunProgram(ZK_CLI, {"--yes", "--dest", destination.path().string(), ZK_SAMPLE "/B001"},
                         {{"ZK_SYSDIR", system.path().string()}}, system.path());
    EXPECT_EQ(run.code, 1) << name;
    // The message, and on the line below the settings file and what is wrong with it.
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), kNoVuredaMessage) << name;
    EXPECT_NE(run.err.find("\n「" + (system.path() / "RaroreD5.ini").string() + "」: "), std::string::npos)
        << name << ": " << run.err;
    EXPECT_TRUE(fs::is_empty(destination.path())) << name;
  }
}

}  // namespace
}  // namespace zk
