#include "tables/field_reader.h"

#include <gtest/gtest.h>

#include "support/test_util.h"
#include "tables/table_access.h"

namespace zk {
namespace {

using test::TempFolder;

std::vector<std::string> Fields(const std::string& bytes) {
  TempFolder dir;
  dir.WriteBytes("t.txt", bytes);
  TableReader reader;
  EXPECT_TRUE(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
  std::vector<std::string> fields;
  while (!reader.AtEnd()) fields.push_back(reader.ReadField());
  return fields;
}

struct FieldCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> fields;
};

TEST(FieldReader, SeparatorsBlanksAndQuotes) {
  const FieldCase cases[] = {
      {"empty file", "", {}},
      {"one field, CR LF", "a\r\n", {"a"}},
      {"blank line after", "a\r\n\r\n", {"a", ""}},
      {"empty middle", "a,,b", {"a", "", "b"}},
      {"comma then line end", "a, \r\n", {"a", ""}},
      {"comma at end", "a,", {"a"}},
      {"blanks only", "   ", {""}},
      {"no line end", "a", {"a"}},
      {"lone LF and lone CR", "a\nb\rc", {"a", "b", "c"}},
      {"blanks around unquoted", " \t a b \t,c", {"a b", "c"}},
      {"quoted comma", "\"12,5\",x", {"12,5", "x"}},
      {"quoted line end", "\"a\r\nb\",c", {"a\r\nb", "c"}},
      {"after closing quote dropped", "\"a\"xyz,b", {"a", "b"}},
      {"quote never closed", "\"a,b\r\nc", {"a,b\r\nc"}},
      {"quote inside unquoted", "a\"b,c", {"a\"b", "c"}},
      {"0x1A at the end", "a,b\x1a", {"a", "b"}},
      {"0x1A only at the very end", "a\x1a,b", {"a\x1a", "b"}},
      {"backslash is a backslash", "C:\\DATA", {"C:\\DATA"}},
      {"Shift-JIS text", "\x93\x8c\x8b\x9e,\x95\x5c", {"東京", "表"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Fields(c.bytes), c.fields) << c.name;
}

TEST(FieldReader, LineOfEachField) {
  TempFolder dir;
  dir.WriteBytes("t.txt", "a,b\r\n\"c\r\nd\",e\n\nf\rg");
  TableReader reader;
  ASSERT_TRUE(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
  std::vector<long> lines;
  while (!reader.AtEnd()) {
    reader.ReadField();
    lines.push_back(reader.FieldLine());
  }
  EXPECT_EQ(lines, (std::vector<long>{1, 1, 2, 3, 4, 5, 6}));
}

TEST(FieldReader, RefusesInvalidCp932WithItsLine) {
  const std::pair<std::string, long> cases[] = {
      {"ok\r\nok\r\n\x80", 3},  // lone 0x80
      {"a\r\n\xa0", 2},         // lone 0xA0
      {"\xfd", 1},              // 0xFD to 0xFF are no characters
      {"a\nb\nc\n\x81", 4},     // lead byte cut off by the end
      {"abc,\x81\x20", 1},      // a lead byte without its trail byte
  };
  for (const auto& [bytes, line] : cases) {
    TempFolder dir;
    dir.WriteBytes("t.txt", bytes);
    TableReader reader;
    Status s = reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt"));
    EXPECT_EQ(s.fault, Fault::NotCp932) << bytes;
    EXPECT_EQ(s.line, line) << bytes;
    EXPECT_NE(s.Message().find("t.txt"), std::string::npos);
  }
}

TEST(FieldReader, InvalidBytesAnywhereRefuseTheWholeFileAcrossChunks) {
  TempFolder dir;
  std::string big(200000, 'a');
  big[70000] = '\x82';  // a lead byte split across the reader's chunk border is fine
  big[70001] = '\xa0';
  big += "\r\n\xff";
  dir.WriteBytes("t.txt", big);
  TableReader reader;
  EXPECT_EQ(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")).fault, Fault::NotCp932);
}

TEST(FieldReader, MissingAndHiddenTablesAreNotFound) {
  TempFolder dir;
  dir.WriteBytes(".X1.TXT", "a");
  TableReader reader;
  EXPECT_EQ(reader.Open(test::EnvironmentDrives(), dir.Drive("X1.TXT")).fault, Fault::NotFound);
  EXPECT_EQ(reader.Open(test::EnvironmentDrives(), dir.Drive(".X1.TXT")).fault, Fault::NotFound);
}

TEST(FieldReader, NamesMatchWithoutLetterCase) {
  TempFolder dir;
  dir.WriteBytes("x5.txt", "1");
  TableReader reader;
  EXPECT_TRUE(reader.Open(test::EnvironmentDrives(), dir.Drive("X5.TXT")));
  EXPECT_EQ(reader.ReadField(), "1");
}

TEST(FieldReader, RowsAreGroupsOfFieldsWhateverTheLines) {
  TempFolder dir;
  dir.WriteBytes("t.txt", "1,2\r\n3,4,5,6\r\n7");
  TableReader reader;
  ASSERT_TRUE(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
  std::vector<std::string> row;
  ASSERT_TRUE(reader.ReadRow(3, row));
  EXPECT_EQ(row, (std::vector<std::string>{"1", "2", "3"}));
  ASSERT_TRUE(reader.ReadRow(3, row));
  EXPECT_EQ(row, (std::vector<std::string>{"4", "5", "6"}));
  EXPECT_FALSE(reader.ReadRow(3, row));  // cut short by the end: dropped
  EXPECT_EQ(row, (std::vector<std::string>{"7", "", ""}));
}

// Every field read, or every other one skipped: the kept fields, the line of every field and
// an unclosed quote come out the same, also for fields longer than the reader's buffer.
TEST(FieldReader, SkippingAFieldPassesOverWhatReadingWouldRead) {
  const std::string longText(70000, 'x');
  const std::string longJapanese = [] {
    std::string s;
    for (int i = 0; i < 35000; ++i) s += "\x95\x5c";
    return s;
  }();
  const std::string cases[] = {
      "a,b\r\n\"c\r\nd\",e\n\nf\rg",
      " \t a b \t,\"x\"tail,\"12,5\"\r\n,,\r\n",
      "\"never closed,\r\nstill\r\n",
      "1,\"" + longText + "\r\n" + longText + "\",2,3\r\n" + longJapanese + ",4\r\n5",
  };
  for (const auto& bytes : cases) {
    TempFolder dir;
    dir.WriteBytes("t.txt", bytes);
    TableReader all, some;
    ASSERT_TRUE(all.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
    ASSERT_TRUE(some.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
    for (int n = 0; !all.AtEnd(); ++n) {
      ASSERT_FALSE(some.AtEnd());
      std::string field = all.ReadField();
      if (n % 2 == 0) {
        some.SkipField();
      } else {
        EXPECT_EQ(some.ReadField(), field) << "field " << n;
      }
      EXPECT_EQ(some.FieldLine(), all.FieldLine()) << "field " << n;
    }
    EXPECT_TRUE(some.AtEnd());
    EXPECT_EQ(some.UnclosedQuoteLine(), all.UnclosedQuoteLine());
  }
}

// Fields and line ends on the border of the 64 KiB the reader takes at a time.
TEST(FieldReader, FieldsAndLineEndsOnTheBufferBorder) {
  const std::size_t kBuffer = 1 << 16;
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> fields;
    std::vector<long> lines;
  };
  const std::string x(kBuffer - 1, 'x');
  const Case cases[] = {
      {"CR last in the buffer, LF first in the next", x + "\r\nb", {x, "b"}, {1, 2}},
      {"comma last in the buffer", x + ",b\r\nc", {x, "b", "c"}, {1, 1, 2}},
      {"field runs over the border", x + "yz,b", {x + "yz", "b"}, {1, 1}},
      {"blanks over the border",
       std::string(kBuffer - 2, 'x') + "  \t ,b",
       {std::string(kBuffer - 2, 'x'), "b"},
       {1, 1}},
      {"character over the border",
       std::string(kBuffer - 1, 'x') + "\x95\x5c,b",
       {std::string(kBuffer - 1, 'x') + "表", "b"},
       {1, 1}},
      {"0x1A last byte of one full buffer", x + "\x1a", {x}, {1}},
      {"0x1A alone after the border", x + "y\x1a", {x + "y"}, {1}},
      {"0x1A at the end of a longer table", x + ",b\x1a", {x, "b"}, {1, 1}},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    dir.WriteBytes("t.txt", c.bytes);
    TableReader reader;
    ASSERT_TRUE(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
    std::vector<std::string> fields;
    std::vector<long> lines;
    while (!reader.AtEnd()) {
      fields.push_back(reader.ReadField());
      lines.push_back(reader.FieldLine());
    }
    EXPECT_EQ(fields, c.fields) << c.name;
    EXPECT_EQ(lines, c.lines) << c.name;
  }
}

TEST(FieldReader, RowsReadInPartOrSkipped) {
  TempFolder dir;
  dir.WriteBytes("t.txt", "1,\"\x93\x8c\x8b\x9e\",3\r\n4,5,6\r\n7,8");
  TableReader reader;
  ASSERT_TRUE(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")));
  std::vector<std::string> row{"left", "over", "here"};
  ASSERT_TRUE(reader.ReadRow(3, 2, 2, row));
  EXPECT_EQ(row, (std::vector<std::string>{"", "東京", ""}));
  ASSERT_TRUE(reader.SkipRow(3));
  EXPECT_FALSE(reader.SkipRow(3));  // cut short by the end
  EXPECT_TRUE(reader.AtEnd());
}

// Fields as they stand: the same bytes and lines as reading them, undecoded until asked for.
TEST(FieldReader, RawRowsAsTheyStand) {
  TableFile table = TableFromBytes("t.txt", " 1 ,\"\x93\x8c\r\n\x8b\x9e\"x,3\r\n4,5");
  TableReader reader;
  ASSERT_TRUE(reader.Open(table));
  std::vector<RawField> row(5);
  ASSERT_TRUE(reader.ReadRawRow(3, row));
  ASSERT_EQ(row.size(), 3u);
  EXPECT_EQ(row[0].bytes, "1");
  EXPECT_EQ(row[1].bytes, "\x93\x8c\r\n\x8b\x9e");
  EXPECT_TRUE(row[1].nonAscii && row[1].overLineEnd);
  EXPECT_EQ(TableReader::Text(row[1]), "東\r\n京");
  EXPECT_EQ(row[2].bytes, "3");
  EXPECT_FALSE(row[2].nonAscii || row[2].overLineEnd);
  EXPECT_EQ((std::vector<long>{row[0].line, row[1].line, row[2].line}), (std::vector<long>{1, 1, 2}));
  EXPECT_EQ(reader.Line(), 3);
  EXPECT_FALSE(reader.ReadRawRow(3, row));  // cut short: what was there, the rest empty
  EXPECT_EQ(row[1].bytes, "5");
  EXPECT_EQ(row[1].line, 3);
  EXPECT_EQ(row[2].line, 0);
  EXPECT_TRUE(row[2].bytes.empty());
  EXPECT_TRUE(reader.AtEnd());
}

TEST(ScanTable, CountsCompleteRowsAndCollectsAColumn) {
  TempFolder dir;
  std::string table;
  for (int i = 1; i <= 88; ++i) table += std::to_string(i) + (i % 10 == 0 ? "\r\n" : ",");
  dir.WriteBytes("X100.txt", table);
  long count = -1;
  ASSERT_TRUE(FCOPYSUB::CountRows(test::EnvironmentDrives(), dir.Drive("X100.txt"), 44, count));
  EXPECT_EQ(count, 2);
  ASSERT_TRUE(FCOPYSUB::CountRows(test::EnvironmentDrives(), dir.Drive("X100.txt"), 40, count));
  EXPECT_EQ(count, 2);  // 8 fields left over: no complete third row

  std::vector<std::string> column;
  ASSERT_TRUE(FCOPYSUB::ScanTable(test::EnvironmentDrives(), dir.Drive("X100.txt"), count, column,
                                  FCOPYSUB::kCollectColumn, 44, 2));
  EXPECT_EQ(column, (std::vector<std::string>{"", "2", "46"}));

  count = 7;
  ASSERT_TRUE(FCOPYSUB::CountRows(test::EnvironmentDrives(), dir.Drive("missing.txt"), 44, count));
  EXPECT_EQ(count, 7);  // a missing table leaves the count as it was
}

TEST(IsPresent, NeedsAPlainFileWithBytes) {
  TempFolder dir;
  dir.WriteBytes("X5.txt", "");
  dir.WriteBytes("L209.txt", " \r\n");
  dir.WriteBytes(".L204.txt", "1");
  std::filesystem::create_directory(dir.path() / "L201.txt");
  EXPECT_FALSE(FCOPYSUB::IsPresent(test::EnvironmentDrives(), dir.Drive("X5.txt")));
  EXPECT_TRUE(FCOPYSUB::IsPresent(test::EnvironmentDrives(), dir.Drive("l209.TXT")));
  EXPECT_FALSE(FCOPYSUB::IsPresent(test::EnvironmentDrives(), dir.Drive(".L204.txt")));
  EXPECT_FALSE(FCOPYSUB::IsPresent(test::EnvironmentDrives(), dir.Drive("L201.txt")));
  EXPECT_FALSE(FCOPYSUB::IsPresent(test::EnvironmentDrives(), dir.Drive("none.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.txt"));
}

}  // namespace
}  // namespace zk

namespace zk {
namespace {

// A table is taken whole when it is opened: a change to the file afterwards is not seen by
// the reading, and a change before the next taking is.
TEST(FieldReader, ATableIsTakenOnceAndAChangeIsSeenByTheNextTaking) {
  test::TempFolder dir;
  dir.WriteBytes("t.txt", "a,\x93\x8c\r\n\x1a");
  TableFile taken = LoadTableFile(test::EnvironmentDrives(), dir.Drive("t.txt"));
  EXPECT_EQ(taken.bytes, "a,\x93\x8c\r\n");       // the end-of-file mark cut
  dir.WriteBytes("t.txt", "a,\x93\x20\r\n\x1a");  // same size, a lead byte without its trail
  TableReader reader;
  ASSERT_TRUE(reader.Open(taken));
  EXPECT_EQ(reader.ReadField(), "a");
  EXPECT_EQ(reader.ReadField(), "東");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.Open(test::EnvironmentDrives(), dir.Drive("t.txt")).fault, Fault::NotCp932);
}

}  // namespace
}  // namespace zk
