#include "window_options.h"

#include <sstream>

namespace zk {

bool ParseWindowArguments(const std::vector<std::string>& args, WindowOptions& options, std::string& error) {
  options = WindowOptions{};
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--screenshot") {
      if (i + 1 >= args.size()) {
        error = "--screenshot の後にファイル名がありません";
        return false;
      }
      options.screenshot = args[++i];
    } else if (a.rfind("--screenshot=", 0) == 0) {
      options.screenshot = a.substr(13);
    } else if (a == "--press" || a.rfind("--press=", 0) == 0) {
      if (a == "--press" && i + 1 >= args.size()) {
        error = "--press の後にボタンの名前がありません";
        return false;
      }
      std::istringstream names(a == "--press" ? args[++i] : a.substr(8));
      for (std::string name; std::getline(names, name, ',');) {
        if (name != "Command1" && name != "Command3" && name != "Command4") {
          error = "--press で押せるのは Command1, Command3, Command4 です: " + name;
          return false;
        }
        options.press.push_back(name);
      }
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      error = "知らないオプションです: " + a;
      return false;
    } else {
      folders.push_back(a);
    }
  }
  if (!options.press.empty() && options.screenshot.empty()) {
    error = "--press は --screenshot と一緒に使います";
    return false;
  }
  if (folders.size() > 2) {
    error = "フォルダは変換元と変換先の二つまでです";
    return false;
  }
  if (!folders.empty()) options.source = folders[0];
  if (folders.size() > 1) options.destination = folders[1];
  return true;
}

}  // namespace zk
