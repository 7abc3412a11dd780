// The list of what was found in a boring, after a conversion or a check: one row a finding
// (table and line, error or warning, what the conversion does with it, the finding's code),
// with a button that copies the whole list as text.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "conversion/check.h"

namespace zk {

class FindingsDialog : public QDialog {
  Q_OBJECT
 public:
  // converted: the list follows a conversion (else a check that wrote nothing).
  FindingsDialog(const BoringCheck& check, bool converted, QWidget* parent = nullptr);

  // The list as text, as the copy button puts it on the clipboard.
  const QString& Text() const { return text_; }

  QLabel* Heading;
  QTableWidget* List;
  QPushButton* CopyButton;
  QPushButton* CloseButton;

 public slots:
  void Copy();

 private:
  QString text_;
};

}  // namespace zk
