#include "conversion/numbering.h"

#include <gtest/gtest.h>

#include "support/fake_window.h"
#include "support/run_fixture.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::FakeWindow;
using test::RunFolders;

TEST(MeshCode, ThirdLevelSquaresWorkedExactlyInDecimal) {
  struct Case {
    Coordinates where;
    const char* mesh;
  };
  const std::string digits400(400, '9');
  const Case cases[] = {
      {{"35", "39", "29.1", "139", "45", "45.5"}, "53393681"},
      {{"36", "0", "0", "140", "0", "0"}, "54400000"},          // on a first-level corner
      {{"35", "59", "59.9", "139", "59", "59.9"}, "53397799"},  // just inside its south-west neighbour
      {{"35", "40", "0", "139", "45", "0"}, "53394600"},        // on second- and third-level lines
      // On a third-level edge, where binary fractions fall just short of it (54360115, 45390610).
      {{"36", "1", "0", "136", "11", "45"}, "54360125"},
      {{"30", "1", "0", "139", "45", "0"}, "45390620"},
      {{"35", "39", "29.1", "130", "0", "45.0"}, "53303081"},
      {{"35", "39", "29.09999999999999999999", "139", "45", "45.5"}, "53393681"},
      {{"35", "39", "29.1" + std::string(400, '0'), "139", "45", "45.5"}, "53393681"},  // zeros are no digits
      {{"0035", "39", "0.0291e3", "1.39e2", "4.5E1", "45.5"}, "53393681"},  // the exponent as the number holds it
      {{" 35", "39m", "29.1", "139", "45", "45.5"}, "53393681"},            // lenient numbers
      {{"35", "", "", "", "8400", ""}, "52404000"},                         // minutes alone carry the degrees
      {{"35", "39", "-29.1", "139", "45", "45.5"}, "53393671"},             // a negative part within a positive point
      // No code: off the grid, negative, beyond what the arithmetic holds exactly.
      {{"35", "", "", "95", "", ""}, ""},
      {{"-35", "", "", "139", "", ""}, ""},
      {{"66", "40", "0", "139", "", ""}, ""},  // p would be 100
      {{"35", "", "", "1e400", "", ""}, ""},
      {{"35", "", "1e9", "139", "", ""}, ""},
      {{"35", "", "999999999", "139", "", ""}, ""},  // within the bounds, far off the grid
      {{"35", "", "1e-25", "139", "", ""}, ""},
      {{"35", "", "1." + digits400, "139", "", ""}, ""},
      {{digits400, "", "", "139", "", ""}, ""},
      {{"35", "", "1e-99999999999999999999", "139", "", ""}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComputeMeshCode(c.where), c.mesh)
        << c.where.latDegrees.substr(0, 20) << " " << c.where.latSeconds.substr(0, 20) << " "
        << c.where.lonDegrees.substr(0, 20);
}

TEST(SequenceNumber, HighestOfTheMeshPlusOne) {
  struct Case {
    std::vector<std::string> listing;
    long next;
  };
  const Case cases[] = {
      {{}, 1},
      {{"53393681.001", "53393681.007", "53393681.TXT"}, 8},
      {{"5339368A.002", "53393681.0001", "53393682.005", "x.txt"}, 1},
      {{"53393681.999"}, 1000},
      {{"53393681..12", "53393681.1.2"}, 2},  // digits and dots: the last three characters count
  };
  for (const auto& c : cases) EXPECT_EQ(NextSequenceNumber(c.listing, "53393681"), c.next);
  EXPECT_EQ(ExchangeFileNameOf("53393681", 1000), "53393681.000");
  EXPECT_EQ(ExchangeFileNameOf("53393681", 8), "53393681.008");
}

class Numbered : public ::testing::Test {
 protected:
  Numbering Assign(FakeWindow& ui) {
    Numbering result;
    Coordinates where{"35", "39", "29.1", "139", "45", "45.5"};
    EXPECT_TRUE(
        AssignExchangeFileName(test::EnvironmentDrives(), f_.sourceDrive(), f_.destinationDrive(), where, ui, result));
    return result;
  }
  void Destination(const std::string& name) const { f_.root.WriteBytes("OUT/" + name, "x"); }
  void Record(const std::string& text) const { f_.root.WriteBytes("B01/BORLING.NO", text); }
  RunFolders f_;
};

TEST_F(Numbered, EmptyDestinationWithoutRecordGivesOne) {
  FakeWindow ui;
  Numbering n = Assign(ui);
  EXPECT_EQ(n.exchangeFileName, "53393681.001");
  EXPECT_EQ(n.sequence, 1);
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(Numbered, ShortRecordFileIsDeletedUnasked) {
  for (const std::string text : {"", "x"}) {
    Record(text);
    FakeWindow ui;
    EXPECT_EQ(Assign(ui).exchangeFileName, "53393681.001");
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_FALSE(std::filesystem::exists(f_.source() / "BORLING.NO"));
  }
}

TEST_F(Numbered, RecordedNameIsOfferedAgainOnlyWhereItBelongs) {
  const std::string dest = f_.destinationDrive();
  std::string lower = dest;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  struct Case {
    const char* label;
    std::string record;
    bool reuse;
    const char* name;  // after Yes
  };
  const Case cases[] = {
      {"this folder, this mesh code", dest + "\\53393681.002\r\n", true, "53393681.002"},
      {"the folder in another letter case", "\"" + lower + "\\53393681.002\"\r\n", true, "53393681.002"},
      {"the folder with a final separator", dest + "\\\\53393681.002", true, "53393681.002"},
      {"another folder", "C:\\ELSEWHERE\\53393681.002\r\n", false, "53393681.006"},
      {"the folder's parent", f_.root.Drive() + "\\53393681.002", false, "53393681.006"},
      {"another mesh code (coordinates corrected)", dest + "\\53393682.002", false, "53393681.006"},
      {"not an exchange file name", dest + "\\X1.TXT", false, "53393681.006"},
      {"a system file's name", dest + "\\passwd", false, "53393681.006"},
      {"no dot", dest + "\\NODOT", false, "53393681.006"},
      {"four digits", dest + "\\53393681.0002", false, "53393681.006"},
      {"not in the folder", dest + "\\53393681.004", false, "53393681.006"},
  };
  for (const char* name :
       {"53393681.002", "53393681.005", "53393682.002", "X1.TXT", "passwd", "NODOT", "53393681.0002"})
    Destination(name);
  for (const Case& c : cases) {
    Record(c.record);
    std::string shown = c.record.substr(c.record.front() == '"' ? 1 : 0);
    shown = shown.substr(0, shown.find_first_of("\"\r"));
    FakeWindow ui;
    ui.answers = {true};
    Numbering n = Assign(ui);
    ASSERT_EQ(ui.questions.size(), 1u) << c.label;
    EXPECT_EQ(ui.questions[0],
              (c.reuse ? "既に同一ﾌｫﾙﾀﾞ「" : "既に「") + shown + "」に変換済みです。変換を実行しますか？")
        << c.label;
    EXPECT_EQ(n.exchangeFileName, c.name) << c.label;
    EXPECT_EQ(n.reuse, c.reuse) << c.label;
    EXPECT_EQ(n.sequence, c.reuse ? 2 : 6) << c.label;

    FakeWindow no;
    EXPECT_TRUE(Assign(no).stopped) << c.label;
  }
}

TEST_F(Numbered, RecordNamingAFileElsewhereAsksAndTakesTheNextNumber) {
  Destination("53393681.003");
  Record("\"Z:\\old\\53393681.001\"\r\n");
  FakeWindow ui;
  ui.answers = {true};
  Numbering n = Assign(ui);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "既に「Z:\\old\\53393681.001」に変換済みです。変換を実行しますか？");
  EXPECT_EQ(n.exchangeFileName, "53393681.004");

  FakeWindow no;
  EXPECT_TRUE(Assign(no).stopped);
}

// A "BORLING.NO" of 10 MB: the question quotes its first bytes and an ellipsis, its text
// otherwise as ever.
TEST_F(Numbered, QuestionQuotesAFewHundredBytesOfTheRecordFile) {
  Record("Z:\\old\\" + std::string(10 << 20, 'a') + "\r\n");
  FakeWindow ui;
  ui.answers = {false};
  EXPECT_TRUE(Assign(ui).stopped);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0],
            "既に「Z:\\old\\" + std::string(kExcerptBytes - 7, 'a') + "…」に変換済みです。変換を実行しますか？");
}

