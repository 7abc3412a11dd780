// A boring folder and a destination in a temporary folder, for tests of whole runs.
#pragma once

#include <filesystem>
#include <string>

#include "support/test_util.h"

namespace zk::test {

// titl01.txt with the given coordinate fields (slots 11 to 16) and a title in slot 1.
std::string Titl01(const std::string& latD, const std::string& latM, const std::string& latS, const std::string& lonD,
                   const std::string& lonM, const std::string& lonS);
// The sample point: 35°39'29.1" N, 139°45'45.5" E (mesh code 53393681).
std::string SampleTitl01();

struct RunFolders {
  TempFolder root;
  std::filesystem::path source() const { return root.path() / "B01"; }
  std::filesystem::path destination() const { return root.path() / "OUT"; }
  std::string sourceDrive() const { return root.Drive("B01"); }
  std::string destinationDrive() const { return root.Drive("OUT"); }
  // Writes a table of the boring (UTF-8 text written as CP932).
  void Table(const std::string& name, const std::string& utf8) const { root.WriteCp932("B01/" + name, utf8); }
  RunFolders();
};

}  // namespace zk::test
