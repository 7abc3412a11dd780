// The file services on Windows, through the wide-character Win32 calls.
#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
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

std::optional<FileIdentity> IdentityOfInformation(const std::string& hostPath, const BY_HANDLE_FILE_INFORMATION& info) {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  constexpr long long kSettledNs = 2'000'000'000LL;
  long long written = NanosecondsOf(info.ftLastWriteTime);
  if (NanosecondsOf(now) - written < kSettledNs) return std::nullopt;
  long long size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) |
                                          info.nFileSizeLow);
  long long index = static_cast<long long>((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) |
                                           info.nFileIndexLow);
  // The volume's serial number goes with the file number: numbers repeat across volumes.
  return FileIdentity{hostPath + "|" + std::to_string(info.dwVolumeSerialNumber), size, written, index};
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

bool IsPlainFile(const std::string& drivePath) {
  SeenEntry seen;
  auto host = ToHost(drivePath, seen);
  return host && IsPlainHostFile(*host, seen);
}

bool IsFolder(const std::string& drivePath) {
  SeenEntry seen;
  auto host = ToHost(drivePath, seen);
  if (!host) return false;
  if (seen.type == fs::file_type::directory) return true;
  if (seen.type != fs::file_type::none && seen.type != fs::file_type::symlink) return false;
  DWORD attributes = ::GetFileAttributesW(host->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string& drivePath) {
  SeenEntry seen;
  auto host = ToHost(drivePath, seen);
  if (!host || seen.type == fs::file_type::not_found) return false;
  return ::GetFileAttributesW(host->c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uintmax_t> FileLength(const std::string& drivePath) {
  SeenEntry seen;
  auto host = ToHost(drivePath, seen);
  if (!host) return std::nullopt;
  return PlainFileLength(*host, seen);
}

int OpenToRead(const fs::path& host) {
  // Shared for writing and deleting too: reading a table must not stop its owner's editor.
  HANDLE h = ::CreateFileW(host.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
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

void CloseFile(int fd) { ::_close(fd); }

bool DescribeOpened(int fd, const std::string& hostText, OpenedFile& file) {
  HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION info{};
  if (h == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(h, &info)) {
    SetErrno();
    return false;
  }
  file.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  file.size = (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  file.identity = IdentityOfInformation(hostText, info);
  return true;
}

std::FILE* OpenToWrite(const std::string& hostText) {
  std::wstring path = HostPath(hostText).native();
  return ::_wfopen(path.c_str(), L"wb");
}

int CloseDurably(std::FILE* file) {
  int error = 0;
  if (std::fflush(file) != 0) error = errno;
  HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
  if ((h == INVALID_HANDLE_VALUE || !::FlushFileBuffers(h)) && error == 0) error = ErrnoOf(::GetLastError());
  if (std::fclose(file) != 0 && error == 0) error = errno;
  return error;
}

bool ReplaceHostFile(const std::string& fromHost, const std::string& toHost) {
  std::wstring from = HostPath(fromHost).native();
  std::wstring to = HostPath(toHost).native();
  // Write-through: the new name is on the disk when the call returns, as the bytes already are.
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  SetErrno();
  return false;
}

bool RemoveHostFile(const std::string& hostText) {
  std::wstring path = HostPath(hostText).native();
  if (::DeleteFileW(path.c_str())) return true;
  SetErrno();
  return false;
}

std::vector<std::string> ListPlainFiles(const std::string& driveFolder) {
  std::vector<std::string> names;
  auto host = ToHost(driveFolder);
  if (!host) return names;
  std::wstring pattern = host->native();
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE h = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.cFileName[0] == L'.') continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {  // a link: what it leads to
      BY_HANDLE_FILE_INFORMATION info{};
      std::wstring path = pattern.substr(0, pattern.size() - 1) + found.cFileName;
      if (!InformationOf(path, info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    }
    names.push_back(Narrow(found.cFileName));
  } while (::FindNextFileW(h, &found));
  ::FindClose(h);
  return names;
}

bool CreateFolder(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  return host && ::CreateDirectoryW(host->c_str(), nullptr);
}

bool RemoveFile(const std::string& drivePath) {
  auto host = ToHost(drivePath);
  return host && ::DeleteFileW(host->c_str());
}

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!InformationOf(HostPath(hostPath).native(), info)) return std::nullopt;
  return IdentityOfInformation(hostPath, info);
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

}  // namespace zk::platform
