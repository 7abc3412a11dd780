// Form1 for tests: message boxes are read and answered instead of shown, dialogs are looked
// into and closed instead of shown, and the desktop opener is recorded instead of started.
#pragma once

#include <QMessageBox>
#include <deque>
#include <functional>
#include <vector>

#include "form1.h"

namespace zk::test {

struct Box {
  QString text;
  QString title;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton;
};

class TestForm1 : public Form1 {
 public:
  using Form1::Form1;

  std::deque<bool> answers;  // for questions, in order; No when none is left
  std::vector<Box> boxes;    // every box, in order
  std::vector<QStringList> opened;
  std::vector<QString> dialogs;  // the object name of every dialog, in order
  std::function<void(QDialog&)> onDialog;  // looks into (or works) each dialog while it is open
  std::deque<std::string> chosenFolders;  // what the folder dialog returns, in order; "" cancels

  QStringList Texts() const {
    QStringList texts;
    for (const Box& b : boxes) texts << b.text;
    return texts;
  }

 protected:
  int ExecMessageBox(QMessageBox& box) override {
    QPushButton* def = box.defaultButton();
    boxes.push_back({box.text(), box.windowTitle(), box.icon(), box.standardButtons(),
                     def ? box.standardButton(def) : QMessageBox::NoButton});
    if (!(box.standardButtons() & QMessageBox::Yes)) return QMessageBox::Ok;
    bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes ? QMessageBox::Yes : QMessageBox::No;
  }
  void OpenWithDesktop(const QString& program, const QString& file) override { opened.push_back({program, file}); }
  int ExecDialog(QDialog& dialog) override {
    dialogs.push_back(dialog.objectName());
    if (onDialog) onDialog(dialog);
    return QDialog::Accepted;
  }
  std::string ChooseCodeTableFolder() override {
    if (chosenFolders.empty()) return {};
    std::string folder = chosenFolders.front();
    chosenFolders.pop_front();
    return folder;
  }
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnv() {
    if (had_) qputenv(name_, old_);
    else qunsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

}  // namespace zk::test
