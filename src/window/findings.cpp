#include "findings.h"

namespace zk {
namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

QString SeverityText(Severity severity) { return QString::fromUtf8(severity == Severity::Error ? "エラー" : "警告"); }

QString FindingPlace(const Finding& finding) {
  QString name = Q(finding.file.substr(finding.file.find_last_of('\\') + 1));
  return finding.line > 0 ? name + ":" + QString::number(finding.line) : name;
}

}  // namespace zk