TEST_F(Numbered, AfterNineNineNineComesZeroThenNothing) {
  Destination("53393681.999");
  FakeWindow ui;
  EXPECT_EQ(Assign(ui).exchangeFileName, "53393681.000");
  Destination("53393681.000");
  Numbering n;
  Status s = AssignExchangeFileName(test::EnvironmentDrives(), f_.sourceDrive(), f_.destinationDrive(),
                                    {"35", "39", "29.1", "139", "45", "45.5"}, ui, n);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.file, f_.destinationDrive());
  EXPECT_NE(s.description.find("53393681"), std::string::npos) << s.description;
  EXPECT_TRUE(n.exchangeFileName.empty());
}

TEST_F(Numbered, DestinationThatCannotBeListedStops) {
  fs::remove(f_.destination());
  f_.root.WriteBytes("OUT", "a file where the folder should be");
  Numbering n;
  FakeWindow ui;
  Status s = AssignExchangeFileName(test::EnvironmentDrives(), f_.sourceDrive(), f_.destinationDrive(),
                                    {"35", "39", "29.1", "139", "45", "45.5"}, ui, n);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.file, f_.destinationDrive());
  EXPECT_NE(s.description.find("一覧を読めません"), std::string::npos) << s.description;
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(Numbered, NameFoundTakenWhenClaimedGivesTheNextFreeOne) {
  FakeWindow ui;
  Numbering n = Assign(ui);
  ASSERT_EQ(n.exchangeFileName, "53393681.001");
  Destination("53393681.001");  // another run was quicker
  std::vector<std::string> taken;
  ASSERT_TRUE(NumberAgain(test::EnvironmentDrives(), f_.destinationDrive(), taken, n));
  EXPECT_EQ(n.exchangeFileName, "53393681.002");
  EXPECT_EQ(n.sequence, 2);
  // A folder under the name is no file the listing shows, but the name stays taken.
  fs::create_directory(f_.destination() / "53393681.002");
  ASSERT_TRUE(NumberAgain(test::EnvironmentDrives(), f_.destinationDrive(), taken, n));
  EXPECT_EQ(n.exchangeFileName, "53393681.003");
  // Taken at .000 after .999: no number is left.
  Destination("53393681.999");
  n.exchangeFileName = "53393681.000";
  Status s = NumberAgain(test::EnvironmentDrives(), f_.destinationDrive(), taken, n);
  EXPECT_FALSE(s);
  EXPECT_NE(s.description.find("53393681"), std::string::npos) << s.description;
}

