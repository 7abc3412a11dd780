// Drive letters on Windows: the system's own drives. A drive-form path is the host path; what
// is added here is what the conversion asks of a path beyond the system's own reading of it:
// the drive's readiness, a drive-relative path resolved against the run's own current folder,
// the name as it is written on disk, and the folders a PathScope allows.
#include "platform/drives.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>

#include "platform/files.h"
#include "platform/win32/wide.h"

namespace fs = std::filesystem;

namespace zk::platform {
namespace {

using win32::Narrow;
using win32::Wide;

// A path this long or longer is given the "\\?\" prefix: without it the system refuses paths
// beyond 260 characters (and folders beyond 248).
constexpr std::size_t kLongPath = 248;
constexpr std::wstring_view kLongPrefix = L"\\\\?\\";

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A drive is ready when it is there and holds a medium: asking for its free space fails for an
// empty card reader or disc drive (not ready), without the system's "insert a disk" box.
bool DriveReady(char letter) {
  if (!IsLetter(letter)) return false;
  letter = Upper(letter);
  if ((::GetLogicalDrives() & (1u << (letter - 'A'))) == 0) return false;
  wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
  UINT type = ::GetDriveTypeW(root);
  if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) return false;
  DWORD previous = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
  ULARGE_INTEGER free{};
  BOOL ok = ::GetDiskFreeSpaceExW(root, &free, nullptr, nullptr);
  ::SetThreadErrorMode(previous, nullptr);
  return ok != FALSE;
}

// The names of a drive-form path after the drive, "." and ".." resolved, a drive-relative
// path ("C:DATA") taken from the drive's current folder.
std::vector<std::string> ResolvedNames(const DriveMap& drives, const std::string& drivePath) {
  std::string rest = drivePath.substr(2);
  if (rest.empty() || (rest[0] != '\\' && rest[0] != '/')) {
    std::string base = drives.CurrentFolder(drivePath[0]).substr(2);
    rest = base + (base.empty() || base.back() != '\\' ? "\\" : "") + rest;
  }
  std::vector<std::string> names;
  std::string name;
  auto take = [&] {
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    name.clear();
  };
  for (char c : rest) {
    if (c == '\\' || c == '/')
      take();
    else
      name += c;
  }
  take();
  return names;
}

std::wstring Joined(char letter, const std::vector<std::string>& names) {
  std::wstring path{static_cast<wchar_t>(Upper(letter)), L':', L'\\'};
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) path += L'\\';
    path += Wide(names[i]);
  }
  return path;
}

std::wstring WithoutLongPrefix(std::wstring path) {
  if (path.compare(0, kLongPrefix.size(), kLongPrefix) == 0) path.erase(0, kLongPrefix.size());
  return path;
}

