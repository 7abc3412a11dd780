// A complete boring folder in a temporary folder, for tests that spoil one thing at a time:
// root/src (every table of a boring), root/codes (the code tables), root/dst (empty).
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "support/test_util.h"

namespace zk::test {

class BoringFixture {
 public:
  BoringFixture() {
    CopyFolder(std::filesystem::path(ZK_FIXTURES) / "hostile" / "boring", src());
    CopyFolder(std::filesystem::path(ZK_FIXTURES) / "hostile" / "codes", codes());
    std::filesystem::create_directories(dst());
    codeFolder = root.Drive("codes") + "\\";
  }

  TempFolder root;
  std::filesystem::path src() const { return root.path() / "src"; }
  std::filesystem::path dst() const { return root.path() / "dst"; }
  std::filesystem::path codes() const { return root.path() / "codes"; }
  std::string srcDrive() const { return root.Drive("src"); }
  std::string dstDrive() const { return root.Drive("dst"); }
  std::string codeFolder;  // drive form, ending in "\"
};

// Every file under a folder (names relative to it) with its bytes: to show that a run that
// failed changed nothing.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  if (!std::filesystem::exists(folder, ec)) return files;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
    files[std::filesystem::relative(it->path(), folder).string()] = ReadBytes(it->path());
  }
  return files;
}

}  // namespace zk::test
