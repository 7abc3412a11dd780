// A boring is read once, when the run begins: every table opened once, and a table changed or
// removed while the run writes cannot make the exchange file disagree with itself.
#include <gtest/gtest.h>

#include <map>

#include "conversion/run.h"
#include "support/boring_fixture.h"
#include "support/fake_window.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::BoringFixture;

struct Converted {
  RunResult result;
  std::vector<std::string> lines;
};

// Converts the fixture boring; opened sees every file the run opens to read.
Converted Convert(const BoringFixture& b, OpenHook opened) {
  test::FakeWindow ui;
  ui.source = b.srcDrive();
  ui.destination = b.dstDrive();
  ui.context.codeTableFolder = b.codeFolder;
  ui.context.opened = std::move(opened);
  Converted c;
  c.result = RunConversion(ui, ui.context);
  if (c.result.converted) c.lines = test::SplitCrLf(test::ReadCp932(b.dst() / "53393681.001"));
  return c;
}

// The table flags of header record 003 (its last field) and the keys of the blocks written.
std::string TableFlags(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    if (line.rfind("\"A\",\"53393681001\",\"003\"", 0) == 0) return line.substr(line.size() - 10, 9);
  return "";
}
long RecordsOf(const std::vector<std::string>& lines, char key) {
  long n = 0;
  for (const std::string& line : lines) n += line.size() > 2 && line[1] == key;
  return n;
}

TEST(OneReading, EveryTableIsOpenedOncePerConversion) {
  BoringFixture b;
  std::map<std::string, int> opens;
  Converted c = Convert(b, [&](const std::string& host) { ++opens[fs::path(host).filename().string()]; });
  ASSERT_TRUE(c.result.converted);
  for (const char* table : {"titl01.txt", "X1.TXT", "X3.TXT", "X6.TXT", "L9.txt", "Kishitu.txt", "L209.txt", "PCNT.txt",
                            "M1.HED", "M1.TMP", "X100.txt", "X100A.txt", "L201.txt"})
    EXPECT_EQ(opens[table], 1) << table;
  for (const auto& [name, count] : opens) EXPECT_EQ(count, 1) << name;
}

// A batch takes the code tables once, with its first boring; each boring's own tables once.
TEST(OneReading, ABatchTakesTheCodeTablesOnce) {
  BoringFixture b;
  std::map<std::string, int> opens;
  test::FakeWindow ui;
  ui.source = b.srcDrive();
  ui.destination = b.dstDrive();
  ui.context.codeTableFolder = b.codeFolder;
  ui.context.opened = [&](const std::string& host) { ++opens[fs::path(host).filename().string()]; };
  ui.answers = {true};  // the second conversion of the same boring
  ASSERT_TRUE(RunConversion(ui, ui.context).converted);
  ASSERT_TRUE(RunConversion(ui, ui.context).converted);
  EXPECT_EQ(opens["L9.txt"], 1);
  EXPECT_EQ(opens["Kishitu.txt"], 1);
  EXPECT_EQ(opens["X1.TXT"], 2);
}

// A batch lists its destination once, with its first boring; each later boring is numbered from
// that listing and the names the batch gave since. A name taken behind the batch's back is found
// when the file is to be given it: the destination is listed again and the next number taken.
TEST(OneReading, ABatchListsItsDestinationOnce) {
  BoringFixture b;
  test::FakeWindow ui;
  ui.source = b.srcDrive();
  ui.destination = b.dstDrive();
  ui.context.codeTableFolder = b.codeFolder;
  auto convertAnew = [&] {
    fs::remove(b.src() / "BORLING.NO");  // a boring never converted: it takes a new number
    RunResult r = RunConversion(ui, ui.context);
    EXPECT_TRUE(r.converted);
    return r.exchangeFilePath.substr(r.exchangeFilePath.rfind('\\') + 1);
  };
  EXPECT_EQ(convertAnew(), "53393681.001");
  EXPECT_EQ(convertAnew(), "53393681.002");
  EXPECT_EQ(convertAnew(), "53393681.003");
  EXPECT_EQ(ui.context.destination.listings, 1);

  b.root.WriteBytes("dst/53393681.004", "another program's file");
  EXPECT_EQ(convertAnew(), "53393681.005");
  EXPECT_EQ(test::ReadBytes(b.dst() / "53393681.004"), "another program's file");
  EXPECT_EQ(ui.context.destination.listings, 2);
  EXPECT_EQ(convertAnew(), "53393681.006");
  EXPECT_EQ(ui.context.destination.listings, 2);

  // Another destination is listed when the batch turns to it.
  fs::create_directory(b.root.path() / "dst2");
  ui.destination = b.root.Drive("dst2");
  EXPECT_EQ(convertAnew(), "53393681.001");
  EXPECT_EQ(ui.context.destination.listings, 3);
  EXPECT_TRUE(ui.questions.empty());
}

