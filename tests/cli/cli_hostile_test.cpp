// The command line over spoilt borings and killed runs: the exit status tells a stopped run,
// a batch goes on with the next boring, and a run killed at any moment leaves the destination
// as it was or with the complete new file, never a cut-short file under an exchange file's name.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "support/boring_fixture.h"
#include "support/run_program.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::BoringFixture;

// Starts the command line with stdout and stderr into files of root; the settings file names
// the fixture's code-table folder.
std::unique_ptr<test::Program> StartCli(const BoringFixture& b, const std::vector<std::string>& args) {
  b.root.WriteBytes("sys/RaroreD5.ini", "[VUREDA]\r\n" + b.root.Drive("codes") + "\\\r\n");
  return std::make_unique<test::Program>(ZK_CLI, args, test::Environment{{"ZK_SYSDIR", (b.root.path() / "sys").string()}},
                                         b.root.path() / "out.txt", b.root.path() / "err.txt");
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

}  // namespace
}  // namespace zk
