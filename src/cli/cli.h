// zk2morvex-cli: conversions without a window, one run per source folder; checks, pictures and
// maps of borings, and the code-table setting.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zk::cli {

enum ExitCode : int {
  kSuccess = 0,   // every run converted (every picture, the map, the setting written)
  kStopped = 1,   // a run stopped, the code-table setting is missing, or a file was refused
  kUsage = 2,     // the command line is wrong
};

// How questions are answered.
enum class Answer { Ask, Yes, No };

// What the command line asks for: a subcommand, or the older forms that name it by a flag
// (--dest alone: convert, --check: check, --picture: picture).
enum class Command { Convert, Check, Picture, Map, SetCodes, Help, Version };

struct Options {
  Command command = Command::Convert;
  Answer answer = Answer::Ask;
  std::string destination;
  std::vector<std::string> sources;  // boring folders; for picture and map, exchange files
  std::string pictureFolder;         // picture: where the boring log pictures go
  std::string mapFile;               // map: the GeoJSON file written
  std::string codesFolder;           // set-codes: the folder of the code tables
  bool picture = false;              // command is Picture
  bool check = false;                // command is Check: report on the borings, convert nothing
  bool json = false;                 // check --format json
  bool help = false;                 // command is Help
  std::string helpText;              // Help: the text to show (the whole program's or a subcommand's)
};

// Parses the arguments (without the program name); false with a reason on a usage error.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// The whole program: parses, then converts, checks, draws, maps or writes the setting. Messages
// go to err, written files' host paths to out. inIsTerminal says whether questions may be asked
// on in.
int Main(const std::vector<std::string>& args, std::istream& in, bool inIsTerminal, std::ostream& out, std::ostream& err);

}  // namespace zk::cli
