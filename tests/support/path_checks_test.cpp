#include "support/path_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/drives.h"
#include "support/run_program.h"
#include "support/test_util.h"

namespace zk::FNOTHER {
namespace {

using test::TempFolder;

// C: is a folder of our own with a DATA folder in it; Q: is a drive that is not ready. On
// Windows C: is the system's own and Q: is not there: the checks ask only for a ready drive.
class CheckFolderPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(drive_.path() / "DATA");
#ifndef _WIN32
    test::SetEnvironment("ZK_DRIVES", "C=" + drive_.path().string() + ";Q=/no/such/folder");
#endif
    drives_ = platform::DriveMap::FromEnvironment();
  }
  void TearDown() override {
#ifndef _WIN32
    test::UnsetEnvironment("ZK_DRIVES");
#endif
  }
  TempFolder drive_;
  platform::DriveMap drives_;
};

TEST_F(CheckFolderPathTest, AcceptsAndNormalises) {
  const std::pair<const char*, const char*> cases[] = {
      {"  C:\\DATA  ", "C:\\DATA\\"},
      {"C:", "C:\\"},
      {"C:DATA", "C:\\DATA\\"},
      {"c:\\data\\", "c:\\data\\"},
      {"C:\\LONGFOLDERNAME", "C:\\LONGFOLDERNAME\\"},  // names without a dot are not limited
      {"C:\\SHORT.TXT\\X", "C:\\SHORT.TXT\\X\\"},
      {"C:\\フォルダ.Ａ", "C:\\フォルダ.Ａ\\"},  // 8 bytes before the dot, 2 after
  };
  for (const auto& [given, normal] : cases) {
    std::string path = given;
    EXPECT_EQ(CheckFolderPath(drives_, path), FolderPathFault::None) << given;
    EXPECT_EQ(path, normal) << given;
  }
  std::string path = "C:";
  ASSERT_EQ(CheckFolderPath(drives_, path), FolderPathFault::None);
  EXPECT_EQ(drives_.CurrentDrive(), 'C');
}

TEST_F(CheckFolderPathTest, RefusesAndSaysWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\DATA\\\\X", "空のフォルダ名があります"},
      {"C:\\DATA\\*.TXT", "ワイルドカード"},
      {"C:\\DATA\\?", "ワイルドカード"},
      {"C:\\LONGNAME1.TXT\\", "「LONGNAME1.TXT」は 8.3 形式の名前ではありません"},  // 9 characters before the dot
      {"C:\\A.TEXT\\", "「A.TEXT」は 8.3 形式"},                                    // 4 after it
      {"C:\\A.B.C\\", "「A.B.C」は 8.3 形式"},                                      // two dots
      {"C:\\フォルダ名.A\\", "8.3 形式"},                                           // 10 bytes before the dot
      {"C:\\フォルダ.ＡＢ\\", "8.3 形式"},                                          // 4 bytes after it
      {"Q:\\DATA", "ドライブ Q: は用意されていません"},                             // its folder does not exist
      {"R:\\DATA", "ドライブ R: は用意されていません"},                             // not mapped
      {"1:\\DATA", "ドライブ 1: は用意されていません"},
  };
  for (const auto& [given, why] : cases) {
    std::string path = given, reason;
    EXPECT_EQ(CheckFolderPath(drives_, path, reason), FolderPathFault::Malformed) << given;
    EXPECT_NE(reason.find(why), std::string::npos) << given << ": " << reason;
    path = given;
    EXPECT_EQ(CheckFolderPath(drives_, path), FolderPathFault::Malformed) << given;
  }
}

TEST_F(CheckFolderPathTest, DriveNameFaultWhenTheSecondByteIsNoColon) {
  for (const char* given : {"DATA\\X", "", "漢:\\X", " ", "CC:\\"}) {
    std::string path = given;
    EXPECT_EQ(CheckFolderPath(drives_, path), FolderPathFault::DriveName) << given;
  }
}

TEST(Delimiters, CountAndSplit) {
  std::vector<std::string> parts;
  SplitAtDelimiters("C:\\A\\B", "\\", parts);
  EXPECT_EQ(parts, (std::vector<std::string>{"", "C:", "A", "B"}));
  EXPECT_EQ(CountDelimiters("C:\\A\\B", "\\"), 2);
  SplitAtDelimiters("C:\\A\\\\B\\", "\\", parts);
  EXPECT_EQ(parts, (std::vector<std::string>{"", "C:", "A", "", "B", ""}));
  EXPECT_EQ(CountDelimiters("C:\\A\\\\B\\", "\\"), 4);
  SplitAtDelimiters("表\\示", "\\", parts);  // 表 ends in byte 0x5C in Shift-JIS: no separator
  EXPECT_EQ(parts, (std::vector<std::string>{"", "表", "示"}));
  EXPECT_EQ(CountDelimiters("表示", "\\"), 0);
  EXPECT_EQ(CountDelimiters("a,b;c", ",;"), 2);
}

TEST(MaxLayerDepthTest, GreatestBottomInSinglePrecision) {
  TempFolder dir;
  float depth = -1;
  ASSERT_TRUE(MaxLayerDepth(LoadTableFile(test::EnvironmentDrives(), dir.Drive("X1.TXT")), depth));
  EXPECT_EQ(depth, 0.0f);  // no layer table
  dir.WriteBytes("X1.TXT", "1,2.5,101,x\r\n2,10.7,102,y\r\n3,4,103,z\r\n4,99");
  ASSERT_TRUE(MaxLayerDepth(LoadTableFile(test::EnvironmentDrives(), dir.Drive("X1.TXT")), depth));
  EXPECT_EQ(depth, 10.7f);  // the cut-short last row is not read
}

TEST(PathRefusal, NamesThatBorlingNoCannotHold) {
  EXPECT_EQ(PathRefusal("Z:\\work\\調査\\B01"), "");
  for (const char* bad : {"Z:\\work\\new\nline", "Z:\\tab\there", "Z:\\cr\r", "Z:\\del\x7f"})
    EXPECT_NE(PathRefusal(bad).find("制御文字"), std::string::npos) << bad;
  for (const char* bad : {"Z:\\한국", "Z:\\emoji\xF0\x9F\x98\x80", "Z:\\\xFF\xFE"})
    EXPECT_NE(PathRefusal(bad).find("CP932"), std::string::npos) << bad;
}

}  // namespace
}  // namespace zk::FNOTHER
