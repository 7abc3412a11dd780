#include "platform/status.h"

namespace zk {

std::string Status::Message() const {
  if (fault == Fault::None) return {};
  std::string text = "「" + file + "」";
  if (line > 0) text += " " + std::to_string(line) + " 行目";
  text += ": " + description;
  return text;
}

}  // namespace zk
