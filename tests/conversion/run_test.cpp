#include "conversion/run.h"

#include <gtest/gtest.h>

#include "conversion/exchange_file.h"
#include "support/fake_window.h"
#include "support/run_fixture.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::FakeWindow;
using test::RunFolders;

constexpr const char* kBusyText = "只今変換中！　しばらくお待ちください。";
constexpr const char* kDoneText = "変換が正常に終了しました。";
constexpr const char* kBadPath = "指定されたパスは正しくありません。";

class Run : public ::testing::Test {
 protected:
  void SetUp() override {
    f_.Table("titl01.txt", test::SampleTitl01());
    ui_.source = f_.sourceDrive();
    ui_.destination = f_.destinationDrive();
  }
  // An orderly stop: one message (or none), the status line cleared last, the pointer normal.
  void ExpectStopped(const RunResult& r) { ExpectStoppedIn(ui_, r); }
  static void ExpectStoppedIn(const FakeWindow& ui, const RunResult& r) {
    EXPECT_FALSE(r.converted);
    ASSERT_FALSE(ui.statuses.empty());
    EXPECT_EQ(ui.statuses.front(), kBusyText);
    EXPECT_EQ(ui.LastStatus(), "");
    if (!ui.busy.empty()) {
      EXPECT_FALSE(ui.busy.back());
    }
    EXPECT_EQ(ui.refreshCount, 0);
  }
  std::vector<std::string> DestinationFiles() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(f_.destination())) names.push_back(e.path().filename().string());
    return names;
  }
  RunFolders f_;
  FakeWindow ui_;
};

TEST_F(Run, ConvertsAndRecords) {
  gCompletionFlag = 0;
  RunResult r = RunConversion(ui_);
  ASSERT_TRUE(r.converted);
  EXPECT_EQ(r.exchangeFilePath, f_.destinationDrive() + "\\53393681.001");
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{"53393681.001"});
  std::string bytes = test::ReadBytes(f_.destination() / "53393681.001");
  EXPECT_EQ(bytes.substr(0, 25), "\"A\",\"53393681001\",\"000\"\r\n");
  EXPECT_EQ(test::ReadBytes(f_.source() / "BORLING.NO"), f_.destinationDrive() + "\\53393681.001\r\n");
  EXPECT_EQ(ui_.statuses, (std::vector<std::string>{kBusyText, kDoneText}));
  EXPECT_EQ(ui_.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(ui_.refreshCount, 1);
  EXPECT_EQ(gCompletionFlag, 1);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(Run, BadSourcePathIsTitledWithIt) {
  ui_.source = "NODRIVE\\B01";
  ExpectStopped(RunConversion(ui_));
  ASSERT_EQ(ui_.messages.size(), 2u);  // the drive-name message, then the path message
  EXPECT_EQ(ui_.messages[1].text, kBadPath);
  EXPECT_EQ(ui_.messages[1].icon, Icon::Exclamation);
  EXPECT_EQ(ui_.messages[1].title, "NODRIVE\\B01");
  EXPECT_TRUE(ui_.busy.empty());
}

TEST_F(Run, BadDestinationPathFocusesIt) {
  ui_.destination = f_.destinationDrive() + "\\*.x";
  ExpectStopped(RunConversion(ui_));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, std::string(kBadPath) + "\n「*」や「?」(ワイルドカード) は使えません");
  EXPECT_EQ(ui_.messages[0].title, ui_.destination);
  EXPECT_EQ(ui_.focusCount, 1);
}

TEST_F(Run, FinalBackslashOfTheDestination) {
  ui_.destination = f_.destinationDrive() + "\\";
  ExpectStopped(RunConversion(ui_));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "最後のフォルダに「￥」は要りません。");
  EXPECT_EQ(ui_.messages[0].icon, Icon::Exclamation);
  EXPECT_EQ(ui_.messages[0].title, ui_.destination);
}

// Texts that change between the checks and the second reading: a window being edited.
class ChangingWindow : public FakeWindow {
 public:
  std::string later;
  bool sourceChanges = true;
  int sourceReads = 0, destinationReads = 0;
  std::string SourceText() override { return sourceChanges && sourceReads++ > 0 ? later : source; }
  std::string DestinationText() override { return !sourceChanges && destinationReads++ > 0 ? later : destination; }
};

