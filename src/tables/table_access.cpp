#include "tables/table_access.h"

#include "platform/files.h"
#include "tables/field_reader.h"

namespace zk::FCOPYSUB {

bool IsPresent(const platform::DriveMap& drives, const std::string& drivePath) {
  auto length = platform::FileLength(drives, drivePath);
  return length && *length > 0;
}

Status ScanTable(const TableFile& table, long& count, std::vector<std::string>& column, int mode,
                 std::size_t fieldsPerRow, std::size_t columnIndex) {
  if (!table.IsPlainFile()) return Status::Ok();
  if (mode != kCountRows && mode != kCollectColumn) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(table); !s) return s;
  if (mode == kCountRows) {
    count = 0;
    while (!reader.AtEnd() && reader.SkipRow(fieldsPerRow)) ++count;
    return Status::Ok();
  }
  column.assign(1, std::string());
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(fieldsPerRow, columnIndex, columnIndex, row))
    column.push_back(row[columnIndex - 1]);
  return Status::Ok();
}

Status ScanTable(const platform::DriveMap& drives, const std::string& drivePath, long& count,
                 std::vector<std::string>& column, int mode, std::size_t fieldsPerRow, std::size_t columnIndex) {
  return ScanTable(LoadTableFile(drives, drivePath), count, column, mode, fieldsPerRow, columnIndex);
}

Status CountRows(const TableFile& table, std::size_t fieldsPerRow, long& count) {
  std::vector<std::string> unused;
  return ScanTable(table, count, unused, kCountRows, fieldsPerRow, 1);
}

Status CountRows(const platform::DriveMap& drives, const std::string& drivePath, std::size_t fieldsPerRow,
                 long& count) {
  return CountRows(LoadTableFile(drives, drivePath), fieldsPerRow, count);
}

}  // namespace zk::FCOPYSUB
