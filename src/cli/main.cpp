#include <unistd.h>

#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zk::cli::Main(args, std::cin, ::isatty(STDIN_FILENO) != 0, std::cout, std::cerr);
}
