// Runs over spoilt boring folders and hostile destinations: each stops with a message naming
// the file (and the line where it helps), leaves no partial or temporary file behind, and
// leaves an earlier exchange file and "BORLING.NO" as they were.
//
// Cases on tables that only the record blocks read are checked once those blocks write into
// the exchange file; until then they report themselves as skipped, naming the block they wait for.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cmath>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <set>

#include "conversion/run.h"
#include "exchange/exchange_file.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/boring_fixture.h"
#include "support/fake_window.h"
#include "support/path_checks.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"
#include "tables/table_access.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::BoringFixture;
using test::FakeWindow;
using test::Snapshot;

constexpr const char* kExchangeName = "53393681.001";

struct Outcome {
  RunResult result;
  FakeWindow window;
  std::string Messages() const {
    std::string all;
    for (const auto& m : window.messages) all += m.text + "\n";
    return all;
  }
};

Outcome Convert(const BoringFixture& b, std::deque<bool> answers = {}) {
  Outcome o;
  o.window.source = b.srcDrive();
  o.window.destination = b.dstDrive();
  o.window.answers = std::move(answers);
  o.window.context.codeTableFolder = b.codeFolder;
  o.result = RunConversion(o.window, o.window.context);
  return o;
}

std::vector<std::string> ExchangeLines(const BoringFixture& b, const std::string& name = kExchangeName) {
  return test::SplitCrLf(test::ReadCp932(b.dst() / name));
}

std::string Folder(const std::string& table) { return table == "L9.txt" || table == "Kishitu.txt" ? "codes" : "src"; }

// A failed run: stopped, told the user about the file, and changed nothing it must keep.
void ExpectStoppedCleanly(const Outcome& o, const BoringFixture& b, const std::map<std::string, std::string>& dstBefore,
                          const std::map<std::string, std::string>& srcBefore, const std::string& mention,
                          const std::string& label) {
  EXPECT_FALSE(o.result.converted) << label;
  EXPECT_NE(o.Messages().find(mention), std::string::npos) << label << "\n" << o.Messages();
  EXPECT_EQ(Snapshot(b.dst()), dstBefore) << label;
  EXPECT_EQ(Snapshot(b.src()), srcBefore) << label;
  EXPECT_EQ(o.window.LastStatus(), "") << label;
  ASSERT_FALSE(o.window.busy.empty()) << label;
  EXPECT_FALSE(o.window.busy.back()) << label;
}

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

struct ContentCase {
  const char* label;
  std::string table;
  std::string bytes;
  std::string mention;  // part of the message besides the table's name
};

// Spoilt contents under a table's name, each run twice: into an empty destination, and as a
// reconversion (--yes on the earlier file) that must leave the earlier file whole.
void RunContentCases(const std::vector<ContentCase>& cases) {
  for (const ContentCase& c : cases) {
    for (bool reconversion : {false, true}) {
      BoringFixture b;
      std::string label = std::string(c.label) + (reconversion ? ", reconversion" : "");
      if (reconversion) {
        ASSERT_TRUE(Convert(b).result.converted) << label;
      }
      b.root.WriteBytes(Folder(c.table) + "/" + c.table, c.bytes);
      auto dstBefore = Snapshot(b.dst());
      auto srcBefore = Snapshot(b.src());
      Outcome o = Convert(b, {true});
      ExpectStoppedCleanly(o, b, dstBefore, srcBefore, c.table, label);
      EXPECT_NE(o.Messages().find(c.mention), std::string::npos) << label << "\n" << o.Messages();
    }
  }
}

TEST(HostileTables, TitleTablesThatAreNotCp932) {
  RunContentCases({
      {"title table, line 2", "titl02.txt", "1,2\r\n\x80,4\r\n", "2 行目"},
      {"title table, lead byte cut off", "titl04.txt", "a,b\r\nc\x81", "2 行目"},
      {"coordinates table", "titl01.txt", "\"\xff\"", "Shift-JIS"},
  });
}

TEST(HostileTables, BlockTablesThatAreNotCp932) {
  RunContentCases({
      {"layer table", "X1.TXT", "1,2.50,11,\"\"\r\n2,6.00,\xfd,\"\"\r\n", "2 行目"},
      {"colour table", "X3.TXT", "1,3.00,\"\xa0\",,,,\r\n", "Shift-JIS"},
      {"soil-name code table", "Kishitu.txt", "11,\"\x82\",\"CL\",\"0100\",0,0\r\n", "Shift-JIS"},
      {"test-kind code table", "L9.txt", "1,\"\x80\"\r\n", "Shift-JIS"},
      {"penetration tests", "X5.TXT", "1,\xff", "Shift-JIS"},
      {"soil tests", "X100.txt", "\x80", "Shift-JIS"},
      {"L201", "L201.txt", "1,2,\x85\x20", "Shift-JIS"},
  });
}

std::string Elf() {
  return std::string(
             "\x7f"
             "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
             16) +
         RandomBytes(4096, 7);
}

