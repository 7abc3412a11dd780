#include "conversion/code_table_setting.h"

#include "support/settings.h"

namespace zk {

bool LoadOrChooseCodeTableFolder(const platform::DriveMap& drives, WindowOps& ui,
                                 const std::function<std::string()>& choose, std::string& folder) {
  Status setting = LoadCodeTableSetting(drives, folder);
  if (setting) return true;
  ui.ShowMessage(NoVuredaText(setting), Icon::None, "");
  while (ui.AskYesNo("コード表のフォルダ (L9.txt と Kishitu.txt のあるフォルダ) を今選びますか？")) {
    std::string chosen = choose();
    if (chosen.empty()) return false;
    std::string written;
    if (Status s = WriteCodeTableSetting(drives, chosen, written); !s) {
      ui.ShowMessage(s.Message() + "\n設定ファイル「" + written + "」は書きませんでした。", Icon::Exclamation, "");
      continue;
    }
    setting = LoadCodeTableSetting(drives, folder);
    if (setting) return true;
    ui.ShowMessage(NoVuredaText(setting), Icon::None, "");
  }
  return false;
}

}  // namespace zk
