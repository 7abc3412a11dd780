// The file services on Windows, through the wide-character Win32 calls.
#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/drives.h"
#include "platform/win32/wide.h"

namespace fs = std::filesystem;

namespace zk::platform {
namespace {

using win32::ErrnoOf;
using win32::Narrow;
using win32::Wide;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Hidden(const fs::path& p) {
  std::wstring name = p.filename().native();
  return !name.empty() && name[0] == L'.';
}

void SetErrno() { errno = ErrnoOf(::GetLastError()); }

// The system's text for an error, as UTF-8 without the closing line break and full stop.
std::string ReasonOf(DWORD error) {
  wchar_t* text = nullptr;
  DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason(text ? std::wstring_view(text, n) : std::wstring_view());
  if (text) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ' ||
                             reason.back() == L'.' || reason.back() == L'\u3002'))
    reason.pop_back();
  if (reason.empty()) return "Windows error " + std::to_string(error);
  return Narrow(reason);
}

// A path as the system reads it: the "\\?\" prefix on a long one, as ToHost gives it.
std::wstring Long(const std::wstring& path) {
  if (path.size() < 248 || path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 2, L"\\\\") == 0) return path;
  DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (n == 0 || n >= full.size()) return path;
  full.resize(n);
  return L"\\\\?\\" + full;
}

// What the handle's file is, links followed; false when the path cannot be opened to ask.
bool InformationOf(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BOOL ok = ::GetFileInformationByHandle(h, &info);
  ::CloseHandle(h);
  return ok != FALSE;
}

long long NanosecondsOf(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<long long>(v.QuadPart) * 100;  // 100 ns since 1601
}

