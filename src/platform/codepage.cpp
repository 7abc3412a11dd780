#include "platform/codepage.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/codepage_system.h"

namespace zk::platform {
namespace {

bool IsAscii(std::string_view text) { return FirstNonAscii(text) == text.size(); }

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Where the two converters (glibc's and Windows') differ, both builds read and write as decided
// here, so that a table reads alike and an exchange file comes out byte for byte the same.
//
// Single bytes 0x80, 0xA0 and 0xFD to 0xFF are no characters of Shift-JIS: glibc refuses them,
// Windows reads them as U+0080 and private-use characters. Both builds refuse them, so a table
// holding them is reported as not Shift-JIS text, and those characters are never written.
bool IsRefusedByte(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }
bool IsRefusedCodePoint(char32_t c) { return c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3); }

// Characters that have no place of their own in CP932 but stand for one that has: glibc writes
// them as that character, Windows refuses them. Both builds write them as glibc does, so that
// a wave dash or a minus typed on another system (a folder name, a setting) is written alike.
char32_t CanonicalCodePoint(char32_t c) {
  switch (c) {
    case 0x00A2:
      return 0xFFE0;  // cent sign -> full-width cent
    case 0x00A3:
      return 0xFFE1;  // pound sign -> full-width pound
    case 0x00A5:
      return 0x005C;  // yen sign -> 0x5C, which CP932 reads as "\"
    case 0x00AC:
      return 0xFFE2;  // not sign -> full-width not
    case 0x2014:
      return 0x2015;  // em dash -> horizontal bar (0x815C)
    case 0x2016:
      return 0x2225;  // double vertical line -> parallel to (0x8161)
    case 0x203E:
      return 0x007E;  // overline -> 0x7E
    case 0x2212:
      return 0xFF0D;  // minus sign -> full-width hyphen-minus (0x817C)
    case 0x301C:
      return 0xFF5E;  // wave dash -> full-width tilde (0x8160)
    default:
      return c;
  }
}

// The next code point of UTF-8 text at i (advancing i); nullopt for bytes that are no UTF-8.
std::optional<char32_t> NextCodePoint(std::string_view s, std::size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return std::nullopt;
  char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (t & 0x3F);
  }
  i += n;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The text with the pinned characters in their decided form; nullopt when it holds one that
// is refused (or bytes that are no UTF-8).
std::optional<std::string> Pinned(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    auto c = NextCodePoint(utf8, i);
    if (!c || IsRefusedCodePoint(*c)) return std::nullopt;
    AppendUtf8(out, CanonicalCodePoint(*c));
  }
  return out;
}

// Every CP932 character, as the system's converter reads it, asked once at start: a table
// look-up then decodes a table's bytes without a converter call per field.
class DecodeTable {
 public:
  DecodeTable() {
    AskSystemDecoder(single_, pair_);
    for (int b = 0x80; b <= 0xFF; ++b)
      if (IsRefusedByte(static_cast<unsigned char>(b))) single_[static_cast<std::size_t>(b - 0x80)] = Utf8Char{};
  }

  // The character starting at text[i] (not ASCII): its UTF-8 form and how many bytes it took;
  // length 0 when the bytes there are no character.
  const Utf8Char& At(std::string_view text, std::size_t i, std::size_t& taken) const {
    auto b = static_cast<unsigned char>(text[i]);
    if (!IsLead(b)) {
      taken = 1;
      return single_[b - 0x80];
    }
    taken = 2;
    if (i + 1 >= text.size()) return none_;
    return pair_[PairIndex(b, static_cast<unsigned char>(text[i + 1]))];
  }

 private:
  SingleTable single_{};
  PairTable pair_{};
  Utf8Char none_{};
};

const DecodeTable& Table() {
  static const DecodeTable table;
  return table;
}

