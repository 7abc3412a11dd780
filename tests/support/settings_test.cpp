#include "support/settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <vector>

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

// Points the system folder at a temporary folder for one test, and puts the environment back
// afterwards.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("ZK_SYSDIR", sysdir_);
    Save("XDG_CONFIG_HOME", xdg_);
    test::SetEnvironment("ZK_SYSDIR", system.path().string());
  }
  void TearDown() override {
    Restore("ZK_SYSDIR", sysdir_);
    Restore("XDG_CONFIG_HOME", xdg_);
  }
  fs::path Ini() const { return system.path() / "RaroreD5.ini"; }

  TempFolder system, codes;

 private:
  static void Save(const char* name, std::optional<std::string>& value) { value = platform::Environment(name); }
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
    EXPECT_EQ(ReadVuredaSetting(test::EnvironmentDrives()), c.expected) << c.name;
  }
}

TEST_F(SettingsTest, MissingOrEmptySettingsFile) {
  EXPECT_EQ(ReadVuredaSetting(test::EnvironmentDrives()), "");
  EXPECT_EQ(LoadCodeTableFolder(test::EnvironmentDrives()), "");

  system.WriteBytes("RaroreD5.ini", "");
  EXPECT_EQ(ReadVuredaSetting(test::EnvironmentDrives()), "");
  EXPECT_FALSE(fs::exists(Ini())) << "an empty settings file is removed";
  EXPECT_EQ(LoadCodeTableFolder(test::EnvironmentDrives()), "");
}

#ifndef _WIN32
TEST_F(SettingsTest, SystemFolderFromTheConfigHomeWithoutZkSysdir) {
  test::UnsetEnvironment("ZK_SYSDIR");
  test::SetEnvironment("XDG_CONFIG_HOME", system.path().string());
  system.WriteBytes("zk2morvex/RaroreD5.ini", "x\r\nZ:\\from\\config\\\r\n");
  EXPECT_EQ(ReadVuredaSetting(test::EnvironmentDrives()), "Z:\\from\\config\\");
}
#else
// Without ZK_SYSDIR: the user's own settings file when there is one, else the Windows folder's;
// a setting is written to the user's own.
TEST_F(SettingsTest, SystemFolderFromApplicationDataThenTheWindowsFolder) {
  std::optional<std::string> appData = platform::Environment("APPDATA");
  test::UnsetEnvironment("ZK_SYSDIR");
  test::SetEnvironment("APPDATA", system.path().string());
  wchar_t windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(platform::SystemFolder(), platform::win32::Narrow(std::wstring_view(windows, n)));
  // A setting is written to the user's own folder, and read from there from then on.
  codes.WriteBytes("L9.txt", "1,a\r\n");
  codes.WriteBytes("Kishitu.txt", "1,a\r\n");
  std::string written;
  ASSERT_TRUE(WriteCodeTableSetting(test::EnvironmentDrives(), codes.path().string(), written));
  EXPECT_EQ(written, system.path().string() + "\\zk2morvex\\RaroreD5.ini");
  EXPECT_EQ(platform::SystemFolder(), system.path().string() + "\\zk2morvex");
  EXPECT_EQ(LoadCodeTableFolder(test::EnvironmentDrives()), codes.Drive() + "\\");
  system.WriteBytes("zk2morvex/RaroreD5.ini", "x\r\nZ:\\from\\appdata\\\r\n");
  EXPECT_EQ(ReadVuredaSetting(test::EnvironmentDrives()), "Z:\\from\\appdata\\");
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
    system.WriteBytes("RaroreD5.ini", "[VUREDA]\r\n" + c.value + "\r\n");
    EXPECT_EQ(LoadCodeTableFolder(test::EnvironmentDrives()), c.folder.value_or("")) << c.name;
  }
}

struct WhyCase {
  const char* name;
  std::optional<std::string> bytes;  // the settings file, nullopt: none
  std::vector<std::string> said;     // what the second line holds, besides the file's path
};

