// The field reader over any bytes: rows of a width the first byte picks, the table scanner,
// and the CP932 check at open agreeing with a one-shot conversion of the same bytes.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/codepage.h"
#include "tables/field_reader.h"
#include "tables/table_access.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  if (size == 0) return 0;
  std::size_t width = 1 + data[0] % 68;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::filesystem::path host = fuzz::WorkFolder() / "t.txt";
  fuzz::WriteFile(host, bytes);
  std::string path = fuzz::DriveForm(host);

  TableReader reader;
  Status opened = reader.Open(path);
  bool nul = bytes.find('\0') != std::string_view::npos;
  bool cp932 = platform::FromCp932(bytes).has_value();
  if (opened) ZK_FUZZ_CHECK(cp932 && !nul);
  if (opened.fault == Fault::NotCp932) ZK_FUZZ_CHECK(!cp932);
  if (!opened) {
    ZK_FUZZ_CHECK(opened.fault == Fault::NotCp932 || opened.fault == Fault::Malformed);
    ZK_FUZZ_CHECK(opened.line >= 1);
    return 0;
  }

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
  Status counted = FCOPYSUB::CountRows(path, width, count);
  ZK_FUZZ_CHECK(counted.fault == reader.status().fault);
  ZK_FUZZ_CHECK(count == rows);
  std::vector<std::string> column;
  std::size_t index = 1 + (size % width);
  FCOPYSUB::ScanTable(path, count, column, FCOPYSUB::kCollectColumn, width, index);
  ZK_FUZZ_CHECK(static_cast<long>(column.size()) == rows + 1);
  return 0;
}
