#include "window_options.h"

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
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      error = "知らないオプションです: " + a;
      return false;
    } else {
      folders.push_back(a);
    }
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
