// The folder listing of the numbering and the name lookup without regard to letter case, in
// the forms a destination or a boring folder takes: links, folders, hidden files, many names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/drives.h"
#include "platform/files.h"
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FolderListing, PlainFilesOnlyLinksToFilesFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "making links needs rights a test does not have on Windows";
#endif
  TempFolder dir;
  dir.WriteBytes("53393681.001", "x");
  dir.WriteBytes(".hidden", "x");
  fs::create_directory(dir.path() / "sub");
  fs::create_symlink(dir.path() / "53393681.001", dir.path() / "link.001");
  fs::create_symlink(dir.path() / "sub", dir.path() / "linkdir");
  fs::create_symlink(dir.path() / "gone", dir.path() / "dangling");
  EXPECT_EQ(Sorted(platform::ListPlainFiles(test::EnvironmentDrives(), dir.Drive() + "\\")),
            (std::vector<std::string>{"53393681.001", "link.001"}));
  EXPECT_TRUE(platform::ListPlainFiles(test::EnvironmentDrives(), dir.Drive("missing") + "\\").empty());
}

// The entries a boring's folder listing sees as regular files are opened without asking each
// first: only a plain file, never a folder (or, where links can be made, a link), is seen so.
TEST(FolderListing, EntriesSeenAsRegularFilesOnlyWhenTheyAre) {
  TempFolder dir;
  dir.WriteBytes("X1.TXT", "1,2");
  fs::create_directory(dir.path() / "X3.TXT");
#ifndef _WIN32
  fs::create_symlink(dir.path() / "X1.TXT", dir.path() / "X5.TXT");
#endif
  std::vector<std::string> regular, other;
  for (const platform::ListedEntry& entry : platform::ListEntries(dir.path())) {
    bool seenRegular = entry.seen.type == fs::file_type::regular && entry.seen.listed;
    (seenRegular ? regular : other).push_back(entry.name);
  }
  EXPECT_EQ(regular, std::vector<std::string>{"X1.TXT"});
#ifndef _WIN32
  EXPECT_EQ(Sorted(other), (std::vector<std::string>{"X3.TXT", "X5.TXT"}));
#else
  EXPECT_EQ(other, std::vector<std::string>{"X3.TXT"});
#endif
  EXPECT_TRUE(platform::ListEntries(dir.path() / "missing").empty());
}

TEST(FolderListing, NameInOtherCaseFoundAmongMany) {
  TempFolder dir;
  // Built by appending: GCC 12 takes "M" + text for a copy between overlapping bytes (-Wrestrict).
  for (int i = 0; i < 300; ++i) dir.WriteBytes(std::string("M").append(std::to_string(i)).append(".HED"), "1");
  dir.WriteBytes("PCNT.txt", "1,M1");
  dir.WriteBytes("53393681.001", "x");
  const struct {
    const char* asked;
    const char* found;  // "" when nothing matches
  } cases[] = {
      {"m150.hed", "M150.HED"},
      {"M150.HED", "M150.HED"},
      {"pcnt.TXT", "PCNT.txt"},
      {"M150.he", ""},
      {"M1500.HED", ""},
      {".", ""},
      {"53393681.001", "53393681.001"},
      {"53393681.002", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked);
    auto host = test::EnvironmentDrives().ToHost(dir.Drive(c.asked));
    ASSERT_TRUE(host);
    if (*c.found) {
      EXPECT_EQ(host->filename().string(), c.found);
      EXPECT_TRUE(platform::IsPlainFile(test::EnvironmentDrives(), dir.Drive(c.asked)));
    } else {
      EXPECT_FALSE(platform::IsPlainFile(test::EnvironmentDrives(), dir.Drive(c.asked)));
    }
  }
}

}  // namespace
}  // namespace zk
