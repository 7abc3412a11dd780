#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "conversion/numbering.h"
#include "conversion/run.h"
#include "platform/drives.h"
#include "platform/status.h"
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
    context_.drives = platform::DriveMap::FromEnvironment();
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

// A table of thousands of bad rows: the first 100 of a kind, then the count of the rest right
// after them; the totals count every one, and other kinds are told as ever.
TEST_F(Check, FindingsOfAKindAboutATableAreCappedThenCounted) {
  std::string layers;
  for (int i = 1; i <= 250; ++i) layers += std::to_string(i) + ",0,101,a\r\n";
  f_.Table("X1.TXT", layers + "251,abc,101,a\r\n");
  f_.Table("X3.TXT", "1,abc,0102,,,,\r\n");
  BoringCheck c = Run();
  std::vector<std::string> places = Where(c, "depth-not-increasing");
  ASSERT_EQ(places.size(), 101u);
  EXPECT_EQ(places[0], "X1.TXT:2");
  EXPECT_EQ(places[99], "X1.TXT:101");
  EXPECT_EQ(places[100], "X1.TXT:0");
  auto summary = std::find_if(c.findings.begin(), c.findings.end(),
                              [](const Finding& f) { return f.code == "depth-not-increasing" && f.line == 0; });
  ASSERT_NE(summary, c.findings.end());
  EXPECT_EQ(summary->message, "ほかに同じ指摘が 150 件あります (同じ種類は初めの 100 件だけを示します)");
  EXPECT_EQ(summary->severity, Severity::Warning);
  EXPECT_EQ((summary - 1)->line, 101);  // right after the last one shown
  EXPECT_EQ(Where(c, "not-a-number"), (std::vector<std::string>{"X1.TXT:251", "X3.TXT:1"}));
  EXPECT_EQ(c.warnings, 250 + 2 + 1);  // and "no-soil-table"
}

TEST_F(Check, MessagesQuoteAFewHundredBytesOfAField) {
  f_.Table("X1.TXT", "1," + std::string(1 << 20, 'x') + ",101,a\r\n");
  BoringCheck c = Run();
  ASSERT_EQ(Where(c, "not-a-number").size(), 1u);
  const Finding& f = *std::find_if(c.findings.begin(), c.findings.end(),
                                   [](const Finding& each) { return each.code == "not-a-number"; });
  EXPECT_EQ(f.message,
            "2 番目の項目「" + std::string(kExcerptBytes, 'x') + "…」は数値ではありません (0 として変換されます)");
}

