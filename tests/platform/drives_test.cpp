#include "platform/drives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/files.h"
#include "support/test_util.h"

namespace zk::platform {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

class Drives : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(c_.path() / "Data" / "B01");
    fs::create_directories(d_.path() / "sub");
    std::string map = "C=" + c_.path().string() + ";d=" + d_.path().string() + ";Q=/no/such/folder;bad;7=/tmp";
    setenv("ZK_DRIVES", map.c_str(), 1);
    ResetDrives();
  }
  void TearDown() override {
    unsetenv("ZK_DRIVES");
    ResetDrives();
  }
  TempFolder c_, d_;
};

TEST_F(Drives, MapAndReadiness) {
  EXPECT_EQ(MappedDrives(), (std::vector<char>{'C', 'D', 'Q', 'Z'}));
  EXPECT_EQ(DriveRoot('c'), c_.path());
  EXPECT_EQ(DriveRoot('Z'), fs::path("/"));
  EXPECT_FALSE(DriveRoot('Q'));  // mapped, but its folder does not exist
  EXPECT_FALSE(DriveRoot('R'));
  EXPECT_EQ(CurrentDrive(), 'Z');
  EXPECT_FALSE(SetCurrentDrive('Q'));
  EXPECT_EQ(CurrentDrive(), 'Z');
  EXPECT_TRUE(SetCurrentDrive('d'));
  EXPECT_EQ(CurrentDrive(), 'D');
  EXPECT_FALSE(ToHost("Q:\\"));
  EXPECT_FALSE(ToHost("Q:\\x.txt"));
  EXPECT_EQ(ToHost("C:\\Data"), c_.path() / "Data");
}

TEST_F(Drives, ARootWrittenWithAFinalSlashJoinsNamesWithOne) {
  std::string map = "E=" + c_.path().string() + "/";
  setenv("ZK_DRIVES", map.c_str(), 1);
  ResetDrives();
  EXPECT_EQ(ToHost("E:\\Data\\B01")->string(), (c_.path() / "Data" / "B01").string());
}

// What finding a path saw of its last name answers the plain-file test without asking again.
TEST_F(Drives, FindingAPathTellsWhatItSawOfTheLastName) {
  fs::path folder = c_.path() / "Data" / "B01";
  c_.WriteBytes("Data/B01/X1.TXT", "12345");
  fs::create_symlink(folder / "X1.TXT", folder / "link.txt");
  struct Case {
    const char* path;
    fs::file_type type;
    std::uintmax_t size;
  };
  const Case cases[] = {
      {"C:\\Data\\B01\\X1.TXT", fs::file_type::regular, 5},
      {"C:\\Data\\B01\\x1.txt", fs::file_type::none, 0},  // found in the listing, not looked at
      {"C:\\Data\\B01\\X3.TXT", fs::file_type::not_found, 0},
      {"C:\\Data\\B01", fs::file_type::directory, 0},
      {"C:\\Data\\B01\\link.txt", fs::file_type::symlink, 0},
  };
  for (const Case& c : cases) {
    SeenEntry seen;
    ASSERT_TRUE(ToHost(c.path, seen)) << c.path;
    EXPECT_EQ(seen.type, c.type) << c.path;
    EXPECT_EQ(seen.size, c.size) << c.path;
  }
  EXPECT_TRUE(IsPlainFile("C:\\Data\\B01\\link.txt"));
  EXPECT_EQ(FileLength("C:\\Data\\B01\\x1.txt"), 5u);
  EXPECT_FALSE(IsPlainFile("C:\\Data\\B01"));
}

TEST_F(Drives, ADriveOnAFileIsNotReady) {
  c_.WriteBytes("plain.txt", "x");
  std::string map = "F=" + (c_.path() / "plain.txt").string();
  setenv("ZK_DRIVES", map.c_str(), 1);
  ResetDrives();
  EXPECT_FALSE(DriveRoot('F'));
  EXPECT_FALSE(ToHost("F:\\"));
  EXPECT_FALSE(ToHost("F:\\x"));
}

TEST_F(Drives, NamesMatchWithoutLetterCaseExactFirst) {
  EXPECT_EQ(ToHost("C:\\DATA\\b01"), c_.path() / "Data" / "B01");
  EXPECT_EQ(ToHost("c:\\data\\new\\x.txt"), c_.path() / "Data" / "new" / "x.txt");  // the rest as written
  fs::create_directories(c_.path() / "data");
  EXPECT_EQ(ToHost("C:\\data"), c_.path() / "data");
  EXPECT_EQ(ToHost("C:\\Data"), c_.path() / "Data");
  EXPECT_FALSE(ToHost("Q:\\x"));
  EXPECT_FALSE(ToHost("DATA\\x"));
}

// A settled folder's listing is kept for names in another letter case; a change to its
// entries changes the folder, and the new entries are found.
TEST_F(Drives, OtherLetterCaseInASettledFolderSeesChanges) {
  fs::path folder = c_.path() / "Data" / "B01";
  c_.WriteBytes("Data/B01/X1.TXT", "1");
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // settled
  EXPECT_EQ(ToHost("C:\\Data\\B01\\x1.txt"), folder / "X1.TXT");
  EXPECT_EQ(ToHost("C:\\Data\\B01\\x3.txt"), folder / "x3.txt");  // missing
  c_.WriteBytes("Data/B01/X3.TXT", "3");
  EXPECT_EQ(ToHost("C:\\Data\\B01\\x3.txt"), folder / "X3.TXT");
  fs::remove(folder / "X1.TXT");
  EXPECT_EQ(ToHost("C:\\Data\\B01\\x1.txt"), folder / "x1.txt");
}

