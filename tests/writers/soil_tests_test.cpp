#include "writers/soil_tests.h"

#include <gtest/gtest.h>

#include "writers/writer_test_util.h"

namespace zk {
namespace {

using test::DataFields;
using test::TableRow;
using test::TempFolder;

using Columns = std::map<std::size_t, std::string>;

// The data fields of the records for soil test rows with the given columns (and supplement rows).
std::vector<std::vector<std::string>> SoilTestRecords(const std::vector<Columns>& rows,
                                                      const std::vector<Columns>& supplement = {}) {
  TempFolder boring;
  std::string main;
  for (const auto& row : rows) main += TableRow(44, row);
  boring.WriteCp932("X100.txt", main);
  if (!supplement.empty()) {
    std::string text;
    for (const auto& row : supplement) text += TableRow(7, row);
    boring.WriteCp932("X100A.txt", text);
  }
  auto lines = test::RunWriter(WriteSoilTestRecords, boring);
  std::vector<std::vector<std::string>> records;
  for (std::size_t i = 1; i < lines.size(); ++i) records.push_back(DataFields(lines[i]));
  return records;
}

std::string Field(const Columns& columns, std::size_t field) {
  auto records = SoilTestRecords({columns});
  return records.size() == 1 && records[0].size() == 23 ? records[0][field - 1] : "<no record>";
}

TEST(SoilTestRecords, OneFullRecord) {
  TempFolder boring;
  boring.WriteCp932("X100.txt", TableRow(44, {{2, "1.5"},
                                              {3, "2.45"},
                                              {14, "8"},
                                              {15, "45.6"},
                                              {16, "123"},
                                              {17, "0"},
                                              {21, "12.34"},
                                              {22, "1234.5"},
                                              {24, "2.6512"},
                                              {25, "0.8"},
                                              {26, "35.2"},
                                              {27, "1.1"},
                                              {29, "18.5"},
                                              {30, "ＣＵ"},
                                              {31, "0.125"},
                                              {32, "35.5"}}));
  boring.WriteCp932(
      "X100A.txt",
      TableRow(7, {{1, "1"}, {2, "T-1"}, {3, "3.5"}, {4, "1.25"}, {5, "0.5"}, {6, "0.00456"}, {7, "1.5E-05"}}));
  auto lines = test::RunWriter(WriteSoilTestRecords, boring);
  const std::vector<std::string> expected = {
      R"("D","53393681001","000","001")",
      R"("D","53393681001","001","1","001.50","002.45","08",".6","23","00","2.651","0035.2","0.800","1.100",)"
      R"("012.3","1234.","18.50","03.5","2","00.125","35","30","01.25","0.50","4.6E-3","1.5E-5")",
  };
  EXPECT_EQ(lines, expected);
}

TEST(SoilTestRecords, SampleValueField13) {
  const std::pair<const char*, const char*> cases[] = {
      {"1234.5", "1234."}, {"999.95", "999.9"}, {"1000", "1000."},  {"12345.6", "2345."}, {"", ""},
      {"abc", "000.0"},    {"-5000", "000.0"},  {"1E+20", "E+20."},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Field({{22, text}}, 13), expected) << text;
}

TEST(SoilTestRecords, TwoCharacterFields4To7) {
  const std::pair<const char*, const char*> cases[] = {
      {"8", "08"}, {"45", "45"}, {"123", "23"}, {"45.6", ".6"}, {"", ""}, {"abc", "00"}, {"1.5E-05", "05"},
  };
  for (const auto& [text, expected] : cases)
    for (std::size_t column = 14; column <= 17; ++column)
      EXPECT_EQ(Field({{column, text}}, column - 10), expected) << text << " in column " << column;
}

TEST(SoilTestRecords, AngleFields18And19) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"35.5", "35", "30"}, {"120", "30", "00"}, {"25.15", "25", "09"}, {"", "", ""}, {"abc", "00", "00"},
  };
  for (const auto& [text, degrees, minutes] : cases) {
    auto records = SoilTestRecords({{{32, text}}});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][17], degrees) << text;
    EXPECT_EQ(records[0][18], minutes) << text;
  }
}

