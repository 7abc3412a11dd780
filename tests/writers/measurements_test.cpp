#include "writers/measurements.h"

#include <gtest/gtest.h>

#include "writers/writer_test_util.h"

namespace zk {
namespace {

using test::TempFolder;

// A measurement file pair: interval start and end as fields 5 and 6 of the header file, the
// value as field 10 of the data file.
void WritePair(const TempFolder& folder, const std::string& name, const std::string& start, const std::string& end,
               const std::string& value) {
  folder.WriteCp932(name + ".HED", "h1,h2,h3\r\nh4," + start + "," + end + ",h7\r\n");
  folder.WriteCp932(name + ".TMP", "1,2,3,4,5\r\n6,7,8,9\r\n" + value + ",11\r\n");
}

TEST(MeasurementFileRecords, SkippedPairsKeepTheNumbersConsecutive) {
  TempFolder boring;
  boring.WriteCp932("PCNT.txt", "1,P1\r\n2,P2\r\n3,P3\r\n");
  WritePair(boring, "P1", "1.5", "2.25", "0.00123");
  boring.WriteCp932("P2.HED", "1,2,3,4,5,6\r\n");  // no P2.TMP
  WritePair(boring, "P3", "3", "4.5", "2.5E-05");
  auto lines = test::RunWriter(WriteMeasurementFileRecords, boring);
  const std::vector<std::string> expected = {
      R"("F","53393681001","000","002","08")",
      R"("F","53393681001","001","001.50","002.25","1.23E-03")",
      R"("F","53393681001","002","003.00","004.50","2.5E-05")",
  };
  EXPECT_EQ(lines, expected);
}

// A list of more pairs than a block holds (one pair named again and again, skipped rows
// between): the header says 999 and the first 999 pairs are written.
TEST(MeasurementFileRecords, AListLongerThanABlockGivesItsFirst999) {
  TempFolder boring;
  std::string list;
  for (int i = 1; i <= 1001; ++i) list += std::to_string(i) + (i % 2 ? ",P1\r\n" : ",P1\r\n0,..\\x\r\n");
  boring.WriteCp932("PCNT.txt", list);
  WritePair(boring, "P1", "1.5", "2.25", "0.00123");
  auto lines = test::RunWriter(WriteMeasurementFileRecords, boring);
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines[0], R"("F","53393681001","000","999","08")");
  EXPECT_EQ(lines[999], R"("F","53393681001","999","001.50","002.25","1.23E-03")");
}

// The records for a boring folder "B" inside outer, whose "PCNT.txt" names one pair.
std::vector<std::string> OnePairLines(const TempFolder& outer, const std::string& listName) {
  outer.WriteCp932("B/PCNT.txt", "1,\"" + listName + "\"\r\n");
  TempFolder destination;
  ExchangeFile out;
  EXPECT_TRUE(out.Create(test::EnvironmentDrives(), destination.Drive(), "53393681.001"));
  FindingSink findings;
  Status s = WriteMeasurementFileRecords(out, BoringSnapshot::Take(test::EnvironmentDrives(), outer.Drive("B"), ""),
                                         test::kBoringId, findings);
  EXPECT_TRUE(s) << s.Message();
  EXPECT_TRUE(out.Commit());
  return test::SplitCrLf(test::ReadCp932(destination.path() / "53393681.001"));
}

TEST(MeasurementFileRecords, WhichListRowsGiveARecord) {
  struct Case {
    const char* name;
    std::string listName;                          // column 2 of "PCNT.txt"
    std::function<void(const TempFolder&)> files;  // written into the folder around the boring "B"
    bool accepted;
  };
  auto put = [](const TempFolder& f, const std::string& name, const std::string& text) { f.WriteCp932(name, text); };
  const Case cases[] = {
      {"complete pair", "A", [](const TempFolder& f) { WritePair(f, "B/A", "1", "2", "3"); }, true},
      {"blanks around the name", "  A  ", [](const TempFolder& f) { WritePair(f, "B/A", "1", "2", "3"); }, true},
      {"names match whatever the letter case", "a",
       [&](const TempFolder& f) {
         put(f, "B/A.hed", "1,2,3,4,5,6");
         put(f, "B/A.tmp", "1,2,3,4,5,6,7,8,9,10");
       },
       true},
      {"no .TMP file", "A", [&](const TempFolder& f) { put(f, "B/A.HED", "1,2,3,4,5,6"); }, false},
      {"no .HED file", "A", [&](const TempFolder& f) { put(f, "B/A.TMP", "1,2,3,4,5,6,7,8,9,10"); }, false},
      {"a .HED of only 5 fields", "A",
       [&](const TempFolder& f) {
         put(f, "B/A.HED", "1,2,3,4,5");
         put(f, "B/A.TMP", "1,2,3,4,5,6,7,8,9,10");
       },
       false},
      {"a .TMP of only 9 fields", "A",
       [&](const TempFolder& f) {
         put(f, "B/A.HED", "1,2,3,4,5,6");
         put(f, "B/A.TMP", "1,2,3,4,5,6,7,8,9");
       },
       false},
      {"a blank value", "A", [](const TempFolder& f) { WritePair(f, "B/A", "1", " ", "3"); }, false},
      {"a blank name", " ", [](const TempFolder& f) { WritePair(f, "B/", "1", "2", "3"); }, false},
      // A name must not reach files outside the boring folder, nor into folders below it.
      {"a backslash", "sub\\A", [](const TempFolder& f) { WritePair(f, "B/sub/A", "1", "2", "3"); }, false},
      {"a slash", "sub/A", [](const TempFolder& f) { WritePair(f, "B/sub/A", "1", "2", "3"); }, false},
      {"up and out", "..\\A", [](const TempFolder& f) { WritePair(f, "A", "1", "2", "3"); }, false},
      {"a colon", "Z:A", [](const TempFolder& f) { WritePair(f, "B/A", "1", "2", "3"); }, false},
  };
  for (const auto& c : cases) {
    TempFolder outer;
    c.files(outer);
    EXPECT_EQ(OnePairLines(outer, c.listName).size(), c.accepted ? 2u : 0u) << c.name;
  }
}

TEST(MeasurementFileRecords, InvalidTextInAPairStopsTheRun) {
  TempFolder boring;
  boring.WriteCp932("PCNT.txt", "1,A\r\n");
  boring.WriteBytes("A.HED", "1,2,3,4,\x82,6");
  boring.WriteCp932("A.TMP", "1,2,3,4,5,6,7,8,9,10");
  Status s;
  EXPECT_TRUE(test::RunWriter(WriteMeasurementFileRecords, boring, &s).empty());
  EXPECT_EQ(s.fault, Fault::NotCp932);
  EXPECT_NE(s.file.find("A.HED"), std::string::npos) << s.file;
}

}  // namespace
}  // namespace zk
