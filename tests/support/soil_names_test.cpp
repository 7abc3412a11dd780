#include "support/soil_names.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/test_util.h"

namespace zk {
namespace {

using test::TempFolder;

// A soil-name table whose entry i (from 1) has the code i and the i-th name.
SoilNameTable TableOf(const TempFolder& codes, const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) text += std::to_string(i + 1) + ",\"" + names[i] + "\",,,,\r\n";
  codes.WriteCp932("Kishitu.txt", text);
  SoilNameTable table;
  EXPECT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), table, codes.Drive() + "\\"));
  return table;
}

TEST(SplitSoilName, MixtureAdjectiveAndMain) {
  struct Case {
    const char* name;
    const char* mixture;
    const char* adjective;
    const char* main;
  };
  const Case cases[] = {
      {"砂混りシルト質粘性土", "砂混り", "シルト質", "粘性土"},
      {"礫混じり砂", "礫混じり", "", "砂"},
      {"有機質土", "", "", "有機質土"},  // taken whole, not cut at "質"
      {"高有機質土", "", "", "高有機質土"},
      {"礫質土", "", "", "礫質土"},
      {"砂質土", "", "", "砂質土"},
      {"火山灰質粘性土", "", "", "火山灰質粘性土"},
      {"シルト混じり砂質土", "シルト混じり", "", "砂質土"},
      {"シルト質砂", "", "シルト質", "砂"},
      {"砂質粘土", "", "砂質", "粘土"},
      {"砂混り", "砂混り", "", ""},  // nothing after the mixture
      {"砂混じり", "砂混じり", "", ""},
      {"砂質", "", "砂質", ""},      // nothing after the adjective
      {"混り砂", "", "", "混り砂"},  // a mixture needs a character before it
      {"混じり砂", "", "", "混じり砂"},
      {"質土", "", "", "質土"},
      {"混り砂混り礫", "", "", "混り砂混り礫"},  // only the first "混り" is looked at
      {"砂混り礫混じり粘土", "砂混り", "", "礫混じり粘土"},
      {"砂混りシルト質", "砂混り", "シルト質", ""},
      {"砂 質土", "", "砂 質", "土"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SplitName split = SplitSoilName(c.name);
    EXPECT_EQ(split.mixture, c.mixture) << c.name;
    EXPECT_EQ(split.adjective, c.adjective) << c.name;
    EXPECT_EQ(split.main, c.main) << c.name;
  }
}

TEST(ClassifyRockName, RocksAndSpecialMaterials) {
  const std::pair<const char*, const char*> cases[] = {
      {"硬岩", "091"},   {"中硬岩", "092"}, {"軟岩", "092"},   {"風化岩", "092"},   {"玉石", "093"},
      {"浮石", "010"},   {"軽石", "010"},   {"シラス", "020"}, {"スコリア", "030"}, {"火山灰", "040"},
      {"ローム", "050"}, {"黒ボク", "060"}, {"マサ", "070"},   {"表土", "000"},     {"埋土", "001"},
      {"廃棄土", "002"}, {"玉石混り", ""},  {"硬岩 ", ""},     {"砂", ""},          {"", ""},
  };
  for (const auto& [name, code] : cases) EXPECT_EQ(ClassifyRockName(name), code) << name;
}

TEST(ClassifySoilName, CodesOfNames) {
  const std::pair<std::string, const char*> cases[] = {
      {"砂混りシルト質粘性土", "0623"},
      {"礫混じり砂", "0300"},  // 礫混じり is no listed mixture
      {"有機質土", "0700"},
      {"高有機質土", "0900"},
      {"腐植土", "0900"},
      {"シルト質砂", "0320"},
      {"砂質粘土", "0010"},  // 粘土 is no listed main name
      {"軽石", "0010"},
      {"硬岩", "0091"},
      {"表土", "0000"},
      {"埋土", "0001"},
      {"礫", "0100"},
      {"礫質土", "0200"},
      {"砂質土", "0400"},
      {"シルト", "0500"},
      {"火山灰質粘性土", "0800"},
      {"火山灰質シルト", "0550"},
      {"有機質粘性土", "0640"},
      {"粘土質砂", "0330"},
      {"玉石混り砂", "0301"},
      {"砂利・礫混じり砂", "0302"},
      {"シルト混り砂", "0304"},
      {"粘土混じり礫", "0105"},
      {"有機質土混り粘性土", "0606"},
      {"火山灰混り砂質土", "0407"},
      {"貝殻混じりシルト質砂", "0328"},
      {"火山灰混じり火山灰質粘性土", "0807"},
      {"砂混り", "0003"},
      {"砂質", "0010"},
      {"混り砂", "0000"},
      {"砂 質土", "0000"},
      {"粘土", "0000"},
  };
  TempFolder codes;
  std::vector<std::string> names;
  for (const auto& c : cases) names.push_back(c.first);
  SoilNameTable table = TableOf(codes, names);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    std::string soilName = "left over";
    EXPECT_EQ(ClassifySoilName(std::to_string(i + 1), table, soilName), cases[i].second) << cases[i].first;
    EXPECT_EQ(soilName, cases[i].first);
  }
  std::string soilName = "left over";
  EXPECT_EQ(ClassifySoilName("999", table, soilName), "0000");  // not in the table
  EXPECT_EQ(soilName, "");
}

