#include "platform/files.h"

#include <sys/stat.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/drives.h"

namespace fs = std::filesystem;

namespace zk::platform {
namespace {

bool Hidden(const fs::path& p) {
  std::string name = p.filename().string();
  return !name.empty() && name[0] == '.';
}

// The status of a plain file, following links; nullopt for anything else.
std::optional<struct stat> PlainFileStatus(const fs::path& p) {
  struct stat st {};
  if (Hidden(p) || ::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return st;
}

}  // namespace

bool IsPlainHostFile(const fs::path& host) { return PlainFileStatus(host).has_value(); }

bool IsPlainFile(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  return host && IsPlainHostFile(*host);
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
  auto host = ToHost(drivePath);
  if (!host) return std::nullopt;
  auto st = PlainFileStatus(*host);
  if (!st) return std::nullopt;
  return static_cast<std::uintmax_t>(st->st_size);
}

std::vector<std::string> ListPlainFiles(const std::string& driveFolder) {
  std::vector<std::string> names;
  auto host = ToHost(driveFolder);
  if (!host) return names;
  std::error_code ec;
  // The entry's type comes with the listing: no stat per file, except for links, which
  // the entry follows as a plain file's status does. A destination of many files is listed per boring.
  for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || typeError) continue;
    std::string name = it->path().filename().string();
    if (name[0] != '.') names.push_back(std::move(name));
  }
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

namespace {

std::optional<FileIdentity> SettledIdentity(const std::string& hostPath, const struct stat& st) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  constexpr long long kSettledNs = 2'000'000'000LL;
  auto ns = [](const struct timespec& t) { return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec; };
  if (ns(now) - ns(st.st_mtim) < kSettledNs || ns(now) - ns(st.st_ctim) < kSettledNs) return std::nullopt;
  return FileIdentity{hostPath, static_cast<long long>(st.st_size),
                      static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                      static_cast<long long>(st.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return std::nullopt;
  return SettledIdentity(hostPath, st);
}

std::optional<FileIdentity> IdentityOf(const std::string& hostPath, int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return SettledIdentity(hostPath, st);
}

std::string SystemFolder() {
  if (const char* dir = std::getenv("ZK_SYSDIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return (fs::path(xdg) / "zk2morvex").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home ? home : "") / ".config" / "zk2morvex").string();
}

}  // namespace zk::platform
