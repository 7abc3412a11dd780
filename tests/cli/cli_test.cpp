#include "cli/cli.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

#include "support/cli_run.h"
#include "support/json_value.h"
#include "support/run_fixture.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;
using test::RunFolders;
using Outcome = test::CliOutcome;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(f_.root.path() / "codes");
    fs::create_directories(f_.root.path() / "sys");
    f_.root.WriteBytes("sys/RaroreD5.ini", "[settings]\r\n" + (f_.root.path() / "codes").string() + "/\r\n");
    f_.Table("titl01.txt", test::SampleTitl01());
  }
  Outcome Run(const std::string& args) { return test::RunCli(test::ShellWords(args), f_.root.path() / "sys"); }
  std::string Src() const { return "'" + f_.source().string() + "'"; }
  std::string Dest() const { return "'" + f_.destination().string() + "'"; }
  RunFolders f_;
};

TEST_F(Cli, ConvertsAndPrintsTheHostPath) {
  Outcome o = Run("--yes --dest " + Dest() + " " + Src());
  EXPECT_EQ(o.code, kSuccess) << o.err;
  EXPECT_EQ(o.out, (f_.destination() / "53393681.001").string() + "\n");
  EXPECT_EQ(test::ReadBytes(f_.source() / "BORLING.NO"), f_.destinationDrive() + "\\53393681.001\r\n");
}

TEST_F(Cli, SecondRunAsksAndWithoutATerminalAnswersNo) {
  ASSERT_EQ(Run("--dest " + Dest() + " " + Src()).code, kSuccess);
  Outcome o = Run("--dest " + Dest() + " " + Src());
  EXPECT_EQ(o.code, kStopped);
  EXPECT_NE(o.err.find("変換済みです。変換を実行しますか？ いいえ"), std::string::npos) << o.err;
  Outcome yes = Run("--yes --dest " + Dest() + " " + Src());
  EXPECT_EQ(yes.code, kSuccess);
  EXPECT_EQ(yes.out, (f_.destination() / "53393681.001").string() + "\n");
}

TEST_F(Cli, NextNumberAfterTheHighest) {
  for (const char* name : {"53393681.001", "53393681.007", "53393681.TXT"})
    f_.root.WriteBytes(std::string("OUT/") + name, "x");
  Outcome o = Run("--dest " + Dest() + " " + Src());
  EXPECT_EQ(o.code, kSuccess) << o.err;
  EXPECT_EQ(o.out, (f_.destination() / "53393681.008").string() + "\n");
}

TEST_F(Cli, HostFolderWithAFinalSlashIsTheFolder) {
  Outcome o = Run("--dest " + Dest() + "/ " + Src());
  EXPECT_EQ(o.code, kSuccess) << o.err;
}

TEST_F(Cli, DriveFormPathsAreTakenAsTheyAre) {
  Outcome o = Run("--dest '" + f_.destinationDrive() + "' '" + f_.sourceDrive() + "'");
  EXPECT_EQ(o.code, kSuccess) << o.err;
}

TEST_F(Cli, MessagesWithTitleAndABatchThatGoesOn) {
  fs::create_directories(f_.root.path() / "EMPTY");
  std::string empty = "'" + (f_.root.path() / "EMPTY").string() + "'";
  Outcome o;
#ifndef _WIN32  // on Windows the drive form is the host path, whose final separator names the folder
  o = Run("--dest '" + f_.destinationDrive() + "\\' " + Src());
  EXPECT_EQ(o.code, kStopped);
  EXPECT_NE(o.err.find(f_.destinationDrive() + "\\: 最後のフォルダに「￥」は要りません。"), std::string::npos) << o.err;
#endif

  o = Run("--yes --dest " + Dest() + " " + empty + " " + Src());
  EXPECT_EQ(o.code, kStopped);
  EXPECT_NE(o.err.find("緯度・経度が正しくありません。\n"), std::string::npos) << o.err;
  EXPECT_EQ(o.out, (f_.destination() / "53393681.001").string() + "\n");  // the second boring still converted
}

TEST_F(Cli, MissingDestinationFoldersWithYesAndNo) {
  Outcome no = Run("--no --dest " + Dest() + "/a/b " + Src());
  EXPECT_EQ(no.code, kStopped);
  EXPECT_FALSE(fs::exists(f_.destination() / "a"));
  Outcome yes = Run("--yes --dest " + Dest() + "/a/b " + Src());
  EXPECT_EQ(yes.code, kSuccess) << yes.err;
  EXPECT_TRUE(fs::exists(f_.destination() / "a" / "b" / "53393681.001"));
}

