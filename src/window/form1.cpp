#include "form1.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QProcess>
#include <QScreen>
#include <filesystem>
#include <system_error>

#include "conversion/code_table_setting.h"
#include "conversion/run.h"
#include "findings.h"
#include "findings_dialog.h"
#include "help_file.h"
#include "picture/boring_log_svg.h"
#include "picture_window.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/path_checks.h"
#include "support/text_bytes.h"

namespace zk {
namespace {

// The layout is kept in twips as the forms were drawn; 15 twips are one pixel at 96 dpi.
QRect Twips(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

template <typename W>
W* Place(QWidget* parent, const char* name, QRect where) {
  auto* w = new W(parent);
  w->setObjectName(name);
  w->setGeometry(where);
  return w;
}

// A control that lists what the window's drives hold.
template <typename W>
W* PlaceOnDrives(const platform::DriveMap& drives, QWidget* parent, const char* name, QRect where) {
  auto* w = new W(drives, parent);
  w->setObjectName(name);
  w->setGeometry(where);
  return w;
}

QLabel* Caption(QWidget* parent, const char* name, const char* text, QRect where) {
  auto* label = Place<QLabel>(parent, name, where);
  label->setText(QString::fromUtf8(text));
  return label;
}

QGroupBox* Frame(QWidget* parent, const char* name, const char* title, QRect where) {
  auto* frame = Place<QGroupBox>(parent, name, where);
  frame->setTitle(QString::fromUtf8(title));
  return frame;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, QRect where) {
  auto* button = Place<QPushButton>(parent, name, where);
  button->setText(QString::fromUtf8(text));
  return button;
}

// The working folder in drive form, else the root of Z:.
std::string WorkingFolder(const platform::DriveMap& drives) {
  std::error_code ec;
  auto here = std::filesystem::current_path(ec);
  if (!ec)
    if (auto drive = drives.ToDriveForm(here)) return *drive;
  return "Z:\\";
}

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The text of a path box as the run reads it: a host path (/home/me/B01) is taken through the
// drive map, as the command line takes it; anything else as typed.
std::string BoxPath(const platform::DriveMap& drives, const QLineEdit& box) {
  std::string text = box.text().toStdString();
  std::string trimmed = QXCOMSUB::TrimSpaces(text);
  if (!trimmed.empty() && trimmed[0] == '/') return drives.CommandLinePathToDriveForm(trimmed);
  return text;
}

}  // namespace

Form1::Form1(const StartFolders& start, QWidget* parent)
    : Form1(platform::DriveMap::FromEnvironment(), start, parent) {}

Form1::Form1(platform::DriveMap drives, const StartFolders& start, QWidget* parent) : QWidget(parent) {
  context_.drives = std::move(drives);
  setObjectName("Form1");
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  QFont font;
  font.setFamilies({"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic", "VL Gothic", "Sans Serif"});
  font.setPixelSize(12);
  setFont(font);
  Build();
  OpenAtStart(*Dir2, *Drive2, start.source);
  OpenAtStart(*Dir1, *Drive1, start.destination);
  File1->SetPath(Dir1->Path());
  Connect();
}

Form1::~Form1() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void Form1::Build() {
  setFixedSize(Twips(0, 0, 9075, 6495).size());
  Picture1 = Place<QWidget>(this, "Picture1", Twips(0, 0, 9075, 6495));
  Picture1->setMouseTracking(true);
  Picture1->installEventFilter(this);

  Label2 = Caption(Picture1, "Label2", "変換元ﾌｫﾙﾀﾞ名 ：", Twips(240, 300, 2235, 315));
  Text2 = Place<QLineEdit>(Picture1, "Text2", Twips(2400, 240, 6255, 405));
  Label1 = Caption(Picture1, "Label1", "変換先ﾌｫﾙﾀﾞ名 ：", Twips(240, 900, 2235, 315));
  Text1 = Place<QLineEdit>(Picture1, "Text1", Twips(2400, 840, 6255, 405));

  Frame2 = Frame(Picture1, "Frame2", "変換元ﾌｫﾙﾀﾞ名選択", Twips(240, 1620, 3135, 2895));
  Dir2 = PlaceOnDrives<FolderList>(context_.drives, Frame2, "Dir2", Twips(180, 420, 2595, 1530));
  Drive2 = PlaceOnDrives<DriveList>(context_.drives, Frame2, "Drive2", Twips(180, 2220, 2595, 390));

  Frame1 = Frame(Picture1, "Frame1", "変換先ﾌｫﾙﾀﾞ名選択", Twips(3540, 1620, 5175, 2895));
  Dir1 = PlaceOnDrives<FolderList>(context_.drives, Frame1, "Dir1", Twips(120, 420, 2415, 1530));
  Drive1 = PlaceOnDrives<DriveList>(context_.drives, Frame1, "Drive1", Twips(120, 2220, 2415, 390));
  File1 = PlaceOnDrives<FileList>(context_.drives, Frame1, "File1", Twips(2640, 420, 2415, 2190));

  Frame3 = Frame(Picture1, "Frame3", "メッセージ", Twips(240, 4740, 8475, 675));
  Label3 = Caption(Frame3, "Label3", "", Twips(180, 240, 8175, 315));

  Command1 = Button(Picture1, "Command1", "実  行", Twips(2520, 5580, 1935, 555));
  Command2 = Button(Picture1, "Command2", "終  了", Twips(5160, 5580, 2055, 555));
  BuildAdditions();
}

// Beside the run and exit buttons, leaving every control of the form where it was.
void Form1::BuildAdditions() {
  Command3 = Button(Picture1, "Command3", "点  検", Twips(1020, 5580, 1260, 555));
  Command3->setToolTip(QString::fromUtf8("変換せずに、変換元のボーリングの表を点検します"));
  Command4 = Button(Picture1, "Command4", "柱状図", Twips(7455, 5580, 1260, 555));
  Command4->setToolTip(QString::fromUtf8("変換した交換ファイルの柱状図を表示します"));
  Command4->setEnabled(false);
}

void Form1::Connect() {
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
  connect(Dir1, &FolderList::Changed, this, &Form1::Dir1_Change);
  connect(Dir2, &FolderList::Changed, this, &Form1::Dir2_Change);
  connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
  connect(Drive2, &QComboBox::currentIndexChanged, this, &Form1::Drive2_Change);
  connect(File1, &QListWidget::itemClicked, this, &Form1::File1_Click);
}

// A start folder that cannot be opened leaves the list at the working folder; the drive list
// shows the drive of whatever folder the list holds.
void Form1::OpenAtStart(FolderList& dir, DriveList& drive, const std::string& folder) {
  if (folder.empty() || !dir.SetPath(folder))
    if (!dir.SetPath(WorkingFolder(context_.drives))) dir.SetPath("Z:\\");
  if (!dir.Path().empty()) drive.SelectQuietly(dir.Path()[0]);
}

bool Form1::Form_Load() {
  Centre();
  if (!LoadOrChooseCodeTableFolder(
          context_.drives, *this, [this] { return ChooseCodeTableFolder(); }, context_.codeTableFolder))
    return false;
  helpFilePath_ = LocateHelpFile(context_.drives, QCoreApplication::applicationDirPath().toStdString(),
                                 qEnvironmentVariable("PATH").toStdString());
  completionFlag = 0;
  Text1->setText(Q(Dir1->Path()));
  Text2->setText(Q(Dir2->Path()));
  return true;
}

std::string Form1::ChooseCodeTableFolder() {
  QString folder = QFileDialog::getExistingDirectory(
      this, QString::fromUtf8("コード表のフォルダ (L9.txt と Kishitu.txt のあるフォルダ)"), QDir::homePath());
  return folder.toStdString();
}

void Form1::Centre() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  QRect area = s->geometry();
  move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

// A run that found something in the boring says how much on the status line, after the
// completion message, and lists it at once.
void Form1::Command1_Click() {
  RunResult run = RunWithFindings(*this, context_);
  if (!run.converted) return;
  completionFlag = 1;
  ShowDestinationFolder(QXCOMSUB::FolderPart(run.exchangeFilePath));
  lastExchangeFile_ = run.exchangeFilePath;
  Command4->setEnabled(true);
  QString count = Q(FindingsCountText(run.report));
  if (count.isEmpty()) return;
  Label3->setText(Label3->text() + QString::fromUtf8("　") + count);
  FindingsDialog list(run.report, true, this);
  ExecDialog(list);
}

// The findings of the source boring without converting it; the path is checked as a run
// checks it, and nothing is written.
void Form1::Command3_Click() {
  std::optional<BoringCheck> check = CheckWithoutConverting(*this, context_);
  if (!check) return;
  completionFlag = 0;
  FindingsDialog list(*check, false, this);
  ExecDialog(list);
}

void Form1::Command4_Click() {
  if (lastExchangeFile_.empty()) return;
  std::string svg;
  if (Status s = DrawLogPicture(context_.drives, lastExchangeFile_, svg); !s) {
    ShowMessage(s.Message(), Icon::Exclamation, "");
    return;
  }
  PictureWindow picture(context_.drives, svg, lastExchangeFile_, this);
  ExecDialog(picture);
}

// After a run into a typed destination the lists move there, so that the new exchange file
// is in sight.
void Form1::ShowDestinationFolder(const std::string& driveFolder) {
  std::string folder = AbsoluteFolder(context_.drives, driveFolder);
  if (folder.empty() || folder == Dir1->Path()) return;
  if (!Dir1->SetPath(folder)) return;
  Drive1->SelectQuietly(Dir1->Path()[0]);
}

void Form1::Command2_Click() { close(); }

void Form1::Dir1_Change() {
  File1->SetPath(Dir1->Path());
  Text1->setText(Q(Dir1->Path()));
  context_.drives.SetCurrentFolder(Dir1->Path());
}

void Form1::Dir2_Change() {
  Text2->setText(Q(Dir2->Path()));
  context_.drives.SetCurrentFolder(Dir2->Path());
}

void Form1::Drive1_Change() { DriveChange(*Drive1, *Dir1); }

void Form1::Drive2_Change() { DriveChange(*Drive2, *Dir2); }

// A drive that is not ready sends the list back to its first entry, which runs this handler
// again for that drive. When the first entry is itself the one not ready, the list shows the
// folder list's drive again instead of going round.
void Form1::DriveChange(DriveList& drive, FolderList& dir) {
  if (!dir.SetPath(std::string(1, drive.Drive()) + ":")) {
    if (drive.currentIndex() != 0) {
      drive.setCurrentIndex(0);
    } else if (!dir.Path().empty()) {
      drive.SelectQuietly(dir.Path()[0]);
    }
  }
  int remembered = drive.currentIndex();
  if (!context_.drives.SetCurrentDrive(drive.Drive())) {
    QSignalBlocker quiet(&drive);
    drive.setCurrentIndex(remembered);
  }
}

void Form1::File1_Click() {}

void Form1::Picture1_MouseMove() {
  if (completionFlag != 1) return;
  Label3->clear();
  completionFlag = 0;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Picture1 && event->type() == QEvent::MouseMove) Picture1_MouseMove();
  return QWidget::eventFilter(watched, event);
}

void Form1::SetStatus(const std::string& text) {
  Label3->setText(Q(text));
  Label3->repaint();  // the run holds the thread; paint the line now, without taking input
}

void Form1::ShowMessage(const std::string& text, Icon icon, const std::string& title) {
  QMessageBox box(this);
  box.setTextFormat(Qt::PlainText);
  box.setWindowTitle(Q(title.empty() ? std::string(kProgramTitle) : title));
  box.setText(Q(text));
  box.setIcon(icon == Icon::Exclamation   ? QMessageBox::Warning
              : icon == Icon::Information ? QMessageBox::Information
                                          : QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  ExecMessageBox(box);
}

bool Form1::AskYesNo(const std::string& text) {
  QMessageBox box(this);
  box.setTextFormat(Qt::PlainText);
  box.setWindowTitle(QString::fromUtf8(kProgramTitle));
  box.setText(Q(text));
  box.setIcon(QMessageBox::Question);
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  return ExecMessageBox(box) == QMessageBox::Yes;
}

void Form1::SetBusy(bool on) {
  if (on == busy_) return;
  if (on)
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QApplication::restoreOverrideCursor();
  busy_ = on;
}

void Form1::FocusDestination() {
  Text1->setFocus(Qt::OtherFocusReason);
  Text1->selectAll();
}

void Form1::RefreshDestinationList() { File1->Refresh(); }

std::string Form1::SourceText() { return BoxPath(context_.drives, *Text2); }

std::string Form1::DestinationText() { return BoxPath(context_.drives, *Text1); }

void Form1::ShowHelp(int context) {
  if (context == 4 || helpFilePath_.empty()) return;
  std::string opener = DesktopOpener();
  if (opener.empty()) return;
  OpenWithDesktop(Q(opener), Q(helpFilePath_));
}

int Form1::ExecMessageBox(QMessageBox& box) { return box.exec(); }

int Form1::ExecDialog(QDialog& dialog) { return dialog.exec(); }

void Form1::OpenWithDesktop(const QString& program, const QString& file) { QProcess::startDetached(program, {file}); }

}  // namespace zk
