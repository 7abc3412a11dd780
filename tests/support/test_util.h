// Small helpers for tests: a temporary folder that cleans up, files written in CP932, and
// reading files back.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace zk::test {

// A fresh folder under the system temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder (or a file in it) in drive form, through the default Z: drive.
  std::string Drive(const std::string& name = "") const;
  // Writes UTF-8 text as CP932 bytes (for table fixtures). Returns the host path.
  std::filesystem::path WriteCp932(const std::string& name, const std::string& utf8) const;
  // Writes bytes as they are.
  std::filesystem::path WriteBytes(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// The drives of the environment as they are now (ZK_DRIVES read afresh): a map of its own at
// each call, with no current folder and no scope.
platform::DriveMap EnvironmentDrives();

// Whole file as bytes ("" when missing).
std::string ReadBytes(const std::filesystem::path& path);
// Whole CP932 file as UTF-8.
std::string ReadCp932(const std::filesystem::path& path);
// The lines of a CR LF text (without their CR LF).
std::vector<std::string> SplitCrLf(const std::string& text);
// Copies a folder tree.
void CopyFolder(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace zk::test
