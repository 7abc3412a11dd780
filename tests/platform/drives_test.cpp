#include "platform/drives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/files.h"
#include "support/test_util.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zk::platform {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

#ifndef _WIN32
// Linux: drives mapped by ZK_DRIVES over host folders.
class Drives : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(c_.path() / "Data" / "B01");
    fs::create_directories(d_.path() / "sub");
    std::string map = "C=" + c_.path().string() + ";d=" + d_.path().string() + ";Q=/no/such/folder;bad;7=/tmp";
    setenv("ZK_DRIVES", map.c_str(), 1);
    drives_ = DriveMap::FromEnvironment();
  }
  void TearDown() override { unsetenv("ZK_DRIVES"); }
  TempFolder c_, d_;
  DriveMap drives_;
};

TEST_F(Drives, MapAndReadiness) {
  EXPECT_EQ(drives_.MappedDrives(), (std::vector<char>{'C', 'D', 'Q', 'Z'}));
  EXPECT_EQ(drives_.DriveRoot('c'), c_.path());
  EXPECT_EQ(drives_.DriveRoot('Z'), fs::path("/"));
  EXPECT_FALSE(drives_.DriveRoot('Q'));  // mapped, but its folder does not exist
  EXPECT_FALSE(drives_.DriveRoot('R'));
  EXPECT_EQ(drives_.CurrentDrive(), 'Z');
  EXPECT_FALSE(drives_.SetCurrentDrive('Q'));
  EXPECT_EQ(drives_.CurrentDrive(), 'Z');
  EXPECT_TRUE(drives_.SetCurrentDrive('d'));
  EXPECT_EQ(drives_.CurrentDrive(), 'D');
  EXPECT_FALSE(drives_.ToHost("Q:\\"));
  EXPECT_FALSE(drives_.ToHost("Q:\\x.txt"));
  EXPECT_EQ(drives_.ToHost("C:\\Data"), c_.path() / "Data");
}

TEST_F(Drives, ARootWrittenWithAFinalSlashJoinsNamesWithOne) {
  std::string map = "E=" + c_.path().string() + "/";
  setenv("ZK_DRIVES", map.c_str(), 1);
  drives_ = DriveMap::FromEnvironment();
  EXPECT_EQ(drives_.ToHost("E:\\Data\\B01")->string(), (c_.path() / "Data" / "B01").string());
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
    ASSERT_TRUE(drives_.ToHost(c.path, seen)) << c.path;
    EXPECT_EQ(seen.type, c.type) << c.path;
    EXPECT_EQ(seen.size, c.size) << c.path;
  }
  EXPECT_TRUE(IsPlainFile(drives_, "C:\\Data\\B01\\link.txt"));
  EXPECT_EQ(FileLength(drives_, "C:\\Data\\B01\\x1.txt"), 5u);
  EXPECT_FALSE(IsPlainFile(drives_, "C:\\Data\\B01"));
}

TEST_F(Drives, ADriveOnAFileIsNotReady) {
  c_.WriteBytes("plain.txt", "x");
  std::string map = "F=" + (c_.path() / "plain.txt").string();
  setenv("ZK_DRIVES", map.c_str(), 1);
  drives_ = DriveMap::FromEnvironment();
  EXPECT_FALSE(drives_.DriveRoot('F'));
  EXPECT_FALSE(drives_.ToHost("F:\\"));
  EXPECT_FALSE(drives_.ToHost("F:\\x"));
}

TEST_F(Drives, NamesMatchWithoutLetterCaseExactFirst) {
  EXPECT_EQ(drives_.ToHost("C:\\DATA\\b01"), c_.path() / "Data" / "B01");
  EXPECT_EQ(drives_.ToHost("c:\\data\\new\\x.txt"), c_.path() / "Data" / "new" / "x.txt");  // the rest as written
  fs::create_directories(c_.path() / "data");
  EXPECT_EQ(drives_.ToHost("C:\\data"), c_.path() / "data");
  EXPECT_EQ(drives_.ToHost("C:\\Data"), c_.path() / "Data");
  EXPECT_FALSE(drives_.ToHost("Q:\\x"));
  EXPECT_FALSE(drives_.ToHost("DATA\\x"));
}

