#include "findings_win32.h"

#include "exchange/exchange_reader.h"
#include "picture/boring_log_svg.h"

namespace zk::win32window {
namespace {

std::string NamePart(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace

// A trailing "\" (other than the root's) would double the separator in every table's path.
BoringCheck CheckWithoutConverting(ConversionContext& context, const std::string& source,
                                   const std::string& destination) {
  std::string folder = source;
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  context.codeTables.reset();
  return CheckBoring(context, folder, destination);
}

RunResult RunWithFindings(WindowOps& ui, ConversionContext& context) {
  context.codeTables.reset();
  return RunConversion(ui, context);
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
  // The records go into the log as they are read; the first bad line refuses the file.
  BoringLog log;
  auto collect = [&](const ExchangeRecord& record) { return CollectRecord(record, exchangeFile, log); };
  if (Status s = ReadExchangeFile(exchangeFile, collect); !s) return s;
  svg = BoringLogSvg(log, NamePart(exchangeFile));
  return Status::Ok();
}

}  // namespace zk::win32window
