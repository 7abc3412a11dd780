#include "support/settings.h"

#include "platform/drives.h"
#include "platform/files.h"
#include "support/reda32.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"

namespace zk {
namespace {

// The setting may name the folder in drive form (Z:\opt\codes\) or as a host path
// (/opt/codes/); inside, it is kept in drive form with its final separator as written.
std::string AsDriveForm(const std::string& value) {
  if (value.empty() || value[0] != '/') return value;
  bool separatorAtEnd = value.back() == '/';
  std::string drive = platform::CommandLinePathToDriveForm(value);
  if (separatorAtEnd && (drive.empty() || drive.back() != '\\')) drive += '\\';
  return drive;
}

}  // namespace

std::string ReadVuredaSetting() {
  std::string host = reda32::QPRTrim(reda32::SysDir()) + "/RaroreD5.ini";
  auto drivePath = platform::ToDriveForm(host);
  if (!drivePath) return {};
  auto length = platform::FileLength(*drivePath);
  if (!length) return {};
  if (*length == 0) {
    platform::RemoveFile(*drivePath);
    return {};
  }
  TableReader reader;
  if (!reader.Open(*drivePath)) return {};
  reader.SkipLine();
  if (reader.AtEnd()) return {};
  return QXCOMSUB::TrimSpaces(reader.ReadField());
}

std::string LoadCodeTableFolder() {
  std::string folder = AsDriveForm(ReadVuredaSetting());
  if (folder.empty()) return {};
  if (!platform::Exists(folder.substr(0, folder.size() - 1))) return {};
  return folder;
}

}  // namespace zk
