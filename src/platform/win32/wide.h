// The one place where UTF-8 text and the UTF-16 of the Win32 calls meet. Every path made from
// text goes through here: a narrow string handed to std::filesystem::path would be read in
// the ANSI code page and lose every character outside it.
#pragma once

#include <string>
#include <string_view>

namespace zk::platform::win32 {

// UTF-8 to UTF-16; bytes that are no UTF-8 become U+FFFD.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);

// A Win32 error code as the nearest errno value, so that callers tell the reason as on Linux.
int ErrnoOf(unsigned long win32Error);

}  // namespace zk::platform::win32
