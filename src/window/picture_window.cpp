#include "picture_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "conversion/window_ops.h"
#include "picture/boring_log_svg.h"
#include "platform/drives.h"

namespace zk {
namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

std::string NamePart(const std::string& drivePath) { return drivePath.substr(drivePath.find_last_of('\\') + 1); }

}  // namespace

PictureWindow::PictureWindow(const platform::DriveMap& drives, const std::string& svg, const std::string& exchangeFile,
                             QWidget* parent)
    : QDialog(parent), svg_(QByteArray::fromStdString(svg)) {
  setObjectName("PictureWindow");
  if (parent) setFont(parent->font());  // a window of its own does not take it by itself
  std::string name = NamePart(exchangeFile);
  setWindowTitle(QString::fromUtf8("柱状図 ") + Q(name) + " - " + QString::fromUtf8(kProgramTitle));
  auto host = drives.ToHost(exchangeFile);
  suggested_ = host ? Q(host->string()) + ".svg" : Q(name) + ".svg";
  chooseFile = [this](const QString& suggested) { return ChooseWithDialog(suggested); };

  // Drawn once at its own size, on white as a printed log; the window scrolls over it.
  Drawing = new QLabel;
  Drawing->setObjectName("Drawing");
  QSvgRenderer renderer(svg_);
  if (renderer.isValid()) {
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    Drawing->setPixmap(QPixmap::fromImage(image));
    rendered_ = true;
  } else {
    Drawing->setText(QString::fromUtf8("この柱状図は表示できません。"));
  }
  View = new QScrollArea(this);
  View->setObjectName("View");
  View->setWidget(Drawing);
  View->setBackgroundRole(QPalette::Dark);

  Note = new QLabel(this);
  Note->setObjectName("Note");
  Note->setTextFormat(Qt::PlainText);
  SaveButton = new QPushButton(QString::fromUtf8("保存..."), this);
  SaveButton->setObjectName("SaveButton");
  SaveButton->setToolTip(QString::fromUtf8("柱状図を SVG ファイルに保存します"));
  CloseButton = new QPushButton(QString::fromUtf8("閉じる"), this);
  CloseButton->setObjectName("CloseButton");
  CloseButton->setDefault(true);
  connect(SaveButton, &QPushButton::clicked, this, &PictureWindow::SaveButton_Click);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Note, 1);
  buttons->addWidget(SaveButton);
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(View, 1);
  layout->addLayout(buttons);
  QSize picture = Drawing->sizeHint();
  resize(qMin(picture.width() + 40, 900), qMin(picture.height() + 70, 720));
}

QString PictureWindow::ChooseWithDialog(const QString& suggested) {
  QFileDialog dialog(this, QString::fromUtf8("柱状図の保存"), suggested, QString::fromUtf8("SVG 画像 (*.svg)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("svg");
  dialog.selectFile(suggested);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void PictureWindow::SaveButton_Click() {
  QString path = chooseFile ? chooseFile(suggested_) : QString();
  if (!path.isEmpty()) Save(path);
}

// Written beside its place and renamed into it, so that a failure leaves any earlier file as it was.
bool PictureWindow::Save(const QString& hostPath) {
  QSaveFile file(hostPath);
  bool saved = file.open(QIODevice::WriteOnly) && file.write(svg_) == svg_.size() && file.commit();
  if (saved) {
    Note->setText(QString::fromUtf8("保存しました: ") + hostPath);
  } else {
    Note->setText(QString::fromUtf8("保存できません: ") + hostPath + " (" + file.errorString() + ")");
  }
  return saved;
}

}  // namespace zk
