#include "ui/qt/MergeDialog.h"
#include "ui/qt/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>

#include "ui/logic/dialogs/EditForm.h"
#include "ui/logic/state/WindowTitle.h"
#include "ui/qt/EditForm.h"
#include "ui/qt/NewProjectForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportDialog.h"
#include "ui/qt/LoaderUnitsForm.h"
#include "ui/qt/CreateForm.h"
#include "ui/qt/StatusPanel.h"

namespace velmora::ui {

namespace {

// "Description|pattern|Description|pattern" to Qt's name filters,
// "Description (pattern pattern)" each.
QStringList NameFilters(const std::string& filter) {
  QStringList filters;
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    if (i + 1 >= parts.size()) {
      filters << parts[i];
      break;
    }
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + " (" + patterns + ")";
  }
  return filters;
}

// The extension of a name filter's first pattern: "po" for "PO (*.po)".
QString FilterSuffix(const QString& nameFilter) {
  const qsizetype star = nameFilter.indexOf("(*.");
  if (star < 0) return {};
  const qsizetype end = nameFilter.indexOf(QRegularExpression("[ )]"), star + 3);
  return nameFilter.mid(star + 3, end < 0 ? -1 : end - star - 3);
}

// The folder a file dialog opens in: the one the logic names, else the
// user's home folder (never the program's working folder).
QString DialogDirectory(const FileDialogRequest& desc) {
  if (!desc.Folder.empty() && QDir(Local(desc.Folder)).exists()) return Local(desc.Folder);
  return QDir::homePath();
}

}  // namespace

