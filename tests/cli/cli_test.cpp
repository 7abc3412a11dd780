#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <cstdlib>
#include <sys/wait.h>

#include "support/run_fixture.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;
using test::RunFolders;

struct Outcome {
  int status;
  std::string out, err;
};

// Runs the real program with a settings folder of its own; standard input is not a terminal.
Outcome RunCli(const std::string& args, const fs::path& sysdir) {
  fs::path errFile = sysdir / "stderr.txt";
  std::string command = "ZK_SYSDIR='" + sysdir.string() + "' '" ZK_CLI "' " + args + " </dev/null 2>'" +
                        errFile.string() + "'";
  Outcome o{};
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) o.out.append(buffer, n);
  int raw = pclose(pipe);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  o.err = test::ReadBytes(errFile);
  return o;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(f_.root.path() / "codes");
    fs::create_directories(f_.root.path() / "sys");
    f_.root.WriteBytes("sys/RaroreD5.ini", "[settings]\r\n" + (f_.root.path() / "codes").string() + "/\r\n");
    f_.Table("titl01.txt", test::SampleTitl01());
  }
  Outcome Run(const std::string& args) { return RunCli(args, f_.root.path() / "sys"); }
  std::string Src() const { return "'" + f_.source().string() + "'"; }
  std::string Dest() const { return "'" + f_.destination().string() + "'"; }
  RunFolders f_;
};

TEST_F(Cli, ConvertsAndPrintsTheHostPath) {
  Outcome o = Run("--yes --dest " + Dest() + " " + Src());
  EXPECT_EQ(o.status, kSuccess) << o.err;
  EXPECT_EQ(o.out, (f_.destination() / "53393681.001").string() + "\n");
  EXPECT_EQ(test::ReadBytes(f_.source() / "BORLING.NO"), f_.destinationDrive() + "\\53393681.001\r\n");
}

TEST_F(Cli, SecondRunAsksAndWithoutATerminalAnswersNo) {
  ASSERT_EQ(Run("--dest " + Dest() + " " + Src()).status, kSuccess);
  Outcome o = Run("--dest " + Dest() + " " + Src());
  EXPECT_EQ(o.status, kStopped);
  EXPECT_NE(o.err.find("変換済みです。変換を実行しますか？ いいえ"), std::string::npos) << o.err;
  Outcome yes = Run("--yes --dest " + Dest() + " " + Src());
  EXPECT_EQ(yes.status, kSuccess);
  EXPECT_EQ(yes.out, (f_.destination() / "53393681.001").string() + "\n");
}

TEST_F(Cli, NextNumberAfterTheHighest) {
  for (const char* name : {"53393681.001", "53393681.007", "53393681.TXT"}) f_.root.WriteBytes(std::string("OUT/") + name, "x");
  Outcome o = Run("--dest " + Dest() + " " + Src());
  EXPECT_EQ(o.status, kSuccess) << o.err;
  EXPECT_EQ(o.out, (f_.destination() / "53393681.008").string() + "\n");
}

TEST_F(Cli, HostFolderWithAFinalSlashIsTheFolder) {
  Outcome o = Run("--dest " + Dest() + "/ " + Src());
  EXPECT_EQ(o.status, kSuccess) << o.err;
}

TEST_F(Cli, DriveFormPathsAreTakenAsTheyAre) {
  Outcome o = Run("--dest '" + f_.destinationDrive() + "' '" + f_.sourceDrive() + "'");
  EXPECT_EQ(o.status, kSuccess) << o.err;
}

TEST_F(Cli, MessagesWithTitleAndABatchThatGoesOn) {
  fs::create_directories(f_.root.path() / "EMPTY");
  std::string empty = "'" + (f_.root.path() / "EMPTY").string() + "'";
  Outcome o = Run("--dest '" + f_.destinationDrive() + "\\' " + Src());
  EXPECT_EQ(o.status, kStopped);
  EXPECT_NE(o.err.find(f_.destinationDrive() + "\\: 最後のフォルダに「￥」は要りません。"), std::string::npos) << o.err;

  o = Run("--yes --dest " + Dest() + " " + empty + " " + Src());
  EXPECT_EQ(o.status, kStopped);
  EXPECT_NE(o.err.find("緯度・経度が正しくありません。\n"), std::string::npos) << o.err;
  EXPECT_EQ(o.out, (f_.destination() / "53393681.001").string() + "\n");  // the second boring still converted
}

