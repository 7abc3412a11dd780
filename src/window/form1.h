// The program's one window: the source and destination folders with their drive, folder and
// file lists, the status line, the run and exit buttons. It is also the window the run talks
// to (WindowOps); the run executes on this thread and the window waits for it.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <string>

#include "conversion/context.h"
#include "conversion/window_ops.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_list.h"

namespace zk {

// The folders the window opens at start (drive form); empty: the working folder.
struct StartFolders {
  std::string source;
  std::string destination;
};

class Form1 : public QWidget, public WindowOps {
  Q_OBJECT
 public:
  // A window over the drives of the environment.
  explicit Form1(const StartFolders& start = {}, QWidget* parent = nullptr);
  // A window over drives, which it keeps as its own.
  Form1(platform::DriveMap drives, const StartFolders& start, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up: centres the window, loads the code-table setting, finds the help file and fills
  // the path boxes. Without a usable setting the user is told why and offered to choose the
  // code-table folder now. false: no setting; the program ends.
  bool Form_Load();

  // Hands the help file to the desktop's opener; nothing when there is no file or no opener.
  // Context 4 (help on the help viewer itself) has nothing to show here.
  void ShowHelp(int context);
  const std::string& HelpFilePath() const { return helpFilePath_; }

  // WindowOps.
  void SetStatus(const std::string& text) override;
  void ShowMessage(const std::string& text, Icon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text) override;
  void SetBusy(bool on) override;
  void FocusDestination() override;
  void RefreshDestinationList() override;
  std::string SourceText() override;
  std::string DestinationText() override;

  // The controls, by their names.
  QWidget* Picture1;
  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* Text1;
  QLineEdit* Text2;
  QGroupBox* Frame1;
  QGroupBox* Frame2;
  QGroupBox* Frame3;
  FolderList* Dir1;
  FolderList* Dir2;
  DriveList* Drive1;
  DriveList* Drive2;
  FileList* File1;
  QLabel* Label3;
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;  // check the boring without converting it
  QPushButton* Command4;  // the boring log picture of the exchange file just written

  // Set to 1 after a run that converted; the status line is cleared on the next mouse move
  // over the picture area, which sets it back to 0.
  int completionFlag = 0;
  // What every run of this window needs: the window's drives, the code-table folder of the
  // setting, and the soil-name table kept from one boring to the next.
  ConversionContext& context() { return context_; }

 public slots:
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Dir1_Change();
  void Dir2_Change();
  void Drive1_Change();
  void Drive2_Change();
  void File1_Click();
  void Picture1_MouseMove();

 protected:
  // Runs a prepared message box modally and returns the button pressed. Tests override it
  // to read the box and answer without showing it.
  virtual int ExecMessageBox(QMessageBox& box);
  // Starts the desktop opener on a file, detached.
  virtual void OpenWithDesktop(const QString& program, const QString& file);
  // Runs a prepared dialog (the findings list, the picture) modally. Tests override it to
  // look into the dialog and close it without showing it.
  virtual int ExecDialog(QDialog& dialog);
  // Lets the user pick the code-table folder; its host path, or "" when cancelled.
  virtual std::string ChooseCodeTableFolder();

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void Connect();
  void Centre();
  void OpenAtStart(FolderList& dir, DriveList& drive, const std::string& folder);
  void DriveChange(DriveList& drive, FolderList& dir);
  void BuildAdditions();
  void ShowDestinationFolder(const std::string& driveFolder);

  std::string helpFilePath_;
  ConversionContext context_;
  bool busy_ = false;
  std::string lastExchangeFile_;  // drive form; "" until a run converted
};

}  // namespace zk
