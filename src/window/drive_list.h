// The drive list of the window: every mapped drive letter, ready or not.
#pragma once

#include <QComboBox>

#include "platform/drives.h"

namespace zk {

class DriveList : public QComboBox {
  Q_OBJECT
 public:
  // The letters of drives, which must outlive the list.
  explicit DriveList(const platform::DriveMap& drives, QWidget* parent = nullptr);

  // Re-reads the mapped drives, keeping the selected letter where it is still mapped.
  void Refill();
  // The selected letter, upper case; 0 when the list is empty.
  char Drive() const;
  // Selects the entry of a letter without running the change handler; false when unmapped.
  bool SelectQuietly(char letter);
  // The index of a letter's entry, or -1.
  int IndexOf(char letter) const;

 private:
  const platform::DriveMap& drives_;
};

}  // namespace zk
