#include <gtest/gtest.h>

#include <map>

#include "conversion/numbering.h"
#include "conversion/run.h"
#include "platform/drives.h"
#include "support/fake_window.h"
#include "support/run_fixture.h"

namespace zk {
namespace {

using test::RunFolders;

// The findings of one code, as "file:line" with the file's bare name.
std::vector<std::string> Where(const BoringCheck& check, const std::string& code) {
  std::vector<std::string> places;
  for (const Finding& f : check.findings) {
    if (f.code != code) continue;
    std::string name = f.file.substr(f.file.find_last_of('\\') + 1);
    places.push_back(name + ":" + std::to_string(f.line));
  }
  return places;
}

class Check : public ::testing::Test {
 protected:
  void SetUp() override {
    f_.Table("titl01.txt", test::SampleTitl01());
    std::filesystem::create_directories(f_.root.path() / "codes");
    context_.codeTableFolder = f_.root.Drive("codes") + "\\";
  }
  // Each check as a call of its own: the code tables as they are now.
  BoringCheck Run() {
    context_.codeTables.reset();
    return CheckBoring(context_, f_.sourceDrive(), f_.destinationDrive());
  }
  RunFolders f_;
  ConversionContext context_;
};

TEST_F(Check, CleanBoringHasNoFindings) {
  BoringCheck c = Run();
  EXPECT_TRUE(c.findings.empty()) << c.findings.front().message;
  EXPECT_EQ(c.meshCode, "53393681");
  EXPECT_EQ(c.exchangeFileName, "53393681.001");
}

TEST_F(Check, FindingsAtTheirFileAndLine) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,102,b\r\n3,abc,103,c\r\n4,5");
  f_.Table("X3.TXT", "1,2.0,\"0102,,,,\r\n");
  f_.Table("X100.txt", std::string(43, ','));  // one field short of a row
  f_.root.WriteBytes("B01/L209.txt", "a,b\r\n\x81\x20");
  BoringCheck c = Run();
  EXPECT_EQ(Where(c, "depth-not-increasing"), (std::vector<std::string>{"X1.TXT:2", "X1.TXT:3"}));
  EXPECT_EQ(Where(c, "not-a-number"), (std::vector<std::string>{"X1.TXT:3"}));
  // the quote never closed swallows the rest of X3.TXT, so its row is cut short too
  EXPECT_EQ(Where(c, "row-cut-short"), (std::vector<std::string>{"X1.TXT:4", "X3.TXT:1", "X100.txt:1"}));
  EXPECT_EQ(Where(c, "unclosed-quote"), (std::vector<std::string>{"X3.TXT:1"}));
  EXPECT_EQ(Where(c, "not-cp932"), (std::vector<std::string>{"L209.txt:2"}));
  EXPECT_EQ(c.errors, 1);
}

TEST_F(Check, SoilAndColourCodesWithoutEntries) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,2.0,999,b\r\n");
  f_.Table("X3.TXT", "1,1.5,0102,,,,\r\n2,2.0,0311,,,,\r\n");
  EXPECT_EQ(Where(Run(), "no-soil-table"), (std::vector<std::string>{"Kishitu.txt:0"}));
  f_.root.WriteCp932("codes/Kishitu.txt", "101,表土,,,,\r\n");
  BoringCheck c = Run();
  EXPECT_EQ(Where(c, "unknown-soil-code"), (std::vector<std::string>{"X1.TXT:2"}));
  EXPECT_EQ(Where(c, "unknown-colour-code"), (std::vector<std::string>{"X3.TXT:2", "X3.TXT:2"}));
  EXPECT_EQ(c.errors, 0);
}

