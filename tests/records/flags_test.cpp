#include "records/flags.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "support/test_util.h"

namespace zk {
namespace {

using test::TempFolder;

// One 68-field row of a test table with names at the given columns, quoted as they stand.
std::string TestRow(const std::map<int, std::string>& names) {
  std::string row;
  for (int k = 1; k <= 68; ++k) {
    if (k > 1) row += ",";
    auto it = names.find(k);
    row += "\"" + (it == names.end() ? std::string() : it->second) + "\"";
  }
  return row + "\r\n";
}

const char* const kNames[] = {"標準貫入試験", "孔内水平載荷試験", "現場透水試験",   "PS検層",       "電気検層",
                              "密度検層",     "地下水位測定",     "湧水圧測定",     "間隙水圧測定", "孔内観察",
                              "速度検層",     "温度検層",         "キャリパー検層", "流向流速測定", "その他の試験"};

// "L9.txt" with the first rows of kNames (a row's name may be replaced).
std::string L9(int rows, const std::map<int, std::string>& replaced = {}) {
  std::string text;
  for (int i = 1; i <= rows; ++i) {
    auto it = replaced.find(i);
    text += std::to_string(i) + ",\"" + (it == replaced.end() ? kNames[i - 1] : it->second) + "\"\r\n";
  }
  return text;
}

struct Boring {
  TempFolder source, codes;
  std::string Source() const { return source.Drive(); }
  std::string Codes() const { return codes.Drive() + "\\"; }
  // The boring as a run takes it, with a code-table folder of its own.
  BoringSnapshot Taken(const std::string& codeFolder) const {
    return BoringSnapshot::Take(test::EnvironmentDrives(), Source(), codeFolder);
  }
  BoringSnapshot Taken() const { return Taken(Codes()); }
};

// The flags of a boring's test tables, their names read from them.
Status ScanKinds(const BoringSnapshot& boring, FlagArray& flags) {
  return ScanTestKinds(boring, CollectTestNames(boring.Table(TableId::X6)), flags);
}
Status ScanPresence(const BoringSnapshot& boring, FlagArray& flags) {
  return ScanTablePresence(boring, CollectTestNames(boring.Table(TableId::X7)), flags);
}

std::string TestKinds(const Boring& b) {
  FlagArray flags{};
  Status s = ScanKinds(b.Taken(), flags);
  EXPECT_TRUE(s) << s.Message();
  return FlagDigits(flags, 1, 15);
}

std::string TablePresence(const Boring& b) {
  FlagArray flags{};
  Status s = ScanPresence(b.Taken(), flags);
  EXPECT_TRUE(s) << s.Message();
  return FlagDigits(flags, 1, 9);
}

struct X6Case {
  const char* name;
  std::string x6;
  std::string expected;
};

TEST(ScanTestKinds, NamesOfX6AgainstL9) {
  const X6Case cases[] = {
      {"row 1 of L9 in column 29", TestRow({{29, "標準貫入試験"}}), "100000000000000"},
      {"row 9 in column 48", TestRow({{48, "間隙水圧測定"}}), "000000001000000"},
      {"row 10 sets nothing", TestRow({{30, "孔内観察"}}), "000000000000000"},
      {"row 11 sets entry 10", TestRow({{30, "速度検層"}}), "000000000100000"},
      {"row 12 sets entry 11", TestRow({{30, "温度検層"}}), "000000000010000"},
      {"row 14 sets entry 13", TestRow({{40, "流向流速測定"}}), "000000000000100"},
      {"row 15 sets entry 15", TestRow({{40, "その他の試験"}}), "000000000000001"},
      {"column 28 is not a name column", TestRow({{28, "標準貫入試験"}}), "000000000000000"},
      {"column 49 is not a name column", TestRow({{49, "標準貫入試験"}}), "000000000000000"},
      {"blanks around the name", TestRow({{33, "  現場透水試験 "}}), "001000000000000"},
      {"a full-width blank is part of the name", TestRow({{33, "　現場透水試験"}}), "000000000000000"},
      {"width sensitive", TestRow({{33, "ＰＳ検層"}}), "000000000000000"},
      {"several rows and columns",
       TestRow({{29, "PS検層"}, {31, "電気検層"}}) + TestRow({}) + TestRow({{48, "密度検層"}, {47, "PS検層"}}),
       "000111000000000"},
      {"two rows on one line", "1" + std::string(67, ',') + "," + TestRow({{29, "地下水位測定"}}), "000000100000000"},
      {"a last row cut short is dropped", TestRow({{29, "湧水圧測定"}}) + std::string(29, ',') + "温度検層\r\n",
       "000000010000000"},
      {"blank columns match no name", TestRow({{29, "  "}}), "000000000000000"},
  };
  for (const auto& c : cases) {
    Boring b;
    b.source.WriteCp932("X6.TXT", c.x6);
    b.codes.WriteCp932("L9.txt", L9(15));
    EXPECT_EQ(TestKinds(b), c.expected) << c.name;
  }
}

TEST(ScanTestKinds, BlankNameInL9MatchesNothing) {
  Boring b;
  b.source.WriteCp932("X6.TXT", TestRow({{29, "標準貫入試験"}}));
  b.codes.WriteCp932("L9.txt", L9(15, {{2, "   "}, {5, ""}}));
  EXPECT_EQ(TestKinds(b), "100000000000000");
}

TEST(ScanTestKinds, L9NamesLoseTheirBlanksAndRowsPast15AreNotRead) {
  Boring b;
  b.source.WriteCp932("X6.TXT", TestRow({{29, "電気検層"}, {30, "十六番目"}}));
  b.codes.WriteCp932("L9.txt", L9(15, {{5, "  電気検層  "}}) + "16,\"十六番目\"\r\n");
  EXPECT_EQ(TestKinds(b), "000010000000000");
}

TEST(ScanTestKinds, WithoutX6NothingIsReadNotEvenL9) {
  const char* const x6Cases[] = {nullptr, ""};  // missing, 0 bytes
  for (const char* x6 : x6Cases) {
    Boring b;
    if (x6) b.source.WriteBytes("X6.TXT", x6);
    EXPECT_EQ(TestKinds(b), "000000000000000");  // no "L9.txt" at all, and no fault
  }
}

TEST(ScanTestKinds, MissingOrShortL9StopsWithACodeTableFault) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"missing", std::nullopt},
      {"0 bytes", ""},
      {"14 rows", L9(14)},
      {"14 rows and a half", L9(14) + "15"},
  };
  for (const auto& [name, l9] : cases) {
    Boring b;
    b.source.WriteCp932("X6.TXT", TestRow({{29, "標準貫入試験"}}));
    if (l9) b.codes.WriteCp932("L9.txt", *l9);
    FlagArray flags{};
    Status s = ScanKinds(b.Taken(), flags);
    EXPECT_EQ(s.fault, Fault::CodeTable) << name;
    EXPECT_NE(s.file.find("L9.txt"), std::string::npos) << name << ": " << s.file;
    EXPECT_EQ(FlagDigits(flags, 1, 15), "000000000000000") << name;
  }
}