std::optional<std::uintmax_t> PlainFileLength(const fs::path& p, const SeenEntry& seen) {
  if (Hidden(p)) return std::nullopt;
  switch (seen.type) {
    case fs::file_type::regular:
      return seen.size;
    case fs::file_type::none:
    case fs::file_type::symlink:
      break;
    default:
      return std::nullopt;  // missing, a folder...
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!InformationOf(p.native(), info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

}  // namespace

std::string HostText(const fs::path& host) { return Narrow(host.native()); }
fs::path HostPath(const std::string& hostText) { return fs::path(Long(Wide(hostText))); }

bool IsPlainHostFile(const fs::path& host, const SeenEntry& seen) { return PlainFileLength(host, seen).has_value(); }

bool IsPlainFile(const DriveMap& drives, const std::string& drivePath) {
  SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  return host && IsPlainHostFile(*host, seen);
}

bool IsFolder(const DriveMap& drives, const std::string& drivePath) {
  SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  if (!host) return false;
  if (seen.type == fs::file_type::directory) return true;
  if (seen.type != fs::file_type::none && seen.type != fs::file_type::symlink) return false;
  DWORD attributes = ::GetFileAttributesW(host->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const DriveMap& drives, const std::string& drivePath) {
  SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  if (!host || seen.type == fs::file_type::not_found) return false;
  return ::GetFileAttributesW(host->c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uintmax_t> FileLength(const DriveMap& drives, const std::string& drivePath) {
  SeenEntry seen;
  auto host = drives.ToHost(drivePath, seen);
  if (!host) return std::nullopt;
  return PlainFileLength(*host, seen);
}

int OpenToRead(const fs::path& host) {
  // Shared for writing and deleting too: reading a table must not stop its owner's editor.
  HANDLE h =
      ::CreateFileW(host.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetErrno();
    return -1;
  }
  // Only a file on a disk is a table: a device name ("CON", "COM1") or a pipe is refused.
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    ::CloseHandle(h);
    errno = EINVAL;
    return -1;
  }
  int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
  if (fd < 0) ::CloseHandle(h);
  return fd;
}

long long ReadAt(int fd, char* to, std::size_t n, unsigned long long offset) {
  HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (h == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  std::size_t got = 0;
  while (got < n) {
    OVERLAPPED at{};
    unsigned long long position = offset + got;
    at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - got, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(h, to + got, want, &read, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      SetErrno();
      return -1;
    }
    if (read == 0) break;
    got += read;
  }
  return static_cast<long long>(got);
}

void CloseReadFile(int fd) { ::_close(fd); }

bool DescribeOpened(int fd, OpenedFile& file) {
  HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION info{};
  if (h == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(h, &info)) {
    SetErrno();
    return false;
  }
  file.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  file.size = (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

std::vector<ListedEntry> ListEntries(const fs::path& hostFolder) {
  std::vector<ListedEntry> entries;
  std::wstring pattern = hostFolder.native();
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE h = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE) return entries;
  constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  do {
    std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    ListedEntry& listed = entries.emplace_back();
    listed.name = Narrow(name);
    if ((found.dwFileAttributes & kNotPlain) == 0) {
      listed.seen.type = fs::file_type::regular;
      listed.seen.listed = true;
      listed.seen.size = (static_cast<std::uintmax_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
  } while (::FindNextFileW(h, &found));
  ::FindClose(h);
  return entries;
}

Status ListPlainFiles(const DriveMap& drives, const std::string& driveFolder, std::vector<std::string>& names) {
  names.clear();
  auto unlistable = [&](DWORD error) {
    return Status::Failed(Fault::Unreadable, driveFolder, "フォルダの一覧を読めません (" + ReasonOf(error) + ")");
  };
  auto host = drives.ToHost(driveFolder);
  if (!host) return Status::Failed(Fault::Unreadable, driveFolder, "フォルダの一覧を読めません (ドライブが使えません)");
  std::wstring pattern = host->native();
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE h = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    // A drive's root lists no "." or "..": empty, it finds nothing, yet is there to be listed.
    DWORD attributes = ::GetFileAttributesW(host->c_str());
    if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return Status::Ok();
    return unlistable(error);
  }
  for (;;) {
    bool plain = found.cFileName[0] != L'.' && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (plain && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {  // a link: what it leads to
      BY_HANDLE_FILE_INFORMATION info{};
      std::wstring path = pattern.substr(0, pattern.size() - 1) + found.cFileName;
      plain = InformationOf(path, info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (plain) names.push_back(Narrow(found.cFileName));
    if (!::FindNextFileW(h, &found)) {
      DWORD error = ::GetLastError();
      ::FindClose(h);
      if (error == ERROR_NO_MORE_FILES) return Status::Ok();
      names.clear();
      return unlistable(error);
    }
  }
}

bool CreateFolder(const DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  return host && ::CreateDirectoryW(host->c_str(), nullptr);
}

bool RemoveFile(const DriveMap& drives, const std::string& drivePath) {
  auto host = drives.ToHost(drivePath);
  return host && ::DeleteFileW(host->c_str());
}

std::optional<std::string> Environment(const char* name) {
  const wchar_t* value = ::_wgetenv(Wide(name).c_str());
  if (!value) return std::nullopt;
  return Narrow(value);
}

std::string SystemFolder() {
  if (auto dir = Environment("ZK_SYSDIR"); dir && !dir->empty()) return *dir;
  // A setting of the user's own, where a user without rights to the Windows folder keeps it.
  if (auto appData = Environment("APPDATA"); appData && !appData->empty()) {
    std::string folder = *appData + "\\zk2morvex";
    if (::GetFileAttributesW(HostPath(folder + "\\RaroreD5.ini").c_str()) != INVALID_FILE_ATTRIBUTES) return folder;
  }
  // The Windows folder, where older installations keep the settings file.
  wchar_t windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "C:\\Windows";
  return Narrow(std::wstring_view(windows, n));
}

std::string SettingsFolderToWrite() {
  if (auto dir = Environment("ZK_SYSDIR"); dir && !dir->empty()) return *dir;
  if (auto appData = Environment("APPDATA"); appData && !appData->empty()) return *appData + "\\zk2morvex";
  return SystemFolder();
}

FileHandle CreateNewFile(const fs::path& host, bool& exists, std::string& reason) {
  exists = false;
  // CREATE_NEW fails where any entry has the name, a link included: nothing is followed.
  HANDLE h =
      ::CreateFileW(host.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    reason = ReasonOf(error);
    return kNoFile;
  }
  return reinterpret_cast<FileHandle>(h);
}

bool WriteToFile(FileHandle file, std::string_view bytes, std::string& reason) {
  HANDLE h = reinterpret_cast<HANDLE>(file);
  while (!bytes.empty()) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data(), want, &written, nullptr)) {
      reason = ReasonOf(::GetLastError());
      return false;
    }
    if (written == 0) {
      reason = ReasonOf(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool SyncAndCloseFile(FileHandle file, std::string& reason) {
  HANDLE h = reinterpret_cast<HANDLE>(file);
  bool ok = ::FlushFileBuffers(h) != FALSE;
  if (!ok) reason = ReasonOf(::GetLastError());
  if (!::CloseHandle(h) && ok) {
    ok = false;
    reason = ReasonOf(::GetLastError());
  }
  return ok;
}

void CloseFile(FileHandle file) {
  if (file != kNoFile) ::CloseHandle(reinterpret_cast<HANDLE>(file));
}

Claim ClaimName(const fs::path& from, const fs::path& to, std::string& reason) {
  // Without MOVEFILE_REPLACE_EXISTING the rename fails where the name is taken, at that instant.
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return Claim::Claimed;
  DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return Claim::Taken;
  reason = ReasonOf(error);
  return Claim::Failed;
}

bool ReplaceName(const fs::path& from, const fs::path& to, std::string& reason) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  reason = ReasonOf(::GetLastError());
  return false;
}

// A rename with MOVEFILE_WRITE_THROUGH returns only once the new name is on the disk, and a
// folder cannot be flushed on its own on Windows.
bool SyncFolder(const fs::path&, std::string&) { return true; }

bool RemoveEntry(const fs::path& host) { return ::DeleteFileW(host.c_str()) != FALSE; }

std::optional<long long> SecondsSinceChange(const fs::path& host) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(host.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  return (NanosecondsOf(now) - NanosecondsOf(data.ftLastWriteTime)) / 1'000'000'000LL;
}

long CurrentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProcessAlive(long id) {
  if (id <= 0) return false;
  HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
  if (!h) return ::GetLastError() == ERROR_ACCESS_DENIED;  // there, but another user's
  DWORD code = 0;
  bool alive = ::GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  ::CloseHandle(h);
  return alive;
}

std::string MachineName() {
  wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
  std::string name;
  if (::GetComputerNameW(buffer, &n))
    for (DWORD i = 0; i < n && name.size() < 32; ++i) {
      wchar_t c = buffer[i];
      if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-')
        name += static_cast<char>(c);
    }
  return name.empty() ? "host" : name;
}

std::string RandomHex() {
  unsigned int value = 0;
  if (::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
    value = static_cast<unsigned int>(::GetTickCount()) ^ (static_cast<unsigned int>(::GetCurrentProcessId()) << 16);
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

}  // namespace zk::platform
