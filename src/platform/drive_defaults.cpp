// The process's own drive map, for the callers not yet given one of their own.
#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace zk::platform {

DriveMap& DefaultDrives() {
  static DriveMap drives = DriveMap::FromEnvironment();
  return drives;
}

void ResetDrives() { DefaultDrives() = DriveMap::FromEnvironment(); }
std::vector<char> MappedDrives() { return DefaultDrives().MappedDrives(); }
std::optional<fs::path> DriveRoot(char letter) { return DefaultDrives().DriveRoot(letter); }
char CurrentDrive() { return DefaultDrives().CurrentDrive(); }
bool SetCurrentDrive(char letter) { return DefaultDrives().SetCurrentDrive(letter); }
std::string CurrentFolder(char letter) { return DefaultDrives().CurrentFolder(letter); }
bool SetCurrentFolder(const std::string& drivePath) { return DefaultDrives().SetCurrentFolder(drivePath); }
std::optional<fs::path> ToHost(const std::string& drivePath) { return DefaultDrives().ToHost(drivePath); }
std::optional<fs::path> ToHost(const std::string& drivePath, SeenEntry& seen) {
  return DefaultDrives().ToHost(drivePath, seen);
}
std::optional<std::string> ToDriveForm(const fs::path& host) { return DefaultDrives().ToDriveForm(host); }
std::optional<std::string> ToDriveForm(const std::string& hostText) { return DefaultDrives().ToDriveForm(hostText); }
std::string CommandLinePathToDriveForm(const std::string& text) {
  return DefaultDrives().CommandLinePathToDriveForm(text);
}

bool IsPlainFile(const std::string& drivePath) { return IsPlainFile(DefaultDrives(), drivePath); }
bool IsFolder(const std::string& drivePath) { return IsFolder(DefaultDrives(), drivePath); }
bool Exists(const std::string& drivePath) { return Exists(DefaultDrives(), drivePath); }
std::optional<std::uintmax_t> FileLength(const std::string& drivePath) { return FileLength(DefaultDrives(), drivePath); }
Status ListPlainFiles(const std::string& driveFolder, std::vector<std::string>& names) {
  return ListPlainFiles(DefaultDrives(), driveFolder, names);
}
std::vector<std::string> ListPlainFiles(const std::string& driveFolder) {
  return ListPlainFiles(DefaultDrives(), driveFolder);
}
bool CreateFolder(const std::string& drivePath) { return CreateFolder(DefaultDrives(), drivePath); }
bool RemoveFile(const std::string& drivePath) { return RemoveFile(DefaultDrives(), drivePath); }

}  // namespace zk::platform