TEST_F(Cli, MissingDestinationFoldersWithYesAndNo) {
  Outcome no = Run("--no --dest " + Dest() + "/a/b " + Src());
  EXPECT_EQ(no.status, kStopped);
  EXPECT_FALSE(fs::exists(f_.destination() / "a"));
  Outcome yes = Run("--yes --dest " + Dest() + "/a/b " + Src());
  EXPECT_EQ(yes.status, kSuccess) << yes.err;
  EXPECT_TRUE(fs::exists(f_.destination() / "a" / "b" / "53393681.001"));
}

TEST_F(Cli, MissingSettingStopsAtStart) {
  fs::remove(f_.root.path() / "sys" / "RaroreD5.ini");
  Outcome o = Run("--dest " + Dest() + " " + Src());
  EXPECT_EQ(o.status, kStopped);
  EXPECT_EQ(o.err.substr(0, o.err.find('\n') + 1), " VUREDA の設定がありません.\n");
  EXPECT_FALSE(fs::exists(f_.destination() / "53393681.001"));
}

TEST_F(Cli, UsageErrors) {
  for (const char* args : {"", "--dest", "--yes --no --dest x y", "--frobnicate --dest x y", "--dest x"}) {
    Outcome o = Run(args);
    EXPECT_EQ(o.status, kUsage) << args;
    EXPECT_NE(o.err.find("使い方"), std::string::npos) << args;
  }
  Outcome help = Run("--help");
  EXPECT_EQ(help.status, kSuccess);
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
  EXPECT_EQ(o.status, kStopped) << o.err;
  EXPECT_NE(o.out.find("== " + f_.sourceDrive() + "  メッシュコード 53393681  交換ファイル 53393681.001\n"),
            std::string::npos) << o.out;
  EXPECT_NE(o.out.find(f_.sourceDrive() + "\\X1.TXT:2: warning: 深度 0.5"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find(f_.sourceDrive() + "\\X3.TXT:1: error: Shift-JIS"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("エラー 1 件, 警告"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("合計: ボーリング 1 本"), std::string::npos) << o.out;
  EXPECT_EQ(Everything(), before);

  fs::remove(f_.source() / "X3.TXT");
  Outcome clean = Run("--check " + Src());
  EXPECT_EQ(clean.status, kSuccess) << clean.out;  // warnings alone do not fail
  EXPECT_EQ(Everything().size(), before.size() - 1);  // X3.TXT gone, nothing added
}

TEST_F(Cli, CheckAsJsonHoldsTheSameFindings) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,\"102\r\n");
  Outcome text = Run("--check " + Src());
  Outcome json = Run("--check --format json " + Src());
  EXPECT_EQ(json.status, text.status);
  fs::path file = f_.root.path() / "report.json";
  std::ofstream(file) << json.out;
  if (std::system("command -v python3 >/dev/null") == 0) {
    std::string parse = "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                        "print(len(d[\"borings\"][0][\"findings\"]))' '" + file.string() + "' > '" +
                        file.string() + ".n'";
    ASSERT_EQ(std::system(parse.c_str()), 0) << json.out;
    long findings = std::stol(test::ReadBytes(file.string() + ".n"));
    long lines = 0;
    for (std::size_t at = text.out.find(": warning: "); at != std::string::npos; at = text.out.find(": warning: ", at + 1))
      ++lines;
    EXPECT_EQ(findings, lines);
  }
  EXPECT_NE(json.out.find("\"code\": \"unclosed-quote\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"line\": 2"), std::string::npos);
}

TEST_F(Cli, ConversionPrintsWhatChangedTheData) {
  f_.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,102,b\r\n");
  Outcome o = Run("--yes --dest " + Dest() + " " + Src());
  EXPECT_EQ(o.status, kSuccess);
  EXPECT_NE(o.err.find("X1.TXT:2: warning: 深度 0.5"), std::string::npos) << o.err;
  EXPECT_EQ(o.err.find(": error: "), std::string::npos);
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
