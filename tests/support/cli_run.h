// Running the command line in a test: in this process through Main, or as the real program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zk::test {

struct CliOutcome {
  int code;
  std::string out, err;
};

// Main with these arguments; standard input empty and not a terminal.
CliOutcome RunMain(const std::vector<std::string>& args);

// The real program (a shell command line of arguments) with a settings folder of its own;
// standard input is not a terminal.
CliOutcome RunProgram(const std::string& args, const std::filesystem::path& sysdir);

}  // namespace zk::test
