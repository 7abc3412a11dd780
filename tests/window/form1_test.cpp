// Form1 on the offscreen platform: its controls, start-up, the lists, and runs driven from
// the run button with every message box answered through the test window.
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <memory>

#include "conversion/run.h"
#include "platform/drives.h"
#include "support/path_checks.h"
#include "support/settings.h"
#include "support/test_util.h"
#include "test_form.h"
#include "translations.h"
#include "window_tests.h"

namespace fs = std::filesystem;

namespace zk::test {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A boring folder with its title table alone: enough for the five header records.
void WriteBoring(const TempFolder& folder) {
  folder.WriteCp932("titl01.txt",
                    "\"東京都港区調査\",1,\"\",12,\"\",\"\",\"2026\",\"11\",\"\",\"No.1\",35,39,29.1,139,45,45.5,"
                    "\"\",\"  調査会社 太郎  \",\"\",\"\",\"\",\"\",\"\"\r\n");
}

// A settings file naming an existing code-table folder, through ZK_SYSDIR.
class Setting {
 public:
  Setting() : env_("ZK_SYSDIR", QByteArray::fromStdString(system_.path().string())) {
    system_.WriteCp932("RaroreD5.ini", "[VUREDA]\r\n\"" + codes_.Drive() + "\\\"\r\n");
  }

 private:
  TempFolder system_, codes_;
  ScopedEnv env_;
};

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text().trimmed();
  return items;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init() { qunsetenv("ZK_DRIVES"); }
  void cleanup() { init(); }