TEST_F(Cli, MissingSettingStopsAtStart) {
  fs::remove(f_.root.path() / "sys" / "RaroreD5.ini");
  Outcome o = Run("--dest " + Dest() + " " + Src());
  EXPECT_EQ(o.code, kStopped);
  EXPECT_EQ(o.err.substr(0, o.err.find('\n') + 1), " VUREDA の設定がありません.\n");
  EXPECT_FALSE(fs::exists(f_.destination() / "53393681.001"));
}

TEST_F(Cli, UsageErrors) {
  for (const char* args : {"", "--dest", "--yes --no --dest x y", "--frobnicate --dest x y", "--dest x"}) {
    Outcome o = Run(args);
    EXPECT_EQ(o.code, kUsage) << args;
    EXPECT_NE(o.err.find("使い方"), std::string::npos) << args;
  }
  Outcome help = Run("--help");
  EXPECT_EQ(help.code, kSuccess);
  EXPECT_NE(help.out.find("--dest"), std::string::npos);
}

// Every file of a tree with its bytes.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    files[fs::relative(e.path(), root).string()] = e.is_regular_file() ? test::ReadBytes(e.path()) : "<folder>";
  return files;
}

TEST_F(Cli, CheckReportsByFileAndLineAndWritesNothing) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,102,b\r\n");
  f_.root.WriteBytes("B01/X3.TXT", "1,\x80");
  auto Everything = [&] {  // the boring, the destination and the code tables
    auto all = Tree(f_.source());
    all.merge(Tree(f_.destination()));
    all.merge(Tree(f_.root.path() / "codes"));
    all["listing"] = std::to_string(std::distance(fs::directory_iterator(f_.root.path()), fs::directory_iterator()));
    return all;
  };
  auto before = Everything();
  Outcome o = Run("--check " + Src());
  EXPECT_EQ(o.code, kStopped) << o.err;
  EXPECT_NE(o.out.find("== " + f_.sourceDrive() + "  メッシュコード 53393681  交換ファイル 53393681.001\n"),
            std::string::npos)
      << o.out;
  EXPECT_NE(o.out.find(f_.sourceDrive() + "\\X1.TXT:2: warning: 深度 0.5"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find(f_.sourceDrive() + "\\X3.TXT:1: error: Shift-JIS"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("エラー 1 件, 警告"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("合計: ボーリング 1 本"), std::string::npos) << o.out;
  EXPECT_EQ(Everything(), before);

  fs::remove(f_.source() / "X3.TXT");
  Outcome clean = Run("--check " + Src());
  EXPECT_EQ(clean.code, kSuccess) << clean.out;       // warnings alone do not fail
  EXPECT_EQ(Everything().size(), before.size() - 1);  // X3.TXT gone, nothing added
}

TEST_F(Cli, CheckAsJsonHoldsTheSameFindings) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,\"102\r\n");
  Outcome text = Run("--check " + Src());
  Outcome json = Run("--check --format json " + Src());
  EXPECT_EQ(json.code, text.code);
  test::JsonValue doc;
  std::string error;
  ASSERT_TRUE(test::JsonReader::Parse(json.out, doc, error)) << error << "\n" << json.out;
  std::size_t lines = 0;
  for (std::size_t at = text.out.find(": warning: "); at != std::string::npos;
       at = text.out.find(": warning: ", at + 1))
    ++lines;
  EXPECT_EQ(doc["borings"][0]["findings"].items.size(), lines);
  EXPECT_NE(json.out.find("\"code\": \"unclosed-quote\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"line\": 2"), std::string::npos);
}

TEST_F(Cli, CheckAsJsonIsValidForAFolderNameInAnotherEncoding) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows keeps names in UTF-16: every folder name has a UTF-8 form";
#endif
  fs::path latin1 = f_.root.path() / "caf\xe9";  // "café" in ISO 8859-1: no UTF-8
  fs::create_directories(latin1);
  fs::copy_file(f_.source() / "titl01.txt", latin1 / "titl01.txt");
  Outcome json = Run("--check --format json '" + latin1.string() + "'");
  // Refused as the conversion refuses it (no Shift-JIS form), and told in valid JSON.
  EXPECT_EQ(json.code, kStopped) << json.out;
  EXPECT_NE(json.out.find("\"code\": \"stopped\""), std::string::npos) << json.out;
  test::JsonValue doc;
  std::string error;
  EXPECT_TRUE(test::JsonReader::Parse(json.out, doc, error)) << error << "\n" << json.out;
}

