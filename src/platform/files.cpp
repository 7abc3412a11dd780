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

bool RegularFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && !Hidden(p);
}

}  // namespace

bool IsPlainFile(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  return host && RegularFile(*host);
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
  if (!host || !RegularFile(*host)) return std::nullopt;
  std::error_code ec;
  auto size = fs::file_size(*host, ec);
  if (ec) return std::nullopt;
  return size;
}

std::vector<std::string> ListPlainFiles(const std::string& driveFolder) {
  std::vector<std::string> names;
  auto host = ToHost(driveFolder);
  if (!host) return names;
  std::error_code ec;
  // The entry's type comes with the listing: no stat per file, except for links, which
  // the entry follows as RegularFile does. A destination of many files is listed per boring.
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

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return std::nullopt;
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  constexpr long long kSettledNs = 2'000'000'000LL;
  auto ns = [](const struct timespec& t) { return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec; };
  if (ns(now) - ns(st.st_mtim) < kSettledNs || ns(now) - ns(st.st_ctim) < kSettledNs) return std::nullopt;
  return FileIdentity{hostPath, static_cast<long long>(st.st_size),
                      static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                      static_cast<long long>(st.st_ino)};
}

std::string SystemFolder() {
  if (const char* dir = std::getenv("ZK_SYSDIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return (fs::path(xdg) / "zk2morvex").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home ? home : "") / ".config" / "zk2morvex").string();
}

}  // namespace zk::platform
