#include "tables/findings.h"

#include <algorithm>

namespace zk {

void FindingSink::Add(Finding finding) {
  // Only an error can be told twice: by the look at the tables and by the step that stops.
  if (finding.severity == Severity::Error && std::find(findings_.begin(), findings_.end(), finding) != findings_.end())
    return;
  if (finding.severity == Severity::Error)
    ++errors_;
  else if (!CountWarning(finding.file, finding.code))
    return;
  findings_.push_back(std::move(finding));
}

bool FindingSink::CountWarning(const std::string& file, std::string_view code) {
  ++warnings_;
  auto byFile = perKind_.find(file);
  if (byFile == perKind_.end()) byFile = perKind_.emplace(file, std::map<std::string, long, std::less<>>()).first;
  auto told = byFile->second.find(code);
  if (told == byFile->second.end()) told = byFile->second.emplace(std::string(code), 0).first;
  return ++told->second <= kCap;
}

void FindingSink::Absorb(const FindingSink& other) {
  for (const Finding& finding : other.findings_) Add(finding);
  // The warnings other only counted, past its first kCap of a kind, are past them here too.
  for (const auto& [file, byCode] : other.perKind_)
    for (const auto& [code, told] : byCode)
      if (told > kCap) {
        perKind_[file][code] += told - kCap;
        warnings_ += told - kCap;
      }
}

std::vector<Finding> FindingSink::findings() const {
  std::vector<Finding> all = findings_;
  for (const auto& byFile : perKind_) {
    const std::string& file = byFile.first;
    for (const auto& byCode : byFile.second) {
      const std::string& code = byCode.first;
      const long told = byCode.second;
      if (told <= kCap) continue;
      // Placed after the last finding of its kind that is shown.
      auto last =
          std::find_if(all.rbegin(), all.rend(), [&](const Finding& f) { return f.file == file && f.code == code; });
      Finding more{file, 0, Severity::Warning, code,
                   "ほかに同じ指摘が " + std::to_string(told - kCap) + " 件あります (同じ種類は初めの " +
                       std::to_string(kCap) + " 件だけを示します)"};
      all.insert(last.base(), std::move(more));
    }
  }
  return all;
}

Finding FindingSink::Fault(const Status& status) {
  Finding finding{status.file, status.line, Severity::Error, FaultCode(status.fault),
                  status.description + " (変換は止まります)"};
  Add(finding);
  return finding;
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
