// The file services the conversion needs, on drive-form paths.
#pragma once

#include <sys/stat.h>

#include <cstdint>
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

// A descriptor to read a host file with, or -1 (errno tells why). The open never waits: should
// a pipe have taken a table's place since it was looked at, it returns at once.
int OpenToRead(const std::filesystem::path& host);

// Names of every entry of a host folder ("." and ".." left out), in the host's listing order.
std::vector<std::string> ListEntryNames(const std::filesystem::path& hostFolder);

// Names of the plain files in a folder, in the host's listing order.
std::vector<std::string> ListPlainFiles(const std::string& driveFolder);

bool CreateFolder(const std::string& drivePath);
bool RemoveFile(const std::string& drivePath);

// The system folder, where the settings file lies: ZK_SYSDIR, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/zk2morvex. A host path.
std::string SystemFolder();

}  // namespace zk::platform
