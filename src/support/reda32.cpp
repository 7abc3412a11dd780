#include "support/reda32.h"

#include "platform/files.h"
#include "support/text_bytes.h"

namespace zk::reda32 {

std::string SysDir() { return platform::SystemFolder(); }

std::string QPRTrim(std::string_view text) {
  std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

long FCount(const platform::DriveMap& drives, const std::string& pattern) {
  // Only the "folder\*.*" form is used: every plain file of the folder.
  return static_cast<long>(platform::ListPlainFiles(drives, QXCOMSUB::FolderPart(pattern)).size());
}

long InCount(std::string_view text, std::string_view character) {
  if (character.empty()) return 0;
  long count = 0;
  for (std::size_t at = text.find(character); at != std::string_view::npos;
       at = text.find(character, at + character.size()))
    ++count;
  return count;
}

}  // namespace zk::reda32
