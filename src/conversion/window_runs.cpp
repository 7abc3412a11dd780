#include "conversion/window_runs.h"

namespace zk {

RunResult RunWithFindings(WindowOps& ui, ConversionContext& context) {
  context.codeTables.reset();
  context.destination = DestinationListing{};
  return RunConversion(ui, context);
}

// A trailing "\" (other than the root's) would double the separator in every table's path.
BoringCheck CheckWithoutConverting(ConversionContext& context, const std::string& source,
                                   const std::string& destination) {
  std::string folder = source;
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  context.codeTables.reset();
  return CheckBoring(context, folder, destination);
}

std::string FindingsCountText(const BoringCheck& check) {
  if (check.errors == 0 && check.warnings == 0) return {};
  std::string warnings = "警告 " + std::to_string(check.warnings) + " 件";
  if (check.errors == 0) return warnings;
  return "エラー " + std::to_string(check.errors) + " 件、" + warnings;
}

std::string FindingsHeading(const BoringCheck& check, bool converted, const char* lineEnd) {
  std::string folder = "「" + check.folder + "」";
  std::string counts = "エラー " + std::to_string(check.errors) + " 件、警告 " + std::to_string(check.warnings) + " 件";
  if (converted) {
    std::string text = folder + " を " + check.exchangeFileName + " に変換しました: " + counts;
    if (!check.findings.empty()) text += lineEnd + std::string("次の点で交換ファイルは表のとおりではありません。");
    return text;
  }
  std::string text = folder + " の点検 (変換はしていません): " + counts;
  if (!check.exchangeFileName.empty())
    text += lineEnd + ("変換すると交換ファイル " + check.exchangeFileName + " になります。");
  if (check.findings.empty()) text += lineEnd + std::string("指摘することはありません。");
  return text;
}

std::string FindingsText(const BoringCheck& check, const char* lineEnd) {
  std::string text =
      check.folder + ": エラー " + std::to_string(check.errors) + " 件、警告 " + std::to_string(check.warnings) + " 件";
  if (!check.exchangeFileName.empty()) text += "  交換ファイル " + check.exchangeFileName;
  text += lineEnd;
  for (const Finding& f : check.findings) {
    text += f.file;
    if (f.line > 0) {
      text += ':';
      text += std::to_string(f.line);
    }
    text += f.severity == Severity::Error ? ": エラー: " : ": 警告: ";
    text += f.message;
    if (!f.code.empty()) text += " [" + f.code + "]";
    text += lineEnd;
  }
  return text;
}

}  // namespace zk
