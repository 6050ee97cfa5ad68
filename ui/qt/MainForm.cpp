#include "ui/qt/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QScreen>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyle>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/logic/CommandLine.h"
#include "ui/logic/WindowTitle.h"
#include "ui/qt/EditDialog.h"
#include "ui/qt/FindPanel.h"
#include "ui/qt/NewProjectDialog.h"
#include "ui/qt/SourceDialog.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/QtText.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"

// The pictures live in a static library: their resource initialiser must
// be referenced explicitly (from the global namespace).
static void InitArtResources() { Q_INIT_RESOURCE(art); }

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

constexpr int kClientWidth = 1147;
constexpr int kClientHeight = 725;
// How long a note stays in the status line.
constexpr int kStatusLineMs = 6000;

// The folder a file dialog opens in: the one the logic names, else the
// user's home folder (never the program's working folder).
QString DialogDirectory(const FileDialogRequest& desc) {
  if (!desc.Folder.empty() && QDir(Local(desc.Folder)).exists()) return Local(desc.Folder);
  return QDir::homePath();
}

}  // namespace

TMainForm::TMainForm(PhraseTable& table, std::vector<std::string> args, ProjectFiles& files, QWidget* parent)
    : QMainWindow(parent), table_(table), args_(std::move(args)), shell_(table, *this, files) {
  InitArtResources();
  setObjectName("MainForm");
  setFont(SansFont(11));
  BuildMenus();
  BuildToolBar();
  BuildPanels();
  // The dialogs are created once, with the window, and reused.
  newProjectForm_ = new TNewProjectForm(shell_.NewProject(), this);
  editForm_ = new TEditForm(shell_.Editor(), this);
  createForm_ = new TCreateForm(shell_.SourceForm(), this);
  resize(kClientWidth, kClientHeight);
  move(0, 0);

  shell_.OnChanged = [this](unsigned what) { OnChanged(what); };
  shell_.OnRowChanged = [this](int gridRow) { model_->RowChanged(gridRow); };
  shell_.FormCreate();
}

TMainForm::~TMainForm() {
  shell_.OnChanged = nullptr;
  shell_.OnRowChanged = nullptr;
}

QToolButton* TMainForm::AddButton(const char* name, const char* icon) {
  auto* b = new QToolButton(toolBar_);
  b->setObjectName(name);
  b->setIcon(QIcon(QString(":/art/icons/%1.png").arg(icon)));
  b->setIconSize(QSize(32, 32));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setMinimumSize(86, 52);
  b->setFixedHeight(52);
  b->setAutoRaise(true);
  toolBar_->addWidget(b);
  return b;
}

