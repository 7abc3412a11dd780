// The command line over spoilt borings and killed runs: the exit status tells a stopped run,
// a batch goes on with the next boring, and a run killed at any moment leaves the destination
// as it was or with the complete new file, never a cut-short file under an exchange file's name.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "support/boring_fixture.h"
#include "support/run_program.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::BoringFixture;

// Starts the command line with stdout and stderr into files of root; the settings file names
// the fixture's code-table folder.
// tag tells apart the output files of runs that go on together.
std::unique_ptr<test::Program> StartCli(const BoringFixture& b, const std::vector<std::string>& args,
                                        const std::string& tag = "") {
  // Written once: runs started together read it while the next is started.
  if (!fs::exists(b.root.path() / "sys" / "RaroreD5.ini"))
    b.root.WriteBytes("sys/RaroreD5.ini", "[VUREDA]\r\n" + b.root.Drive("codes") + "\\\r\n");
  return std::make_unique<test::Program>(
      ZK_CLI, args, test::Environment{{"ZK_SYSDIR", (b.root.path() / "sys").string()}},
      b.root.path() / ("out" + tag + ".txt"), b.root.path() / ("err" + tag + ".txt"));
}

struct CliResult {
  int code = -1;
  std::string out, err;
};

CliResult RunCli(const BoringFixture& b, const std::vector<std::string>& args) {
  CliResult r;
  r.code = StartCli(b, args)->Wait();
  r.out = test::ReadBytes(b.root.path() / "out.txt");
  r.err = test::ReadBytes(b.root.path() / "err.txt");
  return r;
}

