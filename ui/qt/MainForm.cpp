#include "ui/qt/MainForm.h"

#include <QApplication>
#include <QEvent>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/logic/startup/CommandLine.h"
#include "ui/logic/words/Mnemonics.h"
#include "ui/logic/startup/WindowPlacement.h"
#include "ui/qt/EditForm.h"
#include "ui/qt/FindPanel.h"
#include "ui/qt/FocusFrame.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/NewProjectForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"
#include "ui/qt/ProblemsPanel.h"
#include "ui/qt/QtText.h"
#include "ui/qt/LoaderUnitsForm.h"
#include "ui/qt/CreateForm.h"
#include "ui/qt/StatusPanel.h"

// The pictures live in a static library: their resource initialiser must
// be referenced explicitly (from the global namespace).
static void InitArtResources() { Q_INIT_RESOURCE(art); }

namespace velmora::ui {

namespace {

constexpr int kClientWidth = 1147;
constexpr int kClientHeight = 725;

QIcon ArtIcon(const char* name) { return QIcon(QString(":/art/icons/%1.png").arg(name)); }

}  // namespace

TMainForm::TMainForm(PhraseTable& table, std::vector<std::string> args, ProjectFiles& files, QWidget* parent)
    : QMainWindow(parent), args_(std::move(args)), platform_(*this), shell_(table, platform_, files) {
  InitArtResources();
  setObjectName("MainForm");
  setFont(SansFont(11));
  BuildMenus();
  BuildMenuBar();
  BuildToolBar();
  BuildPanels();
  // Keys that other controls use for themselves act on the grid only while
  // it has the focus.
  const std::vector<MainAction>& rows = MainActions();
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].GridOnly) grid_->addAction(actions_[i]);
  // The dialogs are created once, with the window, and reused.
  newProjectForm_ = new TNewProjectForm(shell_.Dialogs().NewProject, this);
  editForm_ = new TEditForm(shell_.Dialogs().Editor, this);
  createForm_ = new TCreateForm(shell_.Dialogs().Source, this);
  unitsForm_ = new TLoaderUnitsForm(this);
  platform_.SetWidgets({statusPanel_, grid_, panel1_, newProjectForm_, editForm_, createForm_, unitsForm_});
  resize(kClientWidth, kClientHeight);
  move(0, 0);
  FitIntoScreen();

  shell_.Window().OnChanged = [this](unsigned what) { OnChanged(what); };
  shell_.Window().OnRowChanged = [this](int gridRow) { model_->RowChanged(gridRow); };
  shell_.FormCreate();
}

TMainForm::~TMainForm() {
  shell_.Window().OnChanged = nullptr;
  shell_.Window().OnRowChanged = nullptr;
}

// ---------------------------------------------------------------- building

void TMainForm::BuildMenus() {
  for (const MainMenu& m : MainMenus()) {
    auto* menu = new QMenu(this);
    menu->setObjectName(MenuName(m.Place));
    menus_[static_cast<size_t>(m.Place)] = menu;
  }
  codePageGroup_ = new QActionGroup(this);
  codePageGroup_->setExclusive(true);

  const std::vector<MainAction>& rows = MainActions();
  actions_.assign(rows.size(), nullptr);
  buttons_.assign(rows.size(), nullptr);
  for (size_t i = 0; i < rows.size(); ++i) {
    const MainAction& row = rows[i];
    if (row.Place == ActionPlace::ToolBar) continue;
    QMenu* menu = Menu(row.Place);
    if (row.SeparatorBefore) menu->addSeparator();
    QAction* a = menu->addAction(Q(row.FixedCaption));
    a->setObjectName(row.Name);
    if (row.Icon) a->setIcon(ArtIcon(row.Icon));
    if (row.Page) {
      const int tag = static_cast<int>(*row.Page);
      a->setText(QString::fromLatin1(CodePageCaption(*row.Page)));
      a->setCheckable(true);
      a->setData(tag);
      codePageGroup_->addAction(a);
      connect(a, &QAction::triggered, this, [this, tag] { shell_.ViewChoices().CodePageMenuItemClick(tag); });
    }
    if (*row.Shortcuts) {
      a->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.Shortcuts)));
      // The shortcut works wherever the focus is in the window, also while
      // no menu is open; a grid key only in the grid (added to it later).
      if (row.GridOnly) a->setShortcutContext(Qt::WidgetShortcut);
      else addAction(a);
    }
    if (row.Run) connect(a, &QAction::triggered, this, [this, run = row.Run] { RunCommand(run); });
    actions_[i] = a;
  }
}

