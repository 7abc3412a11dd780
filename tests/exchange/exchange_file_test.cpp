// Temporary files of a run and how a finished file takes its name: a name of the run's own,
// created new (never through a link, never a pipe), removed by another run only when no live
// run owns it; a new name claimed only while free, a reused one replaced.
#include "exchange/exchange_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <regex>

#include "exchange/record_frame.h"
#include "platform/codepage.h"
#include "platform/files.h"
#ifdef _WIN32
#include "platform/win32/wide.h"
#endif
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// A process id that no process has now: a child that has ended and been waited for.
long EndedProcess() {
#ifdef _WIN32
  // The command line asked for its version, run to its end.
  std::wstring command = L"\"" + platform::win32::Wide(ZK_CLI) + L"\" --version";
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION child{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &start,
                        &child))
    return 0;
  ::WaitForSingleObject(child.hProcess, INFINITE);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  return static_cast<long>(child.dwProcessId);
#else
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
#endif
}

std::string Here() { return platform::MachineName(); }
std::string Mine() { return std::to_string(platform::CurrentProcessId()); }

TEST(TemporaryName, CarriesMachineProcessAndARandomPart) {
  std::string a = TemporaryNameFor("53393681.001");
  std::string b = TemporaryNameFor("53393681.001");
  EXPECT_NE(a, b);
  EXPECT_TRUE(
      std::regex_match(a, std::regex("53393681\\.001\\." + Here() + "_" + Mine() + "_[0-9a-f]{8}\\.converting")))
      << a;
  EXPECT_TRUE(IsTemporaryName(a));
  EXPECT_TRUE(IsTemporaryName(TemporaryNameFor("BORLING.NO")));
  EXPECT_TRUE(IsTemporaryName(TemporaryNameFor("53393681.001.svg")));
}

TEST(TemporaryName, StaleOnlyWhenNoLiveRunOwnsIt) {
  std::string ended = std::to_string(EndedProcess());
  struct Case {
    std::string name;
    long long age;
    bool temporary, stale;
  };
  const Case cases[] = {
      {"53393681.001." + Here() + "_" + Mine() + "_0123abcd.converting", 5, true, false},    // this run
      {"53393681.001." + Here() + "_" + Mine() + "_0123abcd.converting", 3601, true, true},  // over an hour
      {"53393681.001." + Here() + "_" + ended + "_0123abcd.converting", 5, true, true},      // its process is gone
      {"BORLING.NO." + Here() + "_" + ended + "_0123abcd.converting", 5, true, true},
      {"53393681.001.elsewhere-pc_" + ended + "_0123abcd.converting", 5, true, false},  // cannot be asked
      {"53393681.001.elsewhere-pc_" + ended + "_0123abcd.converting", 3601, true, true},
      {"53393681.001.converting", 0, true, true},  // older versions' names carry no owner
      {"BORLING.NO.converting", 0, true, true},
      {"53393681.001." + Here() + "_0_0123abcd.converting", 5, true, true},  // no process 0
      {"notes.converting", 99999, false, false},                             // the user's
      {"53393681.001." + Here() + "_" + ended + "_0123ABCX.converting", 99999, false, false},
      {"53393681.001." + Here() + "_" + ended + "_0123abcd", 99999, false, false},
      {"5339368.001.converting", 99999, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsTemporaryName(c.name), c.temporary) << c.name;
    EXPECT_EQ(IsStaleTemporary(c.name, c.age), c.stale) << c.name << " " << c.age;
  }
}

