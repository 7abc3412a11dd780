// The members of the drive map that are the same on every system.
#include "platform/drives.h"

#include <cctype>
#include <utility>

#include "platform/files.h"

namespace zk::platform {

std::optional<std::filesystem::path> DriveMap::ToHost(const std::string& drivePath) const {
  SeenEntry seen;
  return ToHost(drivePath, seen);
}

std::string DriveMap::CurrentFolder(char letter) const {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  auto it = folders_.find(letter);
  if (it != folders_.end()) return it->second;
  return std::string(1, letter) + ":\\";
}

std::optional<std::string> DriveMap::ToDriveForm(const std::string& hostText) const {
  return ToDriveForm(HostPath(hostText));
}

PathScope::~PathScope() {
  drives_.scope_ = std::move(previous_);
  drives_.scoped_ = previousActive_;
}

}  // namespace zk::platform