void TMainForm::BuildMenuBar() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenuBar");
  for (const MainMenu& m : MainMenus()) {
    QMenu* menu = Menu(m.Place);
    // The bar has menus of its own holding the same actions: a menu shared
    // with a tool button does not survive a change of its title.
    QMenu* barMenu = bar->addMenu(QString());
    barMenu->setObjectName(QString(MenuName(m.Place)).replace("Popup", "Bar"));
    barMenu->addActions(menu->actions());
    barMenus_[static_cast<size_t>(m.Place)] = barMenu;
    menu = barMenu;
    // A Russian title's mnemonic also answers to its key on a Latin layout;
    // ApplyCaptions sets the key.
    auto* latin = new QShortcut(this);
    latin->setEnabled(false);
    connect(latin, &QShortcut::activated, this, [bar, menu] { bar->setActiveAction(menu->menuAction()); });
    latinMnemonics_.push_back(latin);
  }
  // F10 opens the first menu, as on other desktops.
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(f10, &QShortcut::activated, this,
          [this, bar] { bar->setActiveAction(barMenus_[static_cast<size_t>(MainMenus().front().Place)]->menuAction()); });
}

void TMainForm::BuildToolBar() {
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName("ToolBar1");
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(32, 32));
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setStyleSheet(
      "QToolBar#ToolBar1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfe, stop:1 #d9dfe8);"
      " border: none; border-bottom: 1px solid #a9b3c1; spacing: 0px; padding: 1px; }"
      "QToolButton::menu-indicator { image: none; width: 0px; }" +
      QString::fromLatin1(kFocusFrameStyle));
  addToolBar(Qt::TopToolBarArea, toolBar_);
  filterGroup_ = new QActionGroup(this);
  filterGroup_->setExclusive(true);

  const std::vector<MainAction>& rows = MainActions();
  for (size_t i = 0; i < rows.size(); ++i) {
    const MainAction& row = rows[i];
    if (row.Place != ActionPlace::ToolBar) continue;
    if (row.SeparatorBefore) {
      auto* line = new QFrame(toolBar_);
      line->setFrameShape(QFrame::VLine);
      line->setFrameShadow(QFrame::Sunken);
      line->setFixedWidth(21);
      toolBar_->addWidget(line);
    }
    // Tool buttons 86 x 52: a 32 x 32 icon with its caption below it.
    auto* b = new QToolButton(toolBar_);
    b->setObjectName(row.Name);
    b->setIcon(ArtIcon(row.Icon));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumSize(86, 52);
    b->setFixedHeight(52);
    b->setAutoRaise(true);
    toolBar_->addWidget(b);
    if (row.Drops) {
      b->setMenu(Menu(*row.Drops));
      b->setPopupMode(QToolButton::InstantPopup);
    } else if (row.Filter) {
      // The toggles share one handler, FilterBtnClick, and one group in
      // which exactly one is down.
      auto* a = new QAction(ArtIcon(row.Icon), QString(), this);
      a->setCheckable(true);
      a->setObjectName(QString(row.Name) + "Action");
      filterGroup_->addAction(a);
      const GridFilter filter = *row.Filter;
      connect(a, &QAction::triggered, this, [this, filter] { shell_.ViewChoices().FilterBtnClick(filter); });
      b->setDefaultAction(a);
      actions_[i] = a;
    } else if (row.Run) {
      connect(b, &QToolButton::clicked, this, [this, run = row.Run] { RunCommand(run); });
    }
    buttons_[i] = b;
  }
  // On a narrow screen the buttons that do not fit are behind the tool
  // bar's extension button, which wraps the bar: the keyboard reaches it too.
  if (auto* extension = toolBar_->findChild<QToolButton*>("qt_toolbar_ext_button")) {
    extension->setFocusPolicy(Qt::TabFocus);
    extension->setStyleSheet(kFocusFrameStyle);
  }
}