TEST(CliHostile, BatchGoesOnAfterAStoppedBoring) {
  BoringFixture b;
  test::CopyFolder(b.src(), b.root.path() / "bad");
  b.root.WriteBytes("bad/titl02.txt", "1,\r\n\x80");
  test::CopyFolder(b.src(), b.root.path() / "folder");
  fs::remove(b.root.path() / "folder" / "titl01.txt");
  fs::create_directory(b.root.path() / "folder" / "titl01.txt");
  CliResult r = RunCli(b, {"--dest", b.dst().string(), (b.root.path() / "bad").string(),
                           (b.root.path() / "folder").string(), b.src().string()});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.err.find("titl02.txt」 2 行目"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("フォルダ"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, (b.dst() / "53393681.001").string() + "\n");
  EXPECT_EQ(test::Snapshot(b.dst()).size(), 1u);
  EXPECT_FALSE(fs::exists(b.root.path() / "bad" / "BORLING.NO"));
}

TEST(CliHostile, ReconversionOfASpoiltBoringKeepsTheOldFile) {
  BoringFixture b;
  ASSERT_EQ(RunCli(b, {"--dest", b.dst().string(), b.src().string()}).code, 0);
  auto dstBefore = test::Snapshot(b.dst());
  auto record = test::ReadBytes(b.src() / "BORLING.NO");
  for (const char* spoilt : {"X1.TXT", "L201.txt", "titl01.txt"}) {
    fs::path table = b.src() / spoilt;
    std::string good = test::ReadBytes(table);
    b.root.WriteBytes(std::string("src/") + spoilt, std::string("1,\0\xff", 4));
    CliResult r = RunCli(b, {"--yes", "--dest", b.dst().string(), b.src().string()});
    b.root.WriteBytes(std::string("src/") + spoilt, good);
    if (r.code == 0 && std::string(spoilt) != "titl01.txt") continue;  // no block of this build reads it yet
    EXPECT_EQ(r.code, 1) << spoilt;
    EXPECT_NE(r.err.find(spoilt), std::string::npos) << r.err;
    EXPECT_EQ(test::Snapshot(b.dst()), dstBefore) << spoilt;
    EXPECT_EQ(test::ReadBytes(b.src() / "BORLING.NO"), record) << spoilt;
  }
}

// The complete file for sequence number n, from the complete file for 001.
std::string WithSequence(const std::string& reference, const std::string& name) {
  std::string text = reference;
  std::string from = "53393681001";
  std::string to = name.substr(0, 8) + name.substr(9, 3);
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

bool IsExchangeName(const std::string& name) {
  return name.size() == 12 && name.compare(0, 9, "53393681.") == 0 &&
         name.find_first_not_of("0123456789", 9) == std::string::npos;
}

TEST(CliHostile, KilledAtRandomMomentsLeavesOldOrCompleteFiles) {
  BoringFixture reference;
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunCli(reference, {"--dest", reference.dst().string(), reference.src().string()}).code, 0);
  auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  std::string complete = test::ReadBytes(reference.dst() / "53393681.001");

  BoringFixture b;
  b.root.WriteBytes("dst/53393681.001", "an earlier exchange file\r\n");
  b.root.WriteBytes("src/BORLING.NO", b.dstDrive() + "\\53393681.001\r\n");
  const std::string oldFile = "an earlier exchange file\r\n";
  std::mt19937 random(20240601);
  std::uniform_int_distribution<long> moment(0, static_cast<long>(runTime.count() * 12 / 10));
  for (int round = 0; round < 30; ++round) {
    auto child = StartCli(b, {"--yes", "--dest", b.dst().string(), b.src().string()});
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    child->Kill();

    for (const auto& [name, bytes] : test::Snapshot(b.dst())) {
      if (name.size() > 11 && name.compare(name.size() - 11, 11, ".converting") == 0) continue;
      ASSERT_TRUE(IsExchangeName(name)) << "round " << round << ": " << name;
      if (name == "53393681.001" && bytes == oldFile) continue;
      EXPECT_EQ(bytes, WithSequence(complete, name)) << "round " << round << ": " << name;
    }
    std::string record = test::ReadBytes(b.src() / "BORLING.NO");
    ASSERT_GE(record.size(), 2u) << "round " << round;
    EXPECT_EQ(record.substr(record.size() - 2), "\r\n") << "round " << round;
    std::string named = record.substr(record.rfind('\\') + 1, 12);
    EXPECT_TRUE(fs::exists(b.dst() / named)) << "round " << round << ": " << record;
  }
  CliResult last = RunCli(b, {"--yes", "--dest", b.dst().string(), b.src().string()});
  EXPECT_EQ(last.code, 0) << last.err;
  for (const auto& dir : {b.dst(), b.src()})
    for (const auto& entry : fs::directory_iterator(dir))
      EXPECT_NE(entry.path().extension(), ".converting") << "a leftover stayed: " << entry.path();
}

// Eight borings of one mesh code, told apart by their names (titl01 field 10), converted
// together into one folder, round after round: as two engineers on a shared folder, or a batch
// run with xargs -P. Each run claims a number of its own and no run fails for another.
TEST(CliHostile, ConcurrentRunsIntoOneFolderEachGetTheirOwnFile) {
  constexpr std::size_t kBorings = 8;
  constexpr int kRounds = 4;
  BoringFixture b;
  std::string titl01 = test::ReadBytes(b.src() / "titl01.txt");
  ASSERT_NE(titl01.find("\"No.1\""), std::string::npos);
  std::vector<fs::path> borings;
  std::vector<std::string> expected;  // each boring's complete file as 53393681.001
  for (std::size_t i = 0; i < kBorings; ++i) {
    fs::path boring = b.root.path() / ("boring" + std::to_string(i));
    test::CopyFolder(b.src(), boring);
    std::string text = titl01;
    text.replace(text.find("\"No.1\""), 6, "\"No.B" + std::to_string(i) + "\"");
    b.root.WriteBytes("boring" + std::to_string(i) + "/titl01.txt", text);
    fs::path alone = b.root.path() / ("alone" + std::to_string(i));
    fs::create_directories(alone);
    ASSERT_EQ(RunCli(b, {"--dest", alone.string(), boring.string()}).code, 0);
    expected.push_back(test::ReadBytes(alone / "53393681.001"));
    fs::remove(boring / "BORLING.NO");
    borings.push_back(boring);
  }
  for (std::size_t i = 1; i < kBorings; ++i) ASSERT_NE(expected[i], expected[0]) << "the borings must differ";

  for (int round = 0; round < kRounds; ++round) {
    // Made by the runs themselves (--yes), all at once.
    fs::path shared = b.root.path() / ("shared" + std::to_string(round));
    std::vector<std::unique_ptr<test::Program>> runs;
    for (std::size_t i = 0; i < kBorings; ++i)
      runs.push_back(StartCli(b, {"--yes", "--dest", shared.string(), borings[i].string()}, std::to_string(i)));
    for (std::size_t i = 0; i < kBorings; ++i) {
      EXPECT_EQ(runs[i]->Wait(), 0) << "round " << round << ", boring " << i << ": "
                                    << test::ReadBytes(b.root.path() / ("err" + std::to_string(i) + ".txt"));
    }
    auto files = test::Snapshot(shared);
    EXPECT_EQ(files.size(), static_cast<std::size_t>(kBorings)) << "round " << round;
    std::set<std::string> named;
    for (std::size_t i = 0; i < kBorings; ++i) {
      std::string record = test::ReadBytes(borings[i] / "BORLING.NO");
      std::string prefix = b.root.Drive("shared" + std::to_string(round)) + "\\";
      ASSERT_EQ(record.rfind(prefix, 0), 0u) << record;
      std::string name = record.substr(prefix.size(), 12);
      EXPECT_TRUE(named.insert(name).second) << "round " << round << ": two borings name " << name;
      EXPECT_EQ(files[name], WithSequence(expected[i], name)) << "round " << round << ", boring " << i << ": " << name;
    }
  }
}

// A host folder named a\b has no drive form: Z:\...\a\b would be the folder b in a, another
// boring, which must not be converted (or written into) instead.
TEST(CliHostile, HostFolderNameWithABackslashIsRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows \\ is the separator: no folder name holds one";
#endif
  BoringFixture b;
  test::CopyFolder(b.src(), b.root.path() / "a\\b");
  test::CopyFolder(b.src(), b.root.path() / "a" / "b");
  auto other = test::Snapshot(b.root.path() / "a");
  CliResult asSource = RunCli(b, {"--dest", b.dst().string(), (b.root.path() / "a\\b").string()});
  EXPECT_EQ(asSource.code, 1);
  EXPECT_NE(asSource.err.find("指定されたパスは正しくありません。"), std::string::npos) << asSource.err;
  EXPECT_NE(asSource.err.find("「a\\b」に「\\」があります"), std::string::npos) << asSource.err;
  EXPECT_TRUE(test::Snapshot(b.dst()).empty());
  EXPECT_FALSE(fs::exists(b.root.path() / "a\\b" / "BORLING.NO"));

  CliResult asDestination = RunCli(b, {"--dest", (b.root.path() / "a\\b").string(), b.src().string()});
  EXPECT_EQ(asDestination.code, 1);
  EXPECT_NE(asDestination.err.find("「\\」があります"), std::string::npos) << asDestination.err;
  EXPECT_EQ(test::Snapshot(b.root.path() / "a"), other);
  EXPECT_FALSE(fs::exists(b.src() / "BORLING.NO"));
}

}  // namespace
}  // namespace zk