TEST_F(Check, SkippedMeasurementPairsAndWhy) {
  f_.Table("PCNT.txt", "1,M1\r\n2, M2 \r\n3,..\\x\r\n4,M4\r\n");
  for (const char* name : {"M1", "M2", "M4"}) f_.Table(std::string(name) + ".HED", "1,2,3,4,5.00,6.00\r\n");
  f_.Table("M1.TMP", "1,2,3,4,5,6,7,8,9,1.5E-05\r\n");
  f_.Table("M4.TMP", "1,2,3,4,5,6,7,8,9\r\n");
  BoringCheck c = Run();
  EXPECT_EQ(Where(c, "measurement-skipped"), (std::vector<std::string>{"PCNT.txt:2", "PCNT.txt:3", "PCNT.txt:4"}));
  f_.Table("L204.txt", "");  // with an "L204.txt" the list is not used
  EXPECT_TRUE(Where(Run(), "measurement-skipped").empty());
}

TEST_F(Check, CoordinatesAndMeshBoundary) {
  f_.Table("titl01.txt", test::Titl01("35", "", "", "", "", ""));
  EXPECT_EQ(Where(Run(), "no-coordinates"), (std::vector<std::string>{"titl01.txt:0"}));
  f_.Table("titl01.txt", test::Titl01("30", "1", "0", "139", "45", "0"));  // on a third-level line
  BoringCheck boundary = Run();
  EXPECT_EQ(Where(boundary, "mesh-boundary"), (std::vector<std::string>{"titl01.txt:0"}));
  EXPECT_EQ(boundary.meshCode, "45390610");  // the file keeps what the conversion computes
  f_.Table("titl01.txt", test::Titl01("35", "0", "0", "95", "0", "0"));  // west of the grid
  EXPECT_EQ(Where(Run(), "no-coordinates").size(), 1u);
  f_.Table("titl01.txt", test::Titl01("10", "0", "0", "139", "0", "0"));
  EXPECT_EQ(Where(Run(), "outside-japan").size(), 1u);
}

