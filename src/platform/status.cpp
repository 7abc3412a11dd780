#include "platform/status.h"

#include "platform/gcc_warnings.h"

namespace zk {

// GCC 12 warns -Wrestrict on a concatenation below, falsely (platform/gcc_warnings.h).
ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
std::string Status::Message() const {
  if (fault == Fault::None) return {};
  std::string text = "「" + file + "」";
  if (line > 0) text += " " + std::to_string(line) + " 行目";
  text += ": " + description;
  return text;
}
ZK_GCC12_RESTRICT_FALSE_POSITIVE_END

std::string Excerpt(std::string_view text) {
  if (text.size() <= kExcerptBytes) return std::string(text);
  std::size_t end = kExcerptBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // not inside a character
  return std::string(text.substr(0, end)) + "…";
}

}  // namespace zk
