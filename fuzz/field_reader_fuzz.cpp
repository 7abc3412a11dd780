// The field reader over any bytes: rows of a width the first byte picks, the table scanner,
// and the CP932 check at open agreeing with a one-shot conversion of the same bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/codepage.h"
#include "tables/field_reader.h"
#include "tables/table_access.h"

namespace {

// The reading rules written the plain way, byte by byte over the whole table: the reader,
// buffered and with its quick way for the usual field, must give the same fields and lines.
struct ReferenceField {
  std::string text;
  long line = 0;
};

std::vector<ReferenceField> ReferenceFields(std::string_view bytes, long& unclosedLine) {
  if (!bytes.empty() && bytes.back() == '\x1a') bytes.remove_suffix(1);
  std::vector<ReferenceField> fields;
  std::size_t i = 0;
  long line = 1;
  auto lineEnd = [&](bool afterCr) {
    char c = bytes[i];
    if (c == '\r' || (c == '\n' && !afterCr)) ++line;
  };
  while (i < bytes.size()) {
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t')) ++i;
    ReferenceField f;
    f.line = line;
    if (i < bytes.size() && bytes[i] == '"') {
      ++i;
      bool afterCr = false;
      while (i < bytes.size() && bytes[i] != '"') {
        lineEnd(afterCr);
        afterCr = bytes[i] == '\r';
        f.text += bytes[i++];
      }
      if (i >= bytes.size()) {
        unclosedLine = f.line;
        f.text = zk::platform::FromCp932(f.text).value_or("");
        fields.push_back(f);
        break;
      }
      ++i;
      while (i < bytes.size() && bytes[i] != ',' && bytes[i] != '\r' && bytes[i] != '\n') ++i;
    } else {
      while (i < bytes.size() && bytes[i] != ',' && bytes[i] != '\r' && bytes[i] != '\n') f.text += bytes[i++];
      while (!f.text.empty() && (f.text.back() == ' ' || f.text.back() == '\t')) f.text.pop_back();
    }
    if (i < bytes.size()) {
      char c = bytes[i++];
      if (c == '\r' || c == '\n') ++line;
      if (c == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
    }
    f.text = zk::platform::FromCp932(f.text).value_or("");
    fields.push_back(f);
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  if (size == 0) return 0;
  std::size_t width = 1 + data[0] % 68;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::filesystem::path host = fuzz::WorkFolder() / "t.txt";
  fuzz::WriteFile(host, bytes);
  const platform::DriveMap drives = platform::DriveMap::FromEnvironment();
  std::string path = *drives.ToDriveForm(host);

  TableReader reader;
  Status opened = reader.Open(drives, path);
  bool nul = bytes.find('\0') != std::string_view::npos;
  bool cp932 = platform::FromCp932(bytes).has_value();
  if (opened) ZK_FUZZ_CHECK(cp932 && !nul);
  if (opened.fault == Fault::NotCp932) ZK_FUZZ_CHECK(!cp932);
  if (!opened) {
    ZK_FUZZ_CHECK(opened.fault == Fault::NotCp932 || opened.fault == Fault::Malformed);
    ZK_FUZZ_CHECK(opened.line >= 1);
    return 0;
  }

  long unclosedLine = 0;
  std::vector<ReferenceField> expected = ReferenceFields(bytes, unclosedLine);
  TableReader byField;
  ZK_FUZZ_CHECK(byField.Open(drives, path));
  for (std::size_t n = 0; n < expected.size(); ++n) {
    ZK_FUZZ_CHECK(!byField.AtEnd());
    if (n % 3 == 2) {
      byField.SkipField();
    } else {
      ZK_FUZZ_CHECK(byField.ReadField() == expected[n].text);
    }
    ZK_FUZZ_CHECK(byField.FieldLine() == expected[n].line);
  }
  ZK_FUZZ_CHECK(byField.AtEnd());
  ZK_FUZZ_CHECK(byField.UnclosedQuoteLine() == unclosedLine);

  long rows = 0;
  long lastLine = 0;
  std::vector<std::string> row;
  while (!reader.AtEnd()) {
    bool complete = reader.ReadRow(width, row);
    ZK_FUZZ_CHECK(row.size() == width);
    ZK_FUZZ_CHECK(reader.FieldLine() >= lastLine);
    lastLine = reader.FieldLine();
    for (const std::string& field : row) ZK_FUZZ_CHECK(platform::ToCp932(field).has_value());
    if (!complete) break;
    ++rows;
  }
  ZK_FUZZ_CHECK(reader.status());  // a quote never closed is no fault, only reported
  ZK_FUZZ_CHECK(reader.UnclosedQuoteLine() == 0 || reader.UnclosedQuoteLine() <= reader.Line());

  long count = -1;
  Status counted = FCOPYSUB::CountRows(drives, path, width, count);
  ZK_FUZZ_CHECK(counted.fault == reader.status().fault);
  ZK_FUZZ_CHECK(count == rows);
  std::vector<std::string> column;
  std::size_t index = 1 + (size % width);
  FCOPYSUB::ScanTable(drives, path, count, column, FCOPYSUB::kCollectColumn, width, index);
  ZK_FUZZ_CHECK(static_cast<long>(column.size()) == rows + 1);
  return 0;
}
