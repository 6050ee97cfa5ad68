// What the window logic needs from the window system, done with Qt: message
// boxes, file dialogs, the status panel and the status line, the beep, the
// clipboard, and the three dialogs shown modally over the main window.
#pragma once

#include <QMainWindow>
#include <optional>
#include <string>

#include "ui/logic/Platform.h"

class QFileDialog;

namespace velmora::ui {

class PhraseGridView;
class TCreateForm;
class TLoaderUnitsForm;
class TEditForm;
class TNewProjectForm;
class TStatusPanel;

// The widgets the platform acts through. The window makes them after its
// logic, which needs the platform first.
struct PlatformWidgets {
  TStatusPanel* Status = nullptr;
  PhraseGridView* Grid = nullptr;
  // The panel that holds the grid (the editor opens next to a grid row).
  QWidget* GridPanel = nullptr;
  TNewProjectForm* NewProject = nullptr;
  TEditForm* Editor = nullptr;
  TCreateForm* Source = nullptr;
  TLoaderUnitsForm* Units = nullptr;
};

// The clipboard format of a copied text's 8-bit bytes, followed by
// ";charset=" and the iconv name of their code page.
inline constexpr const char* kEightBitMimeType = "application/x-velmora-8bit-text";

class QtPlatform : public Platform {
 public:
  explicit QtPlatform(QMainWindow& window) : window_(window) {}
  void SetWidgets(const PlatformWidgets& widgets) { widgets_ = widgets; }
  // The captions of the questions' Yes, No and Cancel buttons, in the
  // interface language (empty: the toolkit's own).
  void SetAnswerCaptions(const QString& yes, const QString& no, const QString& cancel) {
    answerCaptions_ = {yes, no, cancel};
  }

  Answer MessageBox(const std::string& text, Buttons buttons, BoxKind kind) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& desc) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& desc) override;
  size_t ChosenFilter() const override { return chosenFilter_; }
  void ShowStatus(const std::string& text) override;
  void HideStatusNow() override;
  void HideStatusLater() override;
  void ShowStatusLine(const std::string& text) override;
  void ShowStatusNote(const std::string& text) override;
  void Repaint() override;
  void Beep() override;
  void SetClipboardText(const ClipboardText& text) override;
  void ShowReport(const ReportTable& report) override;
  bool ShowNewProjectForm(NewProjectForm& form) override;
  bool ShowEditForm(EditForm& form, int gridRow, int topRow) override;
  bool ShowCreateForm(CreateForm& form) override;
  bool ShowLoaderUnitsForm(LoaderUnitsForm& form) override;
  std::optional<std::vector<bool>> ResolveConflicts(const std::vector<ConflictRow>& rows) override;

 private:
  // Runs a file dialog set up by desc; the chosen file, and the chosen
  // filter in chosenFilter_.
  std::optional<std::string> RunFileDialog(QFileDialog& dlg, const FileDialogRequest& desc);

  QMainWindow& window_;
  PlatformWidgets widgets_;
  size_t chosenFilter_ = 0;
  struct AnswerCaptions {
    QString Yes, No, Cancel;
  } answerCaptions_;
};

}  // namespace velmora::ui
