// UTF-8 inside, UTF-16 at the Win32 calls: the window's one place where text changes form.
#pragma once

#include <windows.h>

#include <string>

namespace zk::win32window {

// The text a window or control holds.
std::wstring WindowText(HWND window);

// Text that is not valid UTF-8 (or UTF-16) is replaced character by character, never dropped.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

}  // namespace zk::win32window
