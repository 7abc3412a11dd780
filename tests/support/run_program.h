// Runs a program of the build (the command line) as its own process, on Linux and on Windows:
// arguments passed as they are (no shell), standard input empty, standard output and error into
// files, extra environment variables for the child only.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zk::test {

using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProgramResult {
  int code = -1;  // the exit code; -1 when it did not end by itself
  std::string out, err;
};

// A started program; waited for (or killed) by its owner.
class Program {
 public:
  // Starts program with args; its output goes to outFile and errFile.
  Program(const std::string& program, const std::vector<std::string>& args, const Environment& env,
          const std::filesystem::path& outFile, const std::filesystem::path& errFile);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const;
  // Waits for the end; the exit code, or -1 when killed.
  int Wait();
  // Ends it at once, as a power cut or a killed process would, and waits for it.
  void Kill();

 private:
  long long id_ = -1;  // the process id (Linux) or handle (Windows)
  bool done_ = false;
  int code_ = -1;
};

// Runs the program to its end, output read back from files in folder.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, const Environment& env,
                         const std::filesystem::path& folder);

// Sets or removes an environment variable of the test process itself.
void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

}  // namespace zk::test
