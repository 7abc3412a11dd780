#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/win32/wide.h"

// The arguments come as UTF-16 and are handed on as UTF-8, as every text inside is. Output is
// UTF-8 bytes, the same as on Linux: a console is switched to the UTF-8 code page so that it
// shows them, and a file or pipe receives them as they are (LF line ends, no translation).
// Input stays in text mode, so that an answer typed with CR LF reads as on Linux.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(zk::platform::win32::Narrow(argv[i]));
  DWORD mode = 0;
  bool outIsConsole = ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0 ||
                      ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
  bool inIsConsole = ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
  if (outIsConsole) ::SetConsoleOutputCP(CP_UTF8);
  if (inIsConsole) ::SetConsoleCP(CP_UTF8);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  return zk::cli::Main(args, std::cin, inIsConsole, std::cout, std::cerr);
}
#else
#include <unistd.h>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zk::cli::Main(args, std::cin, ::isatty(STDIN_FILENO) != 0, std::cout, std::cerr);
}
#endif
