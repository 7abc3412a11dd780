#include "tables/table_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

long LineOfOffset(std::string_view bytes, std::size_t offset) {
  long line = 1;
  char previous = 0;
  for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\r' || (c == '\n' && previous != '\r')) ++line;
    previous = c;
  }
  return line;
}

// The CP932 and NUL checks over the bytes as read; the last 0x1A is cut after them.
void CheckBytes(TableFile& table) {
  std::string_view bytes = table.bytes;
  std::size_t nul = bytes.find('\0');
  auto bad = platform::FirstInvalidCp932(bytes);
  if (nul != std::string_view::npos && (!bad || nul < *bad)) {
    table.state = TableState::HasNul;
    table.fault = Status::Failed(Fault::Malformed, table.drivePath, "NUL バイトがあります (テキストの表ではありません)",
                                 LineOfOffset(bytes, nul));
  } else if (bad) {
    table.state = TableState::NotCp932;
    table.fault = Status::Failed(Fault::NotCp932, table.drivePath, "Shift-JIS (CP932) でない文字があります",
                                 LineOfOffset(bytes, *bad));
  } else {
    table.state = bytes.empty() ? TableState::Empty : TableState::Text;
  }
  if (!table.bytes.empty() && table.bytes.back() == 0x1A) table.bytes.pop_back();
}

TableFile Fails(TableFile table, TableState state, Fault fault, const std::string& path, std::string description) {
  table.state = state;
  table.fault = Status::Failed(fault, path, std::move(description));
  table.bytes.clear();
  return table;
}

}  // namespace

TableFile LoadTableFile(const platform::DriveMap& drives, const std::string& drivePath, const OpenHook& opened) {
  platform::SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  return LoadTableFile(drives, drivePath, host, seen, opened);
}

TableFile LoadTableFile(const platform::DriveMap& drives, const std::string& drivePath,
                        const std::optional<std::filesystem::path>& host, const platform::SeenEntry& seen,
                        const OpenHook& opened, const std::optional<std::string>& hostDriveForm) {
  TableFile table;
  table.drivePath = drivePath;
  if (!host) return table;
  std::error_code ec;
  fs::file_type own = seen.type;
  if (own == fs::file_type::none) {
    own = fs::symlink_status(*host, ec).type();
    if (ec && own != fs::file_type::not_found) return table;
  }
  if (own == fs::file_type::not_found) return table;
  fs::file_type target = own == fs::file_type::symlink ? fs::status(*host, ec).type() : own;
  if (target == fs::file_type::not_found)
    return Fails(table, TableState::DanglingLink, Fault::NotAFile, drivePath, "リンク先のファイルがありません");
  if (target == fs::file_type::directory)
    return Fails(table, TableState::Folder, Fault::NotAFile, drivePath, "ファイルではなくフォルダです");
  if (target != fs::file_type::regular)
    return Fails(table, TableState::NotAFile, Fault::NotAFile, drivePath, "普通のファイルではありません");
  std::string name = platform::HostText(host->filename());
  if (!name.empty() && name[0] == '.') return table;  // hidden: no table
  // Messages name the table as it is written on disk.
  if (hostDriveForm)
    table.drivePath = *hostDriveForm;
  else if (auto actual = drives.ToDriveForm(*host))
    table.drivePath = *actual;
  if (opened) opened(platform::HostText(*host));
  // The open never waits: should a pipe have taken the table's place since it was looked at,
  // it returns at once and is refused below.
  int fd = platform::OpenToRead(*host);
  platform::OpenedFile file;
  bool described = fd >= 0 && platform::DescribeOpened(fd, file);
  if (seen.listed && (!described || !file.regular)) {
    // Removed or replaced since its folder was listed: the entry itself is asked what it is.
    if (fd >= 0) platform::CloseReadFile(fd);
    return LoadTableFile(drives, drivePath, host, platform::SeenEntry{}, {}, hostDriveForm);
  }
  if (!described) {
    std::string why = std::string("開けません (") + std::strerror(errno) + ")";
    if (fd >= 0) platform::CloseReadFile(fd);
    table.length = seen.size;
    return Fails(table, TableState::Unreadable, Fault::Unreadable, drivePath, why);
  }
  if (!file.regular) {
    platform::CloseReadFile(fd);
    return Fails(table, TableState::NotAFile, Fault::NotAFile, drivePath, "普通のファイルではありません");
  }
  // The length as opened: the fields end there, whatever is appended meanwhile. A file cut
  // short meanwhile gives the bytes that are there.
  table.length = file.size;
  table.bytes.resize(static_cast<std::size_t>(table.length));
  long long n = platform::ReadAt(fd, table.bytes.data(), table.bytes.size(), 0);
  if (n < 0) {
    std::string why = std::string("読み込めません (") + std::strerror(errno) + ")";
    platform::CloseReadFile(fd);
    return Fails(table, TableState::Unreadable, Fault::Unreadable, table.drivePath, why);
  }
  platform::CloseReadFile(fd);
  std::size_t got = static_cast<std::size_t>(n);
  table.bytes.resize(got);
  CheckBytes(table);
  return table;
}

TableFile TableFromBytes(std::string drivePath, std::string bytes) {
  TableFile table;
  table.drivePath = std::move(drivePath);
  table.length = bytes.size();
  table.bytes = std::move(bytes);
  CheckBytes(table);
  return table;
}

}  // namespace zk