// L209.txt is taken after X1.TXT and before the measurement files, which come last.
TEST(OneReading, ATableRemovedOrReplacedWhileTheRunGoesOnLeavesAConsistentFile) {
  std::string rows;
  for (int i = 1; i <= 900; ++i)
    rows += std::to_string(i) + ",2.00," + std::to_string(i) + ".00,4,5,6,7,8,9,10,11,12,13,14,15\r\n";
  struct Case {
    const char* name;
    const char* when;   // the file whose opening sets it off
    bool replace;       // replaced by a one-row table, else removed
    const char* flags;  // as the snapshot took the boring
    long records;       // of block "E", header included
  };
  const Case cases[] = {
      {"removed before it is taken", "X1.TXT", false, "101110001", 0},
      {"removed after it was taken", "M1.TMP", false, "111110001", 901},
      {"replaced before it is taken", "X1.TXT", true, "111110001", 2},
      {"replaced after it was taken", "M1.TMP", true, "111110001", 901},
  };
  for (const Case& c : cases) {
    BoringFixture b;
    b.root.WriteBytes("src/L209.txt", rows);
    fs::path l209 = b.src() / "L209.txt";
    auto change = [&](const std::string& host) {
      if (fs::path(host).filename() != c.when) return;
      if (c.replace)
        b.root.WriteBytes("src/L209.txt", "1,2.00,3.00,4,5,6,7,8,9,10,11,12,13,14,15\r\n");
      else
        fs::remove(l209);
    };
    Converted converted = Convert(b, change);
    ASSERT_TRUE(converted.result.converted) << c.name;
    EXPECT_EQ(TableFlags(converted.lines), c.flags) << c.name;
    EXPECT_EQ(RecordsOf(converted.lines, 'E'), c.records) << c.name;
  }
}

// A table the folder's listing saw as a file but that is a folder by the time it is taken is
// told as a folder, as when the listing had seen it so.
TEST(OneReading, ATableReplacedByAFolderAfterTheListingIsToldAsAFolder) {
  BoringFixture b;
  b.root.WriteBytes("src/L209.txt", "1,2.00,3.00,4,5,6,7,8,9,10,11,12,13,14,15\r\n");
  auto change = [&](const std::string& host) {
    if (fs::path(host).filename() != "X1.TXT") return;
    fs::remove(b.src() / "L209.txt");
    fs::create_directory(b.src() / "L209.txt");
  };
  Converted c = Convert(b, change);
  EXPECT_FALSE(c.result.converted);
  ASSERT_TRUE(c.result.report.told.has_value());
  EXPECT_NE(c.result.report.told->message.find("フォルダです"), std::string::npos) << c.result.report.told->message;
}

// The tables of a large boring are looked at side by side; what they tell comes in the order
// of the tables and of their lines, with the first hundred of a kind shown and the rest counted.
TEST(OneReading, ALargeBoringsFindingsComeInTheOrderOfItsTables) {
  BoringFixture b;
  auto table = [](const char* badText, std::size_t badColumn, long badRows) {
    std::string rows;
    for (long i = 1; i <= 2000; ++i) {
      std::string fields[15];
      for (std::size_t k = 0; k < 15; ++k) fields[k] = std::to_string(k + 1) + ".00";
      fields[0] = std::to_string(i);
      if (i % 10 == 5 && i / 10 < badRows) fields[badColumn - 1] = badText;
      for (std::size_t k = 0; k < 15; ++k) rows += fields[k] + (k + 1 < 15 ? "," : "\r\n");
    }
    return rows;
  };
  b.root.WriteBytes("src/L209.txt", table("x", 3, 3));    // rows 5, 15 and 25
  b.root.WriteBytes("src/L201.txt", table("y", 2, 150));  // every tenth row from 5 on
  Converted c = Convert(b, {});
  ASSERT_TRUE(c.result.converted);
  std::vector<std::string> told;
  std::string more;
  for (const Finding& f : c.result.report.findings) {
    if (f.code != "not-a-number") continue;
    told.push_back(f.file.substr(f.file.rfind('\\') + 1) + ":" + std::to_string(f.line));
    more = f.message;
  }
  ASSERT_EQ(told.size(), 3u + 100u + 1u);
  EXPECT_EQ(std::vector<std::string>(told.begin(), told.begin() + 4),
            (std::vector<std::string>{"L209.txt:5", "L209.txt:15", "L209.txt:25", "L201.txt:5"}));
  EXPECT_EQ(told[102], "L201.txt:995");
  EXPECT_EQ(told[103], "L201.txt:0");  // how many more
  EXPECT_NE(more.find(" 50 件"), std::string::npos) << more;
}

}  // namespace
}  // namespace zk