void TMainForm::BuildPanels() {
  auto* central = new QWidget(this);
  central->setObjectName("Central");
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  panel1_ = new QWidget(central);
  panel1_->setObjectName("Panel1");
  auto* p1 = new QVBoxLayout(panel1_);
  p1->setContentsMargins(0, 0, 0, 0);
  model_ = new PhraseGridModel(shell_.View(), this);
  grid_ = new PhraseGridView(shell_.GridEvents(), shell_.View().Grid(), shell_.Project().Table(), *model_, panel1_);
  grid_->setFont(SansFont(11));
  p1->addWidget(grid_);
  connect(grid_, &PhraseGridView::contextMenuWanted, this,
          [this](const QPoint& pos) { Menu(ActionPlace::EditMenu)->popup(pos); });

  // The find panels over the header row, where ResetGrid puts them.
  for (const FindPanel which : {FindPanel::Origin, FindPanel::Edited}) {
    auto* fp = new TFindPanel(static_cast<int>(which), grid_->horizontalHeader());
    connect(fp, &TFindPanel::searchDown, this, [this, which](const QString& t) { shell_.Search().FindDownBtnClick(which, U(t)); });
    connect(fp, &TFindPanel::searchUp, this, [this, which](const QString& t) { shell_.Search().FindUpBtnClick(which, U(t)); });
    connect(fp, &TFindPanel::enterPressed, this,
            [this, which](const QString& t) { shell_.Search().FindEditKeyPress(which, U(t), '\r'); });
    findPanels_[static_cast<size_t>(which) - 1] = fp;
  }
  grid_->SetFindPanels(findPanels_[0], findPanels_[1]);

  statusPanel_ = new TStatusPanel(panel1_);

  panel4_ = new QWidget(central);
  panel4_->setObjectName("Panel4");
  panel4_->setFixedHeight(106);
  auto* logo = new QLabel(panel4_);
  logo->setObjectName("LogoImage");
  logo->setGeometry(16, 32, 48, 48);
  logo->setPixmap(QPixmap(":/art/logo.png"));

  auto makeMemo = [this](const char* name, int x, int width, bool wrap) {
    auto* m = new QPlainTextEdit(panel4_);
    m->setObjectName(name);
    m->setReadOnly(true);
    m->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m->setFont(SystemFont(14));
    m->setGeometry(x, 4, width, 98);
    m->viewport()->installEventFilter(this);
    // Only shown, never typed into: the keyboard passes them by.
    m->setFocusPolicy(Qt::NoFocus);
    return m;
  };
  memo1_ = makeMemo("Memo1", 90, 529, false);
  memo2_ = makeMemo("Memo2", 616, 536, true);
  // The two boxes share the panel's width right of the logo.
  panel4_->installEventFilter(this);

  layout->addWidget(panel1_, 1);
  layout->addWidget(panel4_, 0);
  setCentralWidget(central);

  statusBar()->setObjectName("StatusLine");
  statusBar()->setSizeGripEnabled(false);

  problemsPanel_ = new TProblemsPanel(shell_.Checks(), this);
  addDockWidget(Qt::BottomDockWidgetArea, problemsPanel_);
  problemsPanel_->hide();
}

void TMainForm::ShowProblems() {
  shell_.Checks().CheckCommand();
  problemsPanel_->show();
  problemsPanel_->raise();
}

void TMainForm::LayOutMemos() {
  const int left = memo1_->x();
  const int available = std::max(0, panel4_->width() - left - 4);
  const int first = available / 2;
  memo1_->setGeometry(left, memo1_->y(), first, memo1_->height());
  memo2_->setGeometry(left + first, memo2_->y(), available - first, memo2_->height());
}

// ---------------------------------------------------------------- the window's own commands

void TMainForm::RunCommand(void (*run)(ActionHost&)) {
  // A note in the status line stays until the next command.
  statusBar()->clearMessage();
  platform_.ShowStatusNote("");
  run(*this);
}

void TMainForm::ShowHelp() {
  platform_.MessageBox(shell_.View().Caption(CaptionId::HelpToolBtnHint), Buttons::Ok, BoxKind::Information);
}

void TMainForm::FocusFindBox(FindPanel panel) {
  QLineEdit* edit = FindPanelOf(panel)->Edit();
  edit->setFocus(Qt::ShortcutFocusReason);
  edit->selectAll();
}

void TMainForm::FindAgain(bool down) {
  // In a search box, F3 searches for what it holds; elsewhere the last
  // search runs once more.
  for (const FindPanel which : {FindPanel::Origin, FindPanel::Edited}) {
    QLineEdit* edit = FindPanelOf(which)->Edit();
    if (!edit->hasFocus()) continue;
    shell_.Search().Find(which, U(edit->text()), down);
    return;
  }
  shell_.Search().FindAgain(down);
}

// ---------------------------------------------------------------- updates