void TMainForm::BuildMenus() {
  fileMenu_ = new QMenu(this);
  fileMenu_->setObjectName("FilePopupMenu");
  auto item = [](QMenu* menu, const char* name, const char* icon = nullptr) {
    QAction* a = menu->addAction(QString());
    a->setObjectName(name);
    if (icon) a->setIcon(QIcon(QString(":/art/icons/%1.png").arg(icon)));
    return a;
  };
  openProjectItem_ = item(fileMenu_, "OpenProjectItem", "open");
  openFileItem_ = item(fileMenu_, "OpenFileItem");
  openBinFileItem_ = item(fileMenu_, "OpenBinFileItem");
  fileMenu_->addSeparator();
  takeTranslationsItem_ = item(fileMenu_, "TakeTranslationsItem");
  fileMenu_->addSeparator();
  saveProjectItem_ = item(fileMenu_, "SaveProjectItem", "save");
  saveProjectAsItem_ = item(fileMenu_, "SaveProjectAsItem");
  fileMenu_->addSeparator();
  saveFileItem_ = item(fileMenu_, "SaveFileItem");
  saveBinFileItem_ = item(fileMenu_, "SaveBinFileItem");
  fileMenu_->addSeparator();
  exitItem_ = item(fileMenu_, "ExitItem");

  openProjectItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  saveProjectItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  saveProjectAsItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(openProjectItem_, &QAction::triggered, this, [this] { shell_.OpenProjectCommand(); });
  connect(saveProjectItem_, &QAction::triggered, this, [this] { shell_.SaveProjectCommand(); });
  connect(saveProjectAsItem_, &QAction::triggered, this, [this] { shell_.SaveProjectAsCommand(); });
  connect(exitItem_, &QAction::triggered, this, &QWidget::close);
  connect(openFileItem_, &QAction::triggered, this, [this] { shell_.OpenFileCommand(); });
  connect(openBinFileItem_, &QAction::triggered, this, [this] { shell_.OpenBinFileCommand(); });
  connect(saveFileItem_, &QAction::triggered, this, [this] { shell_.SaveFileCommand(); });
  connect(saveBinFileItem_, &QAction::triggered, this, [this] { shell_.SaveBinFileCommand(); });
  connect(takeTranslationsItem_, &QAction::triggered, this, [this] { shell_.TakeTranslationsCommand(); });

  editMenu_ = new QMenu(this);
  editMenu_->setObjectName("EditPopupMenu");
  undoItem_ = item(editMenu_, "UndoMenuItem");
  redoItem_ = item(editMenu_, "RedoMenuItem");
  editMenu_->addSeparator();
  copyItem_ = item(editMenu_, "CopyMenuItem");
  copyAllItem_ = item(editMenu_, "CopyAllMenuItem");
  editMenu_->addSeparator();
  exportItem_ = item(editMenu_, "ExportMenuItem");
  importItem_ = item(editMenu_, "ImportMenuItem");
  editMenu_->addSeparator();
  findOriginItem_ = item(editMenu_, "FindOriginMenuItem");
  findEditedItem_ = item(editMenu_, "FindEditedMenuItem");
  findNextItem_ = item(editMenu_, "FindNextMenuItem");
  findPreviousItem_ = item(editMenu_, "FindPreviousMenuItem");
  editMenu_->addSeparator();
  toggleHideItem_ = item(editMenu_, "ToggleHideMenuItem");
  toggleOnItem_ = item(editMenu_, "ToggleOnMenuItem");
  undoItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redoItem_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  copyItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  findOriginItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  findEditedItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  findNextItem_->setShortcut(QKeySequence(Qt::Key_F3));
  findPreviousItem_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  toggleHideItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  toggleOnItem_->setShortcut(QKeySequence(Qt::Key_Space));
  connect(undoItem_, &QAction::triggered, this, [this] { shell_.UndoCommand(); });
  connect(redoItem_, &QAction::triggered, this, [this] { shell_.RedoCommand(); });
  connect(copyItem_, &QAction::triggered, this, [this] { shell_.CopyCommand(); });
  connect(exportItem_, &QAction::triggered, this, [this] { shell_.ExportCommand(); });
  connect(importItem_, &QAction::triggered, this, [this] { shell_.ImportCommand(); });
  connect(findOriginItem_, &QAction::triggered, this, [this] { FocusFindBox(0); });
  connect(findEditedItem_, &QAction::triggered, this, [this] { FocusFindBox(1); });
  connect(findNextItem_, &QAction::triggered, this, [this] { FindAgain(true); });
  connect(findPreviousItem_, &QAction::triggered, this, [this] { FindAgain(false); });
  connect(toggleHideItem_, &QAction::triggered, this, [this] { shell_.ToggleHideCommand(); });
  connect(toggleOnItem_, &QAction::triggered, this, [this] { shell_.ToggleOnCommand(); });
  // Copy All has no action.

  // The shortcuts work wherever the focus is in the window, also while no
  // menu is open.
  for (QAction* a : {openProjectItem_, saveProjectItem_, saveProjectAsItem_, undoItem_, redoItem_, copyItem_,
                     findOriginItem_, findEditedItem_, findNextItem_, findPreviousItem_, toggleHideItem_, toggleOnItem_})
    addAction(a);

  codePageMenu_ = new QMenu(this);
  codePageMenu_->setObjectName("CodePagePopupMenu");
  codePageGroup_ = new QActionGroup(this);
  codePageGroup_->setExclusive(true);
  static const char* const kNames[kCodePageCount] = {
      "DefaultMenuItem", "WestEuropeMenuItem", "EastEuropeMenuItem", "GreekMenuItem", "TurkishMenuItem",
      "BalticMenuItem",  "ArabicMenuItem",     "RussianMenuItem",    "JapanMenuItem"};
  for (int tag = 0; tag < kCodePageCount; ++tag) {
    QAction* a = codePageMenu_->addAction(QString::fromLatin1(CodePageCaption(static_cast<CodePage>(tag))));
    a->setObjectName(kNames[tag]);
    a->setCheckable(true);
    a->setData(tag);
    codePageGroup_->addAction(a);
    codePageItems_[static_cast<size_t>(tag)] = a;
    connect(a, &QAction::triggered, this, [this, tag] { shell_.CodePageMenuItemClick(tag); });
    if (tag == 0) codePageMenu_->addSeparator();
  }
  codePageItems_[0]->setChecked(true);

  languageMenu_ = new QMenu(this);
  languageMenu_->setObjectName("LanguagePopupMenu");
  QAction* eng = languageMenu_->addAction(Q(kEnglishMenuCaption));
  eng->setObjectName("EngMenuItem");
  QAction* rus = languageMenu_->addAction(Q(kRussianMenuCaption));
  rus->setObjectName("RusMenuItem");
  connect(eng, &QAction::triggered, this, [this] { shell_.EngMenuItemClick(); });
  connect(rus, &QAction::triggered, this, [this] { shell_.RusMenuItemClick(); });
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
      "QToolButton::menu-indicator { image: none; width: 0px; }");
  addToolBar(Qt::TopToolBarArea, toolBar_);

  auto separator = [this] {
    auto* line = new QFrame(toolBar_);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(21);
    toolBar_->addWidget(line);
  };

  fileBtn_ = AddButton("FileToolButton", "file");
  fileBtn_->setMenu(fileMenu_);
  fileBtn_->setPopupMode(QToolButton::InstantPopup);
  editBtn_ = AddButton("EditToolButton", "edit");
  editBtn_->setMenu(editMenu_);
  editBtn_->setPopupMode(QToolButton::InstantPopup);
  openProjectBtn_ = AddButton("OpenProjectToolBtn", "open");
  connect(openProjectBtn_, &QToolButton::clicked, this, [this] { shell_.OpenProjectCommand(); });
  saveProjectBtn_ = AddButton("SaveProjectToolBtn", "save");
  connect(saveProjectBtn_, &QToolButton::clicked, this, [this] { shell_.SaveProjectCommand(); });
  codePageBtn_ = AddButton("CodePageToolBtn", "codepage");
  codePageBtn_->setMenu(codePageMenu_);
  codePageBtn_->setPopupMode(QToolButton::InstantPopup);
  separator();

  filterGroup_ = new QActionGroup(this);
  filterGroup_->setExclusive(true);
  static const char* const kFilterNames[4] = {"NoFilterToolButton", "NoHiddenToolButton", "OnlyEditedToolButton",
                                              "ResultToolButton"};
  static const char* const kFilterIcons[4] = {"nofilter", "nohidden", "onlyedited", "result"};
  static const GridFilter kFilters[4] = {GridFilter::NoFilter, GridFilter::NoHidden, GridFilter::OnlyEdited,
                                         GridFilter::FinalResult};
  for (size_t i = 0; i < 4; ++i) {
    auto* a = new QAction(QIcon(QString(":/art/icons/%1.png").arg(kFilterIcons[i])), QString(), this);
    a->setCheckable(true);
    a->setObjectName(QString(kFilterNames[i]) + "Action");
    filterGroup_->addAction(a);
    filterActions_[i] = a;
    const GridFilter f = kFilters[i];
    connect(a, &QAction::triggered, this, [this, f] { shell_.FilterBtnClick(f); });
    QToolButton* b = AddButton(kFilterNames[i], kFilterIcons[i]);
    b->setDefaultAction(a);
    filterBtns_[i] = b;
  }
  filterActions_[0]->setChecked(true);
  separator();

  languageBtn_ = AddButton("LanguageToolBtn", "language");
  languageBtn_->setMenu(languageMenu_);
  languageBtn_->setPopupMode(QToolButton::InstantPopup);
  helpBtn_ = AddButton("HelpToolBtn", "help");
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
  model_ = new PhraseGridModel(shell_, this);
  grid_ = new PhraseGridView(shell_, *model_, panel1_);
  grid_->setFont(SansFont(11));
  p1->addWidget(grid_);
  connect(grid_, &PhraseGridView::contextMenuWanted, this, [this](const QPoint& pos) { editMenu_->popup(pos); });

  // The find panels over the header row, where ResetGrid puts them.
  for (int panel = 1; panel <= 2; ++panel) {
    auto* fp = new TFindPanel(panel, grid_->horizontalHeader());
    const FindPanel which = panel == 1 ? FindPanel::Origin : FindPanel::Edited;
    auto utf8 = [](const QString& t) { return t.toUtf8().toStdString(); };
    connect(fp, &TFindPanel::searchDown, this, [this, which, utf8](const QString& t) { shell_.FindDownBtnClick(which, utf8(t)); });
    connect(fp, &TFindPanel::searchUp, this, [this, which, utf8](const QString& t) { shell_.FindUpBtnClick(which, utf8(t)); });
    connect(fp, &TFindPanel::enterPressed, this,
            [this, which, utf8](const QString& t) { shell_.FindEditKeyPress(which, utf8(t), '\r'); });
    findPanels_[static_cast<size_t>(panel - 1)] = fp;
  }
  grid_->SetFindPanels(findPanels_[0], findPanels_[1]);

  // The welcome and status panel over the grid.
  imagePanel_ = new QFrame(panel1_);
  imagePanel_->setObjectName("ImagePanel");
  static_cast<QFrame*>(imagePanel_)->setFrameShape(QFrame::Box);
  static_cast<QFrame*>(imagePanel_)->setLineWidth(1);
  imagePanel_->setGeometry(220, 152, 769, 265);
  auto* picture = new QLabel(imagePanel_);
  picture->setObjectName("WelcomeImage");
  picture->setGeometry(1, 1, 767, 263);
  picture->setPixmap(QPixmap(":/art/welcome.jpg"));
  imagePanelLabel_ = new QLabel(imagePanel_);
  imagePanelLabel_->setObjectName("ImagePanelLabel");
  imagePanelLabel_->setAttribute(Qt::WA_TranslucentBackground);
  imagePanelLabel_->setFont(SansFont(24, true));
  imagePanelLabel_->setStyleSheet("color: white; background: transparent;");
  imagePanelLabel_->setGeometry(59, 32, 700, 34);
  imagePanelLabel_->setText(Q(kWelcomeText));
  imagePanel_->raise();
  // The panel stays centred over the grid whatever the window's size.
  panel1_->installEventFilter(this);

  imagePanelTimer_ = new QTimer(this);
  imagePanelTimer_->setObjectName("ImagePanelTimer");
  imagePanelTimer_->setSingleShot(true);
  imagePanelTimer_->setInterval(1000);
  connect(imagePanelTimer_, &QTimer::timeout, this, [this] {
    imagePanel_->hide();
    imagePanelTimer_->stop();
  });

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
}