// A name in another letter case is found in the folder as it is at the time of asking: a
// change to its entries is seen at once.
TEST_F(Drives, OtherLetterCaseSeesChangesAtOnce) {
  fs::path folder = c_.path() / "Data" / "B01";
  c_.WriteBytes("Data/B01/X1.TXT", "1");
  EXPECT_EQ(drives_.ToHost("C:\\Data\\B01\\x1.txt"), folder / "X1.TXT");
  EXPECT_EQ(drives_.ToHost("C:\\Data\\B01\\x3.txt"), folder / "x3.txt");  // missing
  c_.WriteBytes("Data/B01/X3.TXT", "3");
  EXPECT_EQ(drives_.ToHost("C:\\Data\\B01\\x3.txt"), folder / "X3.TXT");
  fs::remove(folder / "X1.TXT");
  EXPECT_EQ(drives_.ToHost("C:\\Data\\B01\\x1.txt"), folder / "x1.txt");
}

TEST_F(Drives, DriveRelativePathsUseTheDrivesFolder) {
  EXPECT_EQ(drives_.CurrentFolder('C'), "C:\\");
  EXPECT_EQ(drives_.ToHost("C:Data"), c_.path() / "Data");
  ASSERT_TRUE(drives_.SetCurrentFolder("C:\\Data"));
  EXPECT_EQ(drives_.CurrentFolder('c'), "C:\\Data");
  EXPECT_EQ(drives_.ToHost("C:B01"), c_.path() / "Data" / "B01");
  EXPECT_FALSE(drives_.SetCurrentFolder("C:\\nothing"));
  EXPECT_EQ(drives_.CurrentFolder('C'), "C:\\Data");
}

TEST_F(Drives, HostPathsInDriveFormThroughTheLongestMappedFolder) {
  EXPECT_EQ(drives_.ToDriveForm("/tmp/a"), "Z:\\tmp\\a");
  EXPECT_EQ(drives_.ToDriveForm(c_.path() / "Data"), "C:\\Data");
  EXPECT_EQ(drives_.ToDriveForm(c_.path()), "C:\\");
  EXPECT_EQ(drives_.ToDriveForm(c_.path() / "Data/../Data/B01/"), "C:\\Data\\B01");
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("D:\\sub"), "D:\\sub");
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("D:/sub/x"), "D:\\sub\\x");  // the run splits at "\" only
  EXPECT_EQ(drives_.CommandLinePathToDriveForm(d_.path().string() + "/sub"), "D:\\sub");
}

TEST_F(Drives, HostNameHoldingABackslashHasNoDriveForm) {
  // Z:\tmp\a\b would name the folder b in a.
  EXPECT_FALSE(drives_.ToDriveForm("/tmp/a\\b").has_value());
  EXPECT_FALSE(drives_.ToDriveForm(c_.path() / "x\\" / "B01").has_value());
  EXPECT_NE(DriveFormRefusal("/tmp/a\\b").find("a\\b"), std::string::npos);
  EXPECT_EQ(DriveFormRefusal("/tmp/a/b"), "");
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("/tmp/a\\b"), "/tmp/a\\b");  // left for the caller to refuse
}

TEST_F(Drives, ListingTellsWhyAFolderCannotBeListed) {
  TempFolder dir;
  dir.WriteBytes("53393681.001", "1");
  std::vector<std::string> names{"stale"};
  EXPECT_TRUE(ListPlainFiles(drives_, dir.Drive(), names));
  EXPECT_EQ(names, std::vector<std::string>{"53393681.001"});
  for (const std::string& folder : {dir.Drive("missing"), dir.Drive("53393681.001"), std::string("Q:\\x")}) {
    Status s = ListPlainFiles(drives_, folder, names);
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
  auto names = ListPlainFiles(drives_, dir.Drive());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "empty.txt", "link-to-file"}));
  EXPECT_TRUE(IsPlainFile(drives_, dir.Drive("A.TXT")));
  EXPECT_FALSE(IsPlainFile(drives_, dir.Drive(".hidden")));
  EXPECT_FALSE(IsPlainFile(drives_, dir.Drive("folder")));
  EXPECT_FALSE(IsPlainFile(drives_, dir.Drive("dangling")));
  EXPECT_TRUE(IsFolder(drives_, dir.Drive("LINK-TO-FOLDER")));
  EXPECT_EQ(FileLength(drives_, dir.Drive("empty.txt")), 0u);
  EXPECT_FALSE(FileLength(drives_, dir.Drive("folder")));
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

