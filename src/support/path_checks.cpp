#include "support/path_checks.h"

#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/reda32.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"
#include "tables/numbers.h"

namespace zk::FNOTHER {
namespace {

// A folder name with a "." must be an 8.3 name, both parts counted in CP932 bytes.
bool ShortNameOk(const std::string& name) {
  std::size_t dot = name.find('.');
  if (dot == std::string::npos) return true;
  if (name.find('.', dot + 1) != std::string::npos) return false;
  if (QXCOMSUB::ByteLength(name.substr(0, dot)) > 8) return false;
  return QXCOMSUB::ByteLength(name.substr(dot + 1)) <= 3;
}

}  // namespace

bool CheckFolderPath(std::string& path, WindowOps& ui) {
  std::string why;
  return CheckFolderPath(path, ui, why);
}

bool CheckFolderPath(std::string& path, WindowOps& ui, std::string& why) {
  why.clear();
  auto refuse = [&](std::string reason) {
    why = std::move(reason);
    return false;
  };
  path = QXCOMSUB::TrimSpaces(path);
  if (QXCOMSUB::ByteMid(path, 2, 1) != ":") {
    ui.ShowMessage(kDriveNameMessage, Icon::Information, "");
    return false;
  }
  if (path.find_first_of("*?") != std::string::npos) return refuse("「*」や「?」(ワイルドカード) は使えません");
  if (path.size() < 2 || path[1] != ':') return refuse("ドライブ名が正しくありません");
  if (path.size() > 2 && path[2] != '\\') path.insert(path.begin() + 2, '\\');
  if (!platform::SetCurrentDrive(path[0]))
    return refuse("ドライブ " + path.substr(0, 2) + " は用意されていません (ZK_DRIVES にないか、そのフォルダがありません)");
  if (path.back() != '\\') path += '\\';
  if (path.size() == 3) return true;
  if (path.find("\\\\") != std::string::npos) return refuse("空のフォルダ名があります (「\\」が続いています)");
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    std::string name = path.substr(start, end - start);
    if (!ShortNameOk(name))
      return refuse("「" + name + "」は 8.3 形式の名前ではありません (「.」のある名前は「.」の前 8 バイト、後 3 バイトまで)");
    start = end + 1;
  }
  return true;
}

std::string PathRefusal(std::string_view path) {
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "フォルダ名に改行やタブなどの制御文字があります (BORLING.NO に一行で書けません)";
  if (!platform::ToCp932(std::string(path))) return "フォルダ名に Shift-JIS (CP932) で書けない文字があります";
  return "";
}

long CountDelimiters(std::string_view text, std::string_view delimiters) {
  long count = 0;
  for (char d : delimiters) count += reda32::InCount(text, std::string_view(&d, 1));
  return count;
}

void SplitAtDelimiters(std::string_view text, std::string_view delimiters, std::vector<std::string>& parts) {
  parts.assign(1, std::string());
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (delimiters.find(text[i]) == std::string_view::npos) continue;
    parts.emplace_back(text.substr(start, i - start));
    start = i + 1;
  }
  parts.emplace_back(text.substr(start));
}

Status MaxLayerDepth(const std::string& folder, float& depth) {
  depth = 0;
  std::string path = folder + "X1.txt";
  if (!platform::IsPlainFile(path)) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(path); !s) return s;
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(4, row)) {
    float bottom = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(row[1]));
    if (bottom > depth) depth = bottom;
  }
  return reader.status();
}

}  // namespace zk::FNOTHER
