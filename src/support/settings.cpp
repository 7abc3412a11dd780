#include "support/settings.h"

#include <filesystem>
#include <fstream>

#include "exchange/exchange_file.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/reda32.h"
#include "support/text_bytes.h"
#include "tables/field_reader.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

// The setting may name the folder in drive form (Z:\opt\codes\) or as a host path
// (/opt/codes/); inside, it is kept in drive form with its final separator as written.
std::string AsDriveForm(const platform::DriveMap& drives, const std::string& value) {
  if (value.empty() || value[0] != '/') return value;
  bool separatorAtEnd = value.back() == '/';
  std::string drive = drives.CommandLinePathToDriveForm(value);
  if (separatorAtEnd && (drive.empty() || drive.back() != '\\')) drive += '\\';
  return drive;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// What reading the settings file found, so that a failure can say why.
enum class Found { Value, NoFile, EmptyFile, Unreadable, OneLine, BlankLine2 };

struct SettingRead {
  Found found = Found::NoFile;
  std::string value;      // trimmed; set when found is Value
  std::string readFault;  // the reader's own words for an unreadable file
  bool utf8Bom = false;   // the file begins with the UTF-8 byte order mark
};

SettingRead ReadSetting(const platform::DriveMap& drives) {
  SettingRead read;
  std::string host = SettingsFilePath();
  auto drivePath = drives.ToDriveForm(host);
  if (!drivePath) return read;
  auto length = platform::FileLength(drives, *drivePath);
  if (!length) return read;
  if (*length == 0) {
    platform::RemoveFile(drives, *drivePath);
    read.found = Found::EmptyFile;
    return read;
  }
  std::ifstream head(host, std::ios::binary);
  char bom[3] = {};
  head.read(bom, 3);
  read.utf8Bom = head.gcount() == 3 && bom[0] == '\xEF' && bom[1] == '\xBB' && bom[2] == '\xBF';

  TableReader reader;
  if (Status s = reader.Open(drives, *drivePath); !s) {
    read.found = Found::Unreadable;
    read.readFault = s.line > 0 ? std::to_string(s.line) + " 行目: " + s.description : s.description;
    return read;
  }
  reader.SkipLine();
  if (reader.AtEnd()) {
    read.found = Found::OneLine;
    return read;
  }
  read.value = QXCOMSUB::TrimSpaces(reader.ReadField());
  read.found = read.value.empty() ? Found::BlankLine2 : Found::Value;
  return read;
}

// The reason for a value that was read but cannot be used, or "" when it can; tested gets the
// path that was looked for (the value without its last character), where one was.
std::string CheckValue(const platform::DriveMap& drives, const std::string& value, std::string& tested,
                       std::string& folder) {
  const std::string quoted = "「" + value + "」";
  if (value[0] == '~')
    return quoted + "の ~ はホームフォルダになりません。/home/... のように / で始まるパスで書いてください";
  bool hostForm = value[0] == '/';
  bool driveForm =
      value.size() >= 3 && IsDriveLetter(value[0]) && value[1] == ':' && (value[2] == '\\' || value[2] == '/');
  if (!hostForm && !driveForm)
    return quoted + "は相対パスです。/ で始まるパス (/opt/codes/) か Z:\\ で始まるパスで書いてください";
  folder = AsDriveForm(drives, value);
  if (!hostForm && !drives.DriveRoot(value[0]))
    return quoted + "のドライブ " + std::string(1, value[0]) + ": は用意されていません";
  tested = value.substr(0, value.size() - 1);
  if (!folder.empty() && platform::Exists(drives, folder.substr(0, folder.size() - 1))) return {};
  char last = value.back();
  if (last != '/' && last != '\\')
    return quoted + "が区切り (" + std::string(1, hostForm ? '/' : '\\') +
           ") で終わっていません。最後の 1 文字を除いた「" + tested + "」を調べましたが、ありません";
  return "フォルダ「" + tested + "」がありません";
}

}  // namespace

std::string SettingsFilePath() {
  return reda32::QPRTrim(reda32::SysDir()) + static_cast<char>(fs::path::preferred_separator) + "RaroreD5.ini";
}

