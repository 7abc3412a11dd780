// CP932 through the Windows code page 932.
#include "platform/codepage_system.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide.h"

namespace zk::platform {
namespace {

constexpr UINT kCodePage = 932;

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// One character's bytes read by the code page, as UTF-8; none when they are no character.
Utf8Char Ask(const char* bytes, int n) {
  Utf8Char c;
  wchar_t wide[4];
  int got = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, n, wide, 4);
  if (got <= 0) return c;
  std::string utf8 = win32::Narrow(std::wstring_view(wide, static_cast<std::size_t>(got)));
  // One character only: a pair read as two characters is no pair of the code page.
  if (got != 1 || utf8.empty() || utf8.size() > sizeof c.bytes) return c;
  c.length = static_cast<std::uint8_t>(utf8.size());
  for (std::size_t k = 0; k < utf8.size(); ++k) c.bytes[k] = utf8[k];
  return c;
}

}  // namespace

void AskSystemDecoder(SingleTable& single, PairTable& pairs) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    char one[1] = {static_cast<char>(b)};
    if (!IsLead(b)) single[static_cast<std::size_t>(b - 0x80)] = Ask(one, 1);
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      pairs[PairIndex(lead, trail)] = Ask(two, 2);
    }
  }
}

std::optional<std::string> SystemEncode(std::string_view utf8) {
  std::wstring wide = win32::Wide(utf8);
  if (wide.empty()) return std::string();
  // No best fit: a character without its own place is refused, never written as a look-alike.
  BOOL usedDefault = FALSE;
  int n = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

}  // namespace zk::platform