TEST(TemporaryName, ListingRemovesStaleOnesAndShowsNone) {
  TempFolder dir;
  std::string ended = std::to_string(EndedProcess());
  const std::string live = "53393681.002." + Here() + "_" + Mine() + "_0000beef.converting";
  const std::string dead = "53393681.003." + Here() + "_" + ended + "_0000beef.converting";
  const std::string farFresh = "53393681.004.far-pc_12_0000beef.converting";
  const std::string farOld = "53393681.005.far-pc_12_0000beef.converting";
  for (const std::string& name : {live, dead, farFresh, farOld, std::string("53393681.001.converting"),
                                  std::string("notes.converting"), std::string("53393681.001")})
    dir.WriteBytes(name, "x");
  fs::last_write_time(dir.path() / farOld, fs::file_time_type::clock::now() - std::chrono::hours(2));
  std::vector<std::string> names;
  ASSERT_TRUE(ListRemovingStaleFiles(test::EnvironmentDrives(), dir.Drive(), names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"53393681.001", "notes.converting"}));
  for (const std::string& kept : {live, farFresh}) EXPECT_TRUE(fs::exists(dir.path() / kept)) << kept;
  for (const std::string& gone : {dead, farOld, std::string("53393681.001.converting")})
    EXPECT_FALSE(fs::exists(dir.path() / gone)) << gone;
}

TEST(TemporaryName, NeverOpenedThroughALinkOrAPipe) {
#ifdef _WIN32
  // No FIFOs here, and making a link needs rights: a file already there is left as it is.
  TempFolder dir;
  dir.WriteBytes("taken", "old");
  bool exists = false;
  std::string reason;
  EXPECT_EQ(platform::CreateNewFile(dir.path() / "taken", exists, reason), platform::kNoFile);
  EXPECT_TRUE(exists) << reason;
  EXPECT_EQ(test::ReadBytes(dir.path() / "taken"), "old");
#else
  TempFolder dir;
  fs::path link = dir.path() / "link";
  fs::path fifo = dir.path() / "fifo";
  fs::create_symlink(dir.path() / "outside.txt", link);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  for (const fs::path& path : {link, fifo}) {
    bool exists = false;
    std::string reason;
    EXPECT_EQ(platform::CreateNewFile(path, exists, reason), platform::kNoFile) << path;  // no hang on the pipe
    EXPECT_TRUE(exists) << path;
  }
  EXPECT_FALSE(fs::exists(dir.path() / "outside.txt"));
#endif
}

