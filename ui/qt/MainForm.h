// TMainForm: the program's main window. A thin Qt layer over
// ShellController: it lays out the tool bar, the menus, the grid, the text
// boxes and the status panel, forwards events to the shell, redraws what
// the shell reports as changed, and serves as the shell's Platform.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "ui/logic/Platform.h"
#include "ui/logic/ShellController.h"

class QAction;
class QActionGroup;
class QFileDialog;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

namespace velmora::ui {

class PhraseGridModel;
class PhraseGridView;
class TCreateForm;
class TEditForm;
class TFindPanel;
class TNewProjectForm;

class TMainForm : public QMainWindow, public Platform {
  Q_OBJECT

 public:
  // args: the program's arguments without its name, handled when the window
  // is first shown.
  TMainForm(PhraseTable& table, std::vector<std::string> args, ProjectFiles& files = CoreProjectFiles(),
            QWidget* parent = nullptr);
  ~TMainForm() override;

  ShellController& Shell() { return shell_; }
  PhraseGridView* Grid() const { return grid_; }
  PhraseGridModel* GridModel() const { return model_; }
  TNewProjectForm* NewProjectDialog() const { return newProjectForm_; }
  TEditForm* EditDialog() const { return editForm_; }
  TCreateForm* SourceDialog() const { return createForm_; }

  // Platform
  Answer MessageBox(const std::string& text, Buttons buttons, BoxKind kind) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& desc) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& desc) override;
  size_t ChosenFilter() const override { return chosenFilter_; }
  void ShowStatus(const std::string& text) override;
  void HideStatusNow() override;
  void ShowStatusLine(const std::string& text) override;
  void HideStatusLater() override;
  void Repaint() override;
  void Beep() override;
  void SetClipboardText(const std::string& bytes) override;
  bool ShowNewProjectForm(NewProjectForm& form) override;
  bool ShowEditForm(EditForm& form, int gridRow, int topRow) override;
  bool ShowCreateForm(CreateForm& form) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  size_t chosenFilter_ = 0;
  // Runs a file dialog set up by desc; the chosen file, and the chosen
  // filter in chosenFilter_.
  std::optional<std::string> RunFileDialog(QFileDialog& dlg, const FileDialogRequest& desc);
  void BuildToolBar();
  void BuildMenus();
  void BuildPanels();
  void OnChanged(unsigned what);
  void ApplyCaptions();
  void ApplyCommands();
  void ApplyMemos();
  void ApplyFilter();
  void ApplyCodePage();
  void LayOutGrid();
  void CentreImagePanel();
  void LayOutMemos();
  // Ctrl+F / Ctrl+Shift+F: the focus into a find box (0 origin, 1 edited).
  void FocusFindBox(int panel);
  // F3 / Shift+F3.
  void FindAgain(bool down);
  QToolButton* AddButton(const char* name, const char* icon);

  PhraseTable& table_;
  std::vector<std::string> args_;
  ShellController shell_;
  bool shown_ = false;

  QToolBar* toolBar_ = nullptr;
  QToolButton* fileBtn_ = nullptr;
  QToolButton* editBtn_ = nullptr;
  QToolButton* openProjectBtn_ = nullptr;
  QToolButton* saveProjectBtn_ = nullptr;
  QToolButton* codePageBtn_ = nullptr;
  std::array<QToolButton*, 4> filterBtns_{};
  std::array<QAction*, 4> filterActions_{};
  QActionGroup* filterGroup_ = nullptr;
  QToolButton* languageBtn_ = nullptr;
  QToolButton* helpBtn_ = nullptr;

  QMenu* fileMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* codePageMenu_ = nullptr;
  QMenu* languageMenu_ = nullptr;
  QAction* openProjectItem_ = nullptr;
  QAction* openFileItem_ = nullptr;
  QAction* openBinFileItem_ = nullptr;
  QAction* saveProjectItem_ = nullptr;
  QAction* saveProjectAsItem_ = nullptr;
  QAction* saveFileItem_ = nullptr;
  QAction* saveBinFileItem_ = nullptr;
  QAction* takeTranslationsItem_ = nullptr;
  QAction* exitItem_ = nullptr;
  QAction* copyItem_ = nullptr;
  QAction* copyAllItem_ = nullptr;
  QAction* exportItem_ = nullptr;
  QAction* importItem_ = nullptr;
  QAction* undoItem_ = nullptr;
  QAction* redoItem_ = nullptr;
  QAction* findOriginItem_ = nullptr;
  QAction* findEditedItem_ = nullptr;
  QAction* findNextItem_ = nullptr;
  QAction* findPreviousItem_ = nullptr;
  QAction* toggleHideItem_ = nullptr;
  QAction* toggleOnItem_ = nullptr;
  std::array<QAction*, kCodePageCount> codePageItems_{};
  QActionGroup* codePageGroup_ = nullptr;

  QWidget* panel1_ = nullptr;
  PhraseGridModel* model_ = nullptr;
  PhraseGridView* grid_ = nullptr;
  QWidget* imagePanel_ = nullptr;
  QLabel* imagePanelLabel_ = nullptr;
  QTimer* imagePanelTimer_ = nullptr;
  QWidget* panel4_ = nullptr;
  QPlainTextEdit* memo1_ = nullptr;
  QPlainTextEdit* memo2_ = nullptr;
  std::array<TFindPanel*, 2> findPanels_{};

  TNewProjectForm* newProjectForm_ = nullptr;
  TEditForm* editForm_ = nullptr;
  TCreateForm* createForm_ = nullptr;
};

}  // namespace velmora::ui