fs::path HostOf(const std::wstring& drivePath) {
  if (drivePath.size() >= kLongPath) return fs::path(std::wstring(kLongPrefix) + drivePath);
  return fs::path(drivePath);
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// path is folder or lies in it; names compare without regard to letter case, as the drive does.
bool Inside(const std::wstring& path, const std::wstring& folder) {
  if (path.size() < folder.size() || !EqualNoCase(std::wstring_view(path).substr(0, folder.size()), folder))
    return false;
  return path.size() == folder.size() || folder.back() == L'\\' || path[folder.size()] == L'\\';
}

// Characters the system reads as wildcards in a name it is asked to find.
bool HasWildcard(std::string_view name) { return name.find_first_of("*?<>\"") != std::string_view::npos; }

SeenEntry Seen(const WIN32_FIND_DATAW& found) {
  SeenEntry seen;
  bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
              (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK || found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
  if (link) {
    seen.type = fs::file_type::symlink;
  } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    seen.type = fs::file_type::directory;
  } else {
    seen.type = fs::file_type::regular;
    seen.size = (static_cast<std::uintmax_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  }
  return seen;
}

}  // namespace

DriveMap DriveMap::FromEnvironment() {
  DriveMap map;
  map.current_ = 'C';
  wchar_t folder[MAX_PATH];
  DWORD n = ::GetCurrentDirectoryW(MAX_PATH, folder);
  if (n >= 2 && n < MAX_PATH && folder[1] == L':' && folder[0] < 0x80 && IsLetter(static_cast<char>(folder[0])))
    map.current_ = Upper(static_cast<char>(folder[0]));
  return map;
}

bool DriveMap::InScope(const fs::path& path) const {
  if (!scoped_) return true;
  return std::any_of(scope_.begin(), scope_.end(),
                     [&](const fs::path& folder) { return Inside(path.native(), folder.native()); });
}

std::vector<char> DriveMap::MappedDrives() const {
  std::vector<char> letters;
  DWORD mask = ::GetLogicalDrives();
  for (int i = 0; i < 26; ++i)
    if (mask & (1u << i)) letters.push_back(static_cast<char>('A' + i));
  return letters;
}

std::optional<fs::path> DriveMap::DriveRoot(char letter) const {
  if (!DriveReady(letter)) return std::nullopt;
  return fs::path(std::wstring{static_cast<wchar_t>(Upper(letter)), L':', L'\\'});
}

bool DriveMap::SetCurrentDrive(char letter) {
  if (!DriveReady(letter)) return false;
  current_ = Upper(letter);
  return true;
}

bool DriveMap::SetCurrentFolder(const std::string& drivePath) {
  if (drivePath.size() < 2 || drivePath[1] != ':' || !IsLetter(drivePath[0])) return false;
  if (!IsFolder(*this, drivePath)) return false;
  std::vector<std::string> names = ResolvedNames(*this, drivePath);
  std::string folder = std::string(1, Upper(drivePath[0])) + ":\\";
  for (std::size_t i = 0; i < names.size(); ++i) folder += (i > 0 ? "\\" : "") + names[i];
  folders_[Upper(drivePath[0])] = folder;
  return true;
}

std::optional<fs::path> DriveMap::ToHost(const std::string& drivePath, SeenEntry& seen) const {
  seen = SeenEntry{};
  if (drivePath.find('\0') != std::string::npos) return std::nullopt;
  if (drivePath.size() < 2 || drivePath[1] != ':' || !IsLetter(drivePath[0])) return std::nullopt;
  char letter = drivePath[0];
  std::vector<std::string> names = ResolvedNames(*this, drivePath);
  // A ":" in a name would reach a file's hidden data stream ("X1.TXT:other"), never a table.
  if (std::any_of(names.begin(), names.end(), [](const std::string& n) { return n.find(':') != std::string::npos; }))
    return std::nullopt;
  std::wstring path = Joined(letter, names);
  if (!InScope(fs::path(path))) return std::nullopt;
  if (names.empty() || HasWildcard(names.back())) {
    if (!DriveReady(letter)) return std::nullopt;
    return HostOf(path);
  }
  // One look at the last name: what it is, and how it is written on disk ("X1.TXT" when asked
  // for "X1.txt"), so that messages name the file as the user sees it.
  fs::path host = HostOf(path);
  WIN32_FIND_DATAW found{};
  HANDLE h = ::FindFirstFileExW(host.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (h != INVALID_HANDLE_VALUE) {
    ::FindClose(h);
    seen = Seen(found);
    names.back() = Narrow(found.cFileName);
    return HostOf(Joined(letter, names));
  }
  DWORD error = ::GetLastError();
  if (!DriveReady(letter)) return std::nullopt;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) seen.type = fs::file_type::not_found;
  return host;
}

PathScope::PathScope(DriveMap& drives, const std::vector<std::string>& driveFolders)
    : drives_(drives), previous_(drives.scope_), previousActive_(drives.scoped_) {
  std::vector<fs::path> folders;
  for (const std::string& folder : driveFolders) {
    if (folder.size() < 2 || folder[1] != ':' || !IsLetter(folder[0])) continue;
    folders.emplace_back(Joined(folder[0], ResolvedNames(drives_, folder)));
  }
  drives_.scope_ = std::move(folders);
  drives_.scoped_ = true;
}

std::optional<std::string> DriveMap::ToDriveForm(const fs::path& hostPath) const {
  std::wstring host = hostPath.native();
  if (host.compare(0, kLongPrefix.size(), kLongPrefix) == 0) {
    host = WithoutLongPrefix(host);
  } else {
    // Relative paths, "/", "." and ".." resolved as the system resolves them.
    DWORD n = ::GetFullPathNameW(host.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::nullopt;
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(host.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return std::nullopt;
    full.resize(n);
    host = full;
  }
  std::replace(host.begin(), host.end(), L'/', L'\\');
  if (host.size() < 2 || host[1] != L':' || host[0] >= 0x80 || !IsLetter(static_cast<char>(host[0])))
    return std::nullopt;  // a network path (\\server\share) has no drive letter
  if (host.size() == 2) host += L'\\';
  if (host.size() > 3 && host.back() == L'\\') host.pop_back();
  host[0] = static_cast<wchar_t>(Upper(static_cast<char>(host[0])));
  return Narrow(host);
}

// "\" is the separator here: no name holds one, so every host path has its drive form.
std::string DriveFormRefusal(const fs::path&) { return ""; }

std::string DriveMap::CommandLinePathToDriveForm(const std::string& text) const {
  if (text.size() >= 2 && text[1] == ':' && IsLetter(text[0])) {
    // The host path itself: "C:/data/b01/" is as good as "C:\data\b01" (the run splits at "\"
    // only, and a final separator names the same folder, as a host path's does on Linux).
    std::string drive = text;
    std::replace(drive.begin(), drive.end(), '/', '\\');
    while (drive.size() > 3 && drive.back() == '\\') drive.pop_back();
    return drive;
  }
  if (auto drive = ToDriveForm(HostPath(text))) return *drive;
  return text;
}

}  // namespace zk::platform
