#include "platform/codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace zk::platform {
namespace {

// glibc's "CP932" is Microsoft's table; its "SJIS" would read 0x5C as the yen sign.
constexpr const char* kCodePage = "CP932";

iconv_t Encoder() {
  static iconv_t cd = iconv_open(kCodePage, "UTF-8");
  return cd;
}

bool IsAscii(std::string_view text) { return FirstNonAscii(text) == text.size(); }

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Converts all of in; nullopt on any character that does not convert.
std::optional<std::string> Run(iconv_t cd, std::string_view in) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    return std::nullopt;
  }
  out.resize(used);
  return out;
}

// The UTF-8 form of one CP932 character; length 0 where the bytes are no character.
struct Utf8Char {
  std::uint8_t length = 0;
  char bytes[3] = {};
};

// Every CP932 character, as glibc's converter reads it, asked once: a table look-up then
// decodes a table's bytes without a converter call per field.
class DecodeTable {
 public:
  DecodeTable() {
    iconv_t cd = iconv_open("UTF-8", kCodePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (int b = 0x80; b <= 0xFF; ++b) {
      char one[1] = {static_cast<char>(b)};
      if (!IsLead(static_cast<unsigned char>(b))) single_[static_cast<std::size_t>(b - 0x80)] = Ask(cd, one, 1);
    }
    for (int lead = 0x80; lead <= 0xFF; ++lead)
      if (IsLead(static_cast<unsigned char>(lead)) && !AskRow(cd, lead))
        for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
          char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
          pair_[Index(lead, trail)] = Ask(cd, two, 2);
        }
    iconv_close(cd);
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
    return pair_[Index(b, static_cast<unsigned char>(text[i + 1]))];
  }

 private:
  static Utf8Char Ask(iconv_t cd, char* in, std::size_t n) {
    Utf8Char c;
    char out[8];
    char* src = in;
    char* dst = out;
    std::size_t srcLeft = n, dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0) return c;
    std::size_t length = sizeof out - dstLeft;
    if (length == 0 || length > sizeof c.bytes) return c;
    c.length = static_cast<std::uint8_t>(length);
    for (std::size_t k = 0; k < length; ++k) c.bytes[k] = out[k];
    return c;
  }

  static constexpr int kFirstTrail = 0x40;
  static constexpr int kLastTrail = 0xFC;
  static std::size_t Index(int lead, int trail) { return static_cast<std::size_t>((lead - 0x80) * 256 + trail); }

  // Every pair of one lead byte in one converter call, cut only where a pair is no character:
  // asking pair by pair would be some 24,000 calls at every start. false when the converter's
  // answer does not split into one character per pair; the pairs are then asked one by one.
  bool AskRow(iconv_t cd, int lead) {
    std::string in;
    for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      in += static_cast<char>(lead);
      in += static_cast<char>(trail);
    }
    char* src = in.data();
    std::size_t left = in.size();
    while (left > 0) {
      std::size_t first = (in.size() - left) / 2;  // the pair the call starts at
      char out[1024];
      char* dst = out;
      std::size_t room = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      std::size_t r = iconv(cd, &src, &left, &dst, &room);
      std::size_t done = in.size() - left;
      if (done % 2 != 0 || !Share(lead, first, done / 2 - first, std::string_view(out, sizeof out - room)))
        return false;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno != EILSEQ && errno != EINVAL) return false;
      src += 2;  // no character: its entry stays empty
      left -= 2;
    }
    return true;
  }

  // Gives pairs first to first + count - 1 of the row their characters of utf8, one each.
  bool Share(int lead, std::size_t first, std::size_t count, std::string_view utf8) {
    std::size_t at = 0;
    for (std::size_t k = 0; k < count; ++k) {
      if (at >= utf8.size()) return false;
      auto b = static_cast<unsigned char>(utf8[at]);
      std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
      if (at + length > utf8.size()) return false;
      Utf8Char& c = pair_[Index(lead, kFirstTrail + static_cast<int>(first + k))];
      c = Utf8Char{};
      if (length <= sizeof c.bytes) {  // as Ask: a character beyond three bytes counts as none
        c.length = static_cast<std::uint8_t>(length);
        for (std::size_t i = 0; i < length; ++i) c.bytes[i] = utf8[at + i];
      }
      at += length;
    }
    return at == utf8.size();
  }

  std::array<Utf8Char, 128> single_{};
  std::array<Utf8Char, 128 * 256> pair_{};
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

std::optional<std::string> ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Run(Encoder(), utf8);
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
