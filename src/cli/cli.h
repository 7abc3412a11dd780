// zk2morvex-cli: conversions without a window, one run per source folder.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zk::cli {

enum ExitCode : int {
  kSuccess = 0,   // every run converted
  kStopped = 1,   // a run stopped (or the code-table setting is missing)
  kUsage = 2,     // the command line is wrong
};

// How questions are answered.
enum class Answer { Ask, Yes, No };

struct Options {
  Answer answer = Answer::Ask;
  std::string destination;
  std::vector<std::string> sources;
  bool help = false;
};

// Parses the arguments (without the program name); false with a reason on a usage error.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// The whole program: parses, loads the setting, converts. Messages go to err, written
// exchange files' host paths to out. inIsTerminal says whether questions may be asked on in.
int Main(const std::vector<std::string>& args, std::istream& in, bool inIsTerminal, std::ostream& out, std::ostream& err);

}  // namespace zk::cli