std::optional<std::vector<bool>> QtPlatform::ResolveConflicts(const std::vector<ConflictRow>& rows) {
  TMergeDialog dialog(rows, &window_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choices();
}

Answer QtPlatform::MessageBox(const std::string& text, Buttons buttons, BoxKind kind) {
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  if (buttons == Buttons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::YesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  const QMessageBox::Icon icon = kind == BoxKind::Error      ? QMessageBox::Critical
                                 : kind == BoxKind::Question ? QMessageBox::Question
                                 : kind == BoxKind::Warning  ? QMessageBox::Warning
                                                             : QMessageBox::Information;
  // The texts carry Windows line breaks; a line feed alone shows them here.
  QString shown = Q(text);
  shown.remove(QLatin1Char('\r'));
  QMessageBox box(icon, Q(kApplicationTitle), shown, set, &window_);
  // The buttons speak the interface language, as every caption does.
  for (const auto& [which, caption] : {std::pair{QMessageBox::Yes, answerCaptions_.Yes},
                                       std::pair{QMessageBox::No, answerCaptions_.No},
                                       std::pair{QMessageBox::Cancel, answerCaptions_.Cancel}})
    if (QAbstractButton* b = box.button(which); b && !caption.isEmpty()) b->setText(caption);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

std::optional<std::string> QtPlatform::RunFileDialog(QFileDialog& dlg, const FileDialogRequest& desc) {
  const QStringList filters = NameFilters(desc.Filter);
  if (!desc.Filter.empty()) dlg.setNameFilters(filters);
  if (!desc.PresetName.empty()) dlg.selectFile(Local(desc.PresetName));
  if (!desc.Title.empty()) dlg.setWindowTitle(Q(desc.Title));
  chosenFilter_ = 0;
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  const qsizetype chosen = filters.indexOf(dlg.selectedNameFilter());
  chosenFilter_ = chosen < 0 ? 0 : static_cast<size_t>(chosen);
  QString path = dlg.selectedFiles().first();
  // A save dialog with a default extension gives a name typed without one
  // the chosen filter's extension (the default one when it has none).
  if (dlg.acceptMode() == QFileDialog::AcceptSave && !desc.DefaultExt.empty() && QFileInfo(path).suffix().isEmpty()) {
    const QString suffix = FilterSuffix(dlg.selectedNameFilter());
    path += "." + (suffix.isEmpty() ? Local(desc.DefaultExt) : suffix);
  }
  return path.toLocal8Bit().toStdString();
}

std::optional<std::string> QtPlatform::OpenFileDialog(const FileDialogRequest& desc) {
  QFileDialog dlg(&window_);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(desc.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dlg.setDirectory(DialogDirectory(desc));
  return RunFileDialog(dlg, desc);
}

std::optional<std::string> QtPlatform::SaveFileDialog(const FileDialogRequest& desc) {
  QFileDialog dlg(&window_);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDirectory(DialogDirectory(desc));
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  return RunFileDialog(dlg, desc);
}

void QtPlatform::ShowStatus(const std::string& text) {
  widgets_.Status->ShowText(Q(text));
}

void QtPlatform::HideStatusNow() { widgets_.Status->HideNow(); }

void QtPlatform::ShowStatusLine(const std::string& text) {
  if (text.empty()) window_.statusBar()->clearMessage();
  else window_.statusBar()->showMessage(Q(text));
}

void QtPlatform::ShowStatusNote(const std::string& text) {
  auto* note = window_.statusBar()->findChild<QLabel*>("StatusNote");
  if (!note) {
    note = new QLabel(window_.statusBar());
    note->setObjectName("StatusNote");
    window_.statusBar()->addPermanentWidget(note);
  }
  note->setText(Q(text));
  note->setVisible(!text.empty());
}

void QtPlatform::HideStatusLater() { widgets_.Status->HideLater(); }

void QtPlatform::Repaint() { widgets_.Status->Repaint(); }

void QtPlatform::Beep() { QApplication::beep(); }

void QtPlatform::SetClipboardText(const ClipboardText& text) {
  // Other programs read the text as the window shows it; the 8-bit bytes go
  // with it under their code page, for a program that wants them as they
  // stand in the unit.
  auto* data = new QMimeData;
  data->setText(Q(text.Shown));
  data->setData(QString::fromLatin1(kEightBitMimeType) + ";charset=" + QString::fromStdString(text.Charset),
                QByteArray::fromStdString(text.Bytes));
  QGuiApplication::clipboard()->setMimeData(data);
}

void QtPlatform::ShowReport(const ReportTable& report) {
  TReportDialog dialog(report, &window_);
  dialog.exec();
}

bool QtPlatform::ShowNewProjectForm(NewProjectForm&) { return widgets_.NewProject->Run(); }

bool QtPlatform::ShowEditForm(EditForm&, int gridRow, int topRow) {
  // Next to the edited row, right of the ON column, inside the screen.
  EditorPlacementInput in;
  in.RowHeight = widgets_.Grid->rowHeight(0);
  in.SelectedRow = gridRow;
  in.TopRow = topRow;
  in.MainTop = window_.frameGeometry().top();
  in.MainLeft = window_.frameGeometry().left();
  in.GridPanelTop = widgets_.GridPanel->mapTo(&window_, QPoint(0, 0)).y();
  in.ColumnsWidth = 0;
  for (int c = 0; c <= kColOn; ++c) in.ColumnsWidth += widgets_.Grid->columnWidth(c);
  // The editor's frame as wide as the main window's, which is known
  // before the editor was ever shown.
  const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
  in.EditorWidth = widgets_.Editor->width() + frame.width();
  // Inside the screen's area that windows may use.
  const QRect screen = window_.screen() ? window_.screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
  in.ScreenLeft = screen.left();
  in.ScreenTop = screen.top();
  in.ScreenWidth = screen.width();
  in.ScreenHeight = screen.height();
  in.EditorHeight = widgets_.Editor->height() + frame.height();
  const EditorPlacement at = PlaceEditor(in);
  return widgets_.Editor->Run(QPoint(at.Left, at.Top));
}

bool QtPlatform::ShowCreateForm(CreateForm&) { return widgets_.Source->Run(); }

bool QtPlatform::ShowLoaderUnitsForm(LoaderUnitsForm& form) { return widgets_.Units->Run(form); }

}  // namespace velmora::ui