TEST(ScanTestKinds, BrokenTablesAreFaultsNamingTheFile) {
  Boring b;
  b.source.WriteBytes("X6.TXT", "\x80\r\n");
  b.codes.WriteCp932("L9.txt", L9(15));
  FlagArray flags{};
  Status s = ScanKinds(b.Taken(), flags);
  EXPECT_EQ(s.fault, Fault::NotCp932);
  EXPECT_NE(s.file.find("X6.TXT"), std::string::npos);

  b.source.WriteCp932("X6.TXT", TestRow({}));
  b.codes.WriteBytes("L9.txt", "1,\xfd\r\n");
  s = ScanKinds(b.Taken(), flags);
  EXPECT_EQ(s.fault, Fault::NotCp932);
  EXPECT_NE(s.file.find("L9.txt"), std::string::npos);
}

TEST(ScanTestKinds, CodeFolderWithOrWithoutItsSeparator) {
  Boring b;
  b.source.WriteCp932("X6.TXT", TestRow({{29, "標準貫入試験"}}));
  b.codes.WriteCp932("L9.txt", L9(15));
  for (const std::string& folder : {b.codes.Drive() + "\\", b.codes.Drive()}) {
    FlagArray flags{};
    EXPECT_TRUE(ScanKinds(b.Taken(folder), flags)) << folder;
    EXPECT_EQ(flags[1], 1) << folder;
  }
  EXPECT_EQ(TablePath(Layout(TableId::L9), "", "Z:\\c\\"), "Z:\\c\\L9.txt");
  EXPECT_EQ(TablePath(Layout(TableId::L9), "", "Z:\\c"), "Z:\\c\\L9.txt");
}

