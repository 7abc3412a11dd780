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

// The real program with a settings folder of its own; standard input empty and not a terminal.
CliOutcome RunCli(const std::vector<std::string>& args, const std::filesystem::path& sysdir);

// The words of a command line as a shell splits them: at blanks, text in single quotes kept
// whole (a path with blanks), pieces next to each other joined.
std::vector<std::string> ShellWords(const std::string& line);

}  // namespace zk::test