void TMainForm::CentreImagePanel() {
  const QSize outer = panel1_->size();
  const QSize inner = imagePanel_->size();
  imagePanel_->move(std::max(0, (outer.width() - inner.width()) / 2), std::max(0, (outer.height() - inner.height()) / 2));
}

void TMainForm::LayOutMemos() {
  const int left = memo1_->x();
  const int available = std::max(0, panel4_->width() - left - 4);
  const int first = available / 2;
  memo1_->setGeometry(left, memo1_->y(), first, memo1_->height());
  memo2_->setGeometry(left + first, memo2_->y(), available - first, memo2_->height());
}

void TMainForm::FocusFindBox(int panel) {
  QLineEdit* edit = findPanels_[static_cast<size_t>(panel)]->Edit();
  edit->setFocus(Qt::ShortcutFocusReason);
  edit->selectAll();
}

void TMainForm::FindAgain(bool down) {
  // In a search box, F3 searches for what it holds; elsewhere the last
  // search runs once more.
  for (int panel = 0; panel < 2; ++panel) {
    QLineEdit* edit = findPanels_[static_cast<size_t>(panel)]->Edit();
    if (!edit->hasFocus()) continue;
    const FindPanel which = panel == 0 ? FindPanel::Origin : FindPanel::Edited;
    const std::string typed = edit->text().toUtf8().toStdString();
    if (down) shell_.FindDownBtnClick(which, typed);
    else shell_.FindUpBtnClick(which, typed);
    return;
  }
  shell_.FindAgain(down);
}

