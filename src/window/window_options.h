// The window program's command line: zk2morvex [--screenshot FILE] [SOURCE_FOLDER [DEST_FOLDER]].
#pragma once

#include <string>
#include <vector>

namespace zk {

struct WindowOptions {
  std::string source;       // as given: a host path or drive form
  std::string destination;
  std::string screenshot;   // host path of a PNG to save the window into, then quit
  std::vector<std::string> press;  // buttons pressed, in order, before the screenshot is taken
  bool help = false;
};

inline constexpr const char* kWindowUsage =
    "使い方: zk2morvex [--screenshot FILE.png] [SOURCE_FOLDER [DEST_FOLDER]]\n"
    "  SOURCE_FOLDER  変換元フォルダ (ボーリングの表のフォルダ) を開いて始めます\n"
    "  DEST_FOLDER    変換先フォルダを開いて始めます\n"
    "  フォルダはホストのパス (/tmp/out) でもドライブ形式 (Z:\\tmp\\out) でも指定できます。\n"
    "  --screenshot FILE.png  ウィンドウの画像を保存して終わります\n"
    "  --press BUTTON,...     画像の前にボタンを順に押します (Command1 実行, Command3 点検, Command4 柱状図)\n"
    "  --help         この説明\n";

// Parses the arguments (without the program name and Qt's own options); false with a reason.
bool ParseWindowArguments(const std::vector<std::string>& args, WindowOptions& options, std::string& error);

}  // namespace zk
