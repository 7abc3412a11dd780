#include "tables/table_access.h"

#include "platform/files.h"
#include "tables/field_reader.h"

namespace zk::FCOPYSUB {

bool IsPresent(const std::string& drivePath) {
  auto length = platform::FileLength(drivePath);
  return length && *length > 0;
}

Status ScanTable(const std::string& drivePath, long& count, std::vector<std::string>& column, int mode,
                 std::size_t fieldsPerRow, std::size_t columnIndex) {
  if (!platform::IsPlainFile(drivePath)) return Status::Ok();
  if (mode != kCountRows && mode != kCollectColumn) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(drivePath); !s) return s;
  if (mode == kCountRows) count = 0;
  if (mode == kCollectColumn) column.assign(1, std::string());
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(fieldsPerRow, row)) {
    if (mode == kCountRows) ++count;
    else column.push_back(row[columnIndex - 1]);
  }
  return reader.status();
}

Status CountRows(const std::string& drivePath, std::size_t fieldsPerRow, long& count) {
  std::vector<std::string> unused;
  return ScanTable(drivePath, count, unused, kCountRows, fieldsPerRow, 1);
}

}  // namespace zk::FCOPYSUB
