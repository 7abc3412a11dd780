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

}  // namespace zk
