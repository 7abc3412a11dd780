#include "findings.h"

namespace zk {
namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

constexpr const char* kRunningMessage = "只今変換中！　しばらくお待ちください。";

}  // namespace

// A trailing "\" (other than the root's) would double the separator in every table's path.
BoringCheck CheckWithoutConverting(const std::string& source, const std::string& destination) {
  std::string folder = source;
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return CheckBoring(folder, destination);
}

WindowRun RunWithFindings(WindowOps& ui) {
  // A large boring is read twice: the run's status line and pointer from the start. The
  // pointer returns before the run, which sets it again once the paths are checked.
  ui.SetStatus(kRunningMessage);
  ui.SetBusy(true);
  BoringCheck before = CheckWithoutConverting(ui.SourceText(), "");
  ui.SetBusy(false);
  WindowRun run;
  run.result = RunConversion(ui);
  run.findings = std::move(before);
  // The name the file got, which the check could not know (a later sequence number).
  if (run.result.converted) {
    const std::string& path = run.result.exchangeFilePath;
    run.findings.exchangeFileName = path.substr(path.find_last_of('\\') + 1);
  }
  return run;
}

QString FindingsCountText(const BoringCheck& check) {
  if (check.errors == 0 && check.warnings == 0) return {};
  QString warnings = QString::fromUtf8("警告 %1 件").arg(check.warnings);
  if (check.errors == 0) return warnings;
  return QString::fromUtf8("エラー %1 件、").arg(check.errors) + warnings;
}

QString SeverityText(Severity severity) { return QString::fromUtf8(severity == Severity::Error ? "エラー" : "警告"); }

QString FindingPlace(const Finding& finding) {
  QString name = Q(finding.file.substr(finding.file.find_last_of('\\') + 1));
  return finding.line > 0 ? name + ":" + QString::number(finding.line) : name;
}

QString FindingsText(const BoringCheck& check) {
  QString text =
      Q(check.folder) + QString::fromUtf8(": エラー %1 件、警告 %2 件").arg(check.errors).arg(check.warnings);
  if (!check.exchangeFileName.empty()) text += QString::fromUtf8("  交換ファイル ") + Q(check.exchangeFileName);
  text += "\n";
  for (const Finding& f : check.findings) {
    QString place = Q(f.file);
    if (f.line > 0) place += ":" + QString::number(f.line);
    text += place + ": " + SeverityText(f.severity) + ": " + Q(f.message);
    if (!f.code.empty()) text += " [" + Q(f.code) + "]";
    text += "\n";
  }
  return text;
}

}  // namespace zk
