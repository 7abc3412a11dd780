#include "support/run_program.h"

#include <optional>

#include "platform/files.h"
#include "support/test_util.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace fs = std::filesystem;

namespace zk::test {

#ifdef _WIN32
namespace {

using platform::win32::Wide;

// One argument as the C runtime's parser reads it back: quoted, backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"')
      out.append(backslashes * 2 + 1, L'\\');
    else
      out.append(backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

HANDLE Inheritable(const fs::path& file, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return ::CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Program::Program(const std::string& program, const std::vector<std::string>& args, const Environment& env,
                 const fs::path& outFile, const fs::path& errFile) {
  std::wstring command = Quoted(Wide(program));
  for (const std::string& a : args) command += L" " + Quoted(Wide(a));
  // The child takes the test's environment as it is at the start; the extra variables are set
  // around the start and put back.
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  for (const auto& [name, value] : env) {
    saved.emplace_back(name, platform::Environment(name.c_str()));
    SetEnvironment(name, value);
  }
  HANDLE out = Inheritable(outFile, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = Inheritable(errFile, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE in = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  // No console of its own: a console host started for a program that is then killed outlives
  // it (under Wine) and keeps the test's output open.
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi)) {
    ::CloseHandle(pi.hThread);
    id_ = reinterpret_cast<long long>(pi.hProcess);
  }
  for (HANDLE h : {out, err, in})
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  for (const auto& [name, value] : saved) {
    if (value)
      SetEnvironment(name, *value);
    else
      UnsetEnvironment(name);
  }
}

Program::~Program() {
  if (started() && !done_) Kill();
}

bool Program::started() const { return id_ != -1; }

int Program::Wait() {
  if (!started() || done_) return code_;
  HANDLE h = reinterpret_cast<HANDLE>(id_);
  ::WaitForSingleObject(h, INFINITE);
  DWORD code = 0;
  if (::GetExitCodeProcess(h, &code)) code_ = static_cast<int>(code);
  ::CloseHandle(h);
  done_ = true;
  return code_;
}

void Program::Kill() {
  if (!started() || done_) return;
  constexpr UINT kKilled = 0xDEAD;
  ::TerminateProcess(reinterpret_cast<HANDLE>(id_), kKilled);
  Wait();
  code_ = -1;
}

void SetEnvironment(const std::string& name, const std::string& value) {
  ::SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str());
  ::_wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}

void UnsetEnvironment(const std::string& name) {
  ::SetEnvironmentVariableW(Wide(name).c_str(), nullptr);
  ::_wputenv_s(Wide(name).c_str(), L"");
}

#else

Program::Program(const std::string& program, const std::vector<std::string>& args, const Environment& env,
                 const fs::path& outFile, const fs::path& errFile) {
  pid_t child = ::fork();
  if (child == 0) {
    for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    std::string path = program;
    argv.push_back(path.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  }
  id_ = child;
}

Program::~Program() {
  if (started() && !done_) Kill();
}

bool Program::started() const { return id_ > 0; }

int Program::Wait() {
  if (!started() || done_) return code_;
  int status = 0;
  ::waitpid(static_cast<pid_t>(id_), &status, 0);
  code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  done_ = true;
  return code_;
}

void Program::Kill() {
  if (!started() || done_) return;
  ::kill(static_cast<pid_t>(id_), SIGKILL);
  Wait();
}

void SetEnvironment(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }
void UnsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

#endif

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, const Environment& env,
                         const fs::path& folder) {
  fs::path outFile = folder / "stdout.txt", errFile = folder / "stderr.txt";
  Program p(program, args, env, outFile, errFile);
  ProgramResult r;
  r.code = p.Wait();
  r.out = ReadBytes(outFile);
  r.err = ReadBytes(errFile);
  return r;
}

}  // namespace zk::test