// The mistakes as written with Linux host paths ("/" separators, "~/"); the Windows forms are
// told by the same code, with the drive form as the host path.
#ifndef _WIN32
// Each mistake in the settings file is told on the line below the message: the settings file,
// what is wrong with it, and the folder that was looked for.
TEST_F(SettingsTest, EachMistakeIsToldOnTheSecondLine) {
  std::string host = codes.path().string();
  std::string drive = codes.Drive();
  const WhyCase cases[] = {
      {"missing file", std::nullopt, {"設定ファイルがありません", "set-codes"}},
      {"empty file", "", {"空でした"}},
      {"one line only", "[VUREDA]\r\n", {"1 行しかありません"}},
      {"setting on line 1 only", host + "/", {"1 行しかありません"}},
      {"line 2 blank", "[VUREDA]\r\n   \r\n", {"2 行目が空です"}},
      {"folder that does not exist",
       "x\r\n" + host + "/nowhere/\r\n",
       {"フォルダ「" + host + "/nowhere」がありません", "(調べたフォルダ: " + host + "/nowhere)"}},
      {"drive-form folder that does not exist",
       "x\r\n" + drive + "\\nowhere\\\r\n",
       {"(調べたフォルダ: " + drive + "\\nowhere)"}},
      {"no final separator",
       "x\r\n" + host + "\r\n",
       {"「" + host + "」が区切り (/) で終わっていません",
        "(調べたフォルダ: " + host.substr(0, host.size() - 1) + ")"}},
      {"no final separator, drive form", "x\r\n" + drive + "\r\n", {"区切り (\\) で終わっていません"}},
      {"UTF-8 BOM",
       "\xEF\xBB\xBFx\r\n" + host + "/\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x89/\r\n",
       {"UTF-8 (BOM 付き)", "Shift-JIS で保存してください"}},
      {"UTF-8 BOM, ASCII folder", "\xEF\xBB\xBFx\r\n" + host + "/\r\n", {"UTF-8 (BOM 付き)"}},
      {"relative path", "x\r\ncodes/\r\n", {"「codes/」は相対パスです"}},
      {"drive-relative path", "x\r\nZ:codes\\\r\n", {"相対パスです"}},
      {"home folder", "x\r\n~/codes/\r\n", {"「~/codes/」の ~ はホームフォルダになりません"}},
      {"unmapped drive", "x\r\nQ:\\codes\\\r\n", {"ドライブ Q: は用意されていません"}},
      {"not Shift-JIS", "x\r\n\xfd\r\n", {"設定ファイルを読めません", "2 行目"}},
  };
  for (const auto& c : cases) {
    fs::remove(Ini());
    if (c.bytes) system.WriteBytes("RaroreD5.ini", *c.bytes);
    std::string folder = "not told";
    Status why = LoadCodeTableSetting(test::EnvironmentDrives(), folder);
    ASSERT_FALSE(why) << c.name;
    EXPECT_EQ(folder, "") << c.name;
    std::string text = NoVuredaText(why);
    std::size_t newline = text.find('\n');
    ASSERT_NE(newline, std::string::npos) << c.name;
    EXPECT_EQ(text.substr(0, newline), kNoVuredaMessage) << c.name;
    std::string second = text.substr(newline + 1);
    EXPECT_EQ(second.find('\n'), std::string::npos) << c.name << ": one line";
    EXPECT_NE(second.find("「" + Ini().string() + "」"), std::string::npos) << c.name << ": " << second;
    for (const std::string& part : c.said) EXPECT_NE(second.find(part), std::string::npos) << c.name << ": " << second;
  }
}

#endif

TEST_F(SettingsTest, UsableSettingGivesTheMessageAlone) {
  // The folder as set-codes writes it: the host path and the host's separator.
  system.WriteBytes("RaroreD5.ini",
                    "x\r\n" + codes.path().string() + static_cast<char>(fs::path::preferred_separator) + "\r\n");
  std::string folder;
  Status ok = LoadCodeTableSetting(test::EnvironmentDrives(), folder);
  EXPECT_TRUE(ok) << ok.Message();
  EXPECT_EQ(folder, codes.Drive() + "\\");
  EXPECT_EQ(NoVuredaText(Status::Ok()), kNoVuredaMessage);
}

struct WriteCase {
  const char* name;
  std::vector<std::string> tables;  // files put into the code-table folder
  bool written;
  const char* said;  // part of the refusal
};

