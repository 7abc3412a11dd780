#include "conversion/code_table_setting.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/files.h"
#include "support/fake_window.h"
#include "support/run_program.h"
#include "support/settings.h"
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// A window starting without a usable setting: it tells why, offers to choose the folder, and
// a folder holding both code tables is written as the setting and used.
TEST(CodeTableSetting, LoadedOrChosenAtStart) {
  struct Case {
    const char* name;
    bool usableAtStart;
    std::vector<bool> answers;  // to "choose now?", in order
    std::vector<int> choices;   // 0: cancel, 1: a folder without the tables, 2: the code tables
    bool started;
    std::size_t questions;
    std::vector<const char*> shown;  // part of each message, in order
  };
  const Case cases[] = {
      {"setting usable", true, {}, {}, true, 0, {}},
      {"declined", false, {false}, {}, false, 1, {"RaroreD5.ini"}},
      {"cancelled in the chooser", false, {true}, {0}, false, 1, {"RaroreD5.ini"}},
      {"a folder without the tables, then declined",
       false,
       {true, false},
       {1},
       false,
       2,
       {"RaroreD5.ini", "L9.txt がありません"}},
      {"a folder without the tables, then the code tables",
       false,
       {true, true},
       {1, 2},
       true,
       2,
       {"RaroreD5.ini", "L9.txt がありません"}},
  };
  std::optional<std::string> before = platform::Environment("ZK_SYSDIR");
  for (const Case& c : cases) {
    TempFolder system, codes, empty;
    test::SetEnvironment("ZK_SYSDIR", system.path().string());
    codes.WriteBytes("L9.txt", "1,a\r\n");
    codes.WriteBytes("Kishitu.txt", "1,a\r\n");
    if (c.usableAtStart) system.WriteBytes("RaroreD5.ini", "x\r\n" + codes.Drive() + "\\\r\n");
    test::FakeWindow window;
    window.answers.assign(c.answers.begin(), c.answers.end());
    std::size_t chosen = 0;
    auto choose = [&]() -> std::string {
      int pick = chosen < c.choices.size() ? c.choices[chosen++] : 0;
      return pick == 0 ? "" : pick == 1 ? empty.path().string() : codes.path().string();
    };
    std::string folder;
    EXPECT_EQ(LoadOrChooseCodeTableFolder(test::EnvironmentDrives(), window, choose, folder), c.started) << c.name;
    EXPECT_EQ(window.questions.size(), c.questions) << c.name;
    ASSERT_EQ(window.messages.size(), c.shown.size()) << c.name;
    for (std::size_t i = 0; i < c.shown.size(); ++i)
      EXPECT_NE(window.messages[i].text.find(c.shown[i]), std::string::npos)
          << c.name << ": " << window.messages[i].text;
    if (c.started) {
      EXPECT_EQ(folder, codes.Drive() + "\\") << c.name;
      EXPECT_EQ(LoadCodeTableFolder(test::EnvironmentDrives()), folder)
          << c.name << ": the setting is there for the next start";
    } else {
      EXPECT_EQ(folder, "") << c.name;
      EXPECT_FALSE(fs::exists(system.path() / "RaroreD5.ini")) << c.name << ": nothing written";
    }
  }
  if (before)
    test::SetEnvironment("ZK_SYSDIR", *before);
  else
    test::UnsetEnvironment("ZK_SYSDIR");
}

}  // namespace
}  // namespace zk
