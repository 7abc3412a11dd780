#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/test_util.h"
#include "support/xml_scan.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using Ran = test::CliOutcome;

using test::RunMain;

const fs::path kFixture = ZK_FIXTURES "/exchange/53393681.001";

TEST(PictureMode, ParsesItsArguments) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    const char* says;
  };
  const Case cases[] = {
      {{"--picture", "out", "a.001", "b.001"}, true, ""},
      {{"--picture=out", "a.001"}, true, ""},
      {{"--picture"}, false, "出力フォルダがありません"},
      {{"--picture", "out"}, false, "交換ファイルを指定"},
      {{"--picture=", "a.001"}, false, "出力フォルダが空"},
      {{"--picture", "out", "--dest", "d", "a.001"}, false, "同時に"},
      {{"--yes", "--picture", "out", "a.001"}, false, "同時に"},
      {{"--dest", "d", "src"}, true, ""},  // the conversion as before
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    EXPECT_EQ(ParseArguments(c.args, options, error), c.ok) << c.args.front() << " " << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
  Options options;
  std::string error;
  ASSERT_TRUE(ParseArguments({"--picture", "out", "a.001", "b.001"}, options, error));
  EXPECT_TRUE(options.picture);
  EXPECT_EQ(options.pictureFolder, "out");
  EXPECT_EQ(options.sources, (std::vector<std::string>{"a.001", "b.001"}));
}

TEST(PictureMode, UsageNamesBothModes) {
  Ran help = RunMain({"--help"});
  EXPECT_EQ(help.code, kSuccess);
  EXPECT_NE(help.out.find("--dest DEST_FOLDER SOURCE_FOLDER"), std::string::npos);
  EXPECT_NE(help.out.find("--picture OUT_FOLDER EXCHANGE_FILE"), std::string::npos);
  Ran bad = RunMain({"--picture"});
  EXPECT_EQ(bad.code, kUsage);
  EXPECT_NE(bad.err.find("使い方"), std::string::npos);
}

TEST(PictureMode, DrawsEveryFileAndTellsOfEveryRefusal) {
  TempFolder dir;
  fs::create_directories(dir.path() / "a");
  fs::create_directories(dir.path() / "b");
  fs::create_directories(dir.path() / "pictures");
  fs::copy_file(kFixture, dir.path() / "a" / "53393681.001");
  fs::copy_file(kFixture, dir.path() / "b" / "53393681.001");
  dir.WriteBytes("a/53393681.002", "\"A\",\"53393681002\",\"000\"\n");
  std::string pictures = (dir.path() / "pictures").string();

  Ran all = RunMain({"--picture", pictures, (dir.path() / "a" / "53393681.001").string(), dir.Drive("a\\53393681.002"),
                     (dir.path() / "b" / "53393681.001").string()});
  EXPECT_EQ(all.code, kStopped);
  EXPECT_EQ(all.out, (dir.path() / "pictures" / "53393681.001.svg").string() + "\n");
  EXPECT_NE(all.err.find("53393681.002」 1 行目"), std::string::npos) << all.err;
  EXPECT_NE(all.err.find("既に書きました"), std::string::npos) << all.err;
  EXPECT_TRUE(test::ScanXml(test::ReadBytes(dir.path() / "pictures" / "53393681.001.svg")).ok());
  EXPECT_FALSE(fs::exists(dir.path() / "pictures" / "53393681.002.svg"));

  Ran missingFolder =
      RunMain({"--picture", (dir.path() / "none").string(), (dir.path() / "a" / "53393681.001").string()});
  EXPECT_EQ(missingFolder.code, kStopped);
  EXPECT_NE(missingFolder.err.find("出力フォルダがありません"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path() / "none"));
}

// The program itself, as an engineer runs it.
TEST(PictureMode, EndToEnd) {
  TempFolder dir;
  fs::create_directories(dir.path() / "pictures");
  Ran run = test::RunCli({"--picture", (dir.path() / "pictures").string(), kFixture.string()}, dir.path());
  EXPECT_EQ(run.code, 0) << run.err;
  std::string svg = test::ReadBytes(dir.path() / "pictures" / "53393681.001.svg");
  test::XmlScan scan = test::ScanXml(svg);
  ASSERT_TRUE(scan.ok()) << scan.error;
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);

  run = test::RunCli({"--picture", (dir.path() / "pictures").string(), (dir.path() / "missing.001").string()},
                     dir.path());
  EXPECT_EQ(run.code, 1);
}

}  // namespace
}  // namespace zk::cli
