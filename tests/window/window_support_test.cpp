// The window's helpers without the window: folder paths, the help file search and how help
// is shown, and the command line.
#include <QTest>
#include <filesystem>

#include "folder_list.h"
#include "help_file.h"
#include "platform/drives.h"
#include "support/test_util.h"
#include "test_form.h"
#include "window_options.h"
#include "window_tests.h"

namespace fs = std::filesystem;

namespace zk::test {

class WindowSupportTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    qunsetenv("ZK_DRIVES");
    drives_ = platform::DriveMap::FromEnvironment();
  }
  void cleanup() { init(); }

  void absoluteFolder_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("folder");
    QTest::newRow("kept") << "Z:\\tmp\\a"
                          << "Z:\\tmp\\a";
    QTest::newRow("final separator dropped") << "Z:\\tmp\\a\\"
                                             << "Z:\\tmp\\a";
    QTest::newRow("root keeps its separator") << "Z:\\"
                                              << "Z:\\";
    QTest::newRow("lower-case drive") << "z:\\tmp"
                                      << "Z:\\tmp";
    QTest::newRow("drive alone is its current folder") << "Z:"
                                                       << "Z:\\";
    QTest::newRow("drive-relative") << "Z:tmp\\a"
                                    << "Z:\\tmp\\a";
    QTest::newRow("dot and dot-dot") << "Z:\\a\\.\\b\\..\\c"
                                     << "Z:\\a\\c";
    QTest::newRow("dot-dot above the root") << "Z:\\..\\..\\a"
                                            << "Z:\\a";
    QTest::newRow("empty names") << "Z:\\\\a\\\\b"
                                 << "Z:\\a\\b";
    QTest::newRow("full-width names") << "Z:\\調査\\ボーリング"
                                      << "Z:\\調査\\ボーリング";
    QTest::newRow("no drive") << "tmp\\a"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("digit for a drive") << "1:\\a"
                                       << "";
  }
  void absoluteFolder() {
    QFETCH(QString, given);
    QFETCH(QString, folder);
    QCOMPARE(QString::fromStdString(AbsoluteFolder(drives_, given.toStdString())), folder);
  }

  void drivesCurrentFolderIsUsed() {
    TempFolder top;
    fs::create_directory(top.path() / "sub");
    QVERIFY(drives_.SetCurrentFolder(top.Drive()));
    QCOMPARE(QString::fromStdString(AbsoluteFolder(drives_, "Z:")), QString::fromStdString(top.Drive()));
    QCOMPARE(QString::fromStdString(AbsoluteFolder(drives_, "Z:sub")), QString::fromStdString(top.Drive("sub")));
  }

  void folderListRefusesWhatIsNotThere_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << "@\\missing";
    QTest::newRow("a file") << "@\\file.txt";
    QTest::newRow("unmapped drive") << "Q:\\";
    QTest::newRow("no drive") << "boring";
  }
  void folderListRefusesWhatIsNotThere() {
    QFETCH(QString, path);
    TempFolder top;
    top.WriteBytes("file.txt", "x");
    FolderList list(drives_);
    QVERIFY(list.SetPath(top.Drive()));
    int rows = list.count();
    QVERIFY(!list.SetPath(path.replace("@", QString::fromStdString(top.Drive())).toStdString()));
    QCOMPARE(QString::fromStdString(list.Path()), QString::fromStdString(top.Drive()));
    QCOMPARE(list.count(), rows);
  }

  void subFoldersSortedWithoutCase() {
    TempFolder top;
    // A name holding a backslash or a line break has no drive form (Z:\...\a\b is b in a).
    for (const char* name : {"b", "A", "c", ".git", "a\\b", "x\ny"}) fs::create_directory(top.path() / name);
    top.WriteBytes("a-file", "");
    std::vector<std::string> expected{"A", "b", "c"};
    QVERIFY(SubFolders(drives_, top.Drive()) == expected);
  }

  void locateHelpFile_data() {
    QTest::addColumn<QStringList>("files");  // help files to create, relative to the temp folder
    QTest::addColumn<QString>("program");    // "@" is the temp folder
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("found");  // relative, "" for none
    QTest::newRow("program folder") << QStringList{"prog/KavoroQX.HLP", "p1/KavoroQX.HLP"} << "@/prog"
                                    << "@/p1"
                                    << "prog/KavoroQX.HLP";
    QTest::newRow("program folder with final separator") << QStringList{"prog/KavoroQX.HLP"} << "@/prog/"
                                                         << ""
                                                         << "prog/KavoroQX.HLP";
    QTest::newRow("second path entry") << QStringList{"p2/KavoroQX.HLP"} << "@/prog"
                                       << "@/p1;@/p2"
                                       << "p2/KavoroQX.HLP";
    QTest::newRow("first hit wins") << QStringList{"p1/KavoroQX.HLP", "p2/KavoroQX.HLP"} << "@/prog"
                                    << "@/p2;@/p1;"
                                    << "p2/KavoroQX.HLP";
    QTest::newRow("entry with final separator") << QStringList{"p1/KavoroQX.HLP"} << "@/prog"
                                                << "@/p1/"
                                                << "p1/KavoroQX.HLP";
    QTest::newRow("letter case of the name") << QStringList{"p1/kavoroqx.hlp"} << "@/prog"
                                             << "@/p1"
                                             << "p1/kavoroqx.hlp";
    QTest::newRow("colon does not separate") << QStringList{"p2/KavoroQX.HLP"} << "@/prog"
                                             << "@/p1:@/p2"
                                             << "";
    QTest::newRow("empty path") << QStringList{"p1/KavoroQX.HLP"} << "@/prog"
                                << ""
                                << "";
    QTest::newRow("missing entries skipped") << QStringList{"p2/KavoroQX.HLP"} << "@/none"
                                             << "@/gone;;@/p2"
                                             << "p2/KavoroQX.HLP";
    QTest::newRow("a folder of that name is no file") << QStringList{"p1/KavoroQX.HLP/"} << "@/prog"
                                                      << "@/p1"
                                                      << "";
  }
  void locateHelpFile() {
    QFETCH(QStringList, files);
    QFETCH(QString, program);
    QFETCH(QString, path);
    QFETCH(QString, found);
    TempFolder top;
    QString at = QString::fromStdString(top.path().string());
    for (const QString& f : files) {
      fs::path p = top.path() / f.toStdString();
      if (f.endsWith('/')) {
        fs::create_directories(p);
      } else {
        fs::create_directories(p.parent_path());
        top.WriteBytes(f.toStdString(), "help");
      }
    }
    std::string result =
        LocateHelpFile(drives_, program.replace("@", at).toStdString(), path.replace("@", at).toStdString());
    QCOMPARE(QString::fromStdString(result), found.isEmpty() ? QString() : at + "/" + found);
  }

  void showHelp_data() {
    QTest::addColumn<bool>("helpFile");
    QTest::addColumn<bool>("opener");
    QTest::addColumn<int>("context");
    QTest::addColumn<bool>("opened");
    QTest::newRow("file and opener") << true << true << 1 << true;
    QTest::newRow("other context") << true << true << 12 << true;
    QTest::newRow("help on help") << true << true << 4 << false;
    QTest::newRow("no opener") << true << false << 1 << false;
    QTest::newRow("no help file") << false << true << 1 << false;
  }
  void showHelp() {
    QFETCH(bool, helpFile);
    QFETCH(bool, opener);
    QFETCH(int, context);
    QFETCH(bool, opened);
    TempFolder bin, system, codes;
    if (helpFile) bin.WriteBytes("KavoroQX.HLP", "help");
    if (opener) {
      bin.WriteBytes("xdg-open", "#!/bin/sh\nexit 0\n");
      fs::permissions(bin.path() / "xdg-open", fs::perms::owner_all);
    }
    system.WriteCp932("RaroreD5.ini", "[VUREDA]\r\n\"" + codes.Drive() + "\\\"\r\n");
    ScopedEnv sysdir("ZK_SYSDIR", QByteArray::fromStdString(system.path().string()));
    ScopedEnv path("PATH", QByteArray::fromStdString(bin.path().string()));
    TestForm1 form;
    QVERIFY(form.Form_Load());
    form.ShowHelp(context);
    QString help = QString::fromStdString((bin.path() / "KavoroQX.HLP").string());
    QCOMPARE(QString::fromStdString(form.HelpFilePath()), helpFile ? help : QString());
    if (opened) {
      QCOMPARE(form.opened.size(), std::size_t{1});
      QCOMPARE(form.opened[0], (QStringList{QString::fromStdString((bin.path() / "xdg-open").string()), help}));
    } else {
      QVERIFY(form.opened.empty());
    }
  }

  void windowArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("screenshot");
    QTest::newRow("none") << QStringList{} << true << ""
                          << ""
                          << "";
    QTest::newRow("source") << QStringList{"sample/B001"} << true << "sample/B001"
                            << ""
                            << "";
    QTest::newRow("both") << QStringList{"Z:\\a", "/tmp/out"} << true << "Z:\\a"
                          << "/tmp/out"
                          << "";
    QTest::newRow("screenshot") << QStringList{"--screenshot", "w.png", "a"} << true << "a"
                                << ""
                                << "w.png";
    QTest::newRow("screenshot=") << QStringList{"a", "b", "--screenshot=w.png"} << true << "a"
                                 << "b"
                                 << "w.png";
    QTest::newRow("screenshot without file") << QStringList{"--screenshot"} << false << ""
                                             << ""
                                             << "";
    QTest::newRow("three folders") << QStringList{"a", "b", "c"} << false << ""
                                   << ""
                                   << "";
    QTest::newRow("unknown option") << QStringList{"--fast"} << false << ""
                                    << ""
                                    << "";
  }
  void windowArguments() {
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(QString, screenshot);
    std::vector<std::string> list;
    for (const QString& a : args) list.push_back(a.toStdString());
    WindowOptions options;
    std::string error;
    QCOMPARE(ParseWindowArguments(list, options, error), ok);
    QCOMPARE(error.empty(), ok);
    if (!ok) return;
    QCOMPARE(QString::fromStdString(options.source), source);
    QCOMPARE(QString::fromStdString(options.destination), destination);
    QCOMPARE(QString::fromStdString(options.screenshot), screenshot);
  }

 private:
  platform::DriveMap drives_;  // the environment's, made afresh for each test
};

int RunWindowSupportTests(int argc, char** argv) {
  WindowSupportTest tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace zk::test

#include "window_support_test.moc"