struct PresenceCase {
  const char* name;
  std::map<std::string, std::string> files;  // name -> CP932 text
  std::string expected;
};

TEST(ScanTablePresence, TablesPresentAndTestsOfX7) {
  const PresenceCase cases[] = {
      {"nothing", {}, "000000000"},
      {"X5 of 0 bytes", {{"X5.TXT", ""}}, "000000000"},
      {"X5, any letter case", {{"x5.txt", "1"}}, "100000000"},
      {"L209, L204, L201, L202",
       {{"L209.txt", "1"}, {"L204.txt", "1"}, {"L201.txt", "1"}, {"L202.txt", "1"}},
       "011100010"},
      {"X7 names on different rows", {{"X7.TXT", TestRow({{29, "ベーン"}}) + TestRow({{48, "その他"}})}}, "000010001"},
      {"X7 collection and pore pressure", {{"X7.TXT", TestRow({{35, "ｺﾛｰｼﾞｮﾝ"}, {36, "間隙水圧測定"}})}}, "000001100"},
      {"X7 outside columns 29 to 48", {{"X7.TXT", TestRow({{28, "ベーン"}, {49, "その他"}})}}, "000000000"},
      {"X7 full-width collection is no name", {{"X7.TXT", TestRow({{30, "コロージョン"}})}}, "000000000"},
      {"X7 names are not stripped", {{"X7.TXT", TestRow({{30, " ベーン"}})}}, "000000000"},
      {"X7 of 0 bytes", {{"X7.TXT", ""}}, "000000000"},
      {"X7 cut short", {{"X7.TXT", "\"\",\"\",ベーン"}}, "000000000"},
  };
  for (const auto& c : cases) {
    Boring b;
    for (const auto& [name, text] : c.files) b.source.WriteCp932(name, text);
    EXPECT_EQ(TablePresence(b), c.expected) << c.name;
  }
}

TEST(ScanTablePresence, MeasurementHeadFileNamedInPcnt) {
  const PresenceCase cases[] = {
      {"name with blanks around it", {{"PCNT.txt", "1,\"  P01  \"\r\n"}, {"P01.hed", "x"}}, "001000000"},
      {"head file in other letter case", {{"PCNT.txt", "1,p01\r\n"}, {"P01.HED", "x"}}, "001000000"},
      {"head file of 0 bytes", {{"PCNT.txt", "1,P01\r\n"}, {"P01.hed", ""}}, "000000000"},
      {"no head file", {{"PCNT.txt", "1,P01\r\n"}}, "000000000"},
      {"PCNT of 0 bytes", {{"PCNT.txt", ""}, {"P01.hed", "x"}}, "000000000"},
      {"PCNT of one field", {{"PCNT.txt", "1"}, {"P01.hed", "x"}}, "000000000"},
      {"L204 of 0 bytes does not hide PCNT", {{"L204.txt", ""}, {"PCNT.txt", "1,P01"}, {"P01.hed", "x"}}, "001000000"},
      {"name with a backslash", {{"PCNT.txt", "1,sub\\P01"}, {"sub/P01.hed", "x"}}, "000000000"},
      {"name with a slash", {{"PCNT.txt", "1,sub/P01"}, {"sub/P01.hed", "x"}}, "000000000"},
      {"name with a drive", {{"PCNT.txt", "1,Z:P01"}, {"P01.hed", "x"}}, "000000000"},
  };
  for (const auto& c : cases) {
    Boring b;
    for (const auto& [name, text] : c.files) b.source.WriteCp932(name, text);
    EXPECT_EQ(TablePresence(b), c.expected) << c.name;
  }
}

TEST(ScanTablePresence, BrokenTablesAreFaultsNamingTheFile) {
  for (const char* name : {"PCNT.txt", "X7.TXT"}) {
    Boring b;
    b.source.WriteBytes(name, "1,\xfd");
    FlagArray flags{};
    Status s = ScanPresence(b.Taken(), flags);
    EXPECT_EQ(s.fault, Fault::NotCp932) << name;
    EXPECT_NE(s.file.find(name), std::string::npos) << s.file;
  }
}

TEST(ScanTablePresence, FlagsOnceSetStay) {
  Boring b;
  FlagArray flags{};
  flags[5] = 1;
  EXPECT_TRUE(ScanPresence(b.Taken(), flags));
  EXPECT_EQ(FlagDigits(flags, 1, 9), "000010000");
}

}  // namespace
}  // namespace zk