TEST(LookupSoilName, CodesMatchByValueAndTheFirstEntryWins) {
  TempFolder codes;
  codes.WriteCp932("Kishitu.txt",
                   "12,\"  砂  \",a,b,c,d\r\n"
                   "012,礫,,,,\r\n"      // the same code again: never found
                   "abc,シルト,,,,\r\n"  // no number: code 0
                   "0,腐植土,,,,\r\n"
                   "-5,\"砂,礫\",,,,\r\n"
                   "1.5E1,粘性土,,,,\r\n"
                   "7,ローム,,");  // cut short by the end: dropped
  SoilNameTable table;
  ASSERT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), table, codes.Drive() + "\\"));
  EXPECT_EQ(table.size(), 6u);
  const std::pair<const char*, const char*> cases[] = {
      {"12", "砂"},    {"12.0", "砂"},     {"012", "砂"},  {" 12", "砂"},   {"12m", "砂"},
      {"0", "シルト"}, {"0000", "シルト"}, {"", "シルト"}, {"x", "シルト"}, {"-0", "シルト"},
      {"-5", "砂,礫"}, {"15", "粘性土"},   {"7", ""},      {"13", ""},
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(LookupSoilName(code, table), name) << code;
}

TEST(LookupSoilName, EveryRecordOfALargeTableIsFound) {
  TempFolder codes;
  std::string text;
  for (int i = 1; i <= 12000; ++i) text += std::to_string(i) + ",名" + std::to_string(i) + ",,,,\r\n";
  codes.WriteCp932("Kishitu.txt", text);
  SoilNameTable table;
  ASSERT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), table, codes.Drive() + "\\"));
  EXPECT_EQ(table.size(), 12000u);
  EXPECT_EQ(LookupSoilName("1", table), "名1");
  EXPECT_EQ(LookupSoilName("10000", table), "名10000");
  EXPECT_EQ(LookupSoilName("10001", table), "名10001");  // beyond 10,000 entries: still loaded
  EXPECT_EQ(LookupSoilName("12000", table), "名12000");
}

// Names come from the table as the boring was taken: removing the file afterwards changes
// nothing of a run that has begun.
TEST(LookupSoilName, ATableRemovedAfterItWasTakenStillGivesItsNames) {
  TempFolder codes;
  SoilNameTable table = TableOf(codes, {"砂"});
  std::filesystem::remove(codes.path() / "Kishitu.txt");
  EXPECT_EQ(LookupSoilName("1", table), "砂");
  std::string soilName;
  EXPECT_EQ(ClassifySoilName("1", table, soilName), "0300");
}