void TMainForm::OnChanged(unsigned what) {
  if (what & kChangedCaptions) ApplyCaptions();
  if (what & kChangedCommands) ApplyCommands();
  if (what & kChangedTitle) setWindowTitle(Local(shell_.Project().WindowTitle()));
  if (what & kChangedRows) model_->ResetRows();
  if (what & kChangedCells) model_->AllCellsChanged();
  if (what & kChangedHeaders) model_->HeadersChanged();
  if (what & (kChangedRows | kChangedHeaders | kChangedCaptions | kChangedCodePage)) LayOutGrid();
  if (what & (kChangedRows | kChangedSelection)) grid_->SyncFromLogic();
  if (what & kChangedFilter) ApplyFilter();
  if (what & kChangedCodePage) ApplyCodePage();
  if (what & (kChangedMemos | kChangedCodePage | kChangedRows)) ApplyMemos();
  if (what & kChangedProblems) problemsPanel_->Refresh();
  // While the list is shown it follows the project's texts and the code page.
  else if (problemsPanel_->isVisible() && (what & (kChangedRows | kChangedCells | kChangedHeaders | kChangedCodePage)))
    shell_.Checks().CheckCommand();
  // A new project is worked on from its first row.
  if (what & kChangedProjectShown) grid_->setFocus(Qt::OtherFocusReason);
}

void TMainForm::ApplyCaptions() {
  auto cap = [this](CaptionId id) { return Q(shell_.View().Caption(id)); };
  const std::vector<MainAction>& rows = MainActions();
  for (size_t i = 0; i < rows.size(); ++i) {
    const MainAction& row = rows[i];
    // A filter toggle's texts are its action's; the button shows them.
    QAction* a = actions_[i];
    QToolButton* b = buttons_[i];
    if (row.Caption) {
      if (a) a->setText(cap(*row.Caption));
      else b->setText(cap(*row.Caption));
    }
    if (row.Tooltip) {
      // The help text's lines end in CR LF; a line feed alone breaks them here.
      const QString tip = cap(*row.Tooltip).remove(QLatin1Char('\r'));
      if (a) a->setToolTip(tip);
      else b->setToolTip(tip);
    }
  }
  // A narrow tool bar moves buttons behind its extension rather than
  // squeeze them: none is narrower than its caption.
  for (QToolButton* b : buttons_)
    if (b) b->setMinimumWidth(std::max(86, b->sizeHint().width()));
  const std::vector<MainMenu>& menus = MainMenus();
  for (size_t i = 0; i < menus.size(); ++i) {
    barMenus_[static_cast<size_t>(menus[i].Place)]->setTitle(cap(menus[i].Title));
    const std::optional<char32_t> mnemonic = MnemonicOf(shell_.View().Caption(menus[i].Title));
    const std::optional<char> latin = mnemonic ? LatinKeyOf(*mnemonic) : std::nullopt;
    latinMnemonics_[i]->setKey(latin ? QKeySequence(QString("Alt+") + QChar::fromLatin1(*latin).toUpper())
                                     : QKeySequence());
    latinMnemonics_[i]->setEnabled(latin.has_value());
  }
  for (TFindPanel* fp : findPanels_) fp->SetCaption(cap(CaptionId::FindPanelCaption));
  problemsPanel_->setWindowTitle(cap(CaptionId::ProblemsPanelCaption));
  platform_.SetAnswerCaptions(cap(CaptionId::YesButtonCaption), cap(CaptionId::NoButtonCaption),
                              cap(CaptionId::CancelButtonCaption));
  newProjectForm_->SetCaptions(cap(CaptionId::NewProjectFormCaption), cap(CaptionId::NewProjectLabel1Text),
                               cap(CaptionId::NewProjectStartBtnCaption), cap(CaptionId::NewProjectCancelBtnCaption));
  editForm_->SetCaptions(cap(CaptionId::EditFormCaption), cap(CaptionId::EditFormCancelBtnCaption));
  createForm_->SetCaptions(cap(CaptionId::LoaderFormCaption), cap(CaptionId::LoaderLabel1Text),
                           cap(CaptionId::LoaderLabel2Text), cap(CaptionId::LoaderOpenSourceBtnCaption));
  unitsForm_->SetCaptions(cap(CaptionId::LoaderUnitsFormCaption), cap(CaptionId::LoaderUnitsLabelText),
                          cap(CaptionId::LoaderUnitsAddBtnCaption), cap(CaptionId::LoaderUnitsRemoveBtnCaption),
                          cap(CaptionId::LoaderUnitsOkBtnCaption), cap(CaptionId::LoaderUnitsCancelBtnCaption));
}

