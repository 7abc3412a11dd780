// The bundled sample boring converts to the exchange file derived by hand from its tables,
// byte for byte (CP932, CR LF), and that file reads back record for record.
#include <gtest/gtest.h>

#include "conversion/run.h"
#include "support/exchange_readback.h"
#include "support/fake_window.h"
#include "support/test_util.h"

namespace zk {
namespace {

TEST(Golden, SampleBoringGivesTheExpectedExchangeFile) {
  test::TempFolder dir;
  test::CopyFolder(ZK_SAMPLE "/B001", dir.path() / "B001");
  std::filesystem::remove(dir.path() / "B001" / "BORLING.NO");
  std::filesystem::create_directories(dir.path() / "out");
  test::FakeWindow ui;
  ui.context.codeTableFolder = *test::EnvironmentDrives().ToDriveForm(ZK_SAMPLE "/codes") + "\\";
  ui.source = dir.Drive("B001");
  ui.destination = dir.Drive("out");
  RunResult result = RunConversion(ui, ui.context);
  ASSERT_TRUE(result.converted) << (ui.messages.empty() ? "" : ui.messages[0].text);

  std::string expected = test::ReadBytes(ZK_FIXTURES "/sample-expected/53393681.001");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(test::ReadBytes(dir.path() / "out" / "53393681.001"), expected);
  EXPECT_EQ(test::ExpectReadsBack(result.exchangeFilePath).size(), 43u);
}

}  // namespace
}  // namespace zk
