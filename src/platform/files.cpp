#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/drives.h"

namespace fs = std::filesystem;

namespace zk::platform {
namespace {

bool Hidden(const fs::path& p) {
  std::string name = p.filename().string();
  return !name.empty() && name[0] == '.';
}

// The length of a plain file, following links; nullopt for anything else. What ToHost saw
// answers without another status, except for a link.
std::optional<std::uintmax_t> PlainFileLength(const fs::path& p, const SeenEntry& seen) {
  if (Hidden(p)) return std::nullopt;
  switch (seen.type) {
    case fs::file_type::regular:
      return seen.size;
    case fs::file_type::none:
    case fs::file_type::symlink:
      break;
    default:
      return std::nullopt;  // missing, a folder, a device...
  }
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uintmax_t>(st.st_size);
}

}  // namespace

bool IsPlainHostFile(const fs::path& host, const SeenEntry& seen) { return PlainFileLength(host, seen).has_value(); }

bool IsPlainFile(const std::string& drivePath) {
  SeenEntry seen;
  auto host = ToHost(drivePath, seen);
  return host && IsPlainHostFile(*host, seen);
}

bool IsFolder(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  std::error_code ec;
  return host && fs::is_directory(*host, ec);
}

bool Exists(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  std::error_code ec;
  return host && fs::exists(*host, ec);
}

std::optional<std::uintmax_t> FileLength(const std::string& drivePath) {
  SeenEntry seen;
  auto host = ToHost(drivePath, seen);
  if (!host) return std::nullopt;
  return PlainFileLength(*host, seen);
}

int OpenToRead(const fs::path& host) { return ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }

std::vector<std::string> ListEntryNames(const fs::path& hostFolder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(hostFolder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

std::vector<std::string> ListPlainFiles(const std::string& driveFolder) {
  std::vector<std::string> names;
  auto host = ToHost(driveFolder);
  if (!host) return names;
  DIR* dir = ::opendir(host->c_str());
  if (!dir) return names;
  // The entry's type comes with the listing: no status per file, except for a link, which is
  // followed as a plain file's status is. A destination of many files is listed per boring.
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st {};
      regular = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

bool CreateFolder(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  std::error_code ec;
  return host && fs::create_directory(*host, ec) && !ec;
}

bool RemoveFile(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  std::error_code ec;
  return host && fs::remove(*host, ec) && !ec;
}

std::string SystemFolder() {
  if (const char* dir = std::getenv("ZK_SYSDIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return (fs::path(xdg) / "zk2morvex").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home ? home : "") / ".config" / "zk2morvex").string();
}

}  // namespace zk::platform