TEST(HostileTables, TitleTablesWithNulGarbageOrAQuoteNeverClosed) {
  RunContentCases({
      {"NUL in a title table", "titl02.txt", std::string("1,2\r\n3\0,4", 9), "NUL"},
      {"NUL in the coordinates table", "titl01.txt", std::string("\0", 1), "1 行目"},
      {"binary under a title table's name", "titl04.txt", Elf(), "titl04.txt"},
      {"random bytes under the coordinates table's name", "titl01.txt", RandomBytes(20000, 1), "titl01.txt"},
  });
}

TEST(HostileTables, BlockTablesWithNulGarbageOrAQuoteNeverClosed) {
  RunContentCases({
      {"NUL in the layer table", "X1.TXT", std::string("1,2.50\0,11,x", 12), "NUL"},
      {"binary under the layer table's name", "X1.TXT", RandomBytes(5000, 3), "X1.TXT"},
      {"binary under a table writer's table", "L209.txt", Elf(), "L209.txt"},
      {"NUL in a code table", "Kishitu.txt", std::string("11,\0", 4), "NUL"},
  });
}

TEST(HostileTables, LayerTableIsCheckedWhereTheHeaderReadsIt) {
  // The deepest layer bottom is read by the run's own routine; it refuses what the blocks refuse.
  const std::pair<std::string, Fault> cases[] = {
      {"1,2.50,11,x\r\n\x80", Fault::NotCp932},
      {std::string("1,2.5\0", 6), Fault::Malformed},
  };
  for (const auto& [bytes, fault] : cases) {
    test::TempFolder dir;
    dir.WriteBytes("X1.TXT", bytes);
    float depth = -1;
    Status s = FNOTHER::MaxLayerDepth(LoadTableFile(test::EnvironmentDrives(), dir.Drive("X1.TXT")), depth);
    EXPECT_EQ(s.fault, fault) << bytes;
    EXPECT_NE(s.Message().find("X1.TXT"), std::string::npos) << s.Message();  // named as on disk
  }
}

// A quote never closed is no fault: the field runs to the end of the table, as it always has,
// and the conversion goes on; the check report names the line where the quote opened.
TEST(HostileTables, QuoteNeverClosedConvertsAndIsReported) {
  const std::pair<const char*, std::string> cases[] = {
      {"titl02.txt", "1,2\r\n3,\"4,5\r\n6,7\r\n"},
      {"X1.TXT", "1,2.50,11,x\r\n2,6.00,\"21,x\r\n3,8.00,31,y\r\n"},
  };
  for (const auto& [table, bytes] : cases) {
    BoringFixture b;
    b.root.WriteBytes(std::string("src/") + table, bytes);
    EXPECT_TRUE(Convert(b).result.converted) << table;
    ConversionContext context;
    context.drives = platform::DriveMap::FromEnvironment();
    context.codeTableFolder = b.codeFolder;
    BoringCheck check = CheckBoring(context, *context.drives.ToDriveForm(b.src()), "");
    bool reported = false;
    for (const Finding& f : check.findings)
      reported = reported || (f.code == "unclosed-quote" && f.line == 2 && f.file.find(table) != std::string::npos);
    std::string all;
    for (const Finding& f : check.findings) all += f.file + ":" + std::to_string(f.line) + " " + f.code + "\n";
    EXPECT_TRUE(reported) << table << "\n" << all;
  }
}

TEST(HostileTables, ReaderFaultsCarryTheirLine) {
  struct Case {
    std::string bytes;
    Fault fault;
    long line;
  };
  const Case cases[] = {
      {std::string("a\r\nb\r\n\0", 7), Fault::Malformed, 3},
      {std::string("a\r\n\0\x80", 5), Fault::Malformed, 2},     // the NUL comes first
      {std::string("a\r\n\x80\r\n\0", 7), Fault::NotCp932, 2},  // the bad byte comes first
  };
  for (const Case& c : cases) {
    test::TempFolder dir;
    dir.WriteBytes("t.txt", c.bytes);
    TableReader reader;
    Status s = reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt"));
    while (s && !reader.AtEnd()) reader.ReadField();
    if (s) s = reader.status();
    EXPECT_EQ(s.fault, c.fault) << c.bytes;
    EXPECT_EQ(s.line, c.line) << c.bytes;
  }
}

TEST(HostileTables, RowCutShortAtTheEndIsDroppedAndTheRunGoesOn) {
  test::TempFolder dir;
  dir.WriteBytes("X1.TXT", "1,2.50,11,x\r\n2,6.00,21,y\r\n3,99.0");  // the deepest bottom lies in the cut row
  float depth = 0;
  ASSERT_TRUE(FNOTHER::MaxLayerDepth(LoadTableFile(test::EnvironmentDrives(), dir.Drive("X1.TXT")), depth));
  EXPECT_EQ(depth, 6.0f);
  long count = 0;
  ASSERT_TRUE(FCOPYSUB::CountRows(test::EnvironmentDrives(), dir.Drive("X1.TXT"), 4, count));
  EXPECT_EQ(count, 2);

  BoringFixture b;
  b.root.WriteBytes("src/X1.TXT", "1,2.50,11,x\r\n2,6.00,21,y\r\n3,99.0");
  b.root.WriteBytes("src/L201.txt", "1,2,10.5,4,5,37.9,7,8,9,5,11,12,13,14,15\r\n1,2,3");
  Outcome o = Convert(b);
  ASSERT_TRUE(o.result.converted) << o.Messages();
  long rows = 0;
  for (const std::string& line : ExchangeLines(b)) rows += line.rfind("\"G\"", 0) == 0;
  EXPECT_EQ(rows, 2);  // header and the one complete row
}