// Decodes into out (when given); the offset of the first byte that is no character, or npos.
// No CP932 byte takes more than three bytes in UTF-8, so out is sized once and written through.
std::size_t Decode(std::string_view cp932, std::string* out) {
  const DecodeTable& table = Table();
  std::string scratch;
  std::string& text = out ? *out : scratch;
  std::size_t start = text.size();
  if (out) text.resize(start + cp932.size() * 3);
  char* to = text.data() + start;
  std::size_t i = 0;
  std::size_t bad = std::string_view::npos;
  while (i < cp932.size()) {
    if (static_cast<unsigned char>(cp932[i]) < 0x80) {  // a run of ASCII, as it stands
      std::size_t other = FirstNonAscii(cp932, i);
      if (out) {
        std::memcpy(to, cp932.data() + i, other - i);
        to += other - i;
      }
      i = other;
      continue;
    }
    std::size_t taken = 0;
    const Utf8Char& c = table.At(cp932, i, taken);
    if (c.length == 0) {
      bad = i;
      break;
    }
    if (out) {
      std::memcpy(to, c.bytes, sizeof c.bytes);
      to += c.length;
    }
    i += taken;
  }
  if (out) text.resize(static_cast<std::size_t>(to - text.data()));
  return bad;
}

}  // namespace

// Eight bytes at a time: most of a table is ASCII.
std::size_t FirstNonAscii(std::string_view text, std::size_t from) {
  std::size_t i = from;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

// ASCII is the same bytes in CP932: most of an exchange file (keys, numbers, quotes, commas)
// is copied, and only the runs of other characters go through the converter. A UTF-8
// character is all bytes above 0x7F, so no run cuts one.
std::optional<std::string> ToCp932(std::string_view utf8) { return Cp932Encoder().Encode(utf8); }

std::optional<std::string> Cp932Encoder::Encode(std::string_view utf8) {
  constexpr std::size_t kMostRuns = 4096;  // the names of a batch, and memory that stays small
  std::string out;
  out.reserve(utf8.size());
  std::string run;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t other = FirstNonAscii(utf8, i);
    out.append(utf8, i, other - i);
    if (other == utf8.size()) break;
    i = other;
    while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) ++i;
    run.assign(utf8.substr(other, i - other));
    if (auto known = runs_.find(run); known != runs_.end()) {
      out += known->second;
      continue;
    }
    auto pinned = Pinned(run);
    if (!pinned) return std::nullopt;
    auto bytes = SystemEncode(*pinned);
    if (!bytes) return std::nullopt;
    out += *bytes;
    if (runs_.size() >= kMostRuns) runs_.clear();
    runs_.emplace(std::move(run), std::move(*bytes));
  }
  return out;
}

std::optional<std::string> FromCp932(std::string_view cp932) {
  std::string out;
  if (!FromCp932(cp932, out)) return std::nullopt;
  return out;
}

bool FromCp932(std::string_view cp932, std::string& out) {
  out.clear();
  if (IsAscii(cp932)) {
    out.assign(cp932);
    return true;
  }
  return Decode(cp932, &out) == std::string_view::npos;
}

std::optional<std::size_t> FirstInvalidCp932(std::string_view cp932) {
  std::size_t bad = Decode(cp932, nullptr);
  if (bad == std::string_view::npos) return std::nullopt;
  return bad;
}

Cp932Validator::Cp932Validator() = default;
Cp932Validator::~Cp932Validator() = default;

bool Cp932Validator::Feed(std::string_view chunk) {
  std::string joined;
  std::size_t base = consumed_;
  if (!carry_.empty()) {  // a lead byte that ended the last chunk
    joined = carry_ + std::string(chunk);
    chunk = joined;
    base -= carry_.size();
    carry_.clear();
  }
  const DecodeTable& table = Table();
  std::size_t i = 0;
  while ((i = FirstNonAscii(chunk, i)) < chunk.size()) {
    if (IsLead(static_cast<unsigned char>(chunk[i])) && i + 1 == chunk.size()) {
      carry_.assign(chunk.substr(i));  // its trail byte comes with the next chunk
      break;
    }
    std::size_t taken = 0;
    if (table.At(chunk, i, taken).length == 0) {
      bad_ = base + i;
      return false;
    }
    i += taken;
  }
  consumed_ = base + chunk.size();
  return true;
}

bool Cp932Validator::Finish() {
  if (carry_.empty()) return true;
  bad_ = consumed_ - carry_.size();
  return false;
}

}  // namespace zk::platform
