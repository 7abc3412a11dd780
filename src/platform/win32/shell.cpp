#include "platform/shell.h"

#include <shellapi.h>
#include <windows.h>

#include "platform/files.h"

namespace zk::platform {

bool OpenDocument(const std::string& hostPath) {
  std::wstring path = HostPath(hostPath).native();
  auto result =
      reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;  // 32 and below are the shell's error codes
}

}  // namespace zk::platform