TEST(SoilTestRecords, TestKindCodeIsKeptAcrossRows) {
  // Column 30 row by row, and field 16 as written.
  const std::pair<const char*, const char*> rows[] = {
      {"ＸＸ", ""},                  // unrecognised before any kind: nothing kept yet
      {"ＣＵ", "2"},   {"", ""},     // blank: empty, the kept code stays
      {"ＸＸ", "2"},                 // unrecognised: the kept code
      {" ＵＵ ", "1"},               // spaces around are removed
      {"ＵＣ", "3"},   {"uu", "3"},  // half-width letters are no kind
      {"ＣＤ", "4"},
  };
  std::vector<Columns> table;
  for (const auto& [text, code] : rows) table.push_back({{30, text}});
  auto records = SoilTestRecords(table);
  ASSERT_EQ(records.size(), std::size(rows));
  for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i][15], rows[i].second) << "row " << i + 1;
}

TEST(SoilTestRecords, ExponentFields22And23) {
  const std::pair<const char*, const char*> cases[] = {
      {"0.00456", "4.6E-3"}, {"0.0456", "4.6E-2"}, {"", ""}, {"0", "0.0E+0"}, {"1e39", "0.0E+0"},
  };
  for (const auto& [text, expected] : cases) {
    auto records = SoilTestRecords({{}}, {{{6, text}, {7, text}}});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][21], expected) << text;
    EXPECT_EQ(records[0][22], expected) << text;
  }
}

TEST(SoilTestRecords, ShortSupplementGivesWhatItHas) {
  TempFolder boring;
  boring.WriteCp932("X100.txt", TableRow(44, {{2, "1"}}) + TableRow(44, {{2, "2"}}) + TableRow(44, {{2, "3"}}));
  // Row 1 complete; row 2 cut short after its fourth field.
  boring.WriteCp932("X100A.txt", TableRow(7, {{2, "A"}, {3, "1"}, {4, "2"}, {5, "3"}, {6, "0.5"}, {7, "0.25"}}) +
                                     "\"\",\"BC\",\"4.5\",\"6\"\r\n");
  auto lines = test::RunWriter(WriteSoilTestRecords, boring);
  ASSERT_EQ(lines.size(), 4u);
  const std::size_t supplementFields[] = {1, 15, 20, 21, 22, 23};
  const std::vector<std::vector<std::string>> expected = {
      {"A", "01.0", "02.00", "3.00", "5.0E-1", "2.5E-1"},
      {"C", "04.5", "06.00", "", "", ""},
      {"", "", "", "", "", ""},
  };
  for (std::size_t r = 0; r < 3; ++r) {
    auto fields = DataFields(lines[r + 1]);
    ASSERT_EQ(fields.size(), 23u);
    std::vector<std::string> got;
    for (std::size_t f : supplementFields) got.push_back(fields[f - 1]);
    EXPECT_EQ(got, expected[r]) << "row " << r + 1;
  }
}

TEST(SoilTestRecords, NoSupplementLeavesItsFieldsEmpty) {
  auto records = SoilTestRecords({{{2, "1"}, {3, "2"}}});
  ASSERT_EQ(records.size(), 1u);
  for (std::size_t f : {1u, 15u, 20u, 21u, 22u, 23u}) EXPECT_EQ(records[0][f - 1], "") << "field " << f;
  EXPECT_EQ(records[0][1], "001.00");
}

TEST(SoilTestRecords, NoCompleteRowWritesNothing) {
  TempFolder boring;
  boring.WriteCp932("X100.txt", "1,2,3\r\n");  // 3 of 44 fields
  boring.WriteBytes("X100A.txt", "\x80");      // never opened: no soil test to belong to
  EXPECT_TRUE(test::RunWriter(WriteSoilTestRecords, boring).empty());
}

TEST(SoilTestRecords, ReaderFaultsStopTheRun) {
  const std::pair<const char*, const char*> cases[] = {{"X100.txt", "X100.txt"}, {"X100A.txt", "X100A.txt"}};
  for (const auto& [broken, named] : cases) {
    TempFolder boring;
    boring.WriteCp932("X100.txt", TableRow(44, {{2, "1"}}));
    boring.WriteCp932("X100A.txt", TableRow(7, {}));
    boring.WriteBytes(broken, "1,\x81\r\n");
    Status s;
    test::RunWriter(WriteSoilTestRecords, boring, &s);
    EXPECT_EQ(s.fault, Fault::NotCp932) << broken;
    EXPECT_NE(s.file.find(named), std::string::npos) << s.file;
  }
}

}  // namespace
}  // namespace zk
