#include "conversion/window_runs.h"

#include <gtest/gtest.h>

#include "support/fake_window.h"
#include "support/run_fixture.h"
#include "support/test_util.h"

namespace zk {
namespace {

BoringCheck Sample(long errors, long warnings) {
  BoringCheck check;
  check.folder = "Z:\\b\\B01";
  check.exchangeFileName = "53393681.001";
  check.errors = errors;
  check.warnings = warnings;
  if (errors > 0)
    check.findings.push_back(
        {"Z:\\b\\B01\\titl01.txt", 0, Severity::Error, "no-coordinates", "緯度・経度の度が 0 か空です"});
  for (long i = 0; i < warnings; ++i)
    check.findings.push_back({"Z:\\b\\B01\\X1.TXT", 12 + i, Severity::Warning, "not-a-number", "2 番目の項目「x」"});
  return check;
}

// The status line's counts, the list's heading and its text, as both windows show them.
TEST(WindowRuns, FindingsTexts) {
  EXPECT_EQ(FindingsCountText(Sample(1, 2)), "エラー 1 件、警告 2 件");
  EXPECT_EQ(FindingsCountText(Sample(0, 2)), "警告 2 件");
  EXPECT_EQ(FindingsCountText(Sample(0, 0)), "");

  EXPECT_EQ(FindingsHeading(Sample(0, 1), true, "\n"),
            "「Z:\\b\\B01」 を 53393681.001 に変換しました: エラー 0 件、警告 1 件\n"
            "次の点で交換ファイルは表のとおりではありません。");
  EXPECT_EQ(FindingsHeading(Sample(0, 0), false, "\r\n"),
            "「Z:\\b\\B01」 の点検 (変換はしていません): エラー 0 件、警告 0 件\r\n"
            "変換すると交換ファイル 53393681.001 になります。\r\n指摘することはありません。");

  EXPECT_EQ(FindingsText(Sample(1, 1), "\r\n"),
            "Z:\\b\\B01: エラー 1 件、警告 1 件  交換ファイル 53393681.001\r\n"
            "Z:\\b\\B01\\titl01.txt: エラー: 緯度・経度の度が 0 か空です [no-coordinates]\r\n"
            "Z:\\b\\B01\\X1.TXT:12: 警告: 2 番目の項目「x」 [not-a-number]\r\n");
}

// A window's runs are not a batch: each lists the destination as it is now, so that a file
// removed since the last run leaves its number free again.
TEST(WindowRuns, EachRunListsTheDestinationAfresh) {
  test::RunFolders f;
  f.Table("titl01.txt", test::SampleTitl01());
  test::FakeWindow ui;
  ui.source = f.sourceDrive();
  ui.destination = f.destinationDrive();
  ui.context.destination = DestinationListing{f.destinationDrive(), {"53393681.001"}, 1};  // since removed
  RunResult r = RunWithFindings(ui, ui.context);
  ASSERT_TRUE(r.converted);
  EXPECT_EQ(r.exchangeFilePath, f.destinationDrive() + "\\53393681.001");
}

}  // namespace
}  // namespace zk
