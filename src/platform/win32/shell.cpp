#include "platform/shell.h"

// windows.h first: shellapi.h builds on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/files.h"

namespace zk::platform {

bool OpenDocument(const std::string& hostPath) {
  std::wstring path = HostPath(hostPath).native();
  auto result =
      reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;  // 32 and below are the shell's error codes
}

}  // namespace zk::platform
