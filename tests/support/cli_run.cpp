#include "support/cli_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>

#include "cli/cli.h"
#include "support/test_util.h"

namespace zk::test {

CliOutcome RunMain(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out, err;
  int code = cli::Main(args, in, false, out, err);
  return {code, out.str(), err.str()};
}

CliOutcome RunProgram(const std::string& args, const std::filesystem::path& sysdir) {
  std::filesystem::path errFile = sysdir / "stderr.txt";
  std::string command =
      "ZK_SYSDIR='" + sysdir.string() + "' '" ZK_CLI "' " + args + " </dev/null 2>'" + errFile.string() + "'";
  CliOutcome r{};
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  int raw = pclose(pipe);
  r.code = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = ReadBytes(errFile);
  return r;
}

}  // namespace zk::test