// ---------------------------------------------------------------- updates

void TMainForm::OnChanged(unsigned what) {
  if (what & kChangedCaptions) ApplyCaptions();
  if (what & kChangedCommands) ApplyCommands();
  if (what & kChangedTitle) setWindowTitle(Local(shell_.WindowTitle()));
  if (what & kChangedRows) model_->ResetRows();
  if (what & kChangedCells) model_->AllCellsChanged();
  if (what & kChangedHeaders) model_->HeadersChanged();
  if (what & (kChangedRows | kChangedHeaders | kChangedCaptions | kChangedCodePage)) LayOutGrid();
  if (what & (kChangedRows | kChangedSelection)) grid_->SyncFromLogic();
  if (what & kChangedFilter) ApplyFilter();
  if (what & kChangedCodePage) ApplyCodePage();
  if (what & (kChangedMemos | kChangedCodePage | kChangedRows)) ApplyMemos();
}

void TMainForm::ApplyCaptions() {
  auto cap = [this](CaptionId id) { return Q(shell_.Caption(id)); };
  fileBtn_->setText(cap(CaptionId::FileToolButtonCaption));
  editBtn_->setText(cap(CaptionId::EditToolButtonCaption));
  openProjectBtn_->setText(cap(CaptionId::OpenProjectToolBtnCaption));
  saveProjectBtn_->setText(cap(CaptionId::SaveProjectToolBtnCaption));
  codePageBtn_->setText(cap(CaptionId::CodePageToolBtnCaption));
  static const CaptionId kFilterCaptions[4][2] = {
      {CaptionId::NoFilterToolButtonCaption, CaptionId::NoFilterToolButtonHint},
      {CaptionId::NoHiddenToolButtonCaption, CaptionId::NoHiddenToolButtonHint},
      {CaptionId::OnlyEditedToolButtonCaption, CaptionId::OnlyEditedToolButtonHint},
      {CaptionId::ResultToolButtonCaption, CaptionId::ResultToolButtonHint}};
  for (size_t i = 0; i < 4; ++i) {
    filterActions_[i]->setText(cap(kFilterCaptions[i][0]));
    filterActions_[i]->setToolTip(cap(kFilterCaptions[i][1]));
  }
  languageBtn_->setText(cap(CaptionId::LanguageToolBtnCaption));
  helpBtn_->setText(cap(CaptionId::HelpToolBtnCaption));
  helpBtn_->setToolTip(cap(CaptionId::HelpToolBtnHint).remove(QLatin1Char('\r')));
  openProjectItem_->setText(cap(CaptionId::OpenProjectItemCaption));
  openFileItem_->setText(cap(CaptionId::OpenFileItemCaption));
  openBinFileItem_->setText(cap(CaptionId::OpenBinFileItemCaption));
  saveProjectItem_->setText(cap(CaptionId::SaveProjectItemCaption));
  saveProjectAsItem_->setText(cap(CaptionId::SaveProjectAsItemCaption));
  saveFileItem_->setText(cap(CaptionId::SaveFileItemCaption));
  saveBinFileItem_->setText(cap(CaptionId::SaveBinFileItemCaption));
  takeTranslationsItem_->setText(cap(CaptionId::TakeTranslationsItemCaption));
  exitItem_->setText(cap(CaptionId::ExitItemCaption));
  copyItem_->setText(cap(CaptionId::CopyMenuItemCaption));
  copyAllItem_->setText(cap(CaptionId::CopyAllMenuItemCaption));
  exportItem_->setText(cap(CaptionId::ExportMenuItemCaption));
  importItem_->setText(cap(CaptionId::ImportMenuItemCaption));
  undoItem_->setText(cap(CaptionId::UndoMenuItemCaption));
  redoItem_->setText(cap(CaptionId::RedoMenuItemCaption));
  findOriginItem_->setText(cap(CaptionId::FindOriginMenuItemCaption));
  findEditedItem_->setText(cap(CaptionId::FindEditedMenuItemCaption));
  findNextItem_->setText(cap(CaptionId::FindNextMenuItemCaption));
  findPreviousItem_->setText(cap(CaptionId::FindPreviousMenuItemCaption));
  toggleHideItem_->setText(cap(CaptionId::ToggleHideMenuItemCaption));
  toggleOnItem_->setText(cap(CaptionId::ToggleOnMenuItemCaption));
  for (TFindPanel* fp : findPanels_) fp->SetCaption(cap(CaptionId::FindPanelCaption));
  newProjectForm_->SetCaptions(cap(CaptionId::NewProjectFormCaption), cap(CaptionId::NewProjectLabel1Text),
                               cap(CaptionId::NewProjectStartBtnCaption), cap(CaptionId::NewProjectCancelBtnCaption));
  editForm_->SetCaptions(cap(CaptionId::EditFormCaption), cap(CaptionId::EditFormCancelBtnCaption));
  createForm_->SetCaptions(cap(CaptionId::LoaderFormCaption), cap(CaptionId::LoaderLabel1Text),
                           cap(CaptionId::LoaderLabel2Text), cap(CaptionId::LoaderOpenSourceBtnCaption));
  // A menu item's text must not become the tool tip of anything.
  for (QAction* a : {openProjectItem_, openFileItem_, openBinFileItem_, saveProjectItem_, saveProjectAsItem_,
                     saveFileItem_, saveBinFileItem_, takeTranslationsItem_, exitItem_, copyItem_, copyAllItem_,
                     exportItem_, importItem_, undoItem_, redoItem_, findOriginItem_, findEditedItem_, findNextItem_,
                     findPreviousItem_, toggleHideItem_, toggleOnItem_})
    a->setToolTip(QString());
}