void TMainForm::ApplyCommands() {
  const CommandStates& commands = shell_.Project().Commands();
  const std::vector<MainAction>& rows = MainActions();
  auto enabledRow = [&](const MainAction& row) { return !row.EnabledBy || commands.*(row.EnabledBy); };
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].EnabledBy) continue;
    const bool enabled = enabledRow(rows[i]);
    if (actions_[i]) actions_[i]->setEnabled(enabled);
    else buttons_[i]->setEnabled(enabled);
  }
  // A row standing in for a disabled one takes its keys; a key is never
  // held by two actions at once (Qt would find it ambiguous).
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].StandsInFor) continue;
    for (size_t j = 0; j < rows.size(); ++j) {
      if (std::string_view(rows[j].Name) != rows[i].StandsInFor) continue;
      const bool takesOver = !enabledRow(rows[j]);
      QString keys = QString::fromLatin1(rows[i].Shortcuts);
      if (takesOver) keys += QStringLiteral("; ") + QString::fromLatin1(rows[j].Shortcuts);
      actions_[j]->setShortcuts(takesOver ? QList<QKeySequence>{}
                                          : QKeySequence::listFromString(QString::fromLatin1(rows[j].Shortcuts)));
      actions_[i]->setShortcuts(QKeySequence::listFromString(keys));
    }
  }
}

void TMainForm::LayOutGrid() {
  grid_->LayOutColumns();
  // The window never gets so narrow that a column is cut: the grid fills
  // the window's width, with its frame and room for its scroll bar.
  const int chrome = 2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
  setMinimumWidth(grid_->MinimumGridWidth() + chrome);
}

void TMainForm::ApplyMemos() {
  const PhraseGrid& grid = shell_.View().Grid();
  const CodePage cp = shell_.View().DisplayCodePage();
  memo1_->setPlainText(PhraseGridModel::Decode(grid.Memo1(), cp));
  memo2_->setPlainText(PhraseGridModel::Decode(grid.Memo2(), cp));
  const QColor back = grid.MemoColour() == MemoBackground::Black ? QColor(Qt::black) : palette().color(QPalette::Button);
  for (QPlainTextEdit* m : {memo1_, memo2_}) {
    QPalette pal = m->palette();
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Text, Qt::white);
    m->setPalette(pal);
  }
}

void TMainForm::ApplyFilter() {
  const std::vector<MainAction>& rows = MainActions();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Filter != shell_.View().Grid().Filter() || actions_[i]->isChecked()) continue;
    const QSignalBlocker block(filterGroup_);
    actions_[i]->setChecked(true);
  }
}

void TMainForm::ApplyCodePage() {
  const std::vector<MainAction>& rows = MainActions();
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].Page == shell_.View().DisplayCodePage()) actions_[i]->setChecked(true);
}

// ---------------------------------------------------------------- window events

void TMainForm::FitIntoScreen() {
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  const QRect frame = frameGeometry();
  const QRect client = geometry();
  // Before the window is framed, a frame as window managers commonly draw it.
  const FrameMargins margins = isVisible() && frame != client
                                   ? FrameMargins{client.left() - frame.left(), client.top() - frame.top(),
                                                  frame.right() - client.right(), frame.bottom() - client.bottom()}
                                   : FrameMargins{4, 30, 4, 4};
  const QSize least = minimumSizeHint().expandedTo(minimumSize());
  const ScreenRect fitted =
      FitWindow({frame.left(), frame.top(), kClientWidth, kClientHeight}, margins,
                {available.left(), available.top(), available.width(), available.height()},
                {0, 0, least.width(), least.height()});
  setGeometry(fitted.Left, fitted.Top, fitted.Width, fitted.Height);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // The window opens inside the screen; a window manager's frame is known
  // only once it has framed the window, so the fit is made again then.
  FitIntoScreen();
  for (const int ms : {250, 1000})
    QTimer::singleShot(ms, this, [this] {
      if (screen() && !screen()->availableGeometry().contains(frameGeometry())) FitIntoScreen();
    });
  shell_.FormShow(args_);
  // A loader or unit file on the command line opens the Create New Project
  // dialog: only once the window is on the screen behind it.
  if (CommandLineSource(args_)) QTimer::singleShot(0, this, [this] { shell_.Creation().OpenCommandLineSource(args_); });
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Only the window itself coming back counts, not a dialog of it closing.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !QApplication::activeModalWidget())
    shell_.ProjectFile().WindowActivated();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!shell_.FormCloseQuery()) {
    event->ignore();
    return;
  }
  shell_.FormClose();
  event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel4_ && event->type() == QEvent::Resize) LayOutMemos();
  if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
      (watched == memo1_->viewport() || watched == memo2_->viewport()))
    shell_.GridEvents().EditSelectedRow();
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace velmora::ui
