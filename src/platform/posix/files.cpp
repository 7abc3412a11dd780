#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/drives.h"
#include "platform/posix/status_identity.h"

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

std::string HostText(const fs::path& host) { return host.string(); }
fs::path HostPath(const std::string& hostText) { return fs::path(hostText); }

int OpenToRead(const fs::path& host) { return ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }

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

void CloseFile(int fd) { ::close(fd); }

bool DescribeOpened(int fd, const std::string& hostText, OpenedFile& file) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  file.regular = S_ISREG(st.st_mode);
  file.size = st.st_size > 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
  file.identity = IdentityOf(hostText, st);
  return true;
}

std::FILE* OpenToWrite(const std::string& hostText) { return std::fopen(hostText.c_str(), "wb"); }

int CloseDurably(std::FILE* file) {
  int error = 0;
  if (std::fflush(file) != 0) error = errno;
  if (::fsync(::fileno(file)) != 0 && error == 0) error = errno;
  if (std::fclose(file) != 0 && error == 0) error = errno;
  return error;
}

bool ReplaceHostFile(const std::string& fromHost, const std::string& toHost) {
  return std::rename(fromHost.c_str(), toHost.c_str()) == 0;
}

bool RemoveHostFile(const std::string& hostText) { return std::remove(hostText.c_str()) == 0; }

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

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return std::nullopt;
  return IdentityOf(hostPath, st);
}

std::optional<FileIdentity> IdentityOf(const std::string& hostPath, const struct stat& st) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  constexpr long long kSettledNs = 2'000'000'000LL;
  auto ns = [](const struct timespec& t) { return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec; };
  if (ns(now) - ns(st.st_mtim) < kSettledNs || ns(now) - ns(st.st_ctim) < kSettledNs) return std::nullopt;
  return FileIdentity{hostPath, static_cast<long long>(st.st_size),
                      static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                      static_cast<long long>(st.st_ino)};
}

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

std::string SystemFolder() {
  if (const char* dir = std::getenv("ZK_SYSDIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return (fs::path(xdg) / "zk2morvex").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home ? home : "") / ".config" / "zk2morvex").string();
}

}  // namespace zk::platform
