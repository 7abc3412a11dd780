#include "help_file.h"

#include <QStandardPaths>

#include "platform/drives.h"
#include "platform/files.h"

namespace zk {
namespace {

// The help file in one host folder, through the drive map so that its name matches as every
// other file name does. Nothing here reports errors: a folder that is not there is no hit.
std::string HelpFileIn(const platform::DriveMap& drives, std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  auto drive = drives.ToDriveForm(folder);
  if (!drive) return {};
  std::string candidate = *drive;
  if (candidate.back() != '\\') candidate += '\\';
  candidate += kHelpFileName;
  if (!platform::IsPlainFile(drives, candidate)) return {};
  auto host = drives.ToHost(candidate);
  return host ? host->string() : std::string();
}

}  // namespace

std::string LocateHelpFile(const platform::DriveMap& drives, const std::string& programFolder,
                           const std::string& searchPath) {
  if (std::string found = HelpFileIn(drives, programFolder); !found.empty()) return found;
  if (searchPath.empty()) return {};
  std::string rest = searchPath;
  if (rest.back() != ';') rest += ';';
  for (std::size_t start = 0, end; (end = rest.find(';', start)) != std::string::npos; start = end + 1) {
    std::string entry = rest.substr(start, end - start);
    if (std::string found = HelpFileIn(drives, entry); !found.empty()) return found;
  }
  return {};
}

std::string DesktopOpener() { return QStandardPaths::findExecutable("xdg-open").toStdString(); }

}  // namespace zk
