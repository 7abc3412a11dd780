#include "findings_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "conversion/window_ops.h"
#include "findings.h"

namespace zk {
namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QTableWidgetItem* Cell(const QString& text, const QString& tip = {}) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  item->setToolTip(tip.isEmpty() ? text : tip);
  return item;
}

}  // namespace

FindingsDialog::FindingsDialog(const BoringCheck& check, bool converted, QWidget* parent)
    : QDialog(parent), text_(Q(FindingsText(check, "\n"))) {
  setObjectName("FindingsDialog");
  if (parent) setFont(parent->font());  // a window of its own does not take it by itself
  setWindowTitle(QString::fromUtf8(converted ? "変換の指摘 - " : "点検結果 - ") + QString::fromUtf8(kProgramTitle));

  Heading = new QLabel(Q(FindingsHeading(check, converted, "\n")), this);
  Heading->setObjectName("Heading");
  Heading->setTextFormat(Qt::PlainText);
  Heading->setWordWrap(true);

  List = new QTableWidget(int(check.findings.size()), 4, this);
  List->setObjectName("List");
  List->setHorizontalHeaderLabels(
      {QString::fromUtf8("場所"), QString::fromUtf8("種別"), QString::fromUtf8("内容"), QString::fromUtf8("コード")});
  List->verticalHeader()->setVisible(false);
  List->setSelectionBehavior(QAbstractItemView::SelectRows);
  List->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List->setWordWrap(false);
  for (int row = 0; row < int(check.findings.size()); ++row) {
    const Finding& f = check.findings[std::size_t(row)];
    QString path = Q(f.file) + (f.line > 0 ? ":" + QString::number(f.line) : QString());
    List->setItem(row, 0, Cell(FindingPlace(f), path));
    List->setItem(row, 1, Cell(SeverityText(f.severity)));
    List->setItem(row, 2, Cell(Q(f.message)));
    List->setItem(row, 3, Cell(Q(f.code)));
    if (f.severity == Severity::Error)
      for (int column = 0; column < 4; ++column) List->item(row, column)->setForeground(QColor(0xb0, 0, 0));
  }
  List->resizeColumnsToContents();
  List->horizontalHeader()->setStretchLastSection(true);

  CopyButton = new QPushButton(QString::fromUtf8("コピー"), this);
  CopyButton->setObjectName("CopyButton");
  CopyButton->setToolTip(QString::fromUtf8("一覧を文字としてクリップボードに写します"));
  CloseButton = new QPushButton(QString::fromUtf8("閉じる"), this);
  CloseButton->setObjectName("CloseButton");
  CloseButton->setDefault(true);
  CloseButton->setFocus();  // Enter closes; the list is read, not edited
  connect(CopyButton, &QPushButton::clicked, this, &FindingsDialog::Copy);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CopyButton);
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Heading);
  layout->addWidget(List, 1);
  layout->addLayout(buttons);
  resize(760, check.findings.empty() ? 200 : 400);
}

void FindingsDialog::Copy() { QApplication::clipboard()->setText(text_); }

}  // namespace zk