TEST_F(Cli, ABatchNamesTheBoringThatStoppedAndWhy) {
  fs::create_directories(f_.root.path() / "EMPTY");
  Outcome o = Run("--yes --dest " + Dest() + " '" + (f_.root.path() / "EMPTY").string() + "' " + Src());
  EXPECT_EQ(o.code, kStopped);
  EXPECT_NE(o.err.find("緯度・経度が正しくありません。\n"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find(f_.root.Drive("EMPTY") + "\\titl01.txt: error: 表題の表 titl01.txt がありません"),
            std::string::npos)
      << o.err;
}

TEST_F(Cli, ConversionPrintsWhatChangedTheData) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,102,b\r\n");
  Outcome o = Run("--yes --dest " + Dest() + " " + Src());
  EXPECT_EQ(o.code, kSuccess);
  EXPECT_NE(o.err.find("X1.TXT:2: warning: 深度 0.5"), std::string::npos) << o.err;
  EXPECT_EQ(o.err.find(": error: "), std::string::npos);
}

// What lies under a table's name is decided once, when the boring is taken, and the check and
// the conversion see the same verdict: where the conversion refuses, the check has an error.
TEST_F(Cli, CheckHasAnErrorWhereverTheConversionRefuses) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;  // puts something under X1.TXT
    const char* why;
  };
  std::vector<Case> cases = {
      {"folder", [](const fs::path& p) { fs::create_directory(p); }, "フォルダ"},
  };
#ifndef _WIN32  // pipes, links and permission bits: Windows has none of them to make here
  cases.push_back({"pipe", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, "普通のファイルではありません"});
  cases.push_back({"dangling link", [](const fs::path& p) { fs::create_symlink(p.parent_path() / "nowhere", p); },
                   "リンク先のファイルがありません"});
  cases.push_back(
      {"device", [](const fs::path& p) { fs::create_symlink("/dev/null", p); }, "普通のファイルではありません"});
  cases.push_back({"unreadable",
                   [](const fs::path& p) {
                     std::ofstream(p) << "1,1.0,101,a\r\n";
                     fs::permissions(p, fs::perms::none);
                   },
                   "開けません"});
#endif
  for (const Case& c : cases) {
    fs::path x1 = f_.source() / "X1.TXT";
    fs::remove_all(x1);
    c.make(x1);
    Outcome check = Run("--check " + Src());
    Outcome convert = Run("--yes --dest " + Dest() + " " + Src());
#ifndef _WIN32
    if (std::string(c.name) == "unreadable" && ::geteuid() == 0) {  // root reads it all the same
      EXPECT_EQ(check.code, convert.code) << c.name;
      continue;
    }
#endif
    EXPECT_EQ(convert.code, kStopped) << c.name << convert.err;
    // Told once: the message names the table and why; no error line repeats it.
    std::size_t told = convert.err.find(c.why);
    EXPECT_NE(told, std::string::npos) << c.name << convert.err;
    EXPECT_EQ(convert.err.find(c.why, told + 1), std::string::npos) << c.name << convert.err;
    EXPECT_EQ(check.code, kStopped) << c.name << check.out;
    EXPECT_NE(check.out.find("X1.TXT: error: "), std::string::npos) << c.name << check.out;
    EXPECT_NE(check.out.find(c.why), std::string::npos) << c.name << check.out;
    EXPECT_FALSE(fs::exists(f_.destination() / "53393681.001")) << c.name;
  }
}

TEST(ParseArgumentsTest, Table) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    Answer answer;
    std::size_t sources;
  };
  const Case cases[] = {
      {{"--dest", "d", "s"}, true, Answer::Ask, 1},
      {{"--yes", "--dest", "d", "s1", "s2"}, true, Answer::Yes, 2},
      {{"--dest=d", "--no", "s"}, true, Answer::No, 1},
      {{"--yes", "--yes", "--dest", "d", "s"}, true, Answer::Yes, 1},
      {{"s"}, false, Answer::Ask, 0},
      {{"--dest", "d"}, false, Answer::Ask, 0},
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    EXPECT_EQ(ParseArguments(c.args, options, error), c.ok) << c.args.size();
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(options.answer, c.answer);
    EXPECT_EQ(options.sources.size(), c.sources);
    EXPECT_EQ(options.destination, "d");
  }
}

}  // namespace
}  // namespace zk::cli
