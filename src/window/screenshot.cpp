#include "screenshot.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <iostream>

namespace zk {
namespace {

// Time for the window system to map and paint what was just opened.
constexpr int kSettle = 800;

// The window and the dialog over it where the screen has them, each drawn by itself (so
// that no other window and no window manager comes into the picture), each with a thin edge.
QPixmap Picture(Form1& window) {
  QWidget* dialog = QApplication::activeModalWidget();
  if (!dialog || dialog == &window) return window.grab();
  QRect area = window.geometry().united(dialog->geometry()).adjusted(-1, -1, 1, 1);
  QPixmap picture(area.size());
  picture.fill(QColor(0xd8, 0xd8, 0xd8));
  QPainter painter(&picture);
  painter.setPen(QColor(0x60, 0x60, 0x60));
  for (QWidget* w : {static_cast<QWidget*>(&window), dialog}) {
    QPoint at = w->geometry().topLeft() - area.topLeft();
    painter.drawPixmap(at, w->grab());
    painter.drawRect(QRect(at - QPoint(1, 1), w->size() + QSize(1, 1)));
  }
  return picture;
}

void Step(Form1& window, const QString& file, const QStringList& presses, int next) {
  if (next < presses.size()) {
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog && dialog != &window) dialog->close();
    // Scheduled before the press, so that it comes while the press's dialog is open.
    QTimer::singleShot(kSettle, &window, [&window, file, presses, next] { Step(window, file, presses, next + 1); });
    if (auto* button = window.findChild<QPushButton*>(presses[next])) button->click();
    return;
  }
  bool saved = Picture(window).save(file, "PNG");
  if (!saved) std::cerr << "画像を保存できません: " << file.toStdString() << "\n";
  QCoreApplication::exit(saved ? 0 : 1);
}

}  // namespace

void ScheduleScreenshot(Form1& window, const QString& file, const QStringList& presses) {
  QTimer::singleShot(kSettle, &window, [&window, file, presses] { Step(window, file, presses, 0); });
}

}  // namespace zk
