// zk2morvex: the converter's window.
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <string>

#include "form1.h"
#include "folder_list.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "screenshot.h"
#include "translations.h"
#include "window_options.h"

namespace {

// A folder from the command line in drive form, or "" (with a word on stderr) when it is
// not there, so that the window opens at the working folder instead.
std::string StartFolder(const std::string& given) {
  if (given.empty()) return {};
  std::string folder = zk::AbsoluteFolder(zk::platform::CommandLinePathToDriveForm(given));
  if (folder.empty() || !zk::platform::IsFolder(folder)) {
    std::cerr << "フォルダがありません: " << given << "\n";
    return {};
  }
  return folder;
}

QIcon ProgramIcon() {
  QIcon icon = QIcon::fromTheme("zk2morvex");
  if (icon.isNull()) icon = QIcon(QCoreApplication::applicationDirPath() + "/../share/icons/hicolor/64x64/apps/zk2morvex.png");
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

  zk::Form1 window({StartFolder(options.source), StartFolder(options.destination)});
  if (!window.Form_Load()) return 1;
  window.show();
  if (!options.screenshot.empty()) {
    QStringList presses;
    for (const std::string& name : options.press) presses << QString::fromStdString(name);
    zk::ScheduleScreenshot(window, QString::fromStdString(options.screenshot), presses);
  }
  return app.exec();
}