#else
// Windows: the system's own drives; the drive form is the host path itself.

class WindowsDrives : public ::testing::Test {
 protected:
  DriveMap drives_ = DriveMap::FromEnvironment();
};

// A new file of bytes, written as the run writes its files.
void WriteNew(const fs::path& host, std::string_view bytes) {
  bool exists = false;
  std::string reason;
  FileHandle file = CreateNewFile(host, exists, reason);
  ASSERT_NE(file, kNoFile) << reason;
  EXPECT_TRUE(WriteToFile(file, bytes, reason)) << reason;
  EXPECT_TRUE(SyncAndCloseFile(file, reason)) << reason;
}

TEST_F(WindowsDrives, ReadinessFromTheSystemsDrives) {
  std::vector<char> letters = drives_.MappedDrives();
  ASSERT_FALSE(letters.empty());
  char missing = 0;
  for (char c = 'Y'; c >= 'D' && !missing; --c)
    if (std::find(letters.begin(), letters.end(), c) == letters.end()) missing = c;
  ASSERT_NE(missing, 0);
  EXPECT_FALSE(drives_.DriveRoot(missing));
  EXPECT_FALSE(drives_.SetCurrentDrive(missing));
  EXPECT_FALSE(drives_.ToHost(std::string(1, missing) + ":\\x"));
  TempFolder dir;
  char own = dir.Drive()[0];
  EXPECT_TRUE(drives_.DriveRoot(own));
  EXPECT_TRUE(drives_.SetCurrentDrive(static_cast<char>(own - 'A' + 'a')));
  EXPECT_EQ(drives_.CurrentDrive(), own);
}

// Names match without regard to letter case, natively; the last name comes back as it is
// written on disk, so that a message names "X1.TXT" when "x1.txt" was asked for.
TEST_F(WindowsDrives, NamesAsWrittenOnDiskWhateverTheLetterCase) {
  TempFolder dir;
  dir.WriteBytes("Data/B01/X1.TXT", "12345");
  SeenEntry seen;
  auto host = drives_.ToHost(dir.Drive("Data\\B01\\x1.txt"), seen);
  ASSERT_TRUE(host);
  EXPECT_EQ(host->filename().native(), L"X1.TXT");
  EXPECT_EQ(seen.type, fs::file_type::regular);
  EXPECT_EQ(seen.size, 5u);
  EXPECT_EQ(drives_.ToDriveForm(*host), dir.Drive("Data\\B01\\X1.TXT"));
  EXPECT_EQ(FileLength(drives_, dir.Drive("DATA\\b01\\X1.txt")), 5u);
  EXPECT_EQ(drives_.ToHost(dir.Drive("Data\\.\\..\\Data\\B01\\X1.TXT")), host);
  drives_.ToHost(dir.Drive("Data\\B01\\X3.TXT"), seen);
  EXPECT_EQ(seen.type, fs::file_type::not_found);
  drives_.ToHost(dir.Drive("Data\\B01"), seen);
  EXPECT_EQ(seen.type, fs::file_type::directory);
  EXPECT_FALSE(IsPlainFile(drives_, dir.Drive("Data\\B01")));
  EXPECT_TRUE(IsFolder(drives_, dir.Drive("data\\b01")));
  EXPECT_FALSE(IsPlainFile(drives_, dir.Drive("Data\\B01\\*.TXT")));  // a wildcard names no file
}