void TMainForm::ApplyCommands() {
  const CommandStates& c = shell_.Commands();
  saveProjectItem_->setEnabled(c.SaveProject);
  saveProjectBtn_->setEnabled(c.SaveProject);
  saveProjectAsItem_->setEnabled(c.SaveProjectAs);
  saveFileItem_->setEnabled(c.SaveFile);
  saveBinFileItem_->setEnabled(c.SaveBinFile);
  // Translations are taken into an open project, as soon as one exists.
  takeTranslationsItem_->setEnabled(c.SaveProjectAs);
  undoItem_->setEnabled(c.Undo);
  redoItem_->setEnabled(c.Redo);
}

void TMainForm::LayOutGrid() {
  grid_->LayOutColumns();
  // The window never gets so narrow that a column is cut: the grid fills
  // the window's width, with its frame and room for its scroll bar.
  const int chrome = 2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
  setMinimumWidth(grid_->MinimumGridWidth() + chrome);
}

void TMainForm::ApplyMemos() {
  const PhraseGrid& grid = shell_.Grid();
  const CodePage cp = shell_.DisplayCodePage();
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
  const size_t i = static_cast<size_t>(shell_.Grid().Filter());
  if (i < filterActions_.size() && !filterActions_[i]->isChecked()) {
    const QSignalBlocker block(filterGroup_);
    filterActions_[i]->setChecked(true);
  }
}

