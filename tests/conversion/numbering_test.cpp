#include "conversion/numbering.h"

#include <gtest/gtest.h>

#include "support/fake_window.h"
#include "support/run_fixture.h"

namespace zk {
namespace {

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
      {{" 35", "39m", "29.1", "139", "45", "45.5"}, "53393681"},  // lenient numbers
      {{"35", "", "", "", "8400", ""}, "52404000"},             // minutes alone carry the degrees
      {{"35", "39", "-29.1", "139", "45", "45.5"}, "53393671"},  // a negative part within a positive point
      // No code: off the grid, negative, beyond what the arithmetic holds exactly.
      {{"35", "", "", "95", "", ""}, ""},
      {{"-35", "", "", "139", "", ""}, ""},
      {{"66", "40", "0", "139", "", ""}, ""},                      // p would be 100
      {{"35", "", "", "1e400", "", ""}, ""},
      {{"35", "", "1e9", "139", "", ""}, ""},
      {{"35", "", "999999999", "139", "", ""}, ""},             // within the bounds, far off the grid
      {{"35", "", "1e-25", "139", "", ""}, ""},
      {{"35", "", "1." + digits400, "139", "", ""}, ""},
      {{digits400, "", "", "139", "", ""}, ""},
      {{"35", "", "1e-99999999999999999999", "139", "", ""}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComputeMeshCode(c.where), c.mesh) << c.where.latDegrees.substr(0, 20) << " " << c.where.latSeconds.substr(0, 20)
                                                << " " << c.where.lonDegrees.substr(0, 20);
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
    EXPECT_TRUE(AssignExchangeFileName(f_.sourceDrive(), f_.destinationDrive(), where, ui, result));
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

TEST_F(Numbered, RecordNamingAFileOfTheDestinationAsksAndReusesIt) {
  Destination("53393681.002");
  Destination("53393681.005");
  Record("C:\\ELSEWHERE\\53393681.002\r\n");  // only the name is compared
  FakeWindow ui;
  ui.answers = {true};
  Numbering n = Assign(ui);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "既に同一ﾌｫﾙﾀﾞ「C:\\ELSEWHERE\\53393681.002」に変換済みです。変換を実行しますか？");
  EXPECT_EQ(n.exchangeFileName, "53393681.002");
  EXPECT_EQ(n.sequence, 2);

  FakeWindow no;
  EXPECT_TRUE(Assign(no).stopped);
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

TEST_F(Numbered, ReusedNameWithoutDotHasNumberZero) {
  Destination("NODOT");
  Record("Z:\\x\\NODOT");
  FakeWindow ui;
  ui.answers = {true};
  Numbering n = Assign(ui);
  EXPECT_EQ(n.exchangeFileName, "NODOT");
  EXPECT_EQ(n.sequence, 0);
}

TEST_F(Numbered, EveryFileOfALargeDestinationCounts) {
  for (int i = 1; i <= 300; ++i) Destination("other" + std::to_string(i) + ".txt");
  Destination("53393681.042");
  FakeWindow ui;
  EXPECT_EQ(Assign(ui).exchangeFileName, "53393681.043");
}

TEST_F(Numbered, RecordConversionWritesTheFullPath) {
  ASSERT_TRUE(RecordConversion(f_.sourceDrive(), "Z:\\out", "53393681.001"));
  EXPECT_EQ(test::ReadBytes(f_.source() / "BORLING.NO"), "Z:\\out\\53393681.001\r\n");
}

}  // namespace
}  // namespace zk