// Penetration tests beyond 999 are all written, their numbers wrapping; rows of the table
// blocks beyond 999 are not written.
TEST_F(Check, MoreThan999RowsSaysWhatBecomesOfThem) {
  std::string tests, soil;
  for (int i = 1; i <= 1000; ++i) tests += std::to_string(i) + "," + std::to_string(i) + ",5,,30,,,,,,\r\n";
  for (int i = 1; i <= 1000; ++i) soil += std::to_string(i) + std::string(43, ',') + "\r\n";
  f_.Table("X5.TXT", tests);
  f_.Table("X100.txt", soil);
  BoringCheck c = Run();
  std::vector<std::string> said;
  for (const Finding& f : c.findings)
    if (f.code == "too-many-rows") said.push_back(f.file.substr(f.file.find_last_of('\\') + 1) + ": " + f.message);
  EXPECT_EQ(said, (std::vector<std::string>{
                      "X5.TXT: 999 行を超えています (件数と行番号は下三桁だけになり、000 から繰り返されます)",
                      "X100.txt: 999 行を超えています (それより後の行は変換されません)"}));
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

TEST_F(Check, CoordinatesAndMeshCode) {
  f_.Table("titl01.txt", test::Titl01("35", "", "", "", "", ""));
  EXPECT_EQ(Where(Run(), "no-coordinates"), (std::vector<std::string>{"titl01.txt:0"}));
  f_.Table("titl01.txt", test::Titl01("36", "1", "0", "136", "11", "45"));  // on a third-level edge
  BoringCheck edge = Run();
  EXPECT_EQ(edge.meshCode, "54360125");  // the square the conversion names the file after
  EXPECT_EQ(edge.exchangeFileName, "54360125.001");
  EXPECT_TRUE(edge.findings.empty());
  f_.Table("titl01.txt", test::Titl01("35", "0", "0", "95", "0", "0"));  // west of the grid
  EXPECT_EQ(Where(Run(), "no-coordinates").size(), 1u);
  f_.Table("titl01.txt", test::Titl01("35", "0", "1e400", "139", "0", "0"));
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
      {"hexadecimal, d for e, two points",
       "X5.TXT",
       "1,0x10,1d2,1,1.2.3,,,,,,\r\n",
       "number-with-text",
       {"X5.TXT:1", "X5.TXT:1", "X5.TXT:1"}},
      {"a clean number", "X5.TXT", x5, "number-with-text", {}},
      {"a quote left open in the middle",
       "X1.TXT",
       "1,1.0,101,\"a\r\n2,2.0,102,b\"\r\n3,3.0,103,c\r\n",
       "quote-over-line-end",
       {"X1.TXT:1"}},
      {"a row number skipped", "X1.TXT", "1,1.0,101,a\r\n3,2.0,102,b\r\n", "row-number-gap", {"X1.TXT:2"}},
      {"a row number repeated", "L209.txt", "1,2,3\r\n1,4,5\r\n", "row-number-repeat", {}},
      {"a row number repeated in its table",
       "X3.TXT",
       "1,1.0,01,,,,\r\n1,2.0,02,,,,\r\n",
       "row-number-repeat",
       {"X3.TXT:2"}},
      {"no row numbers at all", "X3.TXT", "a,1.0,01,,,,\r\nb,2.0,02,,,,\r\n", "row-number-gap", {}},
      {"a row number beyond any count",
       "X3.TXT",
       "1,1.0,01,,,,\r\n80000000000000000000,2.0,02,,,,\r\n",
       "row-number-gap",
       {}},
      {"a layer 1,000 m deep", "X1.TXT", "1,1.0,101,a\r\n2,1000.5,102,b\r\n", "depth-cut", {"X1.TXT:2"}},
      {"a negative test depth", "X5.TXT", "1,-5,3,1,30,,,,,,\r\n", "depth-cut", {"X5.TXT:1"}},
      {"an L209 depth of 1,200 m",
       "L209.txt",
       "1,2,1200,4,5,6,7,8,9,10,11,12,13,14,15\r\n",
       "value-cut",
       {"L209.txt:1"}},
      {"an L201 value of five digits",
       "L201.txt",
       "1,2,3,4,5,12345,7,8,9,10,11,12,13,14,15\r\n",
       "value-cut",
       {"L201.txt:1"}},
      {"a permeability beyond single precision",
       "L204.txt",
       "1,0.5,3.00,1e308,,,,,,,,,,,\r\n",
       "value-cut",
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

TEST_F(Check, PenetrationRowsBeyond999AreToldAsTheyAreWritten) {
  std::string rows;
  for (int i = 1; i <= 1000; ++i) rows += std::to_string(i) + "," + std::to_string(i) + ".15,3,1,30,,,,,,\r\n";
  f_.Table("X5.TXT", rows);
  BoringCheck c = Run();
  ASSERT_EQ(Where(c, "too-many-rows"), (std::vector<std::string>{"X5.TXT:1000"}));
  for (const Finding& f : c.findings) {
    if (f.code != "too-many-rows") continue;
    EXPECT_NE(f.message.find("000 から繰り返されます"), std::string::npos) << f.message;
  }
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
    for (const Finding& f : c.findings) {
      if (f.code != "coordinate-written-differently") continue;
      EXPECT_NE(f.message.find(std::string("「") + written + "」"), std::string::npos) << f.message;
    }
  }
  f_.Table("titl01.txt", test::SampleTitl01());
  EXPECT_TRUE(Where(Run(), "coordinate-written-differently").empty());
}

// The header's total depth takes the depth text's guard, so a bottom of whole centimetres
// (15.45, held as 15.4499998) is written alike in both; a bottom of finer decimals may not be.
TEST_F(Check, TotalDepthCutBySinglePrecision) {
  f_.Table("X1.TXT", "1,1.20,101,a\r\n2,10.009,102,b\r\n");
  EXPECT_EQ(Where(Run(), "total-depth-differs"), (std::vector<std::string>{"X1.TXT:2"}));
  for (const char* bottom : {"15.45", "15.50"}) {
    f_.Table("X1.TXT", std::string("1,1.20,101,a\r\n2,") + bottom + ",102,b\r\n");
    EXPECT_TRUE(Where(Run(), "total-depth-differs").empty()) << bottom;
  }
}

TEST_F(Check, MissingTitleTableIsNamed) {
  std::filesystem::remove(f_.source() / "titl01.txt");
  BoringCheck c = Run();
  EXPECT_EQ(Where(c, "no-title-table"), (std::vector<std::string>{"titl01.txt:0"}));
  EXPECT_TRUE(Where(c, "no-coordinates").empty());
}

// A destination "BORLING.NO" cannot record is refused before anything is read, as the
// conversion refuses it.
TEST_F(Check, ADestinationThatBorlingNoCannotRecordIsAnError) {
  std::filesystem::path destination = f_.root.path() / "出力Ω\xC3\xA9";  // é has no CP932 form
  std::filesystem::create_directories(destination);
  BoringCheck c = CheckBoring(context_, f_.sourceDrive(), *test::EnvironmentDrives().ToDriveForm(destination));
  EXPECT_EQ(c.errors, 1);
  ASSERT_EQ(c.findings.size(), 1u);
  EXPECT_EQ(c.findings[0].code, "stopped");
  EXPECT_NE(c.findings[0].message.find("Shift-JIS (CP932) で書けない文字"), std::string::npos) << c.findings[0].message;
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
  EXPECT_EQ(Where(Run(), "extension-character"), (std::vector<std::string>{"X1.TXT:1", "X1.TXT:2", "X1.TXT:4"}));
}

}  // namespace
}  // namespace zk
