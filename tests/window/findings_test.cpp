// What the window tells besides converting: the findings list after a run and from the check
// button, and the boring log picture of the exchange file just written, with its saving. Every
// dialog is looked into and closed through the test window, never shown.
#include "findings.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <filesystem>

#include "conversion/run.h"
#include "findings_dialog.h"
#include "picture/boring_log_svg.h"
#include "picture_window.h"
#include "platform/drives.h"
#include "support/test_util.h"
#include "test_form.h"
#include "window_options.h"
#include "window_tests.h"

namespace fs = std::filesystem;

namespace zk::test {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const char* const kTitl01 =
    "\"東京都港区調査\",1,\"\",12,\"\",\"\",\"2026\",\"11\",\"\",\"No.1\",35,39,29.1,139,45,45.5,"
    "\"\",\"  調査会社 太郎  \",\"\",\"\",\"\",\"\",\"\"\r\n";

// A boring of a title table, two layers and three penetration tests; bad: the second test's
// blow count is no number (the conversion reads it as 0).
void WriteBoring(const TempFolder& folder, bool bad) {
  folder.WriteCp932("titl01.txt", kTitl01);
  folder.WriteCp932("X1.TXT", "1,1.50,101,表土\r\n2,4.00,102,砂\r\n");
  folder.WriteCp932("X5.TXT", std::string("1,1.15,3,1,30,,,,,,\r\n2,2.15,") + (bad ? "abc" : "7") +
                                  ",1,30,,,,,,\r\n3,3.15,12,1,30,,,,,,\r\n");
}

// The code-table setting through ZK_SYSDIR, naming a code-table folder with the boring's two
// soil names.
class Setting {
 public:
  Setting() : env_("ZK_SYSDIR", QByteArray::fromStdString(system_.path().string())) {
    system_.WriteCp932("RaroreD5.ini", "[VUREDA]\r\n\"" + codes_.Drive() + "\\\"\r\n");
    codes_.WriteCp932("Kishitu.txt", "101,表土,,,,\r\n102,砂,,,,\r\n");
  }

 private:
  TempFolder system_, codes_;
  ScopedEnv env_;
};

// The rows of a findings list, each "place|severity|message|code".
QStringList Rows(const FindingsDialog& d) {
  QStringList rows;
  for (int r = 0; r < d.List->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < d.List->columnCount(); ++c) cells << d.List->item(r, c)->text();
    rows << cells.join("|");
  }
  return rows;
}

const QString kAbcRow = "X5.TXT:2|警告|3 番目の項目「abc」は数値ではありません (0 として変換されます)|not-a-number";

// What a findings list showed while it was open.
struct Seen {
  QString heading;
  QStringList rows;
  QString text;
  QString copied;
};

void WatchFindings(TestForm1& form, Seen& seen) {
  form.onDialog = [&seen](QDialog& dialog) {
    auto* list = qobject_cast<FindingsDialog*>(&dialog);
    if (!list) return;
    seen.heading = list->Heading->text();
    seen.rows = Rows(*list);
    seen.text = list->Text();
    QApplication::clipboard()->clear();
    QTest::mouseClick(list->CopyButton, Qt::LeftButton);
    seen.copied = QApplication::clipboard()->text();
  };
}

}  // namespace

class FindingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qunsetenv("ZK_DRIVES"); }
  void cleanup() { init(); }

  // The two added buttons sit beside the run and exit buttons, clear of every control.
  void addedButtons() {
    TestForm1 form;
    QCOMPARE(form.Command3->text(), "点  検");
    QCOMPARE(form.Command4->text(), "柱状図");
    QCOMPARE(form.Command3->parentWidget(), form.Picture1);
    QCOMPARE(form.Command4->parentWidget(), form.Picture1);
    QCOMPARE(form.Command3->geometry(), QRect(68, 372, 84, 37));
    QCOMPARE(form.Command4->geometry(), QRect(497, 372, 84, 37));
    for (QWidget* other : {static_cast<QWidget*>(form.Command1), static_cast<QWidget*>(form.Command2),
                           static_cast<QWidget*>(form.Frame3), static_cast<QWidget*>(form.Frame1)}) {
      QVERIFY(!form.Command3->geometry().intersects(other->geometry()));
      QVERIFY(!form.Command4->geometry().intersects(other->geometry()));
    }
    QVERIFY(form.Picture1->rect().contains(form.Command4->geometry()));
    QVERIFY(!form.Command4->isEnabled());  // nothing converted yet
    QCOMPARE(form.size(), QSize(605, 433));
  }

  void runListsItsFindings() {
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source, true);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    Seen seen;
    WatchFindings(form, seen);

    QTest::mouseClick(form.Command1, Qt::LeftButton);

    QVERIFY(form.boxes.empty());
    QVERIFY(fs::is_regular_file(destination.path() / "53393681.001"));
    QCOMPARE(form.Label3->text(), "変換が正常に終了しました。　警告 1 件");
    QCOMPARE(form.dialogs, std::vector<QString>{"FindingsDialog"});
    QCOMPARE(seen.rows, QStringList{kAbcRow});
    QVERIFY2(seen.heading.contains("53393681.001 に変換しました: エラー 0 件、警告 1 件"), qPrintable(seen.heading));
    // The copy holds the full path of the table, for a mail or a note beside the boring.
    QCOMPARE(seen.copied, seen.text);
    QCOMPARE(seen.copied, Q(source.Drive()) + ": エラー 0 件、警告 1 件  交換ファイル 53393681.001\n" +
                              Q(source.Drive()) +
                              "\\X5.TXT:2: 警告: 3 番目の項目「abc」は数値ではありません (0 として変換されます) "
                              "[not-a-number]\n");
    QVERIFY(form.Command4->isEnabled());
    // The count goes with the completion message on the next mouse move.
    QCOMPARE(form.completionFlag, 1);
    form.Picture1_MouseMove();
    QCOMPARE(form.Label3->text(), QString());
  }

  void runWithoutFindingsListsNothing() {
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source, false);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.Command1_Click();
    QCOMPARE(form.Label3->text(), "変換が正常に終了しました。");
    QVERIFY(form.dialogs.empty());
    QVERIFY(form.Command4->isEnabled());
  }

  // A second run of the same boring names its own file in the list, not the one a check
  // made before it would have guessed.
  void listNamesTheFileTheRunWrote() {
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source, true);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.Command1_Click();
    fs::remove(source.path() / "BORLING.NO");
    Seen seen;
    WatchFindings(form, seen);
    form.Command1_Click();
    QVERIFY(fs::is_regular_file(destination.path() / "53393681.002"));
    QVERIFY2(seen.heading.contains("53393681.002 に変換しました"), qPrintable(seen.heading));
  }

  void runStoppedListsNothing() {
    Setting setting;
    TempFolder source, destination;
    source.WriteCp932("titl01.txt", "\"x\",1,,,,,,,,,0,0,0,0,0,0\r\n");
    source.WriteCp932("X5.TXT", "1,1.15,abc,1,30,,,,,,\r\n");
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.Command1_Click();
    QCOMPARE(form.Texts(), QStringList{"緯度・経度が正しくありません。"});
    QVERIFY(form.dialogs.empty());
    QVERIFY(!form.Command4->isEnabled());
  }

  void checkListsAndWritesNothing_data() {
    QTest::addColumn<bool>("bad");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("heading");  // a part of it
    QTest::newRow("blow count no number") << true << "点検が終わりました。　警告 1 件" << QStringList{kAbcRow}
                                          << "の点検 (変換はしていません): エラー 0 件、警告 1 件";
    QTest::newRow("clean boring") << false << "点検が終わりました。　指摘はありません。" << QStringList{}
                                  << "指摘することはありません。";
  }
  void checkListsAndWritesNothing() {
    QFETCH(bool, bad);
    QFETCH(QString, status);
    QFETCH(QStringList, rows);
    QFETCH(QString, heading);
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source, bad);
    destination.WriteBytes("53393681.001", "");
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    Seen seen;
    WatchFindings(form, seen);

    QTest::mouseClick(form.Command3, Qt::LeftButton);

    QVERIFY(form.boxes.empty());
    QCOMPARE(form.dialogs, std::vector<QString>{"FindingsDialog"});
    QCOMPARE(seen.rows, rows);
    QVERIFY2(seen.heading.contains(heading), qPrintable(seen.heading));
    // the name the file would get beside the one already there
    QVERIFY2(seen.heading.contains("変換すると交換ファイル 53393681.002 になります。"), qPrintable(seen.heading));
    QCOMPARE(seen.copied, seen.text);
    QCOMPARE(form.Label3->text(), status);
    QVERIFY(!fs::exists(source.path() / "BORLING.NO"));
    QCOMPARE(std::distance(fs::directory_iterator(destination.path()), fs::directory_iterator()), 1);
    QCOMPARE(std::distance(fs::directory_iterator(source.path()), fs::directory_iterator()), 3);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!form.Command4->isEnabled());
  }

  // A folder typed with a "\" at its end is the same folder; the list's paths say it once.
  void checkOfAFolderTypedWithASeparatorAtItsEnd() {
    Setting setting;
    TempFolder source;
    WriteBoring(source, true);
    TestForm1 form({source.Drive(), source.Drive()});
    QVERIFY(form.Form_Load());
    form.Text2->setText(Q(source.Drive()) + "\\");
    QString place;
    form.onDialog = [&place](QDialog& dialog) {
      if (auto* list = qobject_cast<FindingsDialog*>(&dialog); list && list->List->rowCount() == 1)
        place = list->List->item(0, 0)->toolTip();
    };
    form.Command3_Click();
    QCOMPARE(place, Q(source.Drive()) + "\\X5.TXT:2");
  }

  void checkRefusesABadPath_data() {
    QTest::addColumn<QString>("source");  // "@" stands for an existing folder
    QTest::addColumn<QStringList>("texts");
    const QString bad = "指定されたパスは正しくありません。";
    QTest::newRow("no such folder") << "@\\no-such" << QStringList{bad};
    QTest::newRow("a file") << "@\\titl01.txt" << QStringList{bad};
    QTest::newRow("unmapped drive") << "Q:\\boring" << QStringList{bad};
  }
  void checkRefusesABadPath() {
    QFETCH(QString, source);
    QFETCH(QStringList, texts);
    TempFolder folder;
    folder.WriteCp932("titl01.txt", kTitl01);
    TestForm1 form({folder.Drive(), folder.Drive()});
    form.Text2->setText(source.replace("@", Q(folder.Drive())));
    form.Command3_Click();
    QCOMPARE(form.Texts(), texts);
    QCOMPARE(form.boxes.back().title, source);
    QVERIFY(form.dialogs.empty());
  }

  // The list itself: errors and warnings, a finding without a line, the copy's lines.
  void listOfAGivenCheck() {
    BoringCheck check;
    check.folder = "Z:\\b\\B01";
    check.findings = {
        {"Z:\\b\\B01\\titl01.txt", 0, Severity::Error, "no-coordinates", "緯度・経度の度が 0 か空です"},
        {"Z:\\codes\\Kishitu.txt", 0, Severity::Warning, "no-soil-table", "土質名の表がありません"},
        {"Z:\\b\\B01\\X1.TXT", 12, Severity::Warning, "not-a-number", "2 番目の項目「x」"},
    };
    check.errors = 1;
    check.warnings = 2;
    FindingsDialog list(check, false);
    QCOMPARE(Rows(list), (QStringList{"titl01.txt|エラー|緯度・経度の度が 0 か空です|no-coordinates",
                                      "Kishitu.txt|警告|土質名の表がありません|no-soil-table",
                                      "X1.TXT:12|警告|2 番目の項目「x」|not-a-number"}));
    QCOMPARE(list.List->item(0, 0)->toolTip(), "Z:\\b\\B01\\titl01.txt");
    QCOMPARE(list.List->item(2, 0)->toolTip(), "Z:\\b\\B01\\X1.TXT:12");
    QCOMPARE(list.Text(), QString("Z:\\b\\B01: エラー 1 件、警告 2 件\n"
                                  "Z:\\b\\B01\\titl01.txt: エラー: 緯度・経度の度が 0 か空です [no-coordinates]\n"
                                  "Z:\\codes\\Kishitu.txt: 警告: 土質名の表がありません [no-soil-table]\n"
                                  "Z:\\b\\B01\\X1.TXT:12: 警告: 2 番目の項目「x」 [not-a-number]\n"));
  }

  void pictureOfTheFileJustWritten() {
    Setting setting;
    TempFolder source, destination, saved;
    WriteBoring(source, false);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.Command1_Click();
    std::string expected;
    QVERIFY(DrawLogPicture(form.context().drives, destination.Drive("53393681.001"), expected));
    QVERIFY(Q(expected).contains("<svg"));

    QString title, suggested, note, cancelledNote, failedNote;
    bool rendered = false, failed = true;
    QSize drawn;
    form.onDialog = [&](QDialog& dialog) {
      auto* picture = qobject_cast<PictureWindow*>(&dialog);
      QVERIFY(picture);
      title = picture->windowTitle();
      rendered = picture->Rendered();
      drawn = picture->Drawing->pixmap().size();
      suggested = picture->SuggestedPath();
      // cancelled: nothing written
      picture->chooseFile = [](const QString&) { return QString(); };
      QTest::mouseClick(picture->SaveButton, Qt::LeftButton);
      cancelledNote = picture->Note->text();
      // into a folder that is not there: told, nothing written
      failed = picture->Save(Q((saved.path() / "no-such" / "log.svg").string()));
      failedNote = picture->Note->text();
      picture->chooseFile = [&](const QString&) { return Q((saved.path() / "log.svg").string()); };
      QTest::mouseClick(picture->SaveButton, Qt::LeftButton);
      note = picture->Note->text();
    };

    QTest::mouseClick(form.Command4, Qt::LeftButton);

    QCOMPARE(form.dialogs, std::vector<QString>{"PictureWindow"});
    QVERIFY(form.boxes.empty());
    QVERIFY2(title.startsWith("柱状図 53393681.001"), qPrintable(title));
    QVERIFY(rendered);
    QVERIFY(drawn.width() > 100 && drawn.height() > 100);
    QCOMPARE(suggested, Q((destination.path() / "53393681.001.svg").string()));
    QCOMPARE(cancelledNote, QString());
    QVERIFY(!failed);
    QVERIFY2(failedNote.startsWith("保存できません: "), qPrintable(failedNote));
    QCOMPARE(ReadBytes(saved.path() / "log.svg"), expected);
    QCOMPARE(note, "保存しました: " + Q((saved.path() / "log.svg").string()));
    QCOMPARE(std::distance(fs::directory_iterator(saved.path()), fs::directory_iterator()), 1);
  }

  // Saving over a file replaces it whole.
  void pictureSavedOverAnEarlierOne() {
    TempFolder folder;
    fs::path target = folder.WriteBytes("log.svg", "earlier");
    PictureWindow picture(test::EnvironmentDrives(),
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\"/>", "Z:\\x\\1.001");
    QVERIFY(picture.Rendered());
    QCOMPARE(picture.Drawing->pixmap().size(), QSize(20, 10));
    QVERIFY(picture.Save(Q(target.string())));
    QCOMPARE(ReadBytes(target), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\"/>");
    QCOMPARE(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
  }

  // An exchange file gone or spoilt since it was written is told with its name, not drawn.
  void pictureOfAFileNoLongerThere_data() {
    QTest::addColumn<QString>("bytes");  // "-": the file removed
    QTest::addColumn<QString>("told");   // a part of the message
    QTest::newRow("removed") << "-"
                             << "53393681.001";
    QTest::newRow("not records") << "garbage\r\n"
                                 << "53393681.001";
  }
  void pictureOfAFileNoLongerThere() {
    QFETCH(QString, bytes);
    QFETCH(QString, told);
    Setting setting;
    TempFolder source, destination;
    WriteBoring(source, false);
    TestForm1 form({source.Drive(), destination.Drive()});
    QVERIFY(form.Form_Load());
    form.Command1_Click();
    if (bytes == "-")
      fs::remove(destination.path() / "53393681.001");
    else
      destination.WriteBytes("53393681.001", bytes.toStdString());
    form.Command4_Click();
    QVERIFY(form.dialogs.empty());
    QCOMPARE(form.boxes.size(), std::size_t{1});
    QVERIFY2(form.boxes[0].text.contains(told), qPrintable(form.boxes[0].text));
    QCOMPARE(form.boxes[0].icon, QMessageBox::Warning);
  }
};

