// zk2morvex: the converter's window.
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <string>

#include "folder_list.h"
#include "form1.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "screenshot.h"
#include "translations.h"
#include "window_options.h"

namespace {

// A folder from the command line in drive form, or "" (with a word on stderr) when it is
// not there, so that the window opens at the working folder instead.
std::string StartFolder(const zk::platform::DriveMap& drives, const std::string& given) {
  if (given.empty()) return {};
  std::string folder = zk::AbsoluteFolder(drives, drives.CommandLinePathToDriveForm(given));
  if (folder.empty() || !zk::platform::IsFolder(drives, folder)) {
    std::cerr << "フォルダがありません: " << given << "\n";
    return {};
  }
  return folder;
}

QIcon ProgramIcon() {
  QIcon icon = QIcon::fromTheme("zk2morvex");
  if (icon.isNull())
    icon = QIcon(QCoreApplication::applicationDirPath() + "/../share/icons/hicolor/64x64/apps/zk2morvex.png");
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  // Help needs no display: answer it before the window system is opened.
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      std::cout << zk::kWindowUsage;
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("zk2morvex");
  QApplication::setWindowIcon(ProgramIcon());
  zk::LoadQtTranslations(app);

  std::vector<std::string> args;
  for (const QString& a : QApplication::arguments().mid(1)) args.push_back(a.toStdString());
  zk::WindowOptions options;
  std::string error;
  if (!zk::ParseWindowArguments(args, options, error)) {
    std::cerr << error << "\n" << zk::kWindowUsage;
    return 2;
  }

  // One map of the drives for the program, kept by the window once the start folders are found.
  zk::platform::DriveMap drives = zk::platform::DriveMap::FromEnvironment();
  zk::StartFolders start{StartFolder(drives, options.source), StartFolder(drives, options.destination)};
  zk::Form1 window(std::move(drives), start);
  if (!window.Form_Load()) return 1;
  window.show();
  if (!options.screenshot.empty()) {
    QStringList presses;
    for (const std::string& name : options.press) presses << QString::fromStdString(name);
    zk::ScheduleScreenshot(window, QString::fromStdString(options.screenshot), presses);
  }
  return app.exec();
}
