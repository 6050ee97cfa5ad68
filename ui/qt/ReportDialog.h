// TReportDialog: a report in a window of its own (ui/logic/Platform.h,
// ReportTable): its title, its heading, and its table in a grid whose
// columns line up whatever the font, numbers right-aligned.
#pragma once

#include <QDialog>

#include "ui/logic/Platform.h"

namespace velmora::ui {

class TReportDialog : public QDialog {
  Q_OBJECT

 public:
  TReportDialog(const ReportTable& report, QWidget* parent);
};

}  // namespace velmora::ui