  void captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Label1") << "Label1"
                            << "変換先ﾌｫﾙﾀﾞ名 ：";
    QTest::newRow("Label2") << "Label2"
                            << "変換元ﾌｫﾙﾀﾞ名 ：";
    QTest::newRow("Frame1") << "Frame1"
                            << "変換先ﾌｫﾙﾀﾞ名選択";
    QTest::newRow("Frame2") << "Frame2"
                            << "変換元ﾌｫﾙﾀﾞ名選択";
    QTest::newRow("Frame3") << "Frame3"
                            << "メッセージ";
    QTest::newRow("Command1") << "Command1"
                              << "実  行";
    QTest::newRow("Command2") << "Command2"
                              << "終  了";
    QTest::newRow("Label3 empty") << "Label3"
                                  << "";
    QTest::newRow("window title") << "Form1"
                                  << "Zk -> MORVEX 変換プログラム";
  }
  void captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    TestForm1 form;
    QWidget* w = name == "Form1" ? &form : form.findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(w))
      shown = label->text();
    else if (auto* frame = qobject_cast<QGroupBox*>(w))
      shown = frame->title();
    else if (auto* button = qobject_cast<QPushButton*>(w))
      shown = button->text();
    else
      shown = w->windowTitle();
    QCOMPARE(shown, caption);
  }

  void geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("pixels");
    // twips / 15
    QTest::newRow("Picture1") << "Picture1"
                              << "Form1" << QRect(0, 0, 605, 433);
    QTest::newRow("Label2") << "Label2"
                            << "Picture1" << QRect(16, 20, 149, 21);
    QTest::newRow("Text2") << "Text2"
                           << "Picture1" << QRect(160, 16, 417, 27);
    QTest::newRow("Label1") << "Label1"
                            << "Picture1" << QRect(16, 60, 149, 21);
    QTest::newRow("Text1") << "Text1"
                           << "Picture1" << QRect(160, 56, 417, 27);
    QTest::newRow("Frame2") << "Frame2"
                            << "Picture1" << QRect(16, 108, 209, 193);
    QTest::newRow("Dir2") << "Dir2"
                          << "Frame2" << QRect(12, 28, 173, 102);
    QTest::newRow("Drive2") << "Drive2"
                            << "Frame2" << QRect(12, 148, 173, 26);
    QTest::newRow("Frame1") << "Frame1"
                            << "Picture1" << QRect(236, 108, 345, 193);
    QTest::newRow("Dir1") << "Dir1"
                          << "Frame1" << QRect(8, 28, 161, 102);
    QTest::newRow("Drive1") << "Drive1"
                            << "Frame1" << QRect(8, 148, 161, 26);
    QTest::newRow("File1") << "File1"
                           << "Frame1" << QRect(176, 28, 161, 146);
    QTest::newRow("Frame3") << "Frame3"
                            << "Picture1" << QRect(16, 316, 565, 45);
    QTest::newRow("Label3") << "Label3"
                            << "Frame3" << QRect(12, 16, 545, 21);
    QTest::newRow("Command1") << "Command1"
                              << "Picture1" << QRect(168, 372, 129, 37);
    QTest::newRow("Command2") << "Command2"
                              << "Picture1" << QRect(344, 372, 137, 37);
  }
  void geometry() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, pixels);
    TestForm1 form;
    auto* w = form.findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->parentWidget()->objectName(), container);
    QCOMPARE(w->geometry(), pixels);
    QCOMPARE(form.size(), QSize(605, 433));
  }

  void membersAreTheNamedControls() {
    TestForm1 form;
    const std::pair<const char*, QWidget*> members[] = {
        {"Picture1", form.Picture1}, {"Label1", form.Label1}, {"Label2", form.Label2},     {"Label3", form.Label3},
        {"Text1", form.Text1},       {"Text2", form.Text2},   {"Frame1", form.Frame1},     {"Frame2", form.Frame2},
        {"Frame3", form.Frame3},     {"Dir1", form.Dir1},     {"Dir2", form.Dir2},         {"Drive1", form.Drive1},
        {"Drive2", form.Drive2},     {"File1", form.File1},   {"Command1", form.Command1}, {"Command2", form.Command2}};
    for (const auto& [name, member] : members) QCOMPARE(form.findChild<QWidget*>(name), member);
  }

  void startUpWithSetting() {
    Setting setting;
    TempFolder source, destination;
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    QVERIFY(form.boxes.empty());
    QCOMPARE(form.Text2->text(), Q(source.Drive()));
    QCOMPARE(form.Text1->text(), Q(destination.Drive()));
    QCOMPARE(form.Drive2->Drive(), 'Z');
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(form.pos(), QPoint((screen.width() - form.width()) / 2, (screen.height() - form.height()) / 2));
  }

  void startUpWithoutSetting_data() {
    QTest::addColumn<QString>("ini");  // "-": no settings file
    QTest::newRow("no settings file") << "-";
    QTest::newRow("empty settings file") << "";
    QTest::newRow("first line only") << "[VUREDA]\r\n";
    QTest::newRow("folder not there") << "[VUREDA]\r\n\"Z:\\zk-no-such-folder\\codes\\\"\r\n";
  }
  void startUpWithoutSetting() {
    QFETCH(QString, ini);
    TempFolder system;
    ScopedEnv env("ZK_SYSDIR", QByteArray::fromStdString(system.path().string()));
    if (ini != "-") system.WriteCp932("RaroreD5.ini", ini.toStdString());
    TestForm1 form;
    QVERIFY(!form.Form_Load());
    QCOMPARE(form.boxes.size(), std::size_t{2});  // the message, then the offer to choose the folder (No)
    QCOMPARE(form.boxes[1].text, "コード表のフォルダ (L9.txt と Kishitu.txt のあるフォルダ) を今選びますか？");
    QCOMPARE(form.boxes[1].icon, QMessageBox::Question);
    QCOMPARE(form.boxes[0].text.section('\n', 0, 0), Q(kNoVuredaMessage));
    QVERIFY(form.boxes[0]
                .text.section('\n', 1, 1)
                .startsWith(Q("「" + (system.path() / "RaroreD5.ini").string() + "」: ")));
    QCOMPARE(form.boxes[0].title, Q(kProgramTitle));
    QCOMPARE(form.boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(form.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

  void runConvertsAndListsTheNewFile() {
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(!Items(form.File1).contains("53393681.001"));

    QTest::mouseClick(form.Command1, Qt::LeftButton);

    QCOMPARE(form.Texts(), QStringList());
    QCOMPARE(form.Label3->text(), "変換が正常に終了しました。");
    QVERIFY(fs::is_regular_file(destination.path() / "53393681.001"));
    QCOMPARE(Items(form.File1), QStringList{"53393681.001"});
    QVERIFY(fs::is_regular_file(source.path() / "BORLING.NO"));
    QCOMPARE(form.completionFlag, 1);
    QVERIFY(!QApplication::overrideCursor());
  }

  void secondRunAsksFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("status");
    // Yes writes the recorded file again under its own name.
    QTest::newRow("yes") << true << QStringList{"53393681.001"} << "変換が正常に終了しました。";
    QTest::newRow("no") << false << QStringList{"53393681.001"} << "";
  }
  void secondRunAsksFirst() {
    QFETCH(bool, yes);
    QFETCH(QStringList, files);
    QFETCH(QString, status);
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.Command1_Click();
    QVERIFY(form.boxes.empty());
    form.completionFlag = 0;

    form.answers = {yes};
    form.Command1_Click();

    QCOMPARE(form.boxes.size(), std::size_t{1});
    const Box& question = form.boxes[0];
    QCOMPARE(question.text,
             "既に同一ﾌｫﾙﾀﾞ「" + Q(destination.Drive("53393681.001")) + "」に変換済みです。変換を実行しますか？");
    QCOMPARE(question.icon, QMessageBox::Question);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.title, Q(kProgramTitle));
    QCOMPARE(Items(form.File1), files);
    QCOMPARE(form.Label3->text(), status);
    QCOMPARE(form.completionFlag, yes ? 1 : 0);
    QVERIFY(!QApplication::overrideCursor());
  }

  void missingDestinationAfterQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes creates both levels") << true;
    QTest::newRow("no creates nothing") << false;
  }
  void missingDestinationAfterQuestion() {
    QFETCH(bool, yes);
    Setting setting;
    TempFolder source, work;
    WriteBoring(source);
    TestForm1 form({source.Drive(), work.Drive()});
    QVERIFY(form.Form_Load());
    form.Text1->setText(Q(work.Drive("new\\b")));
    form.answers = {yes};
    form.Command1_Click();
    QCOMPARE(form.Texts(), QStringList{"フォルダがありません。新規作成しますか？"});
    QCOMPARE(fs::is_directory(work.path() / "new" / "b"), yes);
    QCOMPARE(fs::is_regular_file(work.path() / "new" / "b" / "53393681.001"), yes);
    QCOMPARE(form.Label3->text(), yes ? QString("変換が正常に終了しました。") : QString());
  }

  void stopsAtBadPath_data() {
    QTest::addColumn<QString>("source");       // "@" stands for the fixture boring's folder
    QTest::addColumn<QString>("destination");  // "@" stands for an existing empty folder
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("titles");  // "-" stands for the program's title
    QTest::addColumn<int>("icon");            // of the last box
    QTest::addColumn<bool>("destinationFocused");
    const QString bad = "指定されたパスは正しくありません。";
    const QString driveName = Q(FNOTHER::kDriveNameMessage);
    QTest::newRow("source without drive")
        << "tmp\\boring"
        << "@" << QStringList{driveName, bad} << QStringList{"-", "tmp\\boring"} << int(QMessageBox::Warning) << false;
    // Each refused path says why on the line below.
    QTest::newRow("source with wildcard") << "Z:\\tmp\\*.txt"
                                          << "@" << QStringList{bad + "\n「*」や「?」(ワイルドカード) は使えません"}
                                          << QStringList{"Z:\\tmp\\*.txt"} << int(QMessageBox::Warning) << false;
    QTest::newRow("source on unmapped drive")
        << "Q:\\boring"
        << "@" << QStringList{bad + "\nドライブ Q: は用意されていません (ZK_DRIVES にないか、そのフォルダがありません)"}
        << QStringList{"Q:\\boring"} << int(QMessageBox::Warning) << false;
    QTest::newRow("destination with empty folder name")
        << "@"
        << "Z:\\tmp\\\\out" << QStringList{bad + "\n空のフォルダ名があります (「\\」が続いています)"}
        << QStringList{"Z:\\tmp\\\\out"} << int(QMessageBox::Warning) << true;
    QTest::newRow("destination name too long before the dot")
        << "@"
        << "Z:\\LONGNAME1.TXT"
        << QStringList{bad +
                       "\n「LONGNAME1.TXT」は 8.3 形式の名前ではありません (「.」のある名前は「.」の前 8 バイト、後 3 "
                       "バイトまで)"}
        << QStringList{"Z:\\LONGNAME1.TXT"} << int(QMessageBox::Warning) << true;
    QTest::newRow("empty source box") << ""
                                      << "@" << QStringList{"変換元ファイルが選択されていません。"} << QStringList{"-"}
                                      << int(QMessageBox::NoIcon) << false;
    QTest::newRow("blank destination box") << "@"
                                           << "   " << QStringList{"変換先フォルダが選択されていません。"}
                                           << QStringList{"-"} << int(QMessageBox::NoIcon) << false;
    QTest::newRow("destination ends in separator") << "@"
                                                   << "@\\" << QStringList{"最後のフォルダに「￥」は要りません。"}
                                                   << QStringList{"@\\"} << int(QMessageBox::Warning) << false;
  }
  void stopsAtBadPath() {
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, titles);
    QFETCH(int, icon);
    QFETCH(bool, destinationFocused);
    Setting setting;
    TempFolder boring, out;
    WriteBoring(boring);
    auto fill = [&](QString text, const TempFolder& folder) { return text.replace("@", Q(folder.Drive())); };
    TestForm1 form({boring.Drive(), out.Drive()});
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Command1->setFocus();
    form.Text2->setText(fill(source, boring));
    form.Text1->setText(fill(destination, out));

    QTest::mouseClick(form.Command1, Qt::LeftButton);

    QCOMPARE(form.Texts(), texts);
    for (std::size_t i = 0; i < form.boxes.size(); ++i) {
      QString title = titles[int(i)] == "-" ? Q(kProgramTitle) : fill(titles[int(i)], out);
      QCOMPARE(form.boxes[i].title, title);
      QCOMPARE(form.boxes[i].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(int(form.boxes.back().icon), icon);
    if (form.boxes.size() > 1) QCOMPARE(form.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(form.Label3->text(), QString());
    QCOMPARE(form.Text1->hasFocus(), destinationFocused);
    if (destinationFocused) QCOMPARE(form.Text1->selectedText(), form.Text1->text());
    QVERIFY(fs::is_empty(out.path()));
    QCOMPARE(form.File1->count(), 0);
    QCOMPARE(form.completionFlag, 0);
  }

  void mouseMoveClearsOnlyAfterCompletion_data() {
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("after");
    QTest::newRow("after a conversion") << 1 << "";
    QTest::newRow("no conversion finished") << 0 << "変換が正常に終了しました。";
  }
  void mouseMoveClearsOnlyAfterCompletion() {
    QFETCH(int, flag);
    QFETCH(QString, after);
    TestForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.SetStatus("変換が正常に終了しました。");
    form.completionFlag = flag;
    QTest::mouseMove(form.Picture1, QPoint(4, 4));
    QTRY_COMPARE(form.Label3->text(), after);
    QCOMPARE(form.completionFlag, 0);
  }

  void statusClearedByMouseMoveAfterRun() {
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    QCOMPARE(form.Label3->text(), "変換が正常に終了しました。");
    QTest::mouseMove(form.Picture1, QPoint(6, 3));
    QTRY_COMPARE(form.Label3->text(), QString());
    QCOMPARE(form.completionFlag, 0);
  }

  void folderListsUpdatePathBoxes_data() {
    QTest::addColumn<bool>("destination");
    QTest::newRow("Dir1 -> Text1, File1") << true;
    QTest::newRow("Dir2 -> Text2") << false;
  }
  void folderListsUpdatePathBoxes() {
    QFETCH(bool, destination);
    TempFolder top;
    fs::create_directory(top.path() / "boring");
    fs::create_directory(top.path() / ".hidden");
    top.WriteBytes("boring/X1.TXT", "1,2,3,4\r\n");
    top.WriteBytes("boring/.lock", "");
    TestForm1 form({top.Drive(), top.Drive()});
    FolderList* dir = destination ? form.Dir1 : form.Dir2;
    QLineEdit* text = destination ? form.Text1 : form.Text2;
    QSignalSpy changed(dir, &FolderList::Changed);

    // The open folder's sub-folders follow its ancestors; hidden folders are not shown.
    QCOMPARE(Items(dir).last(), "boring");
    QVERIFY(!Items(dir).contains(".hidden"));
    dir->setCurrentRow(dir->count() - 1);
    dir->setFocus();
    emit dir->itemActivated(dir->currentItem());

    QCOMPARE(changed.count(), 1);
    QCOMPARE(text->text(), Q(top.Drive("boring")));
    QCOMPARE(Q(form.context().drives.CurrentFolder('Z')), Q(top.Drive("boring")));
    if (destination) QCOMPARE(Items(form.File1), QStringList{"X1.TXT"});
    // The first entry is the drive root; opening it goes to the top.
    QCOMPARE(dir->item(0)->text(), "Z:\\");
    QVERIFY(dir->SetPath("Z:\\"));
    QCOMPARE(text->text(), "Z:\\");
    // Opening the folder that is open already changes nothing.
    QVERIFY(dir->SetPath("z:\\"));
    QCOMPARE(changed.count(), 2);
  }

  // Each window holds its own drives: a folder opened in one is not the current folder of another.
  void windowsKeepTheirOwnDrives() {
    TempFolder top;
    fs::create_directory(top.path() / "boring");
    TestForm1 first({top.Drive(), top.Drive()});
    TestForm1 second({top.Drive(), top.Drive()});
    std::string before = second.context().drives.CurrentFolder('Z');
    QVERIFY(first.Dir2->SetPath(top.Drive("boring")));
    QCOMPARE(Q(first.context().drives.CurrentFolder('Z')), Q(top.Drive("boring")));
    QCOMPARE(Q(second.context().drives.CurrentFolder('Z')), Q(before));
    QVERIFY(Q(before) != Q(top.Drive("boring")));
  }

  void typedSourceIsWhatTheRunReads() {
    TempFolder top;
    TestForm1 form({top.Drive(), top.Drive()});
    form.Text2->clear();
    QTest::keyClicks(form.Text2, "Z:\\typed");
    QCOMPARE(form.SourceText(), std::string("Z:\\typed"));
    QCOMPARE(form.DestinationText(), form.Text1->text().toStdString());
  }

  void driveFallback_data() {
    QTest::addColumn<QString>("drives");  // ZK_DRIVES; "@" is an existing folder
    QTest::addColumn<char>("pick");
    QTest::addColumn<char>("shown");      // the drive the list shows afterwards
    QTest::addColumn<QString>("folder");  // Dir's folder afterwards; "-" unchanged
    QTest::addColumn<bool>("destination");
    QTest::newRow("Drive1 not ready -> first entry") << "C=@;M=/zk-no-such-folder" << 'M' << 'C' << "C:\\" << true;
    QTest::newRow("Drive2 not ready -> first entry") << "C=@;M=/zk-no-such-folder" << 'M' << 'C' << "C:\\" << false;
    QTest::newRow("Drive1 ready") << "C=@;M=/zk-no-such-folder" << 'C' << 'C' << "C:\\" << true;
    QTest::newRow("first entry not ready stays put") << "A=/zk-no-such-folder;C=@" << 'A' << 'Z' << "-" << true;
  }
  void driveFallback() {
    QFETCH(QString, drives);
    QFETCH(char, pick);
    QFETCH(char, shown);
    QFETCH(QString, folder);
    QFETCH(bool, destination);
    TempFolder mapped, start;
    mapped.WriteBytes("on-c.txt", "x");
    ScopedEnv env("ZK_DRIVES", drives.replace("@", Q(mapped.path().string())).toUtf8());
    TestForm1 form({start.Drive(), start.Drive()});
    DriveList* drive = destination ? form.Drive1 : form.Drive2;
    FolderList* dir = destination ? form.Dir1 : form.Dir2;
    QLineEdit* text = destination ? form.Text1 : form.Text2;
    std::string before = dir->Path();
    QCOMPARE(drive->Drive(), 'Z');

    drive->setCurrentIndex(drive->IndexOf(pick));

    QCOMPARE(drive->Drive(), shown);
    QString expected = folder == "-" ? Q(before) : folder;
    QCOMPARE(Q(dir->Path()), expected);
    QCOMPARE(form.context().drives.CurrentDrive(), shown);
    if (folder != "-") QCOMPARE(text->text(), expected);
    if (destination && folder != "-") QCOMPARE(Items(form.File1), QStringList{"on-c.txt"});
    QVERIFY(form.boxes.empty());
  }

  void driveListShowsMappedDrives() {
    TempFolder mapped;
    ScopedEnv env("ZK_DRIVES",
                  QByteArray("M=/zk-no-such-folder;C=") + QByteArray::fromStdString(mapped.path().string()));
    TestForm1 form;
    QStringList entries;
    for (int i = 0; i < form.Drive1->count(); ++i) entries << form.Drive1->itemText(i);
    QCOMPARE(entries, (QStringList{"C: [" + Q(mapped.path().string()) + "]", "M:", "Z: [/]"}));
  }

  void busyPointer() {
    TestForm1 form;
    form.SetBusy(true);
    form.SetBusy(true);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form.SetBusy(false);
    QVERIFY(!QApplication::overrideCursor());
    form.SetBusy(false);
    QVERIFY(!QApplication::overrideCursor());
  }

  void messageBoxes_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("boxIcon");
    QTest::addColumn<QString>("boxTitle");
    QTest::newRow("no icon, program title") << int(Icon::None) << "" << int(QMessageBox::NoIcon) << Q(kProgramTitle);
    QTest::newRow("exclamation, own title")
        << int(Icon::Exclamation) << "Z:\\a" << int(QMessageBox::Warning) << "Z:\\a";
    QTest::newRow("information") << int(Icon::Information) << "" << int(QMessageBox::Information) << Q(kProgramTitle);
  }
  void messageBoxes() {
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(int, boxIcon);
    QFETCH(QString, boxTitle);
    TestForm1 form;
    form.ShowMessage("<b>本文</b>", static_cast<Icon>(icon), title.toStdString());
    QCOMPARE(form.boxes.size(), std::size_t{1});
    QCOMPARE(form.boxes[0].text, "<b>本文</b>");
    QCOMPARE(int(form.boxes[0].icon), boxIcon);
    QCOMPARE(form.boxes[0].title, boxTitle);
    QCOMPARE(form.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

  void startUpOffersToChooseTheCodeTableFolder_data() {
    QTest::addColumn<QStringList>("folders");  // chosen in turn: "good", "bare" (no code tables), "" (cancel)
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("started");
    QTest::addColumn<int>("boxes");
    QTest::newRow("yes, a folder of code tables") << QStringList{"good"} << QList<bool>{true} << true << 2;
    QTest::newRow("yes, then cancel") << QStringList{""} << QList<bool>{true} << false << 2;
    QTest::newRow("a folder without the tables, then no")
        << QStringList{"bare"} << QList<bool>{true, false} << false << 4;
    QTest::newRow("a folder without the tables, then a good one")
        << QStringList{"bare", "good"} << QList<bool>{true, true} << true << 4;
  }
  void startUpOffersToChooseTheCodeTableFolder() {
    QFETCH(QStringList, folders);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, started);
    QFETCH(int, boxes);
    TempFolder system, good, bare;
    ScopedEnv env("ZK_SYSDIR", QByteArray::fromStdString(system.path().string()));
    good.WriteBytes("L9.txt", "1,a\r\n");
    good.WriteBytes("Kishitu.txt", "1,a\r\n");
    TestForm1 form;
    for (const QString& f : folders)
      form.chosenFolders.push_back(f == "good" ? good.path().string() : f == "bare" ? bare.path().string() : "");
    for (bool a : answers) form.answers.push_back(a);
    QCOMPARE(form.Form_Load(), started);
    QCOMPARE(int(form.boxes.size()), boxes);
    QCOMPARE(form.boxes[0].text.section('\n', 0, 0), Q(kNoVuredaMessage));
    if (boxes == 4) QVERIFY(form.boxes[2].text.contains("L9.txt がありません"));
    QCOMPARE(fs::exists(system.path() / "RaroreD5.ini"), started);
    if (started) {
      QCOMPARE(test::ReadBytes(system.path() / "RaroreD5.ini"), "[VUREDA]\r\n" + good.path().string() + "/\r\n");
      QCOMPARE(form.context().codeTableFolder, good.Drive() + "\\");
    }
  }

  // Host paths typed into both boxes are taken through the drive map; afterwards the lists
  // show the typed destination with the new exchange file in it.
  void typedHostPathsAndListsFollowTheDestination_data() {
    QTest::addColumn<bool>("host");
    QTest::newRow("host paths") << true;
    QTest::newRow("drive form") << false;
  }
  void typedHostPathsAndListsFollowTheDestination() {
    QFETCH(bool, host);
    Setting setting;
    TempFolder source, start, typed;
    WriteBoring(source);
    TestForm1 form({source.Drive(), start.Drive()});
    QVERIFY(form.Form_Load());
    form.Text2->setText(Q(host ? source.path().string() : source.Drive()));
    form.Text1->setText(Q(host ? typed.path().string() + "/" : typed.Drive()));
    form.Command1_Click();
    QCOMPARE(form.Texts(), QStringList());
    QVERIFY(fs::is_regular_file(typed.path() / "53393681.001"));
    QCOMPARE(form.Dir1->Path(), typed.Drive());
    QCOMPARE(form.Text1->text(), Q(typed.Drive()));
    QCOMPARE(Items(form.File1), QStringList{"53393681.001"});
    QCOMPARE(form.Drive1->Drive(), 'Z');
  }

  void coordinatesMessageSaysWhatIsMissing_data() {
    QTest::addColumn<QString>("source");  // "@": a folder without titl01.txt, "-": a folder not there
    QTest::addColumn<QString>("second");
    QTest::newRow("no titl01.txt") << "@"
                                   << "」に titl01.txt がありません";
    QTest::newRow("no folder") << "-"
                               << "」がありません";
  }
  void coordinatesMessageSaysWhatIsMissing() {
    QFETCH(QString, source);
    QFETCH(QString, second);
    Setting setting;
    TempFolder folder, out;
    folder.WriteBytes("X1.TXT", "1,1.0,101,a\r\n");
    TestForm1 form({folder.Drive(), out.Drive()});
    QVERIFY(form.Form_Load());
    std::string path = source == "@" ? folder.Drive() : folder.Drive("gone");
    form.Text2->setText(Q(path));
    form.Command1_Click();
    QCOMPARE(form.boxes.size(), std::size_t{1});
    QCOMPARE(form.boxes[0].text, "緯度・経度が正しくありません。\n変換元フォルダ「" + Q(path) + second);
    QVERIFY(fs::is_empty(out.path()));
  }

  // Qt's own buttons speak the window's language.
  void qtButtonsInJapanese() {
    QVERIFY(LoadQtTranslations(*QCoreApplication::instance()));
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    QVERIFY2(box.button(QMessageBox::Yes)->text().contains("はい"), qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY2(box.button(QMessageBox::No)->text().contains("いいえ"), qPrintable(box.button(QMessageBox::No)->text()));
    QVERIFY(box.button(QMessageBox::Ok)->text().contains("OK"));
  }

  void exitButtonClosesTheWindow() {
    TestForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    QVERIFY(!form.isVisible());
  }
};

int RunForm1Tests(int argc, char** argv) {
  Form1Test tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace zk::test

#include "form1_test.moc"
