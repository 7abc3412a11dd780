#include "platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zk::platform {

bool OpenDocument(const std::string& hostPath) {
  // Started from a child that ends at once, so that the opener is nobody's child to wait for.
  int ready[2];
  if (::pipe(ready) != 0) return false;
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::close(ready[0]);
    ::setsid();
    std::string path = hostPath;
    char program[] = "xdg-open";
    char* argv[] = {program, path.data(), nullptr};
    pid_t opener = 0;
    char started = ::posix_spawnp(&opener, program, nullptr, nullptr, argv, environ) == 0 ? 1 : 0;
    ssize_t ignored = ::write(ready[1], &started, 1);
    (void)ignored;
    ::_exit(0);
  }
  ::close(ready[1]);
  char started = 0;
  ssize_t n = ::read(ready[0], &started, 1);
  ::close(ready[0]);
  ::waitpid(child, nullptr, 0);
  return n == 1 && started == 1;
}

}  // namespace zk::platform