// Every value the exchange file will hold otherwise than the table says is told, at its line.
TEST_F(Check, ChangedValuesAreFindingsAtTheirLine) {
  struct Case {
    const char* name;
    const char* table;
    std::string text;
    const char* code;
    std::vector<std::string> where;
  };
  std::string x5 = "1,1.15,3,1,30,,,,,,\r\n";
  const Case cases[] = {
      {"letter O for a zero", "X5.TXT", x5 + "2,2.15,7,1,3O,,,,,,\r\n", "number-with-text", {"X5.TXT:2"}},
      {"a unit after the number", "X1.TXT", "1,20cm,101,a\r\n", "number-with-text", {"X1.TXT:1"}},
      {"hexadecimal, d for e, two points", "X5.TXT", "1,0x10,1d2,1,1.2.3,,,,,,\r\n", "number-with-text",
       {"X5.TXT:1", "X5.TXT:1", "X5.TXT:1"}},
      {"a clean number", "X5.TXT", x5, "number-with-text", {}},
      {"a quote left open in the middle", "X1.TXT", "1,1.0,101,\"a\r\n2,2.0,102,b\"\r\n3,3.0,103,c\r\n",
       "quote-over-line-end", {"X1.TXT:1"}},
      {"a row number skipped", "X1.TXT", "1,1.0,101,a\r\n3,2.0,102,b\r\n", "row-number-gap", {"X1.TXT:2"}},
      {"a row number repeated", "L209.txt", "1,2,3\r\n1,4,5\r\n", "row-number-repeat", {}},
      {"a row number repeated in its table", "X3.TXT", "1,1.0,01,,,,\r\n1,2.0,02,,,,\r\n", "row-number-repeat",
       {"X3.TXT:2"}},
      {"no row numbers at all", "X3.TXT", "a,1.0,01,,,,\r\nb,2.0,02,,,,\r\n", "row-number-gap", {}},
      {"a layer 1,000 m deep", "X1.TXT", "1,1.0,101,a\r\n2,1000.5,102,b\r\n", "depth-cut", {"X1.TXT:2"}},
      {"a negative test depth", "X5.TXT", "1,-5,3,1,30,,,,,,\r\n", "depth-cut", {"X5.TXT:1"}},
      {"an L209 depth of 1,200 m", "L209.txt", "1,2,1200,4,5,6,7,8,9,10,11,12,13,14,15\r\n", "value-cut",
       {"L209.txt:1"}},
      {"an L201 value of five digits", "L201.txt", "1,2,3,4,5,12345,7,8,9,10,11,12,13,14,15\r\n", "value-cut",
       {"L201.txt:1"}},
      {"a permeability beyond single precision", "L204.txt", "1,0.5,3.00,1e308,,,,,,,,,,,\r\n", "value-cut",
       {"L204.txt:1"}},
      {"values that fit", "L209.txt", "1,2,999.99,4,5,6,7,8,9,10,11,12,13,14,15\r\n", "value-cut", {}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(f_.source());
    f_.Table("titl01.txt", test::SampleTitl01());
    f_.Table(c.table, c.text);
    EXPECT_EQ(Where(Run(), c.code), c.where) << c.name;
  }
}

// Many values of one kind in one table: the first ones, then how many more.
TEST_F(Check, WarningsOfOneKindAreCappedWithACount) {
  std::string rows;
  for (int i = 1; i <= 30; ++i) rows += std::to_string(i) + "," + std::to_string(i) + ",x,1,30,,,,,,\r\n";
  f_.Table("X5.TXT", rows);
  BoringCheck c = Run();
  std::vector<std::string> where = Where(c, "not-a-number");
  ASSERT_EQ(where.size(), 21u);
  EXPECT_EQ(where[19], "X5.TXT:20");
  EXPECT_EQ(where[20], "X5.TXT:0");
  EXPECT_NE(c.findings.back().message.find("10 件"), std::string::npos) << c.findings.back().message;
  EXPECT_EQ(c.warnings, 30);
}

TEST_F(Check, PenetrationRowsBeyond999AreToldAsTheyAreWritten) {
  std::string rows;
  for (int i = 1; i <= 1000; ++i) rows += std::to_string(i) + "," + std::to_string(i) + ".15,3,1,30,,,,,,\r\n";
  f_.Table("X5.TXT", rows);
  BoringCheck c = Run();
  ASSERT_EQ(Where(c, "too-many-rows"), (std::vector<std::string>{"X5.TXT:1000"}));
  for (const Finding& f : c.findings)
    if (f.code == "too-many-rows") EXPECT_NE(f.message.find("000 から繰り返されます"), std::string::npos) << f.message;
}

TEST_F(Check, CoordinatesWrittenOtherThanRead) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"35.6812", "", "", "139", "45", "45.5"}, "1200000"},  // decimal degrees
      {{"35", "75", "0", "139", "45", "45.5"}, "3575000"},    // minutes of 60 or more
      {{"35", "39", "61", "139", "45", "45.5"}, "3539610"},   // seconds of 60 or more
  };
  for (const auto& [t, written] : cases) {
    f_.Table("titl01.txt", test::Titl01(t[0], t[1], t[2], t[3], t[4], t[5]));
    BoringCheck c = Run();
    ASSERT_EQ(Where(c, "coordinate-written-differently"), (std::vector<std::string>{"titl01.txt:0"})) << t[0];
    for (const Finding& f : c.findings)
      if (f.code == "coordinate-written-differently")
        EXPECT_NE(f.message.find(std::string("「") + written + "」"), std::string::npos) << f.message;
  }
  f_.Table("titl01.txt", test::SampleTitl01());
  EXPECT_TRUE(Where(Run(), "coordinate-written-differently").empty());
}

TEST_F(Check, TotalDepthCutBySinglePrecision) {
  f_.Table("X1.TXT", "1,1.20,101,a\r\n2,15.45,102,b\r\n");
  EXPECT_EQ(Where(Run(), "total-depth-differs"), (std::vector<std::string>{"X1.TXT:2"}));
  f_.Table("X1.TXT", "1,1.20,101,a\r\n2,15.50,102,b\r\n");
  EXPECT_TRUE(Where(Run(), "total-depth-differs").empty());
}

