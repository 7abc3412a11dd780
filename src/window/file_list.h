// The file list of the window: the plain files of one folder, sorted without regard to case.
#pragma once

#include <QListWidget>
#include <string>

#include "platform/drives.h"

namespace zk {

class FileList : public QListWidget {
  Q_OBJECT
 public:
  // Lists through drives, which must outlive the list.
  explicit FileList(const platform::DriveMap& drives, QWidget* parent = nullptr);

  const std::string& Path() const { return path_; }
  // Lists the plain files of a drive-form folder (an empty list when it is not there).
  void SetPath(const std::string& driveFolder);
  // Reads the folder again.
  void Refresh();

 private:
  const platform::DriveMap& drives_;
  std::string path_;
};

}  // namespace zk
