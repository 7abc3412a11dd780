// The program itself, as an engineer runs it, converts every boring of the fixtures to the
// exchange file kept for it, byte for byte: on Linux and on Windows alike (the Windows build
// runs this under Wine), so that both builds are known to write the same bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/test_util.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* name;
  fs::path boring, codes, expected;
};

TEST(CliGolden, EveryBoringConvertsToItsExchangeFile) {
  const GoldenCase cases[] = {
      {"sample", fs::path(ZK_SAMPLE) / "B001", fs::path(ZK_SAMPLE) / "codes",
       fs::path(ZK_FIXTURES) / "sample-expected" / "53393681.001"},
      {"hostile fixture", fs::path(ZK_FIXTURES) / "hostile" / "boring", fs::path(ZK_FIXTURES) / "hostile" / "codes",
       fs::path(ZK_FIXTURES) / "hostile" / "expected" / "53393681.001"},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder dir;
    test::CopyFolder(c.boring, dir.path() / "boring");
    fs::remove(dir.path() / "boring" / "BORLING.NO");
    fs::create_directories(dir.path() / "out");
    fs::create_directories(dir.path() / "sys");
    dir.WriteBytes("sys/RaroreD5.ini", "[VUREDA]\r\n" + *test::EnvironmentDrives().ToDriveForm(c.codes) + "\\\r\n");
    test::ProgramResult run =
        test::RunProgram(ZK_CLI, {"--yes", "--dest", (dir.path() / "out").string(), (dir.path() / "boring").string()},
                         {{"ZK_SYSDIR", (dir.path() / "sys").string()}}, dir.path());
    ASSERT_EQ(run.code, 0) << run.err;
    std::string expected = test::ReadBytes(c.expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(test::ReadBytes(dir.path() / "out" / "53393681.001"), expected);
    EXPECT_EQ(test::ReadBytes(dir.path() / "boring" / "BORLING.NO"),
              *test::EnvironmentDrives().ToDriveForm(dir.path() / "out") + "\\53393681.001\r\n");
  }
}

// Folder names in Japanese, through the command line's arguments (UTF-16 on Windows) to the
// file calls, and into "BORLING.NO" as Shift-JIS.
TEST(CliGolden, JapaneseFolderNamesOnTheCommandLine) {
  test::TempFolder dir;
  fs::path boring = dir.path() / fs::path(u8"ボーリング①");
  fs::path out = dir.path() / fs::path(u8"交換ファイル");
  test::CopyFolder(fs::path(ZK_SAMPLE) / "B001", boring);
  fs::remove(boring / "BORLING.NO");
  fs::create_directories(out);
  fs::create_directories(dir.path() / "sys");
  dir.WriteBytes("sys/RaroreD5.ini",
                 "[VUREDA]\r\n" + *test::EnvironmentDrives().ToDriveForm(ZK_SAMPLE "/codes") + "\\\r\n");
  test::ProgramResult run =
      test::RunProgram(ZK_CLI, {"--yes", "--dest", platform::HostText(out), platform::HostText(boring)},
                       {{"ZK_SYSDIR", (dir.path() / "sys").string()}}, dir.path());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, platform::HostText(out / "53393681.001") + "\n");
  EXPECT_EQ(test::ReadBytes(out / "53393681.001"), test::ReadBytes(ZK_FIXTURES "/sample-expected/53393681.001"));
  EXPECT_EQ(test::ReadBytes(boring / "BORLING.NO"),
            platform::ToCp932(*test::EnvironmentDrives().ToDriveForm(out) + "\\53393681.001\r\n").value_or("?"));
}

}  // namespace
}  // namespace zk