TEST_F(Check, MissingTitleTableIsNamed) {
  std::filesystem::remove(f_.source() / "titl01.txt");
  BoringCheck c = Run();
  EXPECT_EQ(Where(c, "no-title-table"), (std::vector<std::string>{"titl01.txt:0"}));
  EXPECT_TRUE(Where(c, "no-coordinates").empty());
}

TEST_F(Check, ADestinationThatBorlingNoCannotRecordIsAnError) {
  std::filesystem::path destination = f_.root.path() / "出力Ω\xC3\xA9";  // é has no CP932 form
  std::filesystem::create_directories(destination);
  BoringCheck c = CheckBoring(context_, f_.sourceDrive(), *platform::ToDriveForm(destination));
  EXPECT_EQ(c.errors, 1);
  EXPECT_EQ(Where(c, "unwritable"), (std::vector<std::string>{"BORLING.NO:0"}));
}

// Bytes that are not CP932 stop the conversion only in a table it reads; the check agrees.
TEST_F(Check, AgreesWithTheConversionOnTablesItDoesNotRead) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> tables;  // bytes as they are
    bool refused;
  };
  const Case cases[] = {
      {"colours without layers", {{"X3.TXT", "1,\x80"}}, false},
      {"a supplement without soil tests", {{"X100A.txt", "1,\x80"}}, false},
      {"colours with layers", {{"X1.TXT", "1,1.0,101,a\r\n"}, {"X3.TXT", "1,\x80"}}, true},
      {"a further test table", {{"L201.txt", "1,\x80"}}, true},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(f_.source());
    std::filesystem::remove_all(f_.destination());
    std::filesystem::create_directories(f_.destination());
    f_.Table("titl01.txt", test::SampleTitl01());
    for (const auto& [name, bytes] : c.tables) f_.root.WriteBytes("B01/" + name, bytes);
    BoringCheck check = Run();
    test::FakeWindow ui;
    ui.source = f_.sourceDrive();
    ui.destination = f_.destinationDrive();
    ui.context.codeTableFolder = context_.codeTableFolder;
    EXPECT_EQ(RunConversion(ui, ui.context).converted, !c.refused) << c.name;
    EXPECT_EQ(check.errors, c.refused ? 1 : 0) << c.name;
  }
}

TEST(ExactMeshCodeTest, AgreesAwayFromBoundariesAndTellsOnThem) {
  EXPECT_EQ(ExactMeshCode("35", "39", "29.1", "139", "45", "45.5"), "53393681");
  EXPECT_EQ(ExactMeshCode("35", "40", "0", "139", "45", "0"), "53394600");
  EXPECT_EQ(ExactMeshCode("30", "1", "0", "139", "45", "0"), "45390620");
  EXPECT_EQ(ExactMeshCode("35", "39", "29.1", "130", "0", "45.0"), "53303081");
  EXPECT_EQ(ExactMeshCode("35", "1e1", "0", "139", "0", "0"), "");
}

TEST_F(Check, ExtensionCharacters) {
  f_.Table("titl01.txt", "\"①工事\",,,,,,,,,,35,39,29.1,139,45,45.5\r\n\"㈱\"");
  EXPECT_EQ(Where(Run(), "extension-character"), (std::vector<std::string>{"titl01.txt:1", "titl01.txt:2"}));
}

// One warning a line, lines ended by CR LF, LF or CR, a user-defined character, and a character
// whose two bytes fall on either side of the 64 KiB the table is read in.
TEST_F(Check, ExtensionCharactersByLineAcrossTheReadingChunks) {
  std::string layers = "1,1.0,\"\x87\x40\x87\x41\",a\n2,2.0,\"\xf0\x40\",b\r3,3.0,\"\x88\x9f\",c\r\n";
  std::string filler = "4,4.0,101,\"";
  filler += std::string(65535 - layers.size() - filler.size(), 'x');
  f_.root.WriteBytes("B01/X1.TXT", layers + filler + "\xed\x40\"\r\n");
  EXPECT_EQ(Where(Run(), "extension-character"),
            (std::vector<std::string>{"X1.TXT:1", "X1.TXT:2", "X1.TXT:4"}));
}

}  // namespace
}  // namespace zk