std::string SettingsFileToWrite() {
  return platform::SettingsFolderToWrite() + static_cast<char>(fs::path::preferred_separator) + "RaroreD5.ini";
}

std::string ReadVuredaSetting(const platform::DriveMap& drives) {
  SettingRead read = ReadSetting(drives);
  return read.found == Found::Value ? read.value : std::string();
}

Status LoadCodeTableSetting(const platform::DriveMap& drives, std::string& codeTableFolder) {
  codeTableFolder.clear();
  const std::string file = SettingsFilePath();
  SettingRead read = ReadSetting(drives);
  std::string reason, tested, folder;
  switch (read.found) {
    case Found::NoFile:
      reason = "設定ファイルがありません (zk2morvex-cli set-codes FOLDER で作れます)";
      break;
    case Found::EmptyFile:
      reason = "設定ファイルが空でした (空のファイルは削除しました)";
      break;
    case Found::Unreadable:
      // The mark's bytes are no Shift-JIS text: such a file is refused whatever it holds.
      reason = read.utf8Bom ? "設定ファイルが UTF-8 (BOM 付き) で保存されています。Shift-JIS で保存してください"
                            : "設定ファイルを読めません: " + read.readFault;
      break;
    case Found::OneLine:
      reason = "1 行しかありません (1 行目は読み飛ばされます。コード表のフォルダは 2 行目に書きます)";
      break;
    case Found::BlankLine2:
      reason = "2 行目が空です (コード表のフォルダは 2 行目に書きます)";
      break;
    case Found::Value:
      reason = CheckValue(drives, read.value, tested, folder);
      break;
  }
  if (reason.empty()) {
    codeTableFolder = folder;
    return Status::Ok();
  }
  if (!tested.empty()) reason += " (調べたフォルダ: " + tested + ")";
  return Status::Failed(Fault::CodeTable, file, reason);
}

std::string LoadCodeTableFolder(const platform::DriveMap& drives) {
  std::string folder;
  Status ignored = LoadCodeTableSetting(drives, folder);
  (void)ignored;  // the folder is "" when the setting cannot be used
  return folder;
}

std::string NoVuredaText(const Status& why) {
  return why ? std::string(kNoVuredaMessage) : std::string(kNoVuredaMessage) + "\n" + why.Message();
}

Status WriteCodeTableSetting(const platform::DriveMap& drives, const std::string& folder, std::string& written) {
  written = SettingsFileToWrite();
  std::string drive = drives.CommandLinePathToDriveForm(folder);
  if (folder.empty() || !platform::IsFolder(drives, drive))
    return Status::Failed(Fault::NotFound, folder, "コード表のフォルダがありません");
  for (const char* table : {"L9.txt", "Kishitu.txt"}) {
    std::string separator = drive.back() == '\\' ? "" : "\\";
    if (!platform::IsPlainFile(drives, drive + separator + table))
      return Status::Failed(Fault::CodeTable, folder, std::string("コード表 ") + table + " がありません");
  }
  auto host = drives.ToHost(drive);
  if (!host) return Status::Failed(Fault::NotFound, folder, "コード表のフォルダがありません");
  std::string value = platform::HostText(host->lexically_normal());
  if (value.empty() || value.back() != fs::path::preferred_separator) value += fs::path::preferred_separator;
  auto bytes = platform::ToCp932("[VUREDA]\r\n" + value + "\r\n");
  if (!bytes) return Status::Failed(Fault::Unwritable, folder, "フォルダ名に Shift-JIS で書けない文字があります");

  // Written beside the old file under a temporary name of this run and put in its place whole,
  // so that a failed write leaves the old setting as it was.
  std::error_code ec;
  fs::path target = platform::HostPath(written);
  fs::create_directories(target.parent_path(), ec);
  if (Status s = ReplaceHostFileBytes(target, *bytes); !s)
    return Status::Failed(Fault::Unwritable, written, "設定ファイルを書けません (" + s.description + ")");
  return Status::Ok();
}

}  // namespace zk
