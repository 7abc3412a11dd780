#include "support/run_fixture.h"

namespace zk::test {

std::string Titl01(const std::string& latD, const std::string& latM, const std::string& latS, const std::string& lonD,
                   const std::string& lonM, const std::string& lonS) {
  return "\"試験ボーリング\",,,,,,,,,," + latD + "," + latM + "," + latS + "," + lonD + "," + lonM + "," + lonS +
         ",,,,,,,\r\n";
}

std::string SampleTitl01() { return Titl01("35", "39", "29.1", "139", "45", "45.5"); }

RunFolders::RunFolders() {
  std::filesystem::create_directories(source());
  std::filesystem::create_directories(destination());
}

}  // namespace zk::test
