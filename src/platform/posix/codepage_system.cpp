// CP932 through glibc's iconv.
#include "platform/codepage_system.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace zk::platform {
namespace {

// glibc's "CP932" is Microsoft's table; its "SJIS" would read 0x5C as the yen sign.
constexpr const char* kCodePage = "CP932";

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

iconv_t Encoder() {
  static iconv_t cd = iconv_open(kCodePage, "UTF-8");
  return cd;
}

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

Utf8Char Ask(iconv_t cd, char* in, std::size_t n) {
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

// Gives pairs first to first + count - 1 of the row their characters of utf8, one each.
bool Share(PairTable& pairs, int lead, std::size_t first, std::size_t count, std::string_view utf8) {
  std::size_t at = 0;
  for (std::size_t k = 0; k < count; ++k) {
    if (at >= utf8.size()) return false;
    auto b = static_cast<unsigned char>(utf8[at]);
    std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    if (at + length > utf8.size()) return false;
    Utf8Char& c = pairs[PairIndex(lead, kFirstTrail + static_cast<int>(first + k))];
    c = Utf8Char{};
    if (length <= sizeof c.bytes) {  // as Ask: a character beyond three bytes counts as none
      c.length = static_cast<std::uint8_t>(length);
      for (std::size_t i = 0; i < length; ++i) c.bytes[i] = utf8[at + i];
    }
    at += length;
  }
  return at == utf8.size();
}

// Every pair of one lead byte in one converter call, cut only where a pair is no character:
// asking pair by pair would be some 24,000 calls at every start. false when the converter's
// answer does not split into one character per pair; the pairs are then asked one by one.
bool AskRow(iconv_t cd, PairTable& pairs, int lead) {
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
    if (done % 2 != 0 || !Share(pairs, lead, first, done / 2 - first, std::string_view(out, sizeof out - room)))
      return false;
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) return false;
    src += 2;  // no character: its entry stays empty
    left -= 2;
  }
  return true;
}

}  // namespace

void AskSystemDecoder(SingleTable& single, PairTable& pairs) {
  iconv_t cd = iconv_open("UTF-8", kCodePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  for (int b = 0x80; b <= 0xFF; ++b) {
    char one[1] = {static_cast<char>(b)};
    if (!IsLead(b)) single[static_cast<std::size_t>(b - 0x80)] = Ask(cd, one, 1);
  }
  for (int lead = 0x80; lead <= 0xFF; ++lead)
    if (IsLead(lead) && !AskRow(cd, pairs, lead))
      for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
        char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        pairs[PairIndex(lead, trail)] = Ask(cd, two, 2);
      }
  iconv_close(cd);
}

std::optional<std::string> SystemEncode(std::string_view utf8) { return Run(Encoder(), utf8); }

}  // namespace zk::platform
