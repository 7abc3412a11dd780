#include "file_list.h"

#include <QStringList>

#include "platform/files.h"

namespace zk {

FileList::FileList(const platform::DriveMap& drives, QWidget* parent) : QListWidget(parent), drives_(drives) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileList::SetPath(const std::string& driveFolder) {
  path_ = driveFolder;
  Refresh();
}

void FileList::Refresh() {
  QStringList names;
  for (const std::string& name : platform::ListPlainFiles(drives_, path_)) names << QString::fromStdString(name);
  names.sort(Qt::CaseInsensitive);
  clear();
  addItems(names);
}

}  // namespace zk
