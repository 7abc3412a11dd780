// The file services the conversion needs, on drive-form paths.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"
#include "platform/status.h"

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

// A descriptor to read a host file with, or -1 (errno tells why). The open never waits: should
// a pipe have taken a table's place since it was looked at, it returns at once.
int OpenToRead(const std::filesystem::path& host);

// Names of the plain files in a folder, in the host's listing order.
std::vector<std::string> ListPlainFiles(const std::string& driveFolder);
// The same, telling when the folder cannot be listed (missing, no permission to read it, an
// I/O error part way): a destination read as empty would have its .001 taken over.
Status ListPlainFiles(const std::string& driveFolder, std::vector<std::string>& names);

bool CreateFolder(const std::string& drivePath);
bool RemoveFile(const std::string& drivePath);

// Which bytes a file holds, as far as the file system tells without reading them: the same
// path, size, change time (nanoseconds) and inode mean the same bytes.
struct FileIdentity {
  std::string host;
  long long size = -1, changedNs = 0, inode = 0;
  bool operator==(const FileIdentity&) const = default;
};
// The identity of a file that was last changed more than two seconds ago, else nullopt: the
// file system's clock is coarse, so a file changed just now may change again without its time
// moving, and only a settled file can be known by its identity.
std::optional<FileIdentity> IdentityOf(const std::string& hostPath);
// The same from a status of the file already taken.
std::optional<FileIdentity> IdentityOf(const std::string& hostPath, const struct stat& status);

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

// The system folder, where the settings file lies: ZK_SYSDIR, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/zk2morvex. A host path.
std::string SystemFolder();

}  // namespace zk::platform
