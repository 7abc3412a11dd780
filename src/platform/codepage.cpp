#include "platform/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace zk::platform {
namespace {

// glibc's "CP932" is Microsoft's table; its "SJIS" would read 0x5C as the yen sign.
constexpr const char* kCodePage = "CP932";

iconv_t Converter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  return cd;
}

iconv_t Decoder() {
  static iconv_t cd = Converter("UTF-8", kCodePage);
  return cd;
}

iconv_t Encoder() {
  static iconv_t cd = Converter(kCodePage, "UTF-8");
  return cd;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

// Converts all of in; nullopt on any byte that does not convert. bad receives its offset.
std::optional<std::string> Run(iconv_t cd, std::string_view in, std::size_t* bad = nullptr) {
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
    if (bad) *bad = in.size() - srcLeft;
    return std::nullopt;
  }
  out.resize(used);
  return out;
}

}  // namespace

std::optional<std::string> ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Run(Encoder(), utf8);
}

std::optional<std::string> FromCp932(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  return Run(Decoder(), cp932);
}

std::optional<std::size_t> FirstInvalidCp932(std::string_view cp932) {
  if (IsAscii(cp932)) return std::nullopt;
  std::size_t bad = 0;
  if (Run(Decoder(), cp932, &bad)) return std::nullopt;
  return bad;
}

Cp932Validator::Cp932Validator() : cd_(iconv_open("UTF-8", kCodePage)) {}

Cp932Validator::~Cp932Validator() {
  if (cd_ != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(cd_));
}

bool Cp932Validator::Convert(std::string_view bytes, std::size_t base) {
  iconv_t cd = static_cast<iconv_t>(cd_);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    bad_ = base;
    return false;
  }
  char buffer[16384];
  char* src = const_cast<char*>(bytes.data());
  std::size_t srcLeft = bytes.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno == EINVAL) {  // a lead byte at the end of this chunk: keep it for the next
      carry_.assign(src, srcLeft);
      consumed_ = base + (bytes.size() - srcLeft);
      return true;
    }
    bad_ = base + (bytes.size() - srcLeft);
    return false;
  }
  carry_.clear();
  consumed_ = base + bytes.size();
  return true;
}

bool Cp932Validator::Feed(std::string_view chunk) {
  if (IsAscii(chunk) && carry_.empty()) {
    consumed_ += chunk.size();
    return true;
  }
  if (!carry_.empty()) {
    std::string joined = carry_ + std::string(chunk);
    return Convert(joined, consumed_);
  }
  return Convert(chunk, consumed_);
}

bool Cp932Validator::Finish() {
  if (carry_.empty()) return true;
  bad_ = consumed_;
  return false;
}

}  // namespace zk::platform