TEST(ClaimingAName, NewNameOnlyWhileFreeReusedNameReplaced) {
  TempFolder dir;
  dir.WriteBytes("53393681.001", "another boring's file\r\n");
  {
    ExchangeFile out;
    ASSERT_TRUE(out.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.001"));
    out.WriteRecord("A", "\"53393681001\"", "000");
    Status s = out.Commit();
    EXPECT_EQ(s.fault, Fault::NameTaken) << s.Message();
  }
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001"), "another boring's file\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  ExchangeFile fresh;
  ASSERT_TRUE(fresh.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.002"));
  fresh.WriteRecord("A", "\"53393681002\"", "000");
  ASSERT_TRUE(fresh.Commit());
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.002"), "\"A\",\"53393681002\",\"000\"\r\n");

  ExchangeFile again;  // the user chose to convert again under the recorded name
  ASSERT_TRUE(again.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.001"));
  again.WriteRecord("A", "\"53393681001\"", "000");
  ASSERT_TRUE(again.Commit(true));
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001"), "\"A\",\"53393681001\",\"000\"\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(ClaimingAName, ClaimNameNeverReplaces) {
  TempFolder dir;
  dir.WriteBytes("from", "new");
  dir.WriteBytes("to", "old");
  std::string reason;
  EXPECT_EQ(platform::ClaimName(dir.path() / "from", dir.path() / "to", reason), platform::Claim::Taken);
#ifndef _WIN32
  fs::create_symlink(dir.path() / "nowhere", dir.path() / "dangling");
  EXPECT_EQ(platform::ClaimName(dir.path() / "from", dir.path() / "dangling", reason), platform::Claim::Taken);
#endif
  EXPECT_EQ(test::ReadBytes(dir.path() / "to"), "old");
  EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
  EXPECT_EQ(platform::ClaimName(dir.path() / "from", dir.path() / "free", reason), platform::Claim::Claimed);
  EXPECT_EQ(test::ReadBytes(dir.path() / "free"), "new");
  EXPECT_FALSE(fs::exists(dir.path() / "from"));
}

TEST(ClaimingAName, PictureAndRecordFilesReplaceThroughTheirOwnTemporaries) {
  TempFolder dir;
  // Leftovers of older versions at the fixed temporary names, planted as a link out of the
  // folder and a pipe: neither is written through nor opened. (Windows: plain files, which
  // stay as they are.)
#ifdef _WIN32
  dir.WriteBytes("BORLING.NO.converting", "left");
  dir.WriteBytes("53393681.001.svg.writing", "left");
#else
  fs::create_symlink(dir.path() / "outside.txt", dir.path() / "BORLING.NO.converting");
  ASSERT_EQ(::mkfifo((dir.path() / "53393681.001.svg.writing").c_str(), 0644), 0);
#endif
  ASSERT_TRUE(ReplaceTextFile(test::EnvironmentDrives(), dir.Drive("BORLING.NO"), "Z:\\a\\53393681.001\r\n"));
  ASSERT_TRUE(ReplaceFileBytes(test::EnvironmentDrives(), dir.Drive("53393681.001.svg"), "<svg/>"));
  EXPECT_EQ(test::ReadBytes(dir.path() / "BORLING.NO"), "Z:\\a\\53393681.001\r\n");
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001.svg"), "<svg/>");
  EXPECT_FALSE(fs::exists(dir.path() / "outside.txt"));
#ifdef _WIN32
  EXPECT_EQ(test::ReadBytes(dir.path() / "BORLING.NO.converting"), "left");
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001.svg.writing"), "left");
#endif
}

// A file written as a stream puts it out a block at a time: bytes of several blocks arrive
// whole and in order, and nothing but the file remains.
TEST(ClaimingAName, AStreamedFileArrivesWholeUnderItsName) {
  TempFolder dir;
  std::string expected;
  for (int i = 0; i < 40000; ++i) expected += std::to_string(i) + "\n";  // over three blocks
  StagedTextFile file;
  ASSERT_TRUE(file.StageStream(test::EnvironmentDrives(), dir.Drive("53393681.001.svg"), [&](std::ostream& out) {
    for (std::size_t at = 0; at < expected.size(); at += 7) out << expected.substr(at, 7);
  }));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001.svg"), expected);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"53393681.001.svg"});
}

// The records go out in CP932 whatever mixes them: ASCII, kanji, half-width katakana, the
// backslash and the tilde (kept as they are in CP932), over several flushes of the file.
TEST(WritingRecords, InCp932AsTheWholeTextConvertsOverSeveralFlushes) {
  TempFolder dir;
  const std::vector<std::string> fields = {"砂質シルト", "ｺﾛｰｼﾞｮﾝ", "C:\\a~b", "12.50", "", "①Ⅲ", "ﾟ混じり礫"};
  std::string text;
  ExchangeFile out;
  ASSERT_TRUE(out.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.001"));
  for (int i = 0; i < 3000; ++i) {  // about 200 kB of records, over three flushes
    std::string sub = std::to_string(i % 1000);
    out.WriteRecord("B", "\"53393681001\"", sub, std::span<const std::string>(fields));
    AppendRecordLine(text, "B", "\"53393681001\"", sub, fields);
  }
  ASSERT_TRUE(out.Commit());
  auto expected = platform::ToCp932(text);
  ASSERT_TRUE(expected);
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001"), *expected);
}

// A character without a CP932 form fails the file, told as such; nothing is left behind.
TEST(WritingRecords, ACharacterWithoutACp932FormFailsTheFile) {
  TempFolder dir;
  ExchangeFile out;
  ASSERT_TRUE(out.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.001"));
  out.WriteRecord("B", "\"53393681001\"", "001", {"caf\xc3\xa9", "砂"});
  Status s = out.Commit();
  EXPECT_FALSE(s);
  EXPECT_NE(s.description.find("Shift-JIS (CP932) で書けない文字"), std::string::npos) << s.Message();
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 0);
}

}  // namespace
}  // namespace zk