// The buttons a documentation screenshot presses first.
class PressArgumentsTest : public QObject {
  Q_OBJECT

 private slots:
  void press_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("press");
    QTest::newRow("one") << QStringList{"--screenshot", "w.png", "--press", "Command3"} << true
                         << QStringList{"Command3"};
    QTest::newRow("two, =") << QStringList{"--press=Command1,Command4", "--screenshot=w.png", "a"} << true
                            << QStringList{"Command1", "Command4"};
    QTest::newRow("without screenshot") << QStringList{"--press", "Command1"} << false << QStringList{};
    QTest::newRow("without names") << QStringList{"--screenshot", "w.png", "--press"} << false << QStringList{};
    QTest::newRow("exit button") << QStringList{"--screenshot", "w.png", "--press", "Command2"} << false
                                 << QStringList{};
    QTest::newRow("unknown name") << QStringList{"--screenshot", "w.png", "--press=Command1,Text1"} << false
                                  << QStringList{};
  }
  void press() {
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QStringList, press);
    std::vector<std::string> list;
    for (const QString& a : args) list.push_back(a.toStdString());
    WindowOptions options;
    std::string error;
    QCOMPARE(ParseWindowArguments(list, options, error), ok);
    QCOMPARE(error.empty(), ok);
    QStringList pressed;
    for (const std::string& name : options.press) pressed << Q(name);
    if (ok) QCOMPARE(pressed, press);
  }
};

int RunFindingsTests(int argc, char** argv) {
  FindingsTest tests;
  PressArgumentsTest press;
  return QTest::qExec(&tests, argc, argv) + QTest::qExec(&press, argc, argv);
}

}  // namespace zk::test

#include "findings_test.moc"