// Japanese names go through the wide calls whole: made, listed, measured, renamed, removed.
TEST_F(WindowsDrives, JapaneseNamesThroughTheWideCalls) {
  TempFolder dir;
  std::string folder = dir.Drive("ボーリング①");
  ASSERT_TRUE(CreateFolder(drives_, folder));
  auto table = drives_.ToHost(folder + "\\表.txt");
  ASSERT_TRUE(table);
  WriteNew(*table, "abc");
  EXPECT_TRUE(fs::exists(dir.path() / L"ボーリング①" / L"表.txt"));
  EXPECT_EQ(ListPlainFiles(drives_, folder), (std::vector<std::string>{"表.txt"}));
  EXPECT_EQ(FileLength(drives_, folder + "\\表.TXT"), 3u);
  EXPECT_EQ(drives_.ToDriveForm(*table), folder + "\\表.txt");
  auto renamed = drives_.ToHost(folder + "\\〜名前.txt");
  ASSERT_TRUE(renamed);
  std::string reason;
  EXPECT_EQ(ClaimName(*table, *renamed, reason), Claim::Claimed) << reason;
  EXPECT_EQ(ListPlainFiles(drives_, folder), (std::vector<std::string>{"〜名前.txt"}));
  // A name taken is left alone by a claim and given up only to a replacing rename.
  WriteNew(*table, "new");
  EXPECT_EQ(ClaimName(*table, *renamed, reason), Claim::Taken);
  EXPECT_EQ(FileLength(drives_, folder + "\\〜名前.txt"), 3u);
  EXPECT_TRUE(ReplaceName(*table, *renamed, reason)) << reason;
  EXPECT_EQ(ListPlainFiles(drives_, folder), (std::vector<std::string>{"〜名前.txt"}));
  EXPECT_TRUE(RemoveFile(drives_, folder + "\\〜名前.txt"));
  EXPECT_TRUE(ListPlainFiles(drives_, folder).empty());
}

// Beyond 260 characters a path works as any other (the "\\?\" form underneath).
TEST_F(WindowsDrives, PathsLongerThan260Characters) {
  TempFolder dir;
  std::vector<std::string> folders;
  std::string path = dir.Drive();
  for (int i = 0; path.size() < 320; ++i) {
    path += "\\" + std::string(30, static_cast<char>('a' + i));
    ASSERT_TRUE(CreateFolder(drives_, path)) << path.size();
    folders.push_back(path);
  }
  std::string file = path + "\\X1.TXT";
  auto host = drives_.ToHost(file);
  ASSERT_TRUE(host);
  WriteNew(*host, "1,2");
  EXPECT_EQ(FileLength(drives_, path + "\\x1.txt"), 3u);
  EXPECT_EQ(ListPlainFiles(drives_, path), (std::vector<std::string>{"X1.TXT"}));
  EXPECT_EQ(drives_.ToDriveForm(*host), file);
  int fd = OpenToRead(*host);
  ASSERT_GE(fd, 0);
  char bytes[8] = {};
  EXPECT_EQ(ReadAt(fd, bytes, sizeof bytes, 2), 1);
  EXPECT_EQ(bytes[0], '2');
  CloseReadFile(fd);
  EXPECT_TRUE(RemoveFile(drives_, file));
  // The folders go deepest first, through the same long form.
  for (auto it = folders.rbegin(); it != folders.rend(); ++it)
    EXPECT_TRUE(::RemoveDirectoryW(drives_.ToHost(*it)->c_str())) << it->size();
}

TEST_F(WindowsDrives, DriveRelativePathsUseTheDrivesFolder) {
  TempFolder dir;
  dir.WriteBytes("Data/B01/x.txt", "1");
  std::string drive = dir.Drive();
  char letter = drive[0];
  ASSERT_TRUE(drives_.SetCurrentFolder(drive));
  EXPECT_EQ(drives_.CurrentFolder(letter), drive);
  EXPECT_EQ(drives_.ToDriveForm(*drives_.ToHost(std::string(1, letter) + ":Data\\B01")), drive + "\\Data\\B01");
  EXPECT_FALSE(drives_.SetCurrentFolder(drive + "\\nothing"));
  EXPECT_EQ(drives_.CurrentFolder(letter), drive);
}

// A path given on the command line: drive form with either separator, or relative.
TEST_F(WindowsDrives, CommandLinePathsInDriveForm) {
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("D:/sub/x"), "D:\\sub\\x");
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("C:\\data\\"), "C:\\data");
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("C:\\"), "C:\\");
  EXPECT_EQ(drives_.CommandLinePathToDriveForm("sub/../x"), drives_.ToDriveForm(fs::current_path() / L"x"));
}