TEST(HostileTables, TwentyMegabytesOnOneLine) {
  std::string line;
  line.reserve(20u << 20);
  while (line.size() < (20u << 20)) line += "1,2.50,11,x,";
  line += "2,7.25,21,y\r\n";
  test::TempFolder dir;
  dir.WriteBytes("X1.TXT", line);
  float depth = 0;
  ASSERT_TRUE(FNOTHER::MaxLayerDepth(LoadTableFile(test::EnvironmentDrives(), dir.Drive("X1.TXT")), depth));
  EXPECT_EQ(depth, 7.25f);

  // One title field of 20 MB: read whole, the run ends normally.
  BoringFixture b;
  b.root.WriteBytes("src/titl04.txt", std::string(20u << 20, 'k') + ",2\r\n");
  Outcome o = Convert(b);
  EXPECT_TRUE(o.result.converted) << o.Messages();
}

TEST(HostileTables, WhatLiesUnderATableNameMustBeAPlainFile) {
  enum Kind { kFolder, kDanglingLink, kPipe };
  struct Case {
    const char* table;
    Kind kind;
    const char* mention;
  };
  const Case cases[] = {
      {"titl01.txt", kFolder, "フォルダ"},     {"X1.TXT", kFolder, "フォルダ"},
      {"X100.txt", kFolder, "フォルダ"},       {"BORLING.NO", kFolder, "フォルダ"},
      {"L9.txt", kFolder, "フォルダ"},         {"titl02.txt", kDanglingLink, "リンク先"},
      {"L201.txt", kDanglingLink, "リンク先"}, {"Kishitu.txt", kDanglingLink, "リンク先"},
      {"X5.TXT", kPipe, "普通のファイル"},     {"titl04.txt", kPipe, "普通のファイル"},
  };
  for (const Case& c : cases) {
#ifdef _WIN32
    if (c.kind != kFolder) continue;  // links need rights a test does not have there; no FIFOs
#endif
    BoringFixture b;
    fs::path where = b.root.path() / Folder(c.table) / c.table;
    fs::remove(where);
    if (c.kind == kFolder) fs::create_directory(where);
#ifndef _WIN32
    if (c.kind == kDanglingLink) fs::create_symlink(b.root.path() / "nowhere.txt", where);
    if (c.kind == kPipe) {
      ASSERT_EQ(::mkfifo(where.c_str(), 0644), 0);
    }
#endif
    auto dstBefore = Snapshot(b.dst());
    auto srcBefore = Snapshot(b.src());
    Outcome o = Convert(b);  // a pipe is never opened: no hang
    ExpectStoppedCleanly(o, b, dstBefore, srcBefore, c.table, c.table);
    EXPECT_NE(o.Messages().find(c.mention), std::string::npos) << c.table << "\n" << o.Messages();
  }
}

// Runs fn in a child process without root's rights (root reads and writes whatever the
// permission bits say). Returns what fn wrote, or nullopt when rights cannot be dropped.
std::optional<std::string> AsUnprivileged(const std::function<std::string()>& fn) {
#ifdef _WIN32
  (void)fn;
  return std::nullopt;  // the permission bits of the test's files mean nothing to Windows
#else
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
    std::string text = fn();
    ssize_t ignored = ::write(pipeEnds[1], text.data(), text.size());
    (void)ignored;
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return text;
#endif
}

// "converted" or "stopped", then the messages, from a run in a child process.
std::string ConvertUnprivileged(const BoringFixture& b) {
  Outcome o = Convert(b, {true});
  return (o.result.converted ? "converted\n" : "stopped\n") + o.Messages();
}

TEST(HostileTables, UnreadableTable) {
  for (const char* table : {"titl02.txt", "X100.txt", "BORLING.NO"}) {
    BoringFixture b;
    fs::permissions(b.root.path(), fs::perms::all);
    fs::permissions(b.dst(), fs::perms::all);
    b.root.WriteBytes(std::string("src/") + table, "Z:\\x\\53393681.001\r\n");
    fs::permissions(b.src() / table, fs::perms::none);
    auto dstBefore = Snapshot(b.dst());
    auto report = AsUnprivileged([&] { return ConvertUnprivileged(b); });
    if (!report)
      GTEST_SKIP()
          << "cannot drop root's rights here (or no permission bits: Windows), and root reads a file of mode 000";
    EXPECT_EQ(report->rfind("stopped\n", 0), 0u) << table << "\n" << *report;
    EXPECT_NE(report->find(table), std::string::npos) << *report;
    EXPECT_NE(report->find("開けません"), std::string::npos) << *report;
    EXPECT_EQ(Snapshot(b.dst()), dstBefore);
  }
}

