#include "support/settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include "platform/drives.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/test_util.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide.h"
#endif

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// Points the system folder at a temporary folder for one test, and puts the environment and
// the code-table folder back afterwards.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("ZK_SYSDIR", sysdir_);
    Save("XDG_CONFIG_HOME", xdg_);
    test::SetEnvironment("ZK_SYSDIR", system.path().string());
    SetCodeTableFolder("");
  }
  void TearDown() override {
    Restore("ZK_SYSDIR", sysdir_);
    Restore("XDG_CONFIG_HOME", xdg_);
    SetCodeTableFolder("");
  }
  fs::path Ini() const { return system.path() / "RaroreD5.ini"; }

  TempFolder system, codes;

 private:
  static void Save(const char* name, std::optional<std::string>& value) {
    value = platform::Environment(name);
  }
  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
      test::SetEnvironment(name, *value);
    else
      test::UnsetEnvironment(name);
  }
  std::optional<std::string> sysdir_, xdg_;
};

struct ReadCase {
  const char* name;
  std::string bytes;
  std::string expected;
};

TEST_F(SettingsTest, ReadsTheFirstFieldAfterLineOne) {
  const ReadCase cases[] = {
      {"plain", "[VUREDA]\r\nZ:\\opt\\codes\\\r\n", "Z:\\opt\\codes\\"},
      {"blanks around, unquoted", "[VUREDA]\r\n   Z:\\opt\\codes\\   \r\n", "Z:\\opt\\codes\\"},
      {"blanks around, inside quotes", "[VUREDA]\r\n\"  Z:\\opt\\codes\\  \"\r\n", "Z:\\opt\\codes\\"},
      {"only the first field", "x\r\nZ:\\a\\,Z:\\b\\\r\nZ:\\c\\\r\n", "Z:\\a\\"},
      {"line 1 is skipped whatever it holds", "Z:\\wrong\\,x\r\nZ:\\right\\", "Z:\\right\\"},
      {"quoted field with a comma", "x\r\n\"Z:\\a,b\\\"", "Z:\\a,b\\"},
      {"LF line ends", "x\nZ:\\opt\\\n", "Z:\\opt\\"},
      {"host path", "x\r\n/opt/codes/\r\n", "/opt/codes/"},
      {"Shift-JIS folder name", "x\r\nZ:\\\x83\x52\x81\x5b\x83\x68\\\r\n", "Z:\\コード\\"},
      {"ends after line 1", "[VUREDA]\r\n", ""},
      {"line 1 without its line end", "[VUREDA]", ""},
      {"line 2 empty", "[VUREDA]\r\n\r\nZ:\\opt\\\r\n", ""},
      {"line 2 blanks", "[VUREDA]\r\n    \r\n", ""},
      {"not Shift-JIS", "x\r\n\xfd\r\n", ""},
  };
  for (const auto& c : cases) {
    system.WriteBytes("RaroreD5.ini", c.bytes);
    EXPECT_EQ(ReadVuredaSetting(), c.expected) << c.name;
  }
}

TEST_F(SettingsTest, MissingOrEmptySettingsFile) {
  EXPECT_EQ(ReadVuredaSetting(), "");
  EXPECT_FALSE(LoadCodeTableFolder());

  system.WriteBytes("RaroreD5.ini", "");
  EXPECT_EQ(ReadVuredaSetting(), "");
  EXPECT_FALSE(fs::exists(Ini())) << "an empty settings file is removed";
  EXPECT_FALSE(LoadCodeTableFolder());
  EXPECT_EQ(CodeTableFolder(), "");
}

#ifndef _WIN32
TEST_F(SettingsTest, SystemFolderFromTheConfigHomeWithoutZkSysdir) {
  test::UnsetEnvironment("ZK_SYSDIR");
  test::SetEnvironment("XDG_CONFIG_HOME", system.path().string());
  system.WriteBytes("zk2morvex/RaroreD5.ini", "x\r\nZ:\\from\\config\\\r\n");
  EXPECT_EQ(ReadVuredaSetting(), "Z:\\from\\config\\");
}
#else
// Without ZK_SYSDIR: the user's own settings file when there is one, else the Windows folder's.
TEST_F(SettingsTest, SystemFolderFromApplicationDataThenTheWindowsFolder) {
  std::optional<std::string> appData = platform::Environment("APPDATA");
  test::UnsetEnvironment("ZK_SYSDIR");
  test::SetEnvironment("APPDATA", system.path().string());
  wchar_t windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(platform::SystemFolder(), platform::win32::Narrow(std::wstring_view(windows, n)));
  system.WriteBytes("zk2morvex/RaroreD5.ini", "x\r\nZ:\\from\\appdata\\\r\n");
  EXPECT_EQ(platform::SystemFolder(), system.path().string() + "\\zk2morvex");
  EXPECT_EQ(ReadVuredaSetting(), "Z:\\from\\appdata\\");
  if (appData) test::SetEnvironment("APPDATA", *appData);
}
#endif

struct LoadCase {
  const char* name;
  std::string value;                  // line 2 of the settings file
  std::optional<std::string> folder;  // the code-table folder, nullopt: refused
};

TEST_F(SettingsTest, LoadChecksTheFolderAndKeepsItInDriveForm) {
  std::string drive = codes.Drive();  // Z:\tmp\zk-test-...
  std::string host = codes.path().string();
  std::string lower(1, static_cast<char>(std::tolower(static_cast<unsigned char>(drive[0]))));
  const LoadCase cases[] = {
      {"drive form", drive + "\\", drive + "\\"},
      {"drive form, blanks around", "  " + drive + "\\  ", drive + "\\"},
      {"drive form, other letter case", lower + drive.substr(1) + "\\", lower + drive.substr(1) + "\\"},
#ifndef _WIN32  // on Windows the host path is the drive form
      {"host path", host + "/", drive + "\\"},
      {"host path, quoted with blanks", "\" " + host + "/ \"", drive + "\\"},
#endif
      {"folder that does not exist", drive + "\\nowhere\\", std::nullopt},
      {"host folder that does not exist", host + "/nowhere/", std::nullopt},
      // Without its separator the name is tested minus its last letter.
      {"no separator", drive, std::nullopt},
      {"no separator, host path", host, std::nullopt},
      {"no separator, the name minus one letter exists", drive + "X", drive + "X"},
      {"unmapped drive", "Q:\\codes\\", std::nullopt},
      {"blank", "   ", std::nullopt},
  };
  for (const auto& c : cases) {
    SetCodeTableFolder("");
    system.WriteBytes("RaroreD5.ini", "[VUREDA]\r\n" + c.value + "\r\n");
    EXPECT_EQ(LoadCodeTableFolder(), c.folder.has_value()) << c.name;
    EXPECT_EQ(CodeTableFolder(), c.folder.value_or("")) << c.name;
  }
}

TEST_F(SettingsTest, BothFormsReachTheCodeTables) {
  codes.WriteBytes("L9.txt", "1,a\r\n");
#ifdef _WIN32
  for (const std::string& value : {codes.Drive() + "\\", codes.Drive() + "/"}) {
#else
  for (const std::string& value : {codes.Drive() + "\\", codes.path().string() + "/"}) {
#endif
    system.WriteBytes("RaroreD5.ini", "x\r\n" + value + "\r\n");
    ASSERT_TRUE(LoadCodeTableFolder()) << value;
    auto host = platform::ToHost(CodeTableFolder() + "L9.txt");
    ASSERT_TRUE(host) << value;
    EXPECT_TRUE(fs::equivalent(*host, codes.path() / "L9.txt")) << value;
  }
}

}  // namespace
}  // namespace zk
