#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
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

bool IsPlainFile(const DriveMap& drives, const std::string& drivePath) {
  SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  return host && IsPlainHostFile(*host, seen);
}

bool IsFolder(const DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  std::error_code ec;
  return host && fs::is_directory(*host, ec);
}

bool Exists(const DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  std::error_code ec;
  return host && fs::exists(*host, ec);
}

std::optional<std::uintmax_t> FileLength(const DriveMap& drives, const std::string& drivePath) {
  SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  if (!host) return std::nullopt;
  return PlainFileLength(*host, seen);
}

std::string HostText(const fs::path& host) { return host.string(); }
fs::path HostPath(const std::string& hostText) { return fs::path(hostText); }

int OpenToRead(const fs::path& host) { return ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }

std::vector<ListedEntry> ListEntries(const fs::path& hostFolder) {
  std::vector<ListedEntry> entries;
  DIR* dir = ::opendir(hostFolder.c_str());
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    ListedEntry& listed = entries.emplace_back();
    listed.name = name;
    if (entry->d_type == DT_REG) {  // the listing gives no size
      listed.seen.type = fs::file_type::regular;
      listed.seen.listed = true;
    }
  }
  ::closedir(dir);
  return entries;
}

long long ReadAt(int fd, char* to, std::size_t n, unsigned long long offset) {
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fd, to + got, n - got, static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return static_cast<long long>(got);
}

void CloseReadFile(int fd) { ::close(fd); }

bool DescribeOpened(int fd, OpenedFile& file) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  file.regular = S_ISREG(st.st_mode);
  file.size = st.st_size > 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
  return true;
}

Status ListPlainFiles(const DriveMap& drives, const std::string& driveFolder, std::vector<std::string>& names) {
  names.clear();
  auto unlistable = [&](int error) {
    return Status::Failed(Fault::Unreadable, driveFolder,
                          std::string("フォルダの一覧を読めません (") + std::strerror(error) + ")");
  };
  auto host = drives.ToHost(driveFolder);
  if (!host) return Status::Failed(Fault::Unreadable, driveFolder, "フォルダの一覧を読めません (ドライブが使えません)");
  DIR* dir = ::opendir(host->c_str());
  if (!dir) return unlistable(errno);
  // The entry's type comes with the listing: no status per file, except for a link, which is
  // followed as a plain file's status is. A destination of many files is listed per boring.
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (!entry) {
      int error = errno;
      ::closedir(dir);
      if (error != 0) {
        names.clear();
        return unlistable(error);
      }
      return Status::Ok();
    }
    if (entry->d_name[0] == '.') continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st {};
      regular = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) names.emplace_back(entry->d_name);
  }
}

bool CreateFolder(const DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  std::error_code ec;
  return host && fs::create_directory(*host, ec) && !ec;
}

bool RemoveFile(const DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  std::error_code ec;
  return host && fs::remove(*host, ec) && !ec;
}

FileHandle CreateNewFile(const fs::path& host, bool& exists, std::string& reason) {
  exists = false;
  int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    exists = errno == EEXIST;
    reason = std::strerror(errno);
    return kNoFile;
  }
  return fd;
}

bool WriteToFile(FileHandle file, std::string_view bytes, std::string& reason) {
  while (!bytes.empty()) {
    ssize_t n = ::write(static_cast<int>(file), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      reason = n < 0 ? std::strerror(errno) : std::strerror(ENOSPC);
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool SyncAndCloseFile(FileHandle file, std::string& reason) {
  int fd = static_cast<int>(file);
  bool ok = ::fsync(fd) == 0;
  if (!ok) reason = std::strerror(errno);
  if (::close(fd) != 0 && ok) {
    ok = false;
    reason = std::strerror(errno);
  }
  return ok;
}

void CloseFile(FileHandle file) {
  if (file != kNoFile) ::close(static_cast<int>(file));
}

Claim ClaimName(const fs::path& from, const fs::path& to, std::string& reason) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Claim::Claimed;
  if (errno == EEXIST) return Claim::Taken;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    reason = std::strerror(errno);
    return Claim::Failed;
  }
  // A file system that cannot rename without replacing: a second link made only where no
  // entry is, then the first name dropped.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return Claim::Taken;
    reason = std::strerror(errno);
    return Claim::Failed;
  }
  ::unlink(from.c_str());
  return Claim::Claimed;
}

bool ReplaceName(const fs::path& from, const fs::path& to, std::string& reason) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  reason = std::strerror(errno);
  return false;
}

bool SyncFolder(const fs::path& folder, std::string& reason) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;  // some file systems keep no folder state
  if (!ok) reason = std::strerror(errno);
  ::close(fd);
  return ok;
}

bool RemoveEntry(const fs::path& host) { return ::unlink(host.c_str()) == 0; }

std::optional<long long> SecondsSinceChange(const fs::path& host) {
  struct stat st {};
  if (::lstat(host.c_str(), &st) != 0) return std::nullopt;
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) - static_cast<long long>(st.st_mtim.tv_sec);
}

long CurrentProcessId() { return static_cast<long>(::getpid()); }

bool ProcessAlive(long id) {
  // 0 and negative ids would ask about whole process groups.
  if (id <= 0 || id != static_cast<long>(static_cast<pid_t>(id))) return false;
  return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

std::string MachineName() {
  char buffer[256] = {};
  std::string name;
  if (::gethostname(buffer, sizeof buffer - 1) == 0)
    for (const char* c = buffer; *c && name.size() < 32; ++c)
      if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') || *c == '-') name += *c;
  return name.empty() ? "host" : name;
}

std::string RandomHex() {
  // Asked of the kernel: a std::random_device is made anew each time, which costs some
  // 15 microseconds on a virtual machine (two temporary names a boring).
  unsigned value = 0;
  if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) value = std::random_device()();
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

std::string SystemFolder() {
  if (const char* dir = std::getenv("ZK_SYSDIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return (fs::path(xdg) / "zk2morvex").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home ? home : "") / ".config" / "zk2morvex").string();
}

std::string SettingsFolderToWrite() { return SystemFolder(); }

}  // namespace zk::platform
