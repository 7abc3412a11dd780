// The file services the conversion needs, on drive-form paths. One interface, built over the
// host's own calls: platform/posix/ on Linux, platform/win32/ on Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace zk::platform {

// A plain file: a regular file (or a link to one) whose name does not start with ".".
bool IsPlainFile(const std::string& drivePath);
// The same for a host path already found, with what ToHost saw of it.
bool IsPlainHostFile(const std::filesystem::path& host, const SeenEntry& seen);
// A folder (or a link to one).
bool IsFolder(const std::string& drivePath);
// Something (file or folder) of that name exists.
bool Exists(const std::string& drivePath);
// Length of a plain file in bytes; nullopt when it is no plain file.
std::optional<std::uintmax_t> FileLength(const std::string& drivePath);

// A host path as UTF-8 text, and back. Every host path made from text goes through these, so
// that a Japanese folder name never passes through a narrow code page.
std::string HostText(const std::filesystem::path& host);
std::filesystem::path HostPath(const std::string& hostText);

// A descriptor to read a host file with, or -1 (errno tells why). The open never waits: should
// a pipe have taken a table's place since it was looked at, it returns at once.
int OpenToRead(const std::filesystem::path& host);
// Up to n bytes from offset, fewer only at the end of the file; -1 on a read error (errno).
long long ReadAt(int fd, char* to, std::size_t n, unsigned long long offset);
void CloseFile(int fd);

// Which bytes a file holds, as far as the file system tells without reading them: the same
// path, size, change time (nanoseconds) and file number mean the same bytes.
struct FileIdentity {
  std::string host;
  long long size = -1, changedNs = 0, inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// What an open descriptor is: a regular file, its length, and its identity when settled.
struct OpenedFile {
  bool regular = false;
  std::uintmax_t size = 0;
  std::optional<FileIdentity> identity;
};
// false when the descriptor cannot be asked (errno tells why). hostText names it in the identity.
bool DescribeOpened(int fd, const std::string& hostText, OpenedFile& file);

// A new or emptied file to write bytes to (binary), or nullptr (errno tells why).
std::FILE* OpenToWrite(const std::string& hostText);
// Writes out what the stream holds, makes it durable and closes it; 0 or the errno of the first
// failure. The stream is closed in every case.
int CloseDurably(std::FILE* file);
// Gives the file from the name to; a file of that name is replaced (the run means to replace
// it: a staged exchange file or record file). false with errno set when it fails.
bool ReplaceHostFile(const std::string& fromHost, const std::string& toHost);
// Removes a host file; false when it was not there or could not be removed.
bool RemoveHostFile(const std::string& hostText);

// Names of the plain files in a folder, in the host's listing order.
std::vector<std::string> ListPlainFiles(const std::string& driveFolder);

bool CreateFolder(const std::string& drivePath);
bool RemoveFile(const std::string& drivePath);

// The identity of a file that was last changed more than two seconds ago, else nullopt: the
// file system's clock is coarse, so a file changed just now may change again without its time
// moving, and only a settled file can be known by its identity.
std::optional<FileIdentity> IdentityOf(const std::string& hostPath);

// The system folder, where the settings file lies. A host path.
// Linux: ZK_SYSDIR, else ${XDG_CONFIG_HOME:-$HOME/.config}/zk2morvex.
// Windows: ZK_SYSDIR, else %APPDATA%\zk2morvex when it holds RaroreD5.ini, else the Windows folder.
std::string SystemFolder();

// The value of an environment variable as UTF-8, or nullopt when it is not set.
std::optional<std::string> Environment(const char* name);

}  // namespace zk::platform
