#include "ui/qt/ReportDialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/QtText.h"

namespace velmora::ui {

TReportDialog::TReportDialog(const ReportTable& report, QWidget* parent) : QDialog(parent) {
  setObjectName("ReportDialog");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(Q(report.Title));
  auto* layout = new QVBoxLayout(this);

  auto* heading = new QLabel(Q(report.Heading), this);
  heading->setObjectName("ReportHeading");
  heading->setTextFormat(Qt::PlainText);
  heading->setWordWrap(true);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);

  // One grid cell per value: the columns line up by construction.
  auto* table = new QFrame(this);
  table->setObjectName("ReportTable");
  auto* grid = new QGridLayout(table);
  grid->setHorizontalSpacing(18);
  grid->setVerticalSpacing(4);
  auto cell = [&](const std::string& text, int row, int col, bool head) {
    auto* label = new QLabel(Q(text), table);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (head) label->setFont(bold);
    grid->addWidget(label, row, col, col == 0 ? Qt::AlignLeft : Qt::AlignRight);
  };
  for (size_t c = 0; c < report.Columns.size(); ++c) cell(report.Columns[c], 0, static_cast<int>(c), true);
  for (size_t r = 0; r < report.Rows.size(); ++r)
    for (size_t c = 0; c < report.Rows[r].size(); ++c)
      cell(report.Rows[r][c], static_cast<int>(r) + 1, static_cast<int>(c), false);
  layout->addWidget(table);

  for (const std::string& note : report.Notes) {
    auto* line = new QLabel(Q(note), this);
    line->setObjectName("ReportNote");
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(line);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace velmora::ui
