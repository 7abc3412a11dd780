#include "support/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>

#include "platform/drives.h"
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// Points the system folder at a temporary folder for one test, and puts the environment back
// afterwards.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("ZK_SYSDIR", sysdir_);
    Save("XDG_CONFIG_HOME", xdg_);
    setenv("ZK_SYSDIR", system.path().c_str(), 1);
  }
  void TearDown() override {
    Restore("ZK_SYSDIR", sysdir_);
    Restore("XDG_CONFIG_HOME", xdg_);
  }
  fs::path Ini() const { return system.path() / "RaroreD5.ini"; }

  TempFolder system, codes;

 private:
  static void Save(const char* name, std::optional<std::string>& value) {
    const char* v = getenv(name);
    value = v ? std::optional<std::string>(v) : std::nullopt;
  }
  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
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
  EXPECT_EQ(LoadCodeTableFolder(), "");

  system.WriteBytes("RaroreD5.ini", "");
  EXPECT_EQ(ReadVuredaSetting(), "");
  EXPECT_FALSE(fs::exists(Ini())) << "an empty settings file is removed";
  EXPECT_EQ(LoadCodeTableFolder(), "");
}

TEST_F(SettingsTest, SystemFolderFromTheConfigHomeWithoutZkSysdir) {
  unsetenv("ZK_SYSDIR");
  setenv("XDG_CONFIG_HOME", system.path().c_str(), 1);
  system.WriteBytes("zk2morvex/RaroreD5.ini", "x\r\nZ:\\from\\config\\\r\n");
  EXPECT_EQ(ReadVuredaSetting(), "Z:\\from\\config\\");
}

struct LoadCase {
  const char* name;
  std::string value;                  // line 2 of the settings file
  std::optional<std::string> folder;  // the code-table folder, nullopt: refused
};

TEST_F(SettingsTest, LoadChecksTheFolderAndKeepsItInDriveForm) {
  std::string drive = codes.Drive();  // Z:\tmp\zk-test-...
  std::string host = codes.path().string();
  const LoadCase cases[] = {
      {"drive form", drive + "\\", drive + "\\"},
      {"drive form, blanks around", "  " + drive + "\\  ", drive + "\\"},
      {"drive form, other letter case", "z" + drive.substr(1) + "\\", "z" + drive.substr(1) + "\\"},
      {"host path", host + "/", drive + "\\"},
      {"host path, quoted with blanks", "\" " + host + "/ \"", drive + "\\"},
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
    system.WriteBytes("RaroreD5.ini", "[VUREDA]\r\n" + c.value + "\r\n");
    EXPECT_EQ(LoadCodeTableFolder(), c.folder.value_or("")) << c.name;
  }
}

TEST_F(SettingsTest, BothFormsReachTheCodeTables) {
  codes.WriteBytes("L9.txt", "1,a\r\n");
  for (const std::string& value : {codes.Drive() + "\\", codes.path().string() + "/"}) {
    system.WriteBytes("RaroreD5.ini", "x\r\n" + value + "\r\n");
    std::string folder = LoadCodeTableFolder();
    ASSERT_FALSE(folder.empty()) << value;
    auto host = platform::ToHost(folder + "L9.txt");
    ASSERT_TRUE(host) << value;
    EXPECT_TRUE(fs::equivalent(*host, codes.path() / "L9.txt")) << value;
  }
}

}  // namespace
}  // namespace zk