TEST(LoadSoilNameTable, MissingEmptyAndUnreadableTables) {
  TempFolder codes;
  SoilNameTable table;
  EXPECT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), table, codes.Drive() + "\\"));  // missing: no fault
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(LookupSoilName("0", table), "");

  codes.WriteBytes("Kishitu.txt", "");
  EXPECT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), table, codes.Drive() + "\\"));
  EXPECT_EQ(table.size(), 0u);

  codes.WriteBytes("kishitu.TXT", "1,\x82\xa0,,,,\r\n");  // letter case does not matter
#ifndef _WIN32                                            // on Windows the two names are one file, written over
  std::filesystem::remove(codes.path() / "Kishitu.txt");
#endif
  EXPECT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), table, codes.Drive() + "\\"));
  EXPECT_EQ(LookupSoilName("1", table), "あ");

  codes.WriteBytes("kishitu.TXT", "1,a,,,,\r\n2,\x80,,,,\r\n");
  SoilNameTable bad;
  Status s = LoadSoilNameTable(test::EnvironmentDrives(), bad, codes.Drive() + "\\");
  EXPECT_EQ(s.fault, Fault::NotCp932);
  EXPECT_EQ(s.line, 2);
#ifdef _WIN32
  EXPECT_NE(s.file.find("Kishitu.txt"), std::string::npos);  // named as it is on disk: written over
#else
  EXPECT_NE(s.file.find("kishitu.TXT"), std::string::npos);  // named as it is on disk
#endif
}

TEST(LoadSoilNameTable, AnEditBetweenConversionsTakesEffect) {
  TempFolder codes;
  codes.WriteCp932("Kishitu.txt", "1,砂,,,,\r\n");
  SoilNameTable first, again, edited;
  ASSERT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), first, codes.Drive() + "\\"));
  ASSERT_TRUE(
      LoadSoilNameTable(test::EnvironmentDrives(), again, codes.Drive() + "\\"));  // the same file: taken as loaded
  EXPECT_EQ(LookupSoilName("1", again), "砂");
  codes.WriteCp932("Kishitu.txt", "1,礫,,,,\r\n");  // same size, at once
  ASSERT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), edited, codes.Drive() + "\\"));
  EXPECT_EQ(LookupSoilName("1", edited), "礫");
  codes.WriteCp932("Kishitu.txt", "1,シルト,,,,\r\n");
  ASSERT_TRUE(LoadSoilNameTable(test::EnvironmentDrives(), edited, codes.Drive() + "\\"));
  EXPECT_EQ(LookupSoilName("1", edited), "シルト");
}

// A batch keeps the table parsed while the bytes taken for the next boring are the same.
TEST(LoadSoilNameTable, TheSameBytesKeepWhatWasLoaded) {
  TempFolder codes;
  codes.WriteCp932("Kishitu.txt", "3,玉石,,,,\r\n");
  SoilNameTable table;
  ASSERT_TRUE(LoadSoilNameTable(LoadTableFile(test::EnvironmentDrives(), codes.Drive("Kishitu.txt")), table));
  auto first = table.loaded;
  ASSERT_TRUE(LoadSoilNameTable(LoadTableFile(test::EnvironmentDrives(), codes.Drive("Kishitu.txt")), table));
  EXPECT_EQ(table.loaded, first);
  std::string soilName;
  EXPECT_EQ(ClassifySoilName("3", table, soilName), "0093");
  EXPECT_EQ(soilName, "玉石");
  codes.WriteCp932("Kishitu.txt", "3,礫,,,,\r\n");
  ASSERT_TRUE(LoadSoilNameTable(LoadTableFile(test::EnvironmentDrives(), codes.Drive("Kishitu.txt")), table));
  EXPECT_NE(table.loaded, first);
  EXPECT_EQ(LookupSoilName("3", table), "礫");
}

}  // namespace
}  // namespace zk
