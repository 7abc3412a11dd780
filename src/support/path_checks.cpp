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

FolderPathFault CheckFolderPath(platform::DriveMap& drives, std::string& path) {
  std::string why;
  return CheckFolderPath(drives, path, why);
}

FolderPathFault CheckFolderPath(platform::DriveMap& drives, std::string& path, std::string& why) {
  why.clear();
  auto refuse = [&](std::string reason) {
    why = std::move(reason);
    return FolderPathFault::Malformed;
  };
  path = QXCOMSUB::TrimSpaces(path);
  if (QXCOMSUB::ByteMid(path, 2, 1) != ":") return FolderPathFault::DriveName;
  if (path.find_first_of("*?") != std::string::npos) return refuse("「*」や「?」(ワイルドカード) は使えません");
  if (path.size() < 2 || path[1] != ':') return refuse("ドライブ名が正しくありません");
  if (path.size() > 2 && path[2] != '\\') path.insert(path.begin() + 2, '\\');
  if (!drives.SetCurrentDrive(path[0]))
    return refuse("ドライブ " + path.substr(0, 2) +
                  " は用意されていません (ZK_DRIVES にないか、そのフォルダがありません)");
  if (path.back() != '\\') path += '\\';
  if (path.size() == 3) return FolderPathFault::None;
  if (path.find("\\\\") != std::string::npos) return refuse("空のフォルダ名があります (「\\」が続いています)");
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    std::string name = path.substr(start, end - start);
    if (!ShortNameOk(name))
      return refuse("「" + name +
                    "」は 8.3 形式の名前ではありません (「.」のある名前は「.」の前 8 バイト、後 3 バイトまで)");
    start = end + 1;
  }
  return FolderPathFault::None;
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

Status MaxLayerDepth(const TableFile& layers, float& depth) {
  depth = 0;
  if (!layers.IsPlainFile()) return Status::Ok();
  TableReader reader;
  if (Status s = reader.Open(layers); !s) return s;
  std::vector<std::string> row;
  while (!reader.AtEnd() && reader.ReadRow(4, 2, 2, row)) {  // the bottoms alone
    float bottom = QXCOMSUB::ToSingle(QXCOMSUB::ParseNumber(row[1]));
    if (bottom > depth) depth = bottom;
  }
  return Status::Ok();
}

}  // namespace zk::FNOTHER