TEST_F(Drives, DriveRelativePathsUseTheDrivesFolder) {
  EXPECT_EQ(CurrentFolder('C'), "C:\\");
  EXPECT_EQ(ToHost("C:Data"), c_.path() / "Data");
  ASSERT_TRUE(SetCurrentFolder("C:\\Data"));
  EXPECT_EQ(CurrentFolder('c'), "C:\\Data");
  EXPECT_EQ(ToHost("C:B01"), c_.path() / "Data" / "B01");
  EXPECT_FALSE(SetCurrentFolder("C:\\nothing"));
  EXPECT_EQ(CurrentFolder('C'), "C:\\Data");
}

TEST_F(Drives, HostPathsInDriveFormThroughTheLongestMappedFolder) {
  EXPECT_EQ(ToDriveForm("/tmp/a"), "Z:\\tmp\\a");
  EXPECT_EQ(ToDriveForm(c_.path() / "Data"), "C:\\Data");
  EXPECT_EQ(ToDriveForm(c_.path()), "C:\\");
  EXPECT_EQ(ToDriveForm(c_.path() / "Data/../Data/B01/"), "C:\\Data\\B01");
  EXPECT_EQ(CommandLinePathToDriveForm("D:\\sub"), "D:\\sub");
  EXPECT_EQ(CommandLinePathToDriveForm(d_.path().string() + "/sub"), "D:\\sub");
}

TEST_F(Drives, HostNameHoldingABackslashHasNoDriveForm) {
  // Z:\tmp\a\b would name the folder b in a.
  EXPECT_FALSE(ToDriveForm("/tmp/a\\b").has_value());
  EXPECT_FALSE(ToDriveForm(c_.path() / "x\\" / "B01").has_value());
  EXPECT_NE(DriveFormRefusal("/tmp/a\\b").find("a\\b"), std::string::npos);
  EXPECT_EQ(DriveFormRefusal("/tmp/a/b"), "");
  EXPECT_EQ(CommandLinePathToDriveForm("/tmp/a\\b"), "/tmp/a\\b");  // left for the caller to refuse
}

TEST_F(Drives, ListingTellsWhyAFolderCannotBeListed) {
  TempFolder dir;
  dir.WriteBytes("53393681.001", "1");
  std::vector<std::string> names{"stale"};
  EXPECT_TRUE(ListPlainFiles(dir.Drive(), names));
  EXPECT_EQ(names, std::vector<std::string>{"53393681.001"});
  for (const std::string& folder : {dir.Drive("missing"), dir.Drive("53393681.001"), std::string("Q:\\x")}) {
    Status s = ListPlainFiles(folder, names);
    EXPECT_FALSE(s) << folder;
    EXPECT_EQ(s.fault, Fault::Unreadable) << folder;
    EXPECT_EQ(s.file, folder);
    EXPECT_NE(s.description.find("一覧を読めません ("), std::string::npos) << s.description;
    EXPECT_TRUE(names.empty()) << folder;
  }
}

TEST_F(Drives, PlainFilesAndListing) {
  TempFolder dir;
  dir.WriteBytes("a.txt", "1");
  dir.WriteBytes(".hidden", "1");
  dir.WriteBytes("empty.txt", "");
  fs::create_directory(dir.path() / "folder");
  fs::create_directory_symlink(dir.path() / "folder", dir.path() / "link-to-folder");
  fs::create_symlink(dir.path() / "a.txt", dir.path() / "link-to-file");
  fs::create_symlink(dir.path() / "nothing", dir.path() / "dangling");
  auto names = ListPlainFiles(dir.Drive());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "empty.txt", "link-to-file"}));
  EXPECT_TRUE(IsPlainFile(dir.Drive("A.TXT")));
  EXPECT_FALSE(IsPlainFile(dir.Drive(".hidden")));
  EXPECT_FALSE(IsPlainFile(dir.Drive("folder")));
  EXPECT_FALSE(IsPlainFile(dir.Drive("dangling")));
  EXPECT_TRUE(IsFolder(dir.Drive("LINK-TO-FOLDER")));
  EXPECT_EQ(FileLength(dir.Drive("empty.txt")), 0u);
  EXPECT_FALSE(FileLength(dir.Drive("folder")));
}

TEST(SystemFolderTest, FromTheEnvironment) {
  setenv("ZK_SYSDIR", "/etc/zk", 1);
  EXPECT_EQ(SystemFolder(), "/etc/zk");
  unsetenv("ZK_SYSDIR");
  setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
  EXPECT_EQ(SystemFolder(), "/home/u/cfg/zk2morvex");
  unsetenv("XDG_CONFIG_HOME");
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(SystemFolder(), "/home/u/.config/zk2morvex");
  setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace zk::platform