TEST(HostileNumbers, LenientParseNeverFails) {
  const std::pair<std::string, double> cases[] = {
      {"1e400", 0},
      {"-1e400", 0},
      {"1e-400", 0},
      {std::string(400, '9'), 0},
      {"nan", 0},
      {"NaN", 0},
      {"inf", 0},
      {"-Infinity", 0},
      {"0x10", 0},
      {"1e39", 1e39},
      {"1.5e308", 1.5e308},
      {"4.9e-324", 4.9e-324},
      {"12abc", 12},
      {"  -3.5E+2x", -350},
      {"1e", 1},
      {"1e+", 1},
      {".", 0},
      {"-", 0},
      {"+.5", 0.5},
      {"1.2.3", 1.2},
      {"\t7", 7},
      {"１２", 0},
      {"", 0},
      {std::string(300, '0') + "5", 5},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(QXCOMSUB::ParseNumber(text), value) << text;
}

TEST(HostileNumbers, NumberTextOfExtremes) {
  using QXCOMSUB::IntText;
  using QXCOMSUB::NumberText;
  using QXCOMSUB::ToSingle;
  const double inf = HUGE_VAL;
  const double nan = std::nan("");
  const std::pair<std::string, std::string> cases[] = {
      {NumberText(inf), "0"},
      {NumberText(-inf), "0"},
      {NumberText(nan), "0"},
      {NumberText(-0.0), "0"},
      {NumberText(1.7976931348623157e308), "1.79769313486232E+308"},
      {NumberText(4.9e-324), "4.94065645841247E-324"},
      {NumberText(ToSingle(1e39)), "0"},
      {NumberText(ToSingle(-1e39)), "0"},
      {NumberText(ToSingle(3e38)), "3E+38"},
      {NumberText(ToSingle(1e-46)), "0"},
      {NumberText(static_cast<float>(inf)), "0"},
      {IntText(inf), "0"},
      {IntText(nan), "0"},
      {IntText(-0.5), "0"},
      {IntText(1e20), "100000000000000000000"},
      {IntText(-1e20), "-100000000000000000000"},
      {std::to_string(IntText(1.7976931348623157e308).size()), "309"},
      {std::to_string(IntText(-1.7976931348623157e308).size()), "310"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

TEST(HostileNumbers, CoordinatesOutOfRangeStopTheRun) {
  // titl01 fields 11 to 16: latitude degrees, minutes, seconds, longitude degrees, minutes, seconds.
  const std::pair<const char*, const char*> cases[] = {
      {"1e400", "139"}, {"-1e400", "139"}, {"35", "1e400"},    {"nan", "139"}, {"35", "inf"},
      {"0x10", "139"},  {"1e39", "139"},   {"35", "1e39"},     {"-35", "139"}, {"35", "-139"},
      {"1e300", "139"}, {"35", "1e308"},   {"1e308", "1e308"},
  };
  for (const auto& [lat, lon] : cases) {
    BoringFixture b;
    std::string fields = "\"t\",1,\"\",12,\"\",\"\",\"2026\",\"11\",\"\",\"No.1\"," + std::string(lat) + ",39,29.1," +
                         std::string(lon) + ",45,45.5,\"\"\r\n";
    b.root.WriteBytes("src/titl01.txt", fields);
    Outcome o = Convert(b);
    EXPECT_FALSE(o.result.converted) << lat << " " << lon;
    EXPECT_NE(o.Messages().find("緯度・経度が正しくありません。"), std::string::npos) << lat << " " << lon;
    EXPECT_TRUE(Snapshot(b.dst()).empty()) << lat << " " << lon;
  }
  // A 400-digit degree value reads as 0 (beyond the double range): the same stop. So do
  // seconds the exact arithmetic of the mesh code will not hold: 1e400 (which the double
  // reading takes as 0), a fraction of 400 digits.
  for (const std::string& fields :
       std::vector<std::string>{std::string(400, '7') + ",39,29.1,139,45,45.5", "35,39,1e400,139,45,45.5",
                                "35,39,29.1,139,45,1." + std::string(400, '1')}) {
    BoringFixture b;
    b.root.WriteBytes("src/titl01.txt", "t,1,,12,,,2026,11,,No.1," + fields + "\r\n");
    EXPECT_FALSE(Convert(b).result.converted) << fields.substr(0, 20);
  }
}

TEST(HostileNumbers, NumbersInOtherTitleFieldsAreWrittenAsRead) {
  BoringFixture b;
  std::string odd = "1e400,-1e400,1e39," + std::string(400, '9') + ",nan,inf,0x10\r\n";
  b.root.WriteBytes("src/titl02.txt", odd);
  b.root.WriteBytes("src/titl04.txt", odd);
  Outcome o = Convert(b);
  EXPECT_TRUE(o.result.converted) << o.Messages();
}

#ifdef _WIN32
// On Windows a table that another program holds open without sharing cannot be opened: the run
// stops naming it, as it does for a table it may not read.
TEST(HostileTables, TableHeldOpenByAnotherProgram) {
  for (const char* table : {"titl02.txt", "X100.txt", "BORLING.NO"}) {
    BoringFixture b;
    b.root.WriteBytes(std::string("src/") + table, "Z:\\x\\53393681.001\r\n");
    HANDLE held = ::CreateFileW((b.src() / table).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << table;
    auto dstBefore = Snapshot(b.dst());
    Outcome o = Convert(b, {true});
    ::CloseHandle(held);
    EXPECT_FALSE(o.result.converted) << table;
    EXPECT_NE(o.Messages().find(table), std::string::npos) << o.Messages();
    EXPECT_NE(o.Messages().find("開けません"), std::string::npos) << o.Messages();
    EXPECT_EQ(Snapshot(b.dst()), dstBefore) << table;
  }
}

// No file system can be mounted by a test on Windows.
class Mount {
 public:
  Mount(const fs::path&, const char*) {}
  bool ok() const { return false; }
  bool MakeReadOnly() { return false; }
};
#else
// A mount the test made, undone at its end.
class Mount {
 public:
  Mount(const fs::path& where, const char* options) : where_(where) {
    fs::create_directories(where);
    mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", 0, options) == 0;
  }
  ~Mount() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  bool ok() const { return mounted_; }
  bool MakeReadOnly() { return ::mount(nullptr, where_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  fs::path where_;
  bool mounted_ = false;
};
#endif

TEST(HostileDestination, ReadOnly) {
  {
    BoringFixture b;
    fs::permissions(b.root.path(), fs::perms::all);
    fs::permissions(b.dst(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    auto report = AsUnprivileged([&] { return ConvertUnprivileged(b); });
    if (report) {
      EXPECT_EQ(report->rfind("stopped\n", 0), 0u) << *report;
      EXPECT_NE(report->find("53393681.001"), std::string::npos) << *report;
      EXPECT_NE(report->find("書き込めません"), std::string::npos) << *report;
      EXPECT_TRUE(Snapshot(b.dst()).empty());
      EXPECT_FALSE(fs::exists(b.src() / "BORLING.NO"));
    }
  }
  BoringFixture b;
  fs::remove_all(b.dst());
  Mount mount(b.dst(), "size=64k");
  if (!mount.ok()) GTEST_SKIP() << "may not mount a file system here (read-only destination)";
  b.root.WriteBytes("dst/53393681.001", "old\r\n");
  b.root.WriteBytes("src/BORLING.NO", b.dstDrive() + "\\53393681.001\r\n");
  ASSERT_TRUE(mount.MakeReadOnly());
  auto dstBefore = Snapshot(b.dst());
  auto srcBefore = Snapshot(b.src());
  Outcome o = Convert(b, {true});
  ExpectStoppedCleanly(o, b, dstBefore, srcBefore, "53393681.001", "read-only file system");
  EXPECT_NE(o.Messages().find("書き込めません"), std::string::npos) << o.Messages();
}

TEST(HostileDestination, FullFileSystem) {
  BoringFixture b;
  fs::remove_all(b.dst());
  Mount mount(b.dst(), "size=64k");
  if (!mount.ok()) GTEST_SKIP() << "may not mount a small file system here (full destination)";
  b.root.WriteBytes("dst/53393681.001", "old exchange file\r\n");
  b.root.WriteBytes("src/BORLING.NO", b.dstDrive() + "\\53393681.001\r\n");
#ifndef _WIN32
  {  // fill every block that is left
    int fd = ::open((b.dst() / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
  }
#endif
  auto dstBefore = Snapshot(b.dst());
  auto srcBefore = Snapshot(b.src());
  Outcome o = Convert(b, {true});
  ExpectStoppedCleanly(o, b, dstBefore, srcBefore, "53393681.001", "full file system");
  EXPECT_NE(o.Messages().find("書き込めません"), std::string::npos) << o.Messages();
}

// A window whose answer to the question about an earlier conversion removes the destination.
class RemovingWindow : public FakeWindow {
 public:
  fs::path doomed;
  bool AskYesNo(const std::string& text) override {
    fs::remove_all(doomed);
    return FakeWindow::AskYesNo(text);
  }
};

TEST(HostileDestination, RemovedBetweenTheCheckAndTheWrite) {
  BoringFixture b;
  b.root.WriteBytes("src/BORLING.NO", "Z:\\elsewhere\\53393681.004\r\n");
  auto srcBefore = Snapshot(b.src());
  RemovingWindow w;
  w.doomed = b.dst();
  w.source = b.srcDrive();
  w.destination = b.dstDrive();
  w.answers = {true};
  w.context.codeTableFolder = b.codeFolder;
  RunResult r = RunConversion(w, w.context);
  EXPECT_FALSE(r.converted);
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_NE(w.messages[0].text.find(b.dstDrive() + "\\53393681.001"), std::string::npos) << w.messages[0].text;
  EXPECT_FALSE(fs::exists(b.dst()));
  EXPECT_EQ(Snapshot(b.src()), srcBefore);
}

TEST(HostileDestination, TwoThousandFilesHaveNoListingCap) {
  BoringFixture b;
  for (int i = 1; i <= 1700; ++i) b.root.WriteBytes("dst/f" + std::to_string(i) + ".dat", "");
  for (int i = 1; i <= 300; ++i) b.root.WriteBytes("dst/53393681." + QXCOMSUB::Counter3(i), "x");
  Outcome o = Convert(b);
  ASSERT_TRUE(o.result.converted) << o.Messages();
  EXPECT_TRUE(fs::exists(b.dst() / "53393681.301"));
  EXPECT_EQ(Snapshot(b.dst()).size(), 2001u);
}

TEST(HostileDestination, LeftoversOfAKilledRunAreRemovedByTheNext) {
  BoringFixture b;
  b.root.WriteBytes("dst/53393681.001.converting", "cut sho");
  b.root.WriteBytes("src/BORLING.NO.converting", "Z:\\");
  b.root.WriteBytes("dst/notes.converting", "not ours");  // only names of this program's files go
  Outcome o = Convert(b);
  ASSERT_TRUE(o.result.converted) << o.Messages();
  EXPECT_FALSE(fs::exists(b.dst() / "53393681.001.converting"));
  EXPECT_FALSE(fs::exists(b.src() / "BORLING.NO.converting"));
  EXPECT_TRUE(fs::exists(b.dst() / "notes.converting"));
  EXPECT_EQ(test::ReadBytes(b.src() / "BORLING.NO"), b.dstDrive() + "\\53393681.001\r\n");
}

// The names in a folder that are temporary files of a run.
std::vector<std::string> Temporaries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (IsTemporaryName(entry.path().filename().string())) names.push_back(entry.path().filename().string());
  return names;
}

TEST(HostileDestination, ExchangeFileDroppedUnlessCommitted) {
  test::TempFolder dir;
  dir.WriteBytes("53393681.001", "old\r\n");
  {
    ExchangeFile out;
    ASSERT_TRUE(out.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.001"));
    out.WriteRecord("A", "\"53393681001\"", "000");
    ASSERT_TRUE(out.Finish());
    auto temporaries = Temporaries(dir.path());
    ASSERT_EQ(temporaries.size(), 1u);
    EXPECT_EQ(temporaries[0].rfind("53393681.001.", 0), 0u) << temporaries[0];
    EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001"), "old\r\n");
  }  // a block failed after this point: the run drops the file
  EXPECT_TRUE(Temporaries(dir.path()).empty());
  EXPECT_EQ(test::ReadBytes(dir.path() / "53393681.001"), "old\r\n");
  {
    StagedTextFile record;
    ASSERT_TRUE(record.Stage(test::EnvironmentDrives(), dir.Drive("BORLING.NO"), "Z:\\a\\53393681.001\r\n"));
  }
  EXPECT_TRUE(Snapshot(dir.path()).count("BORLING.NO") == 0 && Snapshot(dir.path()).size() == 1);
}

// A window whose answer to the question about an earlier conversion puts a file at the name
// the run is about to take: as another run into the same folder would.
class PlantingWindow : public FakeWindow {
 public:
  fs::path planted;
  bool AskYesNo(const std::string& text) override {
    std::ofstream(planted, std::ios::binary) << "another boring\r\n";
    return FakeWindow::AskYesNo(text);
  }
};

TEST(HostileDestination, FileAppearingAtTheChosenNameIsNotReplaced) {
  BoringFixture b;
  b.root.WriteBytes("src/BORLING.NO", "Z:\\elsewhere\\53393681.001\r\n");
  PlantingWindow w;
  w.planted = b.dst() / "53393681.001";
  w.source = b.srcDrive();
  w.destination = b.dstDrive();
  w.answers = {true};
  w.context.codeTableFolder = b.codeFolder;
  RunResult r = RunConversion(w, w.context);
  ASSERT_TRUE(r.converted) << (w.messages.empty() ? "" : w.messages[0].text);
  EXPECT_EQ(r.exchangeFilePath, b.dstDrive() + "\\53393681.002");
  EXPECT_EQ(test::ReadBytes(b.dst() / "53393681.001"), "another boring\r\n");
  EXPECT_EQ(test::ReadBytes(b.src() / "BORLING.NO"), b.dstDrive() + "\\53393681.002\r\n");
  auto lines = ExchangeLines(b, "53393681.002");
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) EXPECT_NE(line.find("\"53393681002\""), std::string::npos) << line;
  EXPECT_TRUE(Temporaries(b.dst()).empty());
}

TEST(HostileDestination, FullSequenceStopsAndWritesNothing) {
  BoringFixture b;
  b.root.WriteBytes("dst/53393681.999", "x");
  b.root.WriteBytes("dst/53393681.000", "y");
  auto dstBefore = Snapshot(b.dst());
  auto srcBefore = Snapshot(b.src());
  Outcome o = Convert(b);
  ExpectStoppedCleanly(o, b, dstBefore, srcBefore, b.dstDrive(), "full sequence");
  EXPECT_NE(o.Messages().find("53393681"), std::string::npos) << o.Messages();
  EXPECT_NE(o.Messages().find("すべて使われています"), std::string::npos) << o.Messages();
}

// A window that takes the destination away when the run sets the busy pointer: after the
// folders are checked, before the destination is listed.
class UnlistingWindow : public FakeWindow {
 public:
  fs::path doomed;
  void SetBusy(bool on) override {
    if (on) fs::remove_all(doomed);
    FakeWindow::SetBusy(on);
  }
};

TEST(HostileDestination, DestinationThatCannotBeListedStopsTheRun) {
  {  // an error while listing
    BoringFixture b;
    auto srcBefore = Snapshot(b.src());
    UnlistingWindow w;
    w.doomed = b.dst();
    w.source = b.srcDrive();
    w.destination = b.dstDrive();
    w.context.codeTableFolder = b.codeFolder;
    RunResult r = RunConversion(w, w.context);
    EXPECT_FALSE(r.converted);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_NE(w.messages[0].text.find(b.dstDrive()), std::string::npos) << w.messages[0].text;
    EXPECT_NE(w.messages[0].text.find("一覧を読めません"), std::string::npos) << w.messages[0].text;
    EXPECT_FALSE(fs::exists(b.dst()));
    EXPECT_EQ(Snapshot(b.src()), srcBefore);
  }
  // A drop-box folder: others may write into it but not list it.
  BoringFixture b;
  b.root.WriteBytes("dst/53393681.001", "someone's exchange file\r\n");
  fs::permissions(b.root.path(), fs::perms::all);
  fs::permissions(b.src(), fs::perms::all);
  fs::permissions(b.dst(), fs::perms::owner_all | fs::perms::group_write | fs::perms::group_exec |
                               fs::perms::others_write | fs::perms::others_exec);
  auto dstBefore = Snapshot(b.dst());
  auto report = AsUnprivileged([&] { return ConvertUnprivileged(b); });
  if (!report) GTEST_SKIP() << "cannot drop root's rights here, and root lists a folder of mode 0733";
  EXPECT_EQ(report->rfind("stopped\n", 0), 0u) << *report;
  EXPECT_NE(report->find("一覧を読めません"), std::string::npos) << *report;
  EXPECT_NE(report->find(b.dstDrive()), std::string::npos) << *report;
  EXPECT_EQ(Snapshot(b.dst()), dstBefore);
  EXPECT_FALSE(fs::exists(b.src() / "BORLING.NO"));
}

TEST(HostileDestination, PlantedLinksAndPipesAtOldTemporaryNamesAreNeitherFollowedNorOpened) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no FIFOs, and making a link needs rights a test does not have";
#else
  BoringFixture b;
  fs::create_symlink(b.root.path() / "outside.txt", b.dst() / "53393681.001.converting");
  ASSERT_EQ(::mkfifo((b.src() / "BORLING.NO.converting").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((b.dst() / ("53393681.001." + platform::MachineName() + "_1_00000000.converting")).c_str(), 0644),
            0);
  Outcome o = Convert(b);  // a pipe opened would wait for ever
  ASSERT_TRUE(o.result.converted) << o.Messages();
  EXPECT_FALSE(fs::exists(b.root.path() / "outside.txt"));
  EXPECT_FALSE(ExchangeLines(b).empty());
  EXPECT_EQ(test::ReadBytes(b.src() / "BORLING.NO"), b.dstDrive() + "\\53393681.001\r\n");
#endif
}

// Converting with "BORLING.NO" naming a file that is not this boring's own file of this
// destination: the second question, and Yes takes a new number; the named file stays.
TEST(HostileNames, RecordedNameOfAnotherFileIsNeverWrittenOver) {
  struct Case {
    const char* label;
    std::string recorded;        // the name in the destination that "BORLING.NO" points at
    bool intoSource;             // the destination is the boring folder itself
    std::string folderOfRecord;  // "" for the destination
  };
  const Case cases[] = {
      {"another folder's file of the same name", "53393681.001", false, "A"},
      {"the file under the old mesh code", "53393682.001", false, ""},
      {"a system file's name", "passwd", false, ""},
      {"the boring's own table", "X1.TXT", true, ""},
  };
  for (const Case& c : cases) {
    BoringFixture b;
    std::string destination = c.intoSource ? b.srcDrive() : b.dstDrive();
    fs::path host = c.intoSource ? b.src() : b.dst();
    if (!c.intoSource) b.root.WriteBytes("dst/" + c.recorded, "another boring's data\r\n");
    std::string folder = c.folderOfRecord.empty() ? destination : b.root.Drive(c.folderOfRecord);
    b.root.WriteBytes("src/BORLING.NO", folder + "\\" + c.recorded + "\r\n");
    std::string before = test::ReadBytes(host / c.recorded);
    Outcome o;
    o.window.source = b.srcDrive();
    o.window.destination = destination;
    o.window.answers = {true};
    o.window.context.codeTableFolder = b.codeFolder;
    o.result = RunConversion(o.window, o.window.context);
    ASSERT_TRUE(o.result.converted) << c.label << "\n" << o.Messages();
    ASSERT_EQ(o.window.questions.size(), 1u) << c.label;
    EXPECT_EQ(o.window.questions[0].rfind("既に「", 0), 0u) << c.label << ": " << o.window.questions[0];
    EXPECT_EQ(test::ReadBytes(host / c.recorded), before) << c.label;
    std::string expected = c.recorded == "53393681.001" ? "53393681.002" : "53393681.001";
    EXPECT_EQ(o.result.exchangeFilePath, destination + "\\" + expected) << c.label;
  }
}

TEST(HostileNames, FolderNamesThatCannotBeWrittenAreRefusedBeforeAnyFolderIsMade) {
  const std::pair<const char*, std::string> cases[] = {
      {"line break", "new\nline"},
      {"tab", "tab\there"},
      {"no CP932 form", "한국"},
  };
  for (const auto& [label, name] : cases) {
    for (bool asSource : {false, true}) {
#ifdef _WIN32
      // Windows makes no folder of a name with a control character: no boring can be there.
      if (asSource && std::string_view(name).find_first_of("\n\t") != std::string_view::npos) continue;
#endif
      BoringFixture b;
      fs::path folder = b.root.path() / platform::HostPath(name);
      Outcome o;
      o.window.source = asSource ? b.root.Drive(name) : b.srcDrive();
      o.window.destination = asSource ? b.dstDrive() : b.root.Drive(name);
      if (asSource) test::CopyFolder(b.src(), folder);
      auto srcBefore = Snapshot(b.src());
      o.window.context.codeTableFolder = b.codeFolder;
      o.result = RunConversion(o.window, o.window.context);
      EXPECT_FALSE(o.result.converted) << label;
      EXPECT_TRUE(o.window.questions.empty()) << label;
      ASSERT_EQ(o.window.messages.size(), 1u) << label;
      EXPECT_EQ(o.window.messages[0].text.rfind("指定されたパスは正しくありません。\n", 0), 0u)
          << o.window.messages[0].text;
      EXPECT_EQ(fs::exists(folder), asSource) << label;
      EXPECT_TRUE(Snapshot(b.dst()).empty()) << label;
      EXPECT_EQ(Snapshot(b.src()), srcBefore) << label;
      EXPECT_FALSE(fs::exists(folder / "BORLING.NO")) << label;
    }
  }
}

TEST(HostileNames, MeasurementNamesCannotReachBeyondTheBoring) {
  BoringFixture b;
  // A pair beside the boring with values that must never show up.
  b.root.WriteBytes("outside.HED", "1,2,3,4,777.00,888.00\r\n");
  b.root.WriteBytes("outside.TMP", "1,2,3,4,5,6,7,8,9,4.4E+04\r\n");
  std::string host = (b.root.path() / "outside").string();
  b.root.WriteBytes("src/PCNT.txt", "1,\"..\\outside\"\r\n2,\"..\\..\\..\\" + host.substr(1) + "\"\r\n3,\"" + host +
                                        "\"\r\n4,\"" + b.root.Drive("outside") +
                                        "\"\r\n5,\"C:\\x\"\r\n6,\"../outside\"\r\n7,M1\r\n");
  Outcome o = Convert(b);
  ASSERT_TRUE(o.result.converted) << o.Messages();
  std::vector<std::string> blockF;
  for (const std::string& line : ExchangeLines(b))
    if (line.rfind("\"F\"", 0) == 0) blockF.push_back(line);
  for (const std::string& line : blockF) {
    EXPECT_EQ(line.find("777"), std::string::npos) << line;
    EXPECT_EQ(line.find("888"), std::string::npos) << line;
  }
  ASSERT_EQ(blockF.size(), 2u);  // header and the pair M1 inside the boring
  EXPECT_NE(blockF[0].find("\"001\""), std::string::npos) << blockF[0];

  // What keeps them out: inside a run, names resolve only within its folders. The run's own
  // map reaches them again once the run is over.
  std::string source = b.srcDrive();
  platform::DriveMap& drives = o.window.context.drives;
  const std::string outsideNames[] = {source + "\\..\\outside.HED", source + "\\../outside.HED",
                                      source + "\\M1\\..\\..\\outside.HED", b.root.Drive("outside.HED")};
  for (const std::string& name : outsideNames) EXPECT_TRUE(platform::IsPlainFile(drives, name)) << name;
  {
    platform::PathScope scope(drives, {source, b.dstDrive()});
    for (const std::string& name : outsideNames) {
      EXPECT_FALSE(platform::IsPlainFile(drives, name)) << name;
      TableReader reader;
      EXPECT_EQ(reader.Open(drives, name).fault, Fault::NotFound) << name;
    }
    EXPECT_TRUE(platform::IsPlainFile(drives, source + "\\M1.HED"));
    EXPECT_TRUE(platform::IsPlainFile(drives, source + "\\sub\\..\\M1.HED"));
  }
  EXPECT_TRUE(platform::IsPlainFile(drives, source + "\\..\\outside.HED"));  // the scope ends with its guard
}

TEST(HostileNames, HostSeparatorsInADriveFormName) {
  // "/" separates names as "\" does, so an absolute host path inside a name stays inside.
  test::TempFolder dir;
  dir.WriteBytes("a/b.txt", "1");
  const std::pair<std::string, std::string> cases[] = {
      {dir.Drive() + "/a/b.txt", (dir.path() / "a" / "b.txt").string()},
      {dir.Drive() + "\\a//b.txt", (dir.path() / "a" / "b.txt").string()},
      {dir.Drive() + "\\/etc/passwd", (dir.path() / "etc" / "passwd").string()},
  };
  for (const auto& [drive, host] : cases) EXPECT_EQ(test::EnvironmentDrives().ToHost(drive)->string(), host) << drive;
  EXPECT_FALSE(test::EnvironmentDrives().ToHost(dir.Drive() + std::string("\\a\0/etc", 7)).has_value());
}

}  // namespace
}  // namespace zk
