// TMainForm: the program's main window. A thin Qt layer over
// ShellController: it builds its menus and tool bar from the table of
// actions (ui/qt/MainActions.h), lays out the grid, the text boxes and the
// status panel, passes each event to the command that handles it, and
// redraws what the commands report as changed (MainWindow::OnChanged). The
// window system's services for the commands are in ui/qt/QtPlatform.h.
#pragma once

#include <QMainWindow>
#include <array>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/qt/MainActions.h"
#include "ui/qt/QtPlatform.h"

class QAction;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QShortcut;
class QToolBar;
class QToolButton;
class QWidget;

namespace velmora::ui {

class PhraseGridModel;
class PhraseGridView;
class TCreateForm;
class TLoaderUnitsForm;
class TEditForm;
class TFindPanel;
class TNewProjectForm;
class TProblemsPanel;
class TStatusPanel;

class TMainForm : public QMainWindow, public ActionHost {
  Q_OBJECT

 public:
  // args: the program's arguments without its name, handled when the window
  // is first shown.
  TMainForm(PhraseTable& table, std::vector<std::string> args, ProjectFiles& files = CoreProjectFiles(),
            QWidget* parent = nullptr);
  ~TMainForm() override;

  QtPlatform& Ui() { return platform_; }
  PhraseGridView* Grid() const { return grid_; }
  PhraseGridModel* GridModel() const { return model_; }
  TNewProjectForm* NewProjectDialog() const { return newProjectForm_; }
  TEditForm* EditDialog() const { return editForm_; }
  TCreateForm* SourceDialog() const { return createForm_; }
  TLoaderUnitsForm* LoaderUnitsDialog() const { return unitsForm_; }

  // ActionHost
  ShellController& Shell() override { return shell_; }
  void CloseWindow() override { close(); }
  void ShowHelp() override;
  void FocusFindBox(FindPanel panel) override;
  void FindAgain(bool down) override;
  void ShowProblems() override;
  TProblemsPanel* ProblemsPanel() const { return problemsPanel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Activated again: another program may have changed the project file.
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs a command of the action table.
  void RunCommand(void (*run)(ActionHost&));
  void BuildMenus();
  void BuildMenuBar();
  void BuildToolBar();
  void BuildPanels();
  void OnChanged(unsigned what);
  void ApplyCaptions();
  void ApplyCommands();
  void ApplyMemos();
  void ApplyFilter();
  void ApplyCodePage();
  void LayOutGrid();
  // Sizes and moves the window so that it lies inside the screen.
  void FitIntoScreen();
  void LayOutMemos();
  QMenu* Menu(ActionPlace place) const { return menus_[static_cast<size_t>(place)]; }
  TFindPanel* FindPanelOf(FindPanel panel) const { return findPanels_[static_cast<size_t>(panel) - 1]; }

  std::vector<std::string> args_;
  QtPlatform platform_;
  ShellController shell_;
  bool shown_ = false;

  // By the rows of MainActions(): the menu item or filter toggle of a row,
  // and the tool button of a tool-bar row (null where a row has none).
  std::vector<QAction*> actions_;
  std::vector<QToolButton*> buttons_;
  std::array<QMenu*, kMenuCount> menus_{};  // by ActionPlace
  std::array<QMenu*, kMenuCount> barMenus_{};  // the menu bar's, by ActionPlace
  // By the rows of MainMenus(): Alt and the Latin key at the place of a
  // Russian title's mnemonic.
  std::vector<QShortcut*> latinMnemonics_;
  QToolBar* toolBar_ = nullptr;
  QActionGroup* filterGroup_ = nullptr;
  QActionGroup* codePageGroup_ = nullptr;

  QWidget* panel1_ = nullptr;
  PhraseGridModel* model_ = nullptr;
  PhraseGridView* grid_ = nullptr;
  TStatusPanel* statusPanel_ = nullptr;
  QWidget* panel4_ = nullptr;
  QPlainTextEdit* memo1_ = nullptr;
  QPlainTextEdit* memo2_ = nullptr;
  std::array<TFindPanel*, 2> findPanels_{};

  TNewProjectForm* newProjectForm_ = nullptr;
  TEditForm* editForm_ = nullptr;
  TCreateForm* createForm_ = nullptr;
  TProblemsPanel* problemsPanel_ = nullptr;
  TLoaderUnitsForm* unitsForm_ = nullptr;
};

}  // namespace velmora::ui
