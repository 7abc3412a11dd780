#include "tables/findings.h"

#include <algorithm>

namespace zk {

void FindingSink::Add(Finding finding) {
  // Only an error can be told twice: by the look at the tables and by the step that stops.
  if (finding.severity == Severity::Error && std::find(findings_.begin(), findings_.end(), finding) != findings_.end())
    return;
  (finding.severity == Severity::Error ? errors_ : warnings_) += 1;
  findings_.push_back(std::move(finding));
}

void FindingSink::Fault(const Status& status) {
  Error(status.file, status.line, FaultCode(status.fault), status.description + " (変換は止まります)");
}

const char* FaultCode(Fault fault) {
  switch (fault) {
    case Fault::NotCp932:
      return "not-cp932";
    case Fault::NotAFile:
      return "not-a-file";
    case Fault::CodeTable:
      return "code-table-short";
    case Fault::Unwritable:
      return "unwritable";
    case Fault::BadRecord:
      return "bad-record";
    default:
      return "unreadable";
  }
}

}  // namespace zk
