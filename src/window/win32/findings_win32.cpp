#include "findings_win32.h"

#include <utility>
#include <vector>

#include "cli/boring_log_svg.h"
#include "conversion/exchange_reader.h"

namespace zk::win32window {
namespace {

constexpr const char* kRunningMessage = "只今変換中！　しばらくお待ちください。";

std::string NamePart(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

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
  if (run.result.converted) run.findings.exchangeFileName = NamePart(run.result.exchangeFilePath);
  return run;
}

std::string FindingsCountText(const BoringCheck& check) {
  if (check.errors == 0 && check.warnings == 0) return {};
  std::string warnings = "警告 " + std::to_string(check.warnings) + " 件";
  if (check.errors == 0) return warnings;
  return "エラー " + std::to_string(check.errors) + " 件、" + warnings;
}

std::string FindingsHeading(const BoringCheck& check, bool converted) {
  std::string folder = "「" + check.folder + "」";
  std::string counts = "エラー " + std::to_string(check.errors) + " 件、警告 " + std::to_string(check.warnings) + " 件";
  if (converted) {
    std::string text = folder + " を " + check.exchangeFileName + " に変換しました: " + counts;
    if (!check.findings.empty()) text += "\r\n次の点で交換ファイルは表のとおりではありません。";
    return text;
  }
  std::string text = folder + " の点検 (変換はしていません): " + counts;
  if (!check.exchangeFileName.empty()) text += "\r\n変換すると交換ファイル " + check.exchangeFileName + " になります。";
  if (check.findings.empty()) text += "\r\n指摘することはありません。";
  return text;
}

std::string FindingsText(const BoringCheck& check) {
  std::string text =
      check.folder + ": エラー " + std::to_string(check.errors) + " 件、警告 " + std::to_string(check.warnings) + " 件";
  if (!check.exchangeFileName.empty()) text += "  交換ファイル " + check.exchangeFileName;
  text += "\r\n";
  for (const Finding& f : check.findings) {
    text += f.file;
    if (f.line > 0) {
      text += ':';
      text += std::to_string(f.line);
    }
    text += f.severity == Severity::Error ? ": エラー: " : ": 警告: ";
    text += f.message;
    if (!f.code.empty()) text += " [" + f.code + "]";
    text += "\r\n";
  }
  return text;
}

Status DrawLogPicture(const std::string& exchangeFile, std::string& svg) {
  svg.clear();
  std::vector<ExchangeRecord> records;
  if (Status s = ReadExchangeFile(exchangeFile, records); !s) return s;
  cli::BoringLog log;
  if (Status s = cli::CollectBoringLog(records, exchangeFile, log); !s) return s;
  svg = cli::BoringLogSvg(log, NamePart(exchangeFile));
  return Status::Ok();
}

}  // namespace zk::win32window
