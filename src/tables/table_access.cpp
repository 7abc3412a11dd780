#include "tables/table_access.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/drives.h"
#include "platform/files.h"
#include "tables/field_reader.h"

namespace zk::FCOPYSUB {

bool IsPresent(const std::string& drivePath) {
  auto length = platform::FileLength(drivePath);
  return length && *length > 0;
}

Status CheckTableEntry(const std::string& drivePath) {
  namespace fs = std::filesystem;
  platform::SeenEntry seen;
  auto host = platform::ToHost(drivePath, seen);
  if (!host) return Status::Ok();
  std::error_code ec;
  fs::file_type own = seen.type;
  if (own == fs::file_type::none) {
    own = fs::symlink_status(*host, ec).type();
    if (ec) return Status::Ok();
  }
  if (own == fs::file_type::not_found) return Status::Ok();
  fs::file_type target = own == fs::file_type::symlink ? fs::status(*host, ec).type() : own;
  if (target == fs::file_type::not_found)
    return Status::Failed(Fault::NotAFile, drivePath, "リンク先のファイルがありません");
  if (target == fs::file_type::directory)
    return Status::Failed(Fault::NotAFile, drivePath, "ファイルではなくフォルダです");
  if (target != fs::file_type::regular)
    return Status::Failed(Fault::NotAFile, drivePath, "普通のファイルではありません");
  int fd = platform::OpenToRead(*host);
  if (fd < 0)
    return Status::Failed(Fault::Unreadable, drivePath, std::string("開けません (") + std::strerror(errno) + ")");
  platform::CloseReadFile(fd);
  return Status::Ok();
}

Status ScanTable(const std::string& drivePath, long& count, std::vector<std::string>& column, int mode,
                 std::size_t fieldsPerRow, std::size_t columnIndex) {
  if (!platform::IsPlainFile(drivePath)) return Status::Ok();
  if (mode != kCountRows && mode != kCollectColumn) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(drivePath); !s) return s;
  if (mode == kCountRows) {
    count = 0;
    while (!reader.AtEnd() && reader.SkipRow(fieldsPerRow)) ++count;
    return reader.status();
  }
  column.assign(1, std::string());
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(fieldsPerRow, columnIndex, columnIndex, row))
    column.push_back(row[columnIndex - 1]);
  return reader.status();
}

Status CountRows(const std::string& drivePath, std::size_t fieldsPerRow, long& count) {
  std::vector<std::string> unused;
  return ScanTable(drivePath, count, unused, kCountRows, fieldsPerRow, 1);
}

}  // namespace zk::FCOPYSUB
