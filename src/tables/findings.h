// What a conversion changes, drops, cuts or guesses on the way, and what stops it: findings,
// collected while the boring is converted (or checked, which is the same run writing
// nothing), each with its table, line and a stable code for other tools.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace zk {

enum class Severity { Error, Warning };

struct Finding {
  std::string file;  // the table's drive-form path
  long line = 0;     // 0 when no line applies
  Severity severity = Severity::Warning;
  std::string code;     // a short stable name of the kind of finding, for other tools
  std::string message;  // what is wrong (what the conversion will do with it)
  bool operator==(const Finding&) const = default;
};

class FindingSink {
 public:
  // Adds a finding; the same error told twice (by the look at the tables and by the step
  // that stops on it) is kept once.
  void Add(Finding finding);
  void Error(const std::string& file, long line, const char* code, std::string message) {
    Add({file, line, Severity::Error, code, std::move(message)});
  }
  void Warn(const std::string& file, long line, const char* code, std::string message) {
    Add({file, line, Severity::Warning, code, std::move(message)});
  }
  // The same with the message made only when the warning is kept: past kCap of its kind about
  // its table only the count grows, so thousands of cut values cost no texts.
  template <class MakeMessage>
  void WarnWith(const std::string& file, long line, const char* code, MakeMessage makeMessage) {
    if (CountWarning(file, code)) findings_.push_back({file, line, Severity::Warning, code, makeMessage()});
  }
  // The findings of other, as if they had been told here after this sink's own: parts of a
  // run looked at side by side are told in their order.
  void Absorb(const FindingSink& other);
  // A fault that stops the conversion, as an error; the finding made of it.
  Finding Fault(const Status& status);

  // Every finding in the order told; of one kind of warning in one table the first kCap, then
  // one line saying how many more there are.
  std::vector<Finding> findings() const;
  long errors() const { return errors_; }
  long warnings() const { return warnings_; }

  static constexpr long kCap = 100;

 private:
  // Counts a warning of that kind about that file: true while it is among the first kCap.
  bool CountWarning(const std::string& file, std::string_view code);

  std::vector<Finding> findings_;
  std::map<std::string, std::map<std::string, long, std::less<>>, std::less<>> perKind_;  // file -> code -> told
  long errors_ = 0, warnings_ = 0;
};

// The stable code of a fault's kind ("not-cp932", "not-a-file", "unreadable"...).
const char* FaultCode(Fault fault);

}  // namespace zk
