// Drive letters. Paths inside the conversion keep their Windows form (C:\DATA\B01): the path
// checks, the messages and "BORLING.NO" all work on it.
// Linux: drives over the host file system; Z: is the host root by default, ZK_DRIVES
// ("C=/srv/data;D=/media/usb") adds or overrides. Windows: the system's own drives, where the
// drive form is the host path itself and ZK_DRIVES means nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zk::platform {

// What finding a path learnt of its last name, its link not followed, so that the caller
// need not ask the file system again: none when it was not looked at, not_found when it is
// missing, else its type, and the size of a regular file.
struct SeenEntry {
  std::filesystem::file_type type = std::filesystem::file_type::none;
  std::uintmax_t size = 0;
  bool listed = false;  // told by a listing of its folder, not asked of the entry itself
};

class PathScope;

// The drives one program sees: the letters and their host folders, the current drive, each
// drive's current folder, and the folders of its active PathScope. Each program (the command
// line, each window, each test) holds its own; two maps never see each other's current folder
// or scope.
class DriveMap {
 public:
  // Nothing set: on Linux no drive is mapped at all. A program takes FromEnvironment().
  DriveMap() = default;
  // The drives of this machine now: Linux, Z: over the host root and what ZK_DRIVES adds or
  // overrides; Windows, the system's drives with the working folder's drive current. No
  // current folder is set and no scope is active.
  static DriveMap FromEnvironment();

  // The mapped letters, upper case, in alphabetical order (ready or not).
  std::vector<char> MappedDrives() const;

  // The host folder of a drive, or nullopt when the drive is not ready (unmapped, or its
  // folder does not exist).
  std::optional<std::filesystem::path> DriveRoot(char letter) const;

  // The current drive (upper case): at start Z: on Linux, the working folder's drive on Windows.
  char CurrentDrive() const { return current_; }
  // Makes a ready drive current; false for a drive that is not ready.
  bool SetCurrentDrive(char letter);

  // The current folder of a drive in drive form ("C:\DATA"), its root "C:\" at start.
  std::string CurrentFolder(char letter) const;
  // Sets the current folder of the drive the path names (a drive-form folder path).
  bool SetCurrentFolder(const std::string& drivePath);

  // A drive-form path to its host path. Relative forms ("C:DATA") resolve against the drive's
  // current folder; "\" and "/" both separate names, as on the drive's own system; names match
  // without regard to letter case, component by component (an exact match first, else the first
  // case-insensitive one). Components that do not exist are kept as written. nullopt when the
  // path names no ready drive, holds a NUL, or lies outside the folders of an active PathScope.
  std::optional<std::filesystem::path> ToHost(const std::string& drivePath) const;
  // ToHost, telling what it saw of the path's last name.
  std::optional<std::filesystem::path> ToHost(const std::string& drivePath, SeenEntry& seen) const;

  // A host path (absolute or relative to the working folder) in drive form, through the mapped
  // drive with the longest folder that holds it: /tmp/a is Z:\tmp\a with the default map.
  // nullopt also for a path whose drive form would name another path (DriveFormRefusal).
  std::optional<std::string> ToDriveForm(const std::filesystem::path& host) const;
  // The same for a host path written as UTF-8 text.
  std::optional<std::string> ToDriveForm(const std::string& hostText) const;
  std::optional<std::string> ToDriveForm(const char* hostText) const { return ToDriveForm(std::string(hostText)); }

  // A path given on a command line: drive form stays as it is, a host path is turned into it
  // (and stays as it is when it has no drive form).
  std::string CommandLinePathToDriveForm(const std::string& text) const;

 private:
  friend class PathScope;
  bool InScope(const std::filesystem::path& path) const;

  std::map<char, std::filesystem::path> roots_;  // letter -> host folder (Linux only)
  char current_ = 'Z';
  std::map<char, std::string> folders_;       // letter -> current folder, drive form
  bool scoped_ = false;                       // a PathScope is active
  std::vector<std::filesystem::path> scope_;  // its folders: host form on Linux, drive form on Windows
};

// While one lives, its map's ToHost gives nothing for a path that does not lie inside one of
// its folders (drive form), so that a name read from a table ("..\..\etc\passwd") cannot reach
// files beyond the boring, the destination and the code tables. Judged on the names, after
// "." and ".." are resolved; links inside the folders are followed as usual. Scopes do not
// nest: a new one replaces the old of the same map until it ends. The map must outlive it.
class PathScope {
 public:
  PathScope(DriveMap& drives, const std::vector<std::string>& driveFolders);
  ~PathScope();
  PathScope(const PathScope&) = delete;
  PathScope& operator=(const PathScope&) = delete;

 private:
  DriveMap& drives_;
  std::vector<std::filesystem::path> previous_;
  bool previousActive_;
};

// Why a host path has no drive form, or "" when it has: a name holding "\", which the drive
// form reads as a separator (the folder a\b would be taken for b in a).
std::string DriveFormRefusal(const std::filesystem::path& host);

}  // namespace zk::platform
