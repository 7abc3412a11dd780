#include "folder_list.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace zk {
namespace {

bool IsDriveForm(const std::string& text) {
  return text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
}

std::vector<std::string> Names(const std::string& rest) {
  std::vector<std::string> names;
  std::string name;
  auto flush = [&] {
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    name.clear();
  };
  for (char c : rest) {
    if (c == '\\')
      flush();
    else
      name += c;
  }
  flush();
  return names;
}

std::string Join(char letter, const std::vector<std::string>& names, std::size_t count) {
  std::string path = std::string(1, letter) + ":\\";
  for (std::size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + names[i];
  return path;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

std::string AbsoluteFolder(const platform::DriveMap& drives, const std::string& drivePath) {
  if (!IsDriveForm(drivePath)) return {};
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drivePath[0])));
  std::string rest = drivePath.substr(2);
  if (rest.empty() || rest[0] != '\\') rest = drives.CurrentFolder(letter).substr(2) + "\\" + rest;
  std::vector<std::string> names = Names(rest);
  return Join(letter, names, names.size());
}

std::vector<std::string> SubFolders(const platform::DriveMap& drives, const std::string& driveFolder) {
  std::vector<std::string> names;
  auto host = drives.ToHost(driveFolder);
  if (!host) return names;
  std::error_code ec;
  for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code kind;
    // A name that its drive form cannot show (a "\\" or a line break in it) is left out:
    // chosen, its drive path would name another folder.
    bool shown = std::none_of(name.begin(), name.end(), [](char c) { return c == '\\' || (c >= 0 && c < 0x20); });
    if (!name.empty() && name[0] != '.' && shown && fs::is_directory(it->path(), kind)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = Lower(a), lb = Lower(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

FolderList::FolderList(const platform::DriveMap& drives, QWidget* parent) : QListWidget(parent), drives_(drives) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { SetPath(item->data(kFolderPathRole).toString().toStdString()); });
}

bool FolderList::SetPath(const std::string& drivePath) {
  std::string folder = AbsoluteFolder(drives_, drivePath);
  if (folder.empty() || !platform::IsFolder(drives_, folder)) return false;
  bool changed = folder != path_;
  path_ = folder;
  Fill();
  if (changed) emit Changed();
  return true;
}

void FolderList::Refresh() {
  if (!path_.empty()) Fill();
}

void FolderList::Fill() {
  QStyle* style = QApplication::style();
  QIcon open = style->standardIcon(QStyle::SP_DirOpenIcon);
  QIcon closed = style->standardIcon(QStyle::SP_DirClosedIcon);
  std::vector<std::string> names = Names(path_.substr(2));
  clear();
  auto add = [this](const QIcon& icon, std::size_t level, const std::string& name, const std::string& path) {
    auto* item =
        new QListWidgetItem(icon, QString(static_cast<int>(level) * 2, ' ') + QString::fromStdString(name), this);
    item->setData(kFolderPathRole, QString::fromStdString(path));
    return item;
  };
  QListWidgetItem* current = add(open, 0, path_.substr(0, 3), Join(path_[0], names, 0));
  for (std::size_t i = 0; i < names.size(); ++i) current = add(open, i + 1, names[i], Join(path_[0], names, i + 1));
  for (const std::string& name : SubFolders(drives_, path_)) {
    std::string under = path_.size() == 3 ? path_ + name : path_ + "\\" + name;
    add(closed, names.size() + 1, name, under);
  }
  setCurrentItem(current);
  scrollToItem(current);
}

}  // namespace zk
