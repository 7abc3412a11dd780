// The folder list of the window: the open folder's ancestors from the drive root down, then
// its sub-folders, all in drive form. Activating an entry (double click, Enter) opens it.
#pragma once

#include <QListWidget>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace zk {

// Role of an entry's full drive-form path.
inline constexpr int kFolderPathRole = Qt::UserRole + 1;

// A drive-form folder path made absolute and tidy: "Z:" is the drive's current folder,
// "Z:tmp" lies under it, "." and ".." are resolved, empty names dropped; the root keeps its
// "\" ("Z:\"), any other folder has none at the end. "" when the text names no drive.
std::string AbsoluteFolder(const platform::DriveMap& drives, const std::string& drivePath);

// The names of the visible sub-folders of a drive-form folder, sorted without regard to case.
std::vector<std::string> SubFolders(const platform::DriveMap& drives, const std::string& driveFolder);

class FolderList : public QListWidget {
  Q_OBJECT
 public:
  // Opens folders through drives, which must outlive the list.
  explicit FolderList(const platform::DriveMap& drives, QWidget* parent = nullptr);

  // The open folder, drive form ("Z:\tmp\boring", the root as "Z:\"); "" before the first SetPath.
  const std::string& Path() const { return path_; }
  // Opens a folder (a drive letter with ":" alone opens that drive's current folder). false,
  // with nothing changed, when the drive is not ready or the folder is not there. Emits
  // Changed when the open folder is a different one.
  bool SetPath(const std::string& drivePath);
  // Re-reads the open folder's sub-folders.
  void Refresh();

 signals:
  void Changed();

 private:
  void Fill();
  const platform::DriveMap& drives_;
  std::string path_;
};

}  // namespace zk
