// zk2morvex-cli: conversions without a window, one run per source folder.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zk::cli {

enum ExitCode : int {
  kSuccess = 0,   // every run converted (every picture written)
  kStopped = 1,   // a run stopped, the code-table setting is missing, or a file was refused
  kUsage = 2,     // the command line is wrong
};

// How questions are answered.
enum class Answer { Ask, Yes, No };

struct Options {
  Answer answer = Answer::Ask;
  std::string destination;
  std::vector<std::string> sources;  // boring folders; with --picture, exchange files
  std::string pictureFolder;         // --picture: where the boring log pictures go
  bool picture = false;
  bool check = false;                // --check: report on the borings, convert nothing
  bool json = false;                 // --format json (with --check)
  bool help = false;
};

// Parses the arguments (without the program name); false with a reason on a usage error.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// The whole program: parses, loads the setting, converts (or, with --check, reports on the
// borings; with --picture, draws the exchange files). Messages go to err, written files' host paths to out. inIsTerminal says whether questions may be asked on in.
int Main(const std::vector<std::string>& args, std::istream& in, bool inIsTerminal, std::ostream& out, std::ostream& err);

}  // namespace zk::cli