TEST_F(Run, EmptyTextsOnTheSecondReading) {
  for (bool sourceChanges : {true, false}) {
    ChangingWindow ui;
    ui.source = ui_.source;
    ui.destination = ui_.destination;
    ui.later = "   ";
    ui.sourceChanges = sourceChanges;
    EXPECT_FALSE(RunConversion(ui).converted);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, sourceChanges ? "変換元ファイルが選択されていません。" : "変換先フォルダが選択されていません。");
    EXPECT_EQ(ui.messages.back().icon, Icon::None);
    EXPECT_EQ(ui.messages.back().title, "");
  }
}

TEST_F(Run, MissingDestinationFoldersAskedOnceAndCreatedTopFirst) {
  ui_.destination = f_.destinationDrive() + "\\new\\b";
  ui_.answers = {true};
  ASSERT_TRUE(RunConversion(ui_).converted);
  EXPECT_EQ(ui_.questions, std::vector<std::string>{"フォルダがありません。新規作成しますか？"});
  EXPECT_TRUE(fs::exists(f_.destination() / "new" / "b" / "53393681.001"));
}

TEST_F(Run, MissingDestinationDeclinedCreatesNothing) {
  ui_.destination = f_.destinationDrive() + "\\new\\b";
  ExpectStopped(RunConversion(ui_));
  EXPECT_EQ(ui_.questions.size(), 1u);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(fs::exists(f_.destination() / "new"));
}

TEST_F(Run, CoordinatesMissingOrZero) {
  const std::string cases[] = {"", test::Titl01("35", "39", "29.1", "", "45", "45.5"),
                               test::Titl01("0", "39", "29.1", "139", "45", "45.5"), "x"};
  for (const std::string& titl01 : cases) {
    FakeWindow ui;
    ui.source = ui_.source;
    ui.destination = ui_.destination;
    fs::remove(f_.source() / "titl01.txt");
    if (titl01 != "x") f_.Table("titl01.txt", titl01);
    EXPECT_FALSE(RunConversion(ui).converted);
    ASSERT_EQ(ui.messages.size(), 1u);
    // Without titl01.txt the line below says so.
    EXPECT_EQ(ui.messages[0].text, titl01 != "x" ? std::string("緯度・経度が正しくありません。")
                                                 : "緯度・経度が正しくありません。\n変換元フォルダ「" + ui.source +
                                                       "」に titl01.txt がありません");
    EXPECT_EQ(ui.messages[0].icon, Icon::None);
    EXPECT_EQ(ui.busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.LastStatus(), "");
  }
  EXPECT_TRUE(DestinationFiles().empty());
}

TEST_F(Run, InvalidCp932InATitleTableStopsWithFileAndLine) {
  f_.root.WriteBytes("B01/titl02.txt", "1,2\r\n3,\x81\r\n");
  ExpectStopped(RunConversion(ui_));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("titl02.txt"), std::string::npos);
  EXPECT_NE(ui_.messages[0].text.find("2 行目"), std::string::npos);
  EXPECT_TRUE(DestinationFiles().empty());
  EXPECT_FALSE(fs::exists(f_.source() / "BORLING.NO"));
}

TEST_F(Run, SecondRunAsksThenReusesTheName) {
  ASSERT_TRUE(RunConversion(ui_).converted);
  FakeWindow no;
  no.source = ui_.source;
  no.destination = ui_.destination;
  ExpectStoppedIn(no, RunConversion(no));
  EXPECT_EQ(no.questions.size(), 1u);

  FakeWindow yes;
  yes.source = ui_.source;
  yes.destination = ui_.destination;
  yes.answers = {true};
  ASSERT_TRUE(RunConversion(yes).converted);
  EXPECT_EQ(DestinationFiles(), std::vector<std::string>{"53393681.001"});
}

TEST_F(Run, LeftoversOfAKilledRunAreRemoved) {
  f_.root.WriteBytes(std::string("OUT/53393681.001") + kPartialSuffix, "cut sho");
  f_.root.WriteBytes(std::string("B01/BORLING.NO") + kPartialSuffix, "cut");
  f_.root.WriteBytes("OUT/notes.converting", "a file of the user's");
  ASSERT_TRUE(RunConversion(ui_).converted);
  auto names = DestinationFiles();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"53393681.001", "notes.converting"}));
  EXPECT_FALSE(fs::exists(f_.source() / (std::string("BORLING.NO") + kPartialSuffix)));
}

TEST_F(Run, RecordFileNamedInOtherLetterCaseIsRewritten) {
  f_.root.WriteBytes("B01/borling.no", "x");  // one byte: deleted, then written anew
  ASSERT_TRUE(RunConversion(ui_).converted);
  EXPECT_TRUE(fs::exists(f_.source() / "BORLING.NO"));
}

}  // namespace
}  // namespace zk
