// The system's own CP932 converter (glibc's iconv on Linux, the Windows code page 932), which
// codepage.cpp asks and then pins where the two differ.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zk::platform {

// The UTF-8 form of one CP932 character; length 0 where the bytes are no character.
struct Utf8Char {
  std::uint8_t length = 0;
  char bytes[3] = {};
};

// Single bytes 0x80 to 0xFF, and pairs of a lead byte (0x80 to 0xFF) with any second byte.
using SingleTable = std::array<Utf8Char, 128>;
using PairTable = std::array<Utf8Char, 128 * 256>;
inline std::size_t PairIndex(int lead, int trail) { return static_cast<std::size_t>((lead - 0x80) * 256 + trail); }

inline constexpr int kFirstTrail = 0x40;
inline constexpr int kLastTrail = 0xFC;

// Fills the tables with what the system's converter reads for every single byte that is not a
// lead byte and every pair of a lead byte with a second byte from 0x40 to 0xFC. A character
// longer than three UTF-8 bytes is left as none.
void AskSystemDecoder(SingleTable& single, PairTable& pairs);

// UTF-8 text to CP932 through the system's converter; nullopt when a character has no form.
std::optional<std::string> SystemEncode(std::string_view utf8);

}  // namespace zk::platform