TEST_F(WindowsDrives, AScopeKeepsNamesWithinItsFolders) {
  TempFolder dir;
  dir.WriteBytes("B01/X1.TXT", "1");
  dir.WriteBytes("other/secret.txt", "1");
  PathScope scope(drives_, {dir.Drive("b01")});
  EXPECT_TRUE(drives_.ToHost(dir.Drive("B01\\X1.TXT")));
  EXPECT_FALSE(drives_.ToHost(dir.Drive("B01\\..\\other\\secret.txt")));
  EXPECT_FALSE(drives_.ToHost(dir.Drive("other")));
  EXPECT_FALSE(drives_.ToHost(dir.Drive("B01x")));
}

// A device name is no table: opening it to read is refused, not waited on. Nor is a file's
// data stream ("X1.TXT:hidden").
TEST_F(WindowsDrives, DeviceNamesAndStreamsAreNoTables) {
  TempFolder dir;
  dir.WriteBytes("X1.TXT", "1,2");
  EXPECT_FALSE(drives_.ToHost(dir.Drive("X1.TXT:hidden")));
  EXPECT_FALSE(IsPlainFile(drives_, dir.Drive("X1.TXT:hidden")));
  EXPECT_FALSE(drives_.ToHost(dir.Drive("sub\\D:\\x")));
  for (const char* name : {"CON", "NUL", "COM1"}) {
    auto host = drives_.ToHost(dir.Drive(name));
    ASSERT_TRUE(host) << name;
    int fd = OpenToRead(*host);
    EXPECT_EQ(fd, -1) << name;
    if (fd >= 0) CloseReadFile(fd);
  }
}
#endif

// Each program holds a map of its own: what one sets (a current drive, a drive's current
// folder, a run's scope) is not seen through another, and ends with it.
TEST(DriveMaps, TwoMapsDoNotSeeEachOthersFolderOrScope) {
  TempFolder dir;
  dir.WriteBytes("Data/B01/X1.TXT", "1");
  dir.WriteBytes("other/secret.txt", "1");
  const std::string drive = dir.Drive();
  const std::string letter(1, drive[0]);
  DriveMap run = DriveMap::FromEnvironment();
  DriveMap window = DriveMap::FromEnvironment();
  ASSERT_TRUE(run.SetCurrentFolder(dir.Drive("Data")));
  EXPECT_EQ(run.CurrentFolder(drive[0]), dir.Drive("Data"));
  EXPECT_EQ(window.CurrentFolder(drive[0]), letter + ":\\");
  EXPECT_EQ(run.ToHost(letter + ":B01"), run.ToHost(dir.Drive("Data\\B01")));
  EXPECT_EQ(window.ToHost(letter + ":B01"), window.ToHost(letter + ":\\B01"));  // from the root
  {
    PathScope scope(run, {dir.Drive("Data")});
    EXPECT_FALSE(run.ToHost(dir.Drive("other\\secret.txt")));
    EXPECT_TRUE(IsPlainFile(run, dir.Drive("Data\\B01\\X1.TXT")));
    EXPECT_TRUE(IsPlainFile(window, dir.Drive("other\\secret.txt")));
  }
  EXPECT_TRUE(IsPlainFile(run, dir.Drive("other\\secret.txt")));
  EXPECT_EQ(run.CurrentFolder(drive[0]), dir.Drive("Data"));  // the scope took nothing else with it
#ifndef _WIN32
  // Linux: a second drive over the same folder, current in one map only.
  setenv("ZK_DRIVES", ("D=" + dir.path().string()).c_str(), 1);
  DriveMap first = DriveMap::FromEnvironment();
  DriveMap second = DriveMap::FromEnvironment();
  unsetenv("ZK_DRIVES");
  ASSERT_TRUE(first.SetCurrentDrive('D'));
  EXPECT_EQ(first.CurrentDrive(), 'D');
  EXPECT_EQ(second.CurrentDrive(), 'Z');
  EXPECT_FALSE(DriveMap().DriveRoot('Z'));  // a map made of nothing has no drive at all
#endif
}

}  // namespace
}  // namespace zk::platform
