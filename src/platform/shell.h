// Showing a document (the help file) with the program the desktop has for it.
#pragma once

#include <string>

namespace zk::platform {

// Opens the host file with the desktop's program for it and returns at once, without waiting
// for that program: xdg-open on Linux, the shell's "open" on Windows. false when nothing could
// be started for it.
bool OpenDocument(const std::string& hostPath);

}  // namespace zk::platform
