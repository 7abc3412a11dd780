// The file services the conversion needs, on drive-form paths (found through the program's
// drive map). One interface, built over the
// host's own calls: platform/posix/ on Linux, platform/win32/ on Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"
#include "platform/status.h"

namespace zk::platform {

// A plain file: a regular file (or a link to one) whose name does not start with ".".
bool IsPlainFile(const DriveMap& drives, const std::string& drivePath);
// The same for a host path already found, with what ToHost saw of it.
bool IsPlainHostFile(const std::filesystem::path& host, const SeenEntry& seen);
// A folder (or a link to one).
bool IsFolder(const DriveMap& drives, const std::string& drivePath);
// Something (file or folder) of that name exists.
bool Exists(const DriveMap& drives, const std::string& drivePath);
// Length of a plain file in bytes; nullopt when it is no plain file.
std::optional<std::uintmax_t> FileLength(const DriveMap& drives, const std::string& drivePath);

// A host path as UTF-8 text, and back. Every host path made from text goes through these, so
// that a Japanese folder name never passes through a narrow code page.
std::string HostText(const std::filesystem::path& host);
std::filesystem::path HostPath(const std::string& hostText);

// A descriptor to read a host file with, or -1 (errno tells why). The open never waits: should
// a pipe have taken a table's place since it was looked at, it returns at once.
int OpenToRead(const std::filesystem::path& host);
// Up to n bytes from offset, fewer only at the end of the file; -1 on a read error (errno).
long long ReadAt(int fd, char* to, std::size_t n, unsigned long long offset);
void CloseReadFile(int fd);

// What an open descriptor is: a regular file, and its length.
struct OpenedFile {
  bool regular = false;
  std::uintmax_t size = 0;
};
// false when the descriptor cannot be asked (errno tells why).
bool DescribeOpened(int fd, OpenedFile& file);

// An entry of a host folder as the listing gives it: its name, and a regular file (not a link)
// seen as such, so that a boring's tables need not be asked for one by one. Anything else is
// left unseen (type none), to be asked when it is taken.
struct ListedEntry {
  std::string name;
  SeenEntry seen;
};
// Every entry of a host folder ("." and ".." left out), in the host's listing order.
std::vector<ListedEntry> ListEntries(const std::filesystem::path& hostFolder);

// Names of the plain files in a folder, in the host's listing order, telling when the folder
// cannot be listed (missing, no permission to read it, an I/O error part way): a destination
// read as empty would have its .001 taken over.
Status ListPlainFiles(const DriveMap& drives, const std::string& driveFolder, std::vector<std::string>& names);
// The same without the telling: what could be read, for a list on the screen.
inline std::vector<std::string> ListPlainFiles(const DriveMap& drives, const std::string& driveFolder) {
  std::vector<std::string> names;
  Status ignored = ListPlainFiles(drives, driveFolder, names);
  (void)ignored;
  return names;
}

bool CreateFolder(const DriveMap& drives, const std::string& drivePath);
bool RemoveFile(const DriveMap& drives, const std::string& drivePath);

// Writing a file so that no other file is touched on the way, on host paths. Every failure
// gives the system's reason as text.

// An open file of the host (a descriptor here; a handle fits it as well).
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Creates host as a new, empty file to write: only when no entry of that name exists, so a
// link there is never followed and a pipe never opened. kNoFile on failure; exists tells
// whether it failed because the name was taken.
FileHandle CreateNewFile(const std::filesystem::path& host, bool& exists, std::string& reason);
// Writes all of bytes.
bool WriteToFile(FileHandle file, std::string_view bytes, std::string& reason);
// Puts the bytes on the disk and closes the file (closed also when it fails).
bool SyncAndCloseFile(FileHandle file, std::string& reason);
void CloseFile(FileHandle file);

enum class Claim { Claimed, Taken, Failed };
// Renames from to to, but only if no entry named to exists at that instant: Claimed (from is
// gone), Taken (another entry has the name; nothing moved) or Failed.
Claim ClaimName(const std::filesystem::path& from, const std::filesystem::path& to, std::string& reason);
// Renames from to to, replacing a file of that name.
bool ReplaceName(const std::filesystem::path& from, const std::filesystem::path& to, std::string& reason);
// Makes the entries of a folder (a name just given) durable.
bool SyncFolder(const std::filesystem::path& folder, std::string& reason);
// Removes the entry itself (a link, not what it names).
bool RemoveEntry(const std::filesystem::path& host);
// Seconds since the entry itself last changed; nullopt when it is not there.
std::optional<long long> SecondsSinceChange(const std::filesystem::path& host);

// This process, and whether a process of that id runs on this machine.
long CurrentProcessId();
bool ProcessAlive(long id);
// This machine's name in letters, digits and "-" only (at most 32), "host" when unknown.
std::string MachineName();
// 32 bits from the system's random source, as 8 hexadecimal digits.
std::string RandomHex();

// The system folder, where the settings file lies. A host path.
// Linux: ZK_SYSDIR, else ${XDG_CONFIG_HOME:-$HOME/.config}/zk2morvex.
// Windows: ZK_SYSDIR, else %APPDATA%\zk2morvex when it holds RaroreD5.ini, else the Windows folder.
std::string SystemFolder();
// The folder a setting is written to. Linux: the system folder. Windows: ZK_SYSDIR, else
// %APPDATA%\zk2morvex, which SystemFolder reads first: the Windows folder is not a user's to
// write, and a setting written there would be refused.
std::string SettingsFolderToWrite();

// The value of an environment variable as UTF-8, or nullopt when it is not set.
std::optional<std::string> Environment(const char* name);

}  // namespace zk::platform