TEST(SameFolder, ComparedAsPathsWithoutLetterCase) {
  EXPECT_TRUE(SameFolder("Z:\\Work\\A\\", "z:\\work\\a"));
  EXPECT_TRUE(SameFolder("Z:\\work//A", "Z:\\work\\A"));
  EXPECT_TRUE(SameFolder("Z:\\", "z:\\"));
  EXPECT_FALSE(SameFolder("Z:\\work\\A", "Z:\\work\\B"));
  EXPECT_FALSE(SameFolder("Z:\\work\\A", "Y:\\work\\A"));
  EXPECT_FALSE(SameFolder("Z:\\work\\A\\sub", "Z:\\work\\A"));
}

TEST(ExchangeFileName, EightDigitsDotThree) {
  for (const char* yes : {"53393681.001", "00000000.000"}) EXPECT_TRUE(IsExchangeFileName(yes)) << yes;
  for (const char* no : {"53393681.0001", "5339368A.001", "53393681..01", "53393681.1.2", "53393681001", "X1.TXT", ""})
    EXPECT_FALSE(IsExchangeFileName(no)) << no;
}

TEST_F(Numbered, EveryFileOfALargeDestinationCounts) {
  for (int i = 1; i <= 300; ++i) Destination("other" + std::to_string(i) + ".txt");
  Destination("53393681.042");
  FakeWindow ui;
  EXPECT_EQ(Assign(ui).exchangeFileName, "53393681.043");
}

TEST_F(Numbered, RecordConversionWritesTheFullPath) {
  ASSERT_TRUE(RecordConversion(test::EnvironmentDrives(), f_.sourceDrive(), "Z:\\out", "53393681.001"));
  EXPECT_EQ(test::ReadBytes(f_.source() / "BORLING.NO"), "Z:\\out\\53393681.001\r\n");
}

}  // namespace
}  // namespace zk
