#include "conversion/window_runs.h"

#include "platform/files.h"
#include "support/path_checks.h"

namespace zk {

RunResult RunWithFindings(WindowOps& ui, ConversionContext& context) {
  context.codeTables.reset();
  context.destination = DestinationListing{};
  return RunConversion(ui, context);
}

std::optional<BoringCheck> CheckWithoutConverting(WindowOps& ui, ConversionContext& context) {
  std::string source = ui.SourceText();
  std::string checked = source;
  FNOTHER::FolderPathFault fault = FNOTHER::CheckFolderPath(context.drives, checked);
  if (fault == FNOTHER::FolderPathFault::DriveName) ui.ShowMessage(FNOTHER::kDriveNameMessage, Icon::Information, "");
  if (fault != FNOTHER::FolderPathFault::None || !platform::IsFolder(context.drives, source)) {
    ui.ShowMessage("指定されたパスは正しくありません。", Icon::Exclamation, source);
    return std::nullopt;
  }
  std::string destination = ui.DestinationText();
  if (!platform::IsFolder(context.drives, destination)) destination.clear();
  // A trailing "\" (other than the root's) would double the separator in every table's path.
  if (source.size() > 3 && source.back() == '\\') source.pop_back();
  ui.SetBusy(true);
  context.codeTables.reset();
  BoringCheck check = CheckBoring(context, source, destination);
  ui.SetBusy(false);
  std::string count = FindingsCountText(check);
  ui.SetStatus("点検が終わりました。　" + (count.empty() ? std::string("指摘はありません。") : count));
  return check;
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
