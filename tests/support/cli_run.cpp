#include "support/cli_run.h"

#include <sstream>

#include "cli/cli.h"
#include "support/run_program.h"

namespace zk::test {

CliOutcome RunMain(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out, err;
  int code = cli::Main(args, in, false, out, err);
  return {code, out.str(), err.str()};
}

CliOutcome RunCli(const std::vector<std::string>& args, const std::filesystem::path& sysdir) {
  ProgramResult r = RunProgram(ZK_CLI, args, {{"ZK_SYSDIR", sysdir.string()}}, sysdir);
  return {r.code, r.out, r.err};
}

std::vector<std::string> ShellWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : line) {
    if (c == '\'') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

}  // namespace zk::test
