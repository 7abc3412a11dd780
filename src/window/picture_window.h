// The boring log picture of an exchange file in a window of its own: the layer column, the
// standard penetration test plot and the title block as the file holds them, with a button
// that saves the picture as an SVG file.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QString>
#include <functional>
#include <string>

#include "platform/drives.h"
#include "platform/status.h"

namespace zk {

class PictureWindow : public QDialog {
  Q_OBJECT
 public:
  // svg: the picture of the exchange file at exchangeFile (drive form), as DrawLogPicture gives it.
  PictureWindow(const platform::DriveMap& drives, const std::string& svg, const std::string& exchangeFile,
                QWidget* parent = nullptr);

  // Asks where to save, given the suggested host path; "" when the user cancels. A file dialog
  // by default (it adds ".svg" and asks before replacing a file); tests answer it themselves.
  std::function<QString(const QString& suggested)> chooseFile;

  // Writes the picture to a host path, whole or not at all; the window's note says which.
  bool Save(const QString& hostPath);

  // Where saving suggests: "<name of the exchange file>.svg" beside it.
  const QString& SuggestedPath() const { return suggested_; }
  bool Rendered() const { return rendered_; }

  QScrollArea* View;
  QLabel* Drawing;
  QLabel* Note;
  QPushButton* SaveButton;
  QPushButton* CloseButton;

 public slots:
  void SaveButton_Click();

 private:
  QString ChooseWithDialog(const QString& suggested);

  QByteArray svg_;
  QString suggested_;
  bool rendered_ = false;
};

}  // namespace zk
