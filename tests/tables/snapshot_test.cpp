// A boring as the run takes it names each table as it is written on disk, by the drive the
// drive map gives it: the same name a table taken on its own gets.
#include "tables/snapshot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/drives.h"
#include "support/run_program.h"
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

class Snapshot : public ::testing::Test {
 protected:
  void TearDown() override { test::UnsetEnvironment("ZK_DRIVES"); }
  // Maps C: to root and gives the boring folder "Data\B01" below it in drive form. Windows'
  // drives are the system's: there the folder's drive form is its own path.
  std::string MapBoringFolder(const fs::path& root) {
    fs::create_directories(boring_.path() / "Data" / "B01");
    test::SetEnvironment("ZK_DRIVES", "C=" + root.string());
    drives_ = platform::DriveMap::FromEnvironment();
    return *drives_.ToDriveForm(boring_.path() / "Data" / "B01");
  }
  TempFolder boring_;
  platform::DriveMap drives_;
};

TEST_F(Snapshot, NamesEachTableAsWrittenByTheDriveThatHoldsIt) {
  struct Case {
    const char* what;
    bool mapRootToBoringFolder;
  };
  std::vector<Case> cases = {{"below a mapped folder", false}};
#ifndef _WIN32
  cases.push_back({"at the root of a drive", true});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::path folder = boring_.path() / "Data" / "B01";
    std::string drive = MapBoringFolder(c.mapRootToBoringFolder ? folder : boring_.path());
#ifndef _WIN32
    EXPECT_EQ(drive.substr(0, 3), "C:\\");
#endif
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "x1.txt") << "1,1.00,0101,\"\"\r\n";
    std::ofstream(folder / "X3.TXT") << "";
    // Taken under the name the catalogue asks for, in another letter case.
    BoringSnapshot boring = BoringSnapshot::Take(drives_, drive, "");
    const TableFile& layers = boring.Table(TableId::X1);
    ASSERT_TRUE(layers.IsPresent());
    EXPECT_EQ(layers.drivePath, LoadTableFile(drives_, drive + "\\X1.TXT").drivePath);
#ifdef _WIN32
    EXPECT_EQ(layers.drivePath, drive + "\\x1.txt");
#else
    EXPECT_EQ(layers.drivePath, c.mapRootToBoringFolder ? "C:\\x1.txt" : "C:\\Data\\B01\\x1.txt");
#endif
    EXPECT_EQ(boring.Table(TableId::X3).drivePath, LoadTableFile(drives_, drive + "\\X3.TXT").drivePath);
  }
}

}  // namespace
}  // namespace zk
