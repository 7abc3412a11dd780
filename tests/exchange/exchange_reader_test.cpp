#include "exchange/exchange_reader.h"

#include <gtest/gtest.h>

#include "conversion/run.h"
#include "exchange/exchange_file.h"
#include "exchange/record_frame.h"
#include "platform/codepage.h"
#include "support/exchange_readback.h"
#include "support/fake_window.h"
#include "support/test_util.h"

namespace zk {
namespace {

using test::TempFolder;
using Fields = std::vector<std::vector<std::string>>;

Fields FieldsOf(const std::vector<ExchangeRecord>& records) {
  Fields fields;
  for (const auto& r : records) fields.push_back(r.fields);
  return fields;
}

std::string Cp932(const std::string& utf8) { return *platform::ToCp932(utf8); }

TEST(ExchangeReader, SplitsRecordsAndFields) {
  struct Case {
    const char* name;
    std::string bytes;
    Fields fields;
  };
  const Case cases[] = {
      {"one record", "\"A\",\"53393681001\",\"000\"\r\n", {{"A", "53393681001", "000"}}},
      {"two records, an empty field",
       "\"A\",\"1\",\"000\"\r\n\"B\",\"1\",\"001\",\"\",\"x\"\r\n",
       {{"A", "1", "000"}, {"B", "1", "001", "", "x"}}},
      {"a comma inside quotes", "\"A\",\"1\",\"001\",\"12,5\"\r\n", {{"A", "1", "001", "12,5"}}},
      {"a quote inside a field", "\"A\",\"1\",\"001\",\"a\"b\",\"c\"\"\r\n", {{"A", "1", "001", "a\"b", "c\""}}},
      {"Japanese text",
       Cp932("\"B\",\"1\",\"001\",\"001.00\",\"0100\",\"盛土\",\"**KC\",\"黒褐\"\r\n"),
       {{"B", "1", "001", "001.00", "0100", "盛土", "**KC", "黒褐"}}},
      {"a backslash and a tab", "\"A\",\"1\",\"001\",\"C:\\DATA\t1\"\r\n", {{"A", "1", "001", "C:\\DATA\t1"}}},
  };
  for (const auto& c : cases) {
    std::vector<ExchangeRecord> records;
    Status s = ParseExchangeRecords(c.bytes, "x.001", records);
    ASSERT_TRUE(s) << c.name << ": " << s.Message();
    EXPECT_EQ(FieldsOf(records), c.fields) << c.name;
  }
}

// Lines built by the writer's own frame read back field for field, and are built again the
// same from what was read.
TEST(ExchangeReader, ReadsBackTheLinesTheWritersFrameBuilds) {
  const Fields records = {{"A", "53393681001", "000"},
                          {"B", "53393681001", "001", "001.00", "0100", "盛土", "**KC", "黒褐"},
                          {"D", "53393681001", "002", "12,5", "a\"b", ""}};
  std::string utf8;
  for (const auto& r : records) {
    std::vector<std::string> data(r.begin() + 3, r.end());
    AppendRecordLine(utf8, r[0], "\"" + r[1] + "\"", r[2], data);
  }
  std::vector<ExchangeRecord> read;
  ASSERT_TRUE(ParseExchangeRecords(Cp932(utf8), "x.001", read));
  EXPECT_EQ(FieldsOf(read), records);
  std::string again;
  for (const auto& r : read) again += RecordLine(r);
  EXPECT_EQ(again, utf8);
}

TEST(ExchangeReader, RecordsKnowTheirLineAndFields) {
  std::vector<ExchangeRecord> records;
  ASSERT_TRUE(ParseExchangeRecords("\"A\",\"1\",\"000\"\r\n\"C\",\"1\",\"001\",\"002.15\"\r\n", "x", records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].line, 2);
  EXPECT_EQ(records[1].Key(), "C");
  EXPECT_EQ(records[1].BoringId(), "1");
  EXPECT_EQ(records[1].SubNumber(), "001");
  EXPECT_EQ(records[1].Field(4), "002.15");
  EXPECT_EQ(records[1].Field(5), "");
  EXPECT_EQ(records[1].Field(0), "");
}

TEST(ExchangeReader, RefusesMalformedFilesWithTheLine) {
  const std::string ok = "\"A\",\"53393681001\",\"000\"\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    Fault fault;
    long line;
    const char* says;
  };
  const Case cases[] = {
      {"unclosed quote", ok + "\"A\",\"53393681001\",\"001\",\"abc\r\n", Fault::BadRecord, 2, "閉じていません"},
      {"unclosed at the end", ok + ok + "\"A\",\"53393681001\",\"002", Fault::BadRecord, 3, "閉じていません"},
      {"a line without quotes", ok + "A,53393681001,001\r\n", Fault::BadRecord, 2, "引用符で囲まれていません"},
      {"an unquoted field", "\"A\",53393681001,\"000\"\r\n", Fault::BadRecord, 1, "2 番目の項目"},
      {"a quote then a comma inside", ok + "\"A\",\"53393681001\",\"001\",\"a\",b\"\r\n", Fault::BadRecord, 2,
       "5 番目"},
      {"missing CR", ok + "\"A\",\"53393681001\",\"001\"\n" + ok, Fault::BadRecord, 2, "CR LF"},
      {"lone CR", "\"A\",\"53393681001\",\"000\"\r", Fault::BadRecord, 1, "CR LF"},
      {"no line end at the end", ok + "\"A\",\"53393681001\",\"001\"", Fault::BadRecord, 2, "行末"},
      {"an empty line", ok + "\r\n" + ok, Fault::BadRecord, 2, "空の行"},
      {"invalid CP932", ok + ok + "\"A\",\"53393681001\",\"001\",\"\x81\"\r\n", Fault::NotCp932, 3, "CP932"},
      {"a lone LF first: refused there, whatever follows", "\n\n\xff", Fault::BadRecord, 1, "引用符で囲まれていません"},
      {"not CP932 from the first byte on", "\xff\xfe\"A\"\r\n", Fault::BadRecord, 1, "引用符で囲まれていません"},
      {"too few fields", ok + "\"A\",\"53393681001\"\r\n", Fault::BadRecord, 2, "3 つ未満"},
      {"unknown key", ok + "\"Z\",\"53393681001\",\"001\"\r\n", Fault::BadRecord, 2, "記録キー「Z」"},
      {"key of two letters", "\"AB\",\"53393681001\",\"000\"\r\n", Fault::BadRecord, 1, "記録キー"},
      {"sub-number not three digits", ok + "\"B\",\"53393681001\",\"01\"\r\n", Fault::BadRecord, 2, "枝番「01」"},
      {"another boring", ok + "\"B\",\"53393681002\",\"000\",\"000\"\r\n", Fault::BadRecord, 2, "53393681002"},
      {"empty boring id", "\"A\",\"\",\"000\"\r\n", Fault::BadRecord, 1, "空"},
      {"empty file", "", Fault::BadRecord, 0, "記録が一つもありません"},
  };
  for (const auto& c : cases) {
    std::vector<ExchangeRecord> records;
    Status s = ParseExchangeRecords(c.bytes, "53393681.001", records);
    EXPECT_EQ(s.fault, c.fault) << c.name << ": " << s.Message();
    EXPECT_EQ(s.line, c.line) << c.name;
    EXPECT_NE(s.Message().find(c.says), std::string::npos) << c.name << ": " << s.Message();
    EXPECT_NE(s.Message().find("53393681.001"), std::string::npos) << c.name;
    EXPECT_TRUE(records.empty()) << c.name;
  }
}

TEST(ExchangeReader, ReadsFilesByDrivePath) {
  TempFolder dir;
  dir.WriteBytes("53393681.001", "\"A\",\"53393681001\",\"000\"\r\n");
  std::vector<ExchangeRecord> records;
  ASSERT_TRUE(ReadExchangeFile(test::EnvironmentDrives(), dir.Drive("53393681.001"), records));
  EXPECT_EQ(records.size(), 1u);
  EXPECT_EQ(ReadExchangeFile(test::EnvironmentDrives(), dir.Drive("53393681.002"), records).fault, Fault::NotFound);
  EXPECT_EQ(ReadExchangeFile(test::EnvironmentDrives(), dir.Drive(""), records).fault, Fault::NotFound);  // a folder
}

TEST(ExchangeReader, ReadsBackWhatTheWriterWrote) {
  TempFolder dir;
  ExchangeFile out;
  ASSERT_TRUE(out.Create(test::EnvironmentDrives(), dir.Drive(), "53393681.001"));
  const std::string id = "\"53393681001\"";
  out.WriteRecord("A", id, "000");
  out.WriteRecord("A", id, "001", {"東京駅前地質調査業務"});
  out.WriteRecord("B", id, "001", {"001.00", "0100", "盛土", "**KC", "黒褐"});
  out.WriteRecord("D", id, "001", {"12,5", "", "a\"b", "①"});
  ASSERT_TRUE(out.Commit());
  auto records = test::ExpectReadsBack(dir.Drive("53393681.001"));
  EXPECT_EQ(FieldsOf(records), (Fields{{"A", "53393681001", "000"},
                                       {"A", "53393681001", "001", "東京駅前地質調査業務"},
                                       {"B", "53393681001", "001", "001.00", "0100", "盛土", "**KC", "黒褐"},
                                       {"D", "53393681001", "001", "12,5", "", "a\"b", "①"}}));
}

// Read in chunks a line at a time: lines that cross the chunks read whole, and a file is
// refused at its first bad line whatever lies after it (a line of megabytes without a quote at
// its start is refused by its first byte).
TEST(ExchangeReader, ReadsFilesALineAtATimeAndStopsAtTheFirstBadLine) {
  TempFolder dir;
  const std::string ok = "\"A\",\"53393681001\",\"000\"\r\n";
  std::string many = ok;
  for (int i = 1; i <= 3000; ++i)
    many += "\"B\",\"53393681001\",\"001\",\"" + std::string(static_cast<std::size_t>(i % 97), 'x') + "\"\r\n";
  dir.WriteBytes("many.001", many);
  std::vector<ExchangeRecord> records;
  ASSERT_TRUE(ReadExchangeFile(test::EnvironmentDrives(), dir.Drive("many.001"), records));
  ASSERT_EQ(records.size(), 3001u);
  EXPECT_EQ(records[3000].Field(4), std::string(3000 % 97, 'x'));
  EXPECT_EQ(records[3000].line, 3001);

  struct Case {
    const char* name;
    std::string bytes;
    Fault fault;
    long line;
  };
  const Case cases[] = {
      {"megabytes without a line end", std::string(4 << 20, 'x'), Fault::BadRecord, 1},
      {"a bad frame before bytes that are not CP932", ok + "A,1\r\n\xff\xff\r\n", Fault::BadRecord, 2},
      {"bytes that are not CP932 before a bad frame", ok + "\"A\",\"\x81\"\r\nA,1\r\n", Fault::NotCp932, 2},
      {"a good file's last line without its line end", many + ok.substr(0, ok.size() - 2), Fault::BadRecord, 3002},
  };
  for (const Case& c : cases) {
    dir.WriteBytes("bad.001", c.bytes);
    Status s = ReadExchangeFile(test::EnvironmentDrives(), dir.Drive("bad.001"), records);
    EXPECT_EQ(s.fault, c.fault) << c.name << ": " << s.Message();
    EXPECT_EQ(s.line, c.line) << c.name;
    EXPECT_TRUE(records.empty()) << c.name;
  }
}

// What a message quotes of a bad record is cut to a few hundred bytes.
TEST(ExchangeReader, MessagesQuoteAFewHundredBytesOfAField) {
  const std::string ok = "\"A\",\"53393681001\",\"000\"\r\n";
  std::vector<ExchangeRecord> records;
  Status s =
      ParseExchangeRecords(ok + "\"B\",\"53393681001\",\"" + std::string(1 << 20, '7') + "\"\r\n", "x.001", records);
  EXPECT_EQ(s.line, 2);
  EXPECT_NE(s.description.find("枝番「" + std::string(kExcerptBytes, '7') + "…」"), std::string::npos);
  EXPECT_LT(s.Message().size(), 400u);
}

// The bundled sample boring, converted by the run as it stands, reads back record for record.
TEST(ExchangeReader, ReadsBackTheSampleConversion) {
  TempFolder dir;
  test::CopyFolder(ZK_SAMPLE "/B001", dir.path() / "B001");
  std::string l9;
  for (int i = 1; i <= 15; ++i) l9 += std::to_string(i) + ",試験" + std::to_string(i) + "\r\n";
  dir.WriteCp932("codes/L9.txt", l9);
  dir.WriteCp932("codes/Kishitu.txt", "100,盛土,,,,\r\n");
  std::filesystem::create_directory(dir.path() / "out");
  test::FakeWindow window;
  window.context.codeTableFolder = dir.Drive("codes") + "\\";
  window.source = dir.Drive("B001");
  window.destination = dir.Drive("out");
  RunResult result = RunConversion(window, window.context);
  ASSERT_TRUE(result.converted) << (window.messages.empty() ? "" : window.messages.front().text);
  auto records = test::ExpectReadsBack(result.exchangeFilePath);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().fields, (std::vector<std::string>{"A", "53393681001", "000"}));
}

}  // namespace
}  // namespace zk
