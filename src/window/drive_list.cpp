#include "drive_list.h"

#include <QSignalBlocker>
#include <cctype>

#include "platform/drives.h"

namespace zk {
namespace {

// "Z: [/]" for a ready drive, "M:" for one whose folder is not there.
QString EntryText(const platform::DriveMap& drives, char letter) {
  QString text = QString(QChar(letter)) + ":";
  if (auto root = drives.DriveRoot(letter)) text += " [" + QString::fromStdString(root->string()) + "]";
  return text;
}

}  // namespace

DriveList::DriveList(const platform::DriveMap& drives, QWidget* parent) : QComboBox(parent), drives_(drives) {
  Refill();
}

void DriveList::Refill() {
  char keep = Drive();
  QSignalBlocker quiet(this);
  clear();
  for (char letter : drives_.MappedDrives()) addItem(EntryText(drives_, letter), QVariant(static_cast<int>(letter)));
  int at = keep ? IndexOf(keep) : -1;
  setCurrentIndex(at >= 0 ? at : 0);
}

char DriveList::Drive() const {
  QVariant letter = currentData();
  return letter.isValid() ? static_cast<char>(letter.toInt()) : 0;
}

int DriveList::IndexOf(char letter) const {
  return findData(QVariant(std::toupper(static_cast<unsigned char>(letter))));
}

bool DriveList::SelectQuietly(char letter) {
  int at = IndexOf(letter);
  if (at < 0) return false;
  QSignalBlocker quiet(this);
  setCurrentIndex(at);
  return true;
}

}  // namespace zk
