#include "support/text_bytes.h"

#include "platform/codepage.h"

namespace zk::QXCOMSUB {
namespace {

// CP932 bytes of the text; characters without a CP932 form become "?" one by one.
std::string Cp932Bytes(std::string_view text) {
  if (auto bytes = platform::ToCp932(text)) return *bytes;
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t n = 1;
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0)
      n = 4;
    else if (lead >= 0xE0)
      n = 3;
    else if (lead >= 0xC0)
      n = 2;
    auto one = platform::ToCp932(text.substr(i, n));
    out += one ? *one : "?";
    i += n;
  }
  return out;
}

// Back to text; a lone lead or trail byte left by a cut is dropped.
std::string FromBytes(std::string_view bytes) {
  if (auto text = platform::FromCp932(bytes)) return *text;
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<unsigned char>(bytes[i]);
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    std::size_t n = lead && i + 1 < bytes.size() ? 2 : 1;
    if (auto one = platform::FromCp932(bytes.substr(i, n))) out += *one;
    i += n;
  }
  return out;
}

}  // namespace

std::string TrimSpaces(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

long ByteLength(std::string_view text) { return static_cast<long>(Cp932Bytes(text).size()); }

std::string ByteMidFrom(std::string_view text, long start) {
  std::string bytes = Cp932Bytes(text);
  if (start < 1 || static_cast<std::size_t>(start) > bytes.size()) return {};
  return FromBytes(std::string_view(bytes).substr(static_cast<std::size_t>(start - 1)));
}

std::string ByteMid(std::string_view text, long start, long count) {
  std::string bytes = Cp932Bytes(text);
  if (start < 1 || count <= 0 || static_cast<std::size_t>(start) > bytes.size()) return {};
  return FromBytes(
      std::string_view(bytes).substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

std::string FolderPart(std::string_view path) {
  std::size_t at = path.find_last_of(":\\");
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(0, at + 1));
}

}  // namespace zk::QXCOMSUB