void TMainForm::ApplyCodePage() {
  const auto tag = static_cast<size_t>(shell_.DisplayCodePage());
  if (tag < codePageItems_.size()) codePageItems_[tag]->setChecked(true);
}

// ---------------------------------------------------------------- window events

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  shell_.FormShow(args_);
  // A loader or unit file on the command line opens the Create New Project
  // dialog: only once the window is on the screen behind it.
  if (CommandLineSource(args_))
    QTimer::singleShot(0, this, [this] { shell_.OpenCommandLineSource(args_); });
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
  if (watched == panel1_ && event->type() == QEvent::Resize) CentreImagePanel();
  if (watched == panel4_ && event->type() == QEvent::Resize) LayOutMemos();
  if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
      (watched == memo1_->viewport() || watched == memo2_->viewport()))
    shell_.MemoClick();
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- Platform

Answer TMainForm::MessageBox(const std::string& text, Buttons buttons, BoxKind kind) {
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
  QMessageBox box(icon, Q(kApplicationTitle), shown, set, this);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

std::optional<std::string> TMainForm::RunFileDialog(QFileDialog& dlg, const FileDialogRequest& desc) {
  const QStringList filters = NameFilters(desc.Filter);
  if (!desc.Filter.empty()) dlg.setNameFilters(filters);
  if (!desc.PresetName.empty()) dlg.selectFile(Local(desc.PresetName));
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

std::optional<std::string> TMainForm::OpenFileDialog(const FileDialogRequest& desc) {
  QFileDialog dlg(this);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(desc.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dlg.setDirectory(DialogDirectory(desc));
  return RunFileDialog(dlg, desc);
}

std::optional<std::string> TMainForm::SaveFileDialog(const FileDialogRequest& desc) {
  QFileDialog dlg(this);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDirectory(DialogDirectory(desc));
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  return RunFileDialog(dlg, desc);
}

void TMainForm::ShowStatus(const std::string& text) {
  imagePanelLabel_->setText(Q(text));
  imagePanel_->show();
  imagePanel_->raise();
  Repaint();
}

void TMainForm::HideStatusNow() { imagePanel_->hide(); }

void TMainForm::ShowStatusLine(const std::string& text) {
  if (text.empty()) statusBar()->clearMessage();
  else statusBar()->showMessage(Q(text), kStatusLineMs);
}

void TMainForm::HideStatusLater() { imagePanelTimer_->start(); }

void TMainForm::Repaint() {
  imagePanel_->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::Beep() { QApplication::beep(); }

void TMainForm::SetClipboardText(const std::string& bytes) {
  // The 8-bit text goes with the Japanese locale: it is read as code page 932.
  QGuiApplication::clipboard()->setText(PhraseGridModel::Decode(bytes, CodePage::Japanese));
}

bool TMainForm::ShowNewProjectForm(NewProjectForm&) { return newProjectForm_->Run(); }

bool TMainForm::ShowEditForm(EditForm&, int gridRow, int topRow) {
  // Next to the edited row, right of the ON column, inside the screen.
  EditorPlacementInput in;
  in.RowHeight = grid_->rowHeight(0);
  in.SelectedRow = gridRow;
  in.TopRow = topRow;
  in.MainTop = frameGeometry().top();
  in.MainLeft = frameGeometry().left();
  in.GridPanelTop = panel1_->mapTo(this, QPoint(0, 0)).y();
  in.ColumnsWidth = 0;
  for (int c = 0; c <= kColOn; ++c) in.ColumnsWidth += grid_->columnWidth(c);
  in.EditorWidth = editForm_->frameGeometry().width();
  in.ScreenWidth = screen() ? screen()->geometry().width() : 1920;
  const EditorPlacement at = PlaceEditor(in);
  return editForm_->Run(QPoint(at.Left, at.Top));
}

bool TMainForm::ShowCreateForm(CreateForm&) { return createForm_->Run(); }

}  // namespace velmora::ui