// set-codes: the folder must hold both code tables; the file written is read back as the setting.
TEST_F(SettingsTest, WriteCodeTableSetting) {
  const WriteCase cases[] = {
      {"both tables", {"L9.txt", "Kishitu.txt"}, true, ""},
      {"names in other letter case", {"l9.TXT", "KISHITU.txt"}, true, ""},
      {"no L9.txt", {"Kishitu.txt"}, false, "L9.txt がありません"},
      {"no Kishitu.txt", {"L9.txt"}, false, "Kishitu.txt がありません"},
      {"empty folder", {}, false, "L9.txt"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    for (const std::string& t : c.tables) folder.WriteBytes(t, "1,a\r\n");
    fs::remove(Ini());
    std::string written;
    Status s = WriteCodeTableSetting(test::EnvironmentDrives(), folder.path().string(), written);
    EXPECT_EQ(written, Ini().string()) << c.name;
    EXPECT_EQ(static_cast<bool>(s), c.written) << c.name << ": " << s.Message();
    if (!c.written) {
      EXPECT_NE(s.Message().find(c.said), std::string::npos) << c.name << ": " << s.Message();
      EXPECT_FALSE(fs::exists(Ini())) << c.name;
      continue;
    }
    EXPECT_EQ(test::ReadBytes(Ini()),
              "[VUREDA]\r\n" + folder.path().string() + static_cast<char>(fs::path::preferred_separator) + "\r\n")
        << c.name;
    EXPECT_EQ(LoadCodeTableFolder(test::EnvironmentDrives()), folder.Drive() + "\\") << c.name;
  }
}

// Linux host paths and a Japanese folder name made through narrow paths: the Windows build's
// set-codes is tested through the installed program and the command-line tests.
#ifndef _WIN32

TEST_F(SettingsTest, WriteCodeTableSettingReplacesAndCreates) {
  codes.WriteBytes("L9.txt", "1,a\r\n");
  codes.WriteBytes("Kishitu.txt", "1,a\r\n");
  std::string written;
  // In drive form with its separator, into a system folder not there yet.
  fs::path deeper = system.path() / "new" / "sys";
  setenv("ZK_SYSDIR", deeper.c_str(), 1);
  ASSERT_TRUE(WriteCodeTableSetting(test::EnvironmentDrives(), codes.Drive() + "\\", written));
  EXPECT_EQ(written, (deeper / "RaroreD5.ini").string());
  EXPECT_EQ(test::ReadBytes(written), "[VUREDA]\r\n" + codes.path().string() + "/\r\n");
  // A Shift-JIS folder name is written in Shift-JIS; an old setting is replaced.
  TempFolder parent;
  fs::path named = parent.path() / "コード";
  fs::create_directories(named);
  for (const char* t : {"L9.txt", "Kishitu.txt"}) parent.WriteBytes(std::string("コード/") + t, "1\r\n");
  ASSERT_TRUE(WriteCodeTableSetting(test::EnvironmentDrives(), named.string(), written));
  EXPECT_EQ(test::ReadBytes(written), "[VUREDA]\r\n" + parent.path().string() + "/\x83\x52\x81\x5b\x83\x68/\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(deeper), fs::directory_iterator()), 1) << "no temporary file left";
  // A folder name that Shift-JIS cannot hold is refused, and the setting before stays.
  fs::path emoji = parent.path() / "\xF0\x9F\x98\x80";
  for (const char* t : {"L9.txt", "Kishitu.txt"}) parent.WriteBytes(std::string("\xF0\x9F\x98\x80/") + t, "1\r\n");
  Status unwritable = WriteCodeTableSetting(test::EnvironmentDrives(), emoji.string(), written);
  EXPECT_FALSE(unwritable);
  EXPECT_NE(unwritable.Message().find("Shift-JIS で書けない"), std::string::npos) << unwritable.Message();
  EXPECT_EQ(test::ReadBytes(written), "[VUREDA]\r\n" + parent.path().string() + "/\x83\x52\x81\x5b\x83\x68/\r\n");
  // A folder that is not there.
  Status missing = WriteCodeTableSetting(test::EnvironmentDrives(), (parent.path() / "nowhere").string(), written);
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.Message().find("フォルダがありません"), std::string::npos);
}

#endif

TEST_F(SettingsTest, BothFormsReachTheCodeTables) {
  codes.WriteBytes("L9.txt", "1,a\r\n");
#ifdef _WIN32
  for (const std::string& value : {codes.Drive() + "\\", codes.Drive() + "/"}) {
#else
  for (const std::string& value : {codes.Drive() + "\\", codes.path().string() + "/"}) {
#endif
    system.WriteBytes("RaroreD5.ini", "x\r\n" + value + "\r\n");
    std::string folder = LoadCodeTableFolder(test::EnvironmentDrives());
    ASSERT_FALSE(folder.empty()) << value;
    auto host = test::EnvironmentDrives().ToHost(folder + "L9.txt");
    ASSERT_TRUE(host) << value;
    EXPECT_TRUE(fs::equivalent(*host, codes.path() / "L9.txt")) << value;
  }
}

}  // namespace
}  // namespace zk
