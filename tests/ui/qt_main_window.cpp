// The real main window, built offscreen: Russian captions at start, the grid
// of a project named on the command line, the exclusive filter buttons, a
// check-box click, and the code page menu.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QStatusBar>
#include <QtTest>

#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QFileDialog>
#include <QLineEdit>
#include <QLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <functional>

#include "support/QtTestSupport.h"
#include "support/UiTestSupport.h"
#include "container/io/AtomicFile.h"
#include "project/exchange/PhraseFormat.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "ui/qt/CreateForm.h"
#include "ui/qt/EditForm.h"
#include "ui/qt/LoaderUnitsForm.h"
#include "ui/qt/NewProjectForm.h"
#include "ui/qt/ReportDialog.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"

using namespace velmora;
using namespace velmora::ui;

using velmora::ui::testing::ChooseFile;
using velmora::ui::testing::WhenModal;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string projectPath_;

  static QString Header(TMainForm& form, int col) {
    return form.GridModel()->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
  }
  // The demo's APM unit as a .BIN file.
  static bool WriteDemoUnit(const QString& path) {
    const auto bytes = sample::MakeDemoApmUnit();
    QFile f(path);
    const auto size = static_cast<qint64>(bytes.size());
    return f.open(QIODevice::WriteOnly) && f.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
  }
  static QToolButton* Button(TMainForm& form, const char* name) {
    auto* b = form.findChild<QToolButton*>(name);
    if (!b) qFatal("no tool button %s", name);
    return b;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    projectPath_ = dir_.filePath("Demo project.vmprj").toStdString();
    PhraseTable t;
    // 0 plain, 1 hidden, 2 edited + ON, 3 link, 4 Cyrillic/Greek bytes.
    testing::TableBuilder()
        .Add("Route")
        .Add("Hidden", pfHide)
        .Add("Menu", pfOn, "Menue")
        .AddLink(0)
        .Add("\xC1\xE5\xEB")
        .Names("APM", "T1")
        .Fill(t);
    SaveProject(t, projectPath_);
  }

  void startsInRussianWithTheWelcomePanel() {
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QString("Velmora"));
    QCOMPARE(Button(form, "FileToolButton")->text(), QString("Меню Файл"));
    QCOMPARE(Button(form, "EditToolButton")->text(), QString("Редактирование"));
    QCOMPARE(Button(form, "NoFilterToolButton")->text(), QString("Без фильтров"));
    QCOMPARE(Button(form, "ResultToolButton")->text(), QString("Результат"));
    QCOMPARE(Button(form, "HelpToolBtn")->text(), QString("Помощь"));
    QCOMPARE(form.findChild<QAction*>("SaveProjectAsItem")->text(), QString("Сохранить проект как ..."));
    QCOMPARE(Header(form, 2), QString("      Оригинальный текст (0)"));
    QCOMPARE(Header(form, 4), QString("      Редактированнный текст (0)"));
    QCOMPARE(Header(form, 0), QString(" Index"));
    QCOMPARE(Header(form, 3), QString("  ON"));
    QCOMPARE(form.GridModel()->rowCount(), 0);
    QVERIFY(!Button(form, "SaveProjectToolBtn")->isEnabled());
    for (const char* item :
         {"SaveProjectItem", "SaveProjectAsItem", "SaveFileItem", "SaveBinFileItem", "TakeTranslationsItem"})
      QVERIFY2(!form.findChild<QAction*>(item)->isEnabled(), item);
    QCOMPARE(form.findChild<QAction*>("TakeTranslationsItem")->text(), QString("Взять переводы из проекта ..."));
    QVERIFY(form.findChild<QWidget*>("ImagePanel")->isVisible());
    QCOMPARE(form.findChild<QLabel*>("ImagePanelLabel")->text(), QString("Welcome to Velmora"));
    QCOMPARE(form.findChild<QAction*>("DefaultMenuItem")->isChecked(), true);

    // Tooltips only on the four filter buttons and the help button.
    const QStringList withTips = {"NoFilterToolButton", "NoHiddenToolButton", "OnlyEditedToolButton",
                                  "ResultToolButton", "HelpToolBtn"};
    for (QToolButton* b : form.findChild<QToolBar*>("ToolBar1")->findChildren<QToolButton*>()) {
      if (b->objectName().isEmpty()) continue;
      QCOMPARE(!b->toolTip().isEmpty(), withTips.contains(b->objectName()));
    }
    QCOMPARE(Button(form, "NoHiddenToolButton")->toolTip(), QString("Редактор не показывает скрытые записи"));
  }

  void showsTheProjectNamedOnTheCommandLine() {
    PhraseTable table;
    const std::string dirPart = projectPath_.substr(0, projectPath_.find(" project"));
    TMainForm form(table, {dirPart, "project.vmprj"});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QString::fromStdString("Velmora - " + projectPath_ + "  [APM_T1]"));
    QCOMPARE(form.GridModel()->rowCount(), 4);
    QCOMPARE(Header(form, 2), QString("      Оригинальный текст (4)"));
    QCOMPARE(Header(form, 4), QString("      Редактированнный текст (1)"));
    auto* m = form.GridModel();
    QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QString("0"));
    QCOMPARE(m->data(m->index(2, 0), Qt::DisplayRole).toString(), QString("2"));
    QCOMPARE(m->data(m->index(3, 0), Qt::DisplayRole).toString(), QString("4"));
    QCOMPARE(m->data(m->index(2, 4), Qt::DisplayRole).toString(), QString("Menue"));
    QCOMPARE(m->data(m->index(1, 5), Qt::DisplayRole).toString(), QString(" 0x00000084"));
    QCOMPARE(m->data(m->index(1, 1), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(!form.findChild<QWidget*>("ImagePanel")->isVisible());
    QVERIFY(form.findChild<QAction*>("SaveProjectAsItem")->isEnabled());
    QVERIFY(form.findChild<QAction*>("TakeTranslationsItem")->isEnabled());
    QVERIFY(!Button(form, "SaveProjectToolBtn")->isEnabled());
    QCOMPARE(form.Grid()->horizontalHeader()->height(), 25);
    QCOMPARE(form.Grid()->rowHeight(0), 24);
    int total = 0;
    for (int c = 0; c < kGridColumnCount; ++c) total += form.Grid()->columnWidth(c);
    QCOMPARE(total, form.Grid()->viewport()->width());
  }

  void filterButtonsAreExclusive() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const char* names[] = {"NoFilterToolButton", "NoHiddenToolButton", "OnlyEditedToolButton", "ResultToolButton"};
    const int rows[] = {4, 3, 1, 1};
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 3; i >= 0; --i) {
        QTest::mouseClick(Button(form, names[i]), Qt::LeftButton);
        for (int j = 0; j < 4; ++j) QCOMPARE(Button(form, names[j])->isChecked(), i == j);
        QCOMPARE(form.GridModel()->rowCount(), rows[i]);
      }
    }
    // Clicking the button that is down keeps it down.
    QTest::mouseClick(Button(form, names[0]), Qt::LeftButton);
    QVERIFY(Button(form, names[0])->isChecked());
  }

  void clickOnTheHideBoxTogglesIt() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTableView* grid = form.Grid();
    auto* m = form.GridModel();
    const QPoint hideCell = grid->visualRect(m->index(0, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, hideCell);
    QVERIFY(table.Phrases[0].Flags & pfHide);
    QCOMPARE(m->data(m->index(0, 1), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(form.Shell().Project().Modified());
    QVERIFY(Button(form, "SaveProjectToolBtn")->isEnabled());
    QCOMPARE(grid->currentIndex().row(), 0);
    QCOMPARE(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), QString("Route"));

    // The HIDE box of a phrase with an edited text does not move.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(m->index(2, 1)).center());
    QVERIFY(!(table.Phrases[2].Flags & pfHide));
    QCOMPARE(form.findChild<QPlainTextEdit*>("Memo2")->toPlainText(), QString("Menue"));
    // Its ON box does.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(m->index(2, 3)).center());
    QVERIFY(!(table.Phrases[2].Flags & pfOn));
    QCOMPARE(Header(form, 4), QString("      Редактированнный текст (1)"));
  }

  void filterSwitchKeepsTheSelectedPhraseInTheView() {
    // 200 phrases, every third one hidden; the view is scrolled and phrase
    // 100 selected 4 rows below the top.
    QTemporaryDir dir;
    const std::string path = dir.filePath("long.vmprj").toStdString();
    {
      PhraseTable t;
      testing::TableBuilder b;
      for (int i = 0; i < 200; ++i) b.Add("Phrase " + std::to_string(i), i % 3 == 0 ? pfHide : 0);
      b.Fill(t);
      SaveProject(t, path);
    }
    PhraseTable table;
    TMainForm form(table, {path});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTableView* grid = form.Grid();
    grid->verticalScrollBar()->setValue(96);  // top: phrase 96
    auto* m = form.GridModel();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(m->index(100, 2)).center());
    QCOMPARE(grid->currentIndex().row(), 100);

    QTest::mouseClick(Button(form, "NoHiddenToolButton"), Qt::LeftButton);
    // Phrase 100 is shown at position 66 under No Hidden, still 4 rows below the top.
    QCOMPARE(m->rowCount(), 133);
    QCOMPARE(grid->currentIndex().row(), 66);
    QCOMPARE(grid->verticalScrollBar()->value(), 62);
    QCOMPARE(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), QString("Phrase 100"));

    // Phrase 99 is hidden: switching back and forth from it lands on 98.
    QTest::mouseClick(Button(form, "NoFilterToolButton"), Qt::LeftButton);
    QCOMPARE(grid->currentIndex().row(), 100);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(m->index(99, 2)).center());
    QTest::mouseClick(Button(form, "NoHiddenToolButton"), Qt::LeftButton);
    QCOMPARE(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), QString("Phrase 98"));
  }

  void codePageMenuChangesHowTextsShow() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* m = form.GridModel();
    const QModelIndex cell = m->index(3, 2);
    form.findChild<QAction*>("RussianMenuItem")->trigger();
    QCOMPARE(m->data(cell, Qt::DisplayRole).toString(), QString("Бел"));
    form.findChild<QAction*>("GreekMenuItem")->trigger();
    QCOMPARE(m->data(cell, Qt::DisplayRole).toString(), QString("Αελ"));
    QVERIFY(form.findChild<QAction*>("GreekMenuItem")->isChecked());
    QVERIFY(!form.findChild<QAction*>("RussianMenuItem")->isChecked());
    form.findChild<QAction*>("JapanMenuItem")->trigger();
    QCOMPARE(Header(form, 2), QString("      Origin Text (4)"));
    QCOMPARE(Button(form, "FileToolButton")->text(), QString("Меню Файл"));
    form.findChild<QAction*>("EngMenuItem")->trigger();
    QCOMPARE(Button(form, "FileToolButton")->text(), QString("File Menu"));
  }

  void statusPanelShowsATextAndHidesLater() {
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* panel = form.findChild<QWidget*>("ImagePanel");
    auto* timer = form.findChild<QTimer*>("ImagePanelTimer");
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isSingleShot());
    form.Ui().ShowStatus("Creating project ...");
    QCOMPARE(form.findChild<QLabel*>("ImagePanelLabel")->text(), QString("Creating project ..."));
    QVERIFY(panel->isVisible());
    form.Ui().HideStatusLater();
    QVERIFY(timer->isActive());
    QVERIFY(panel->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 5000);
    form.Ui().ShowStatus("again");
    form.Ui().HideStatusNow();
    QVERIFY(!panel->isVisible());
  }

  void loaderUnitsDialogFollowsTheLanguageAndRuns() {
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QDialog* units = form.LoaderUnitsDialog();
    struct Texts {
      const char *caption, *add, *remove, *cancel;
    };
    const Texts ru{"Блоки нового LOADING.KWI", "Добавить", "Удалить", "Отмена"};
    const Texts en{"Units of the New LOADING.KWI", "Add", "Remove", "Cancel"};
    for (const Texts* t : {&ru, &en}) {
      if (t == &en) form.findChild<QAction*>("EngMenuItem")->trigger();
      QCOMPARE(units->windowTitle(), QString(t->caption));
      QCOMPARE(units->findChild<QPushButton*>("AddBtn")->text(), QString(t->add));
      QCOMPARE(units->findChild<QPushButton*>("RemoveBtn")->text(), QString(t->remove));
      QCOMPARE(units->findChild<QPushButton*>("CancelBtn")->text(), QString(t->cancel));
      QVERIFY(!units->findChild<QLabel*>("Label1")->text().isEmpty());
      units->layout()->activate();  // as showing the dialog does
      testing::VerifyLaidOut(units);
    }
    // Run over a project: its row is listed and cannot be removed; OK and
    // Cancel give the answer.
    table.UnitName = "APM";
    table.UnitTag = "APM";
    table.Info.UnitIndex = 0;
    LoaderUnitsForm logic(form.Ui(), CoreProjectFiles());
    logic.Prepare(table, "/p/apm.vmprj", "");
    for (const char* button : {"OkBtn", "CancelBtn"}) {
      QTimer::singleShot(0, units, [units, button] {
        auto* list = units->findChild<QListWidget*>("UnitsList");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("APM_APM  (unit 0)  /p/apm.vmprj"));
        QVERIFY(!units->findChild<QPushButton*>("RemoveBtn")->isEnabled());
        units->findChild<QPushButton*>(button)->click();
      });
      QCOMPARE(static_cast<TLoaderUnitsForm*>(units)->Run(logic), QString(button) == "OkBtn");
    }
  }

  void dialogsFollowTheLanguage() {
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    struct Texts {
      const char *newCaption, *start, *cancel, *label1, *editCaption, *editCancel, *sourceCaption, *find;
    };
    const Texts ru{"Создать новый проект", "СТАРТ", "Отмена", "Новый проект будет создан из выбранного загрузчика. Выберите нужный модуль и блок.",
                   "Редактор текста", "Отмена", "Создание нового LOADING.KWI", "Поиск"};
    const Texts en{"Create New Project", "START", "Cancel",
                   "This will create a new project for selected loader. Please select the desired module and unit.",
                   "Translation Editor", "Cancel", "Creation New LOADING.KWI", "  Find"};
    for (const Texts* t : {&ru, &en, &ru}) {
      if (t == &en) form.findChild<QAction*>("EngMenuItem")->trigger();
      else form.findChild<QAction*>("RusMenuItem")->trigger();
      QDialog* np = form.NewProjectDialog();
      QCOMPARE(np->windowTitle(), QString(t->newCaption));
      QCOMPARE(np->findChild<QPushButton*>("StartBtn")->text(), QString(t->start));
      QCOMPARE(np->findChild<QPushButton*>("CancelBtn")->text(), QString(t->cancel));
      QCOMPARE(np->findChild<QLabel*>("Label1")->text(), QString(t->label1));
      QDialog* ed = form.EditDialog();
      QCOMPARE(ed->windowTitle(), QString(t->editCaption));
      QCOMPARE(ed->findChild<QPushButton*>("CancelBtn")->text(), QString(t->editCancel));
      QCOMPARE(ed->findChild<QPushButton*>("OkBtn")->text(), QString("OK"));
      QCOMPARE(form.SourceDialog()->windowTitle(), QString(t->sourceCaption));
      QCOMPARE(form.SourceDialog()->findChild<QPushButton*>("OpenSourceBtn")->text(), QString("SOURCE"));
      QCOMPARE(form.findChild<QLabel*>("FindLabel1")->text(), QString(t->find));
      QCOMPARE(form.findChild<QLabel*>("FindLabel2")->text(), QString(t->find));
      // Whatever the language, every control lies inside its dialog, apart
      // from the others, its caption whole.
      for (QWidget* w : std::initializer_list<QWidget*>{np, ed, form.SourceDialog()}) testing::VerifyLaidOut(w);
      // The find panels' arrow buttons are a pixel higher than the panel,
      // which cuts their last row off.
      for (const char* panel : {"FindPanel1", "FindPanel2"}) testing::VerifyLaidOut(form.findChild<QFrame*>(panel), 1);
    }
    // Fixed texts.
    QCOMPARE(form.NewProjectDialog()->findChild<QRadioButton*>("JapaneseBtn")->text(), QString("Japanese"));
    QCOMPARE(form.NewProjectDialog()->findChild<QCheckBox*>("SmartCheckBox")->text(), QString("Hide ABC"));
    QCOMPARE(form.EditDialog()->findChild<QToolButton*>("CopyBtn")->toolTip(), QString("Copy Original Text"));
    QCOMPARE(form.EditDialog()->findChild<QToolButton*>("BeepBtn")->toolTip(), QString("Beep ON / OFF"));
    // The editor: the origin text above the edit box, which wraps its lines
    // at about 442 pixels, the width the too-long warning counts lines at.
    auto* memo = form.EditDialog()->findChild<QPlainTextEdit*>("Memo1");
    QVERIFY(form.EditDialog()->findChild<QPlainTextEdit*>("OriginMemo")->geometry().bottom() < memo->y());
    QVERIFY(std::abs(memo->width() - 442) <= 22);
    // The origin panel has its down button first, the edited panel its up
    // button (where the panels stand: qt_window_layout and GridLayout).
    auto* p1 = form.findChild<QFrame*>("FindPanel1");
    auto* p2 = form.findChild<QFrame*>("FindPanel2");
    QVERIFY(p1->findChild<QToolButton*>("FindDownBtn1")->x() < p1->findChild<QToolButton*>("FindUpBtn1")->x());
    QVERIFY(p2->findChild<QToolButton*>("FindUpBtn2")->x() < p2->findChild<QToolButton*>("FindDownBtn2")->x());
    QVERIFY(p1->findChild<QLabel*>("FindLabel1")->geometry().right() < p1->findChild<QLineEdit*>("FindEdit1")->x());
  }

  void editorRoundTripOnTheRealWindow() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTableView* grid = form.Grid();
    auto* m = form.GridModel();
    bool sawEditor = false;
    WhenModal<TEditForm>([&](TEditForm* ed) {
      sawEditor = true;
      auto* memo = ed->findChild<QPlainTextEdit*>("Memo1");
      auto* ok = ed->findChild<QPushButton*>("OkBtn");
      QVERIFY(!ok->isEnabled());
      QCOMPARE(memo->toPlainText(), QString());
      QTest::keyClicks(memo, "Strasse");  // longer than "Route": yellow
      QVERIFY(ok->isEnabled());
      QCOMPARE(memo->palette().color(QPalette::Base), QColor(255, 255, 0));
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(m->index(0, 2)).center());
    QVERIFY(sawEditor);
    QCOMPARE(QString::fromStdString(std::string(table.EditedText(table.Phrases[0]))), QString("Strasse"));
    QVERIFY(table.Phrases[0].Flags & pfOn);
    QCOMPARE(m->data(m->index(0, 4), Qt::DisplayRole).toString(), QString("Strasse"));
    QCOMPARE(form.findChild<QPlainTextEdit*>("Memo2")->toPlainText(), QString("Strasse"));
    QCOMPARE(Header(form, 4), QString("      Редактированнный текст (2)"));
    QVERIFY(form.Shell().Project().Modified());

    // Search from the panel: Enter in the edited-text box finds the next row.
    auto* find2 = form.findChild<QLineEdit*>("FindEdit2");
    find2->setText("MENUE");
    QTest::keyClick(find2, Qt::Key_Return);
    QCOMPARE(grid->currentIndex().row(), 2);
    QCOMPARE(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), QString("Menu"));

    // Copy puts the origin text box on the clipboard.
    form.findChild<QAction*>("CopyMenuItem")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Menu"));
  }

  void binFileThroughTheRealDialogs() {
    QTemporaryDir dir;
    const QString bin = dir.filePath("APM.BIN");
    QVERIFY(WriteDemoUnit(bin));
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    bool sawDialog = false;
    WhenModal<QFileDialog>([&](QFileDialog* fd) {
      ChooseFile(fd, bin);
      WhenModal<TNewProjectForm>([&](TNewProjectForm* np) {
        sawDialog = true;
        QVERIFY(!np->findChild<QComboBox*>("ModuleComboBox")->isEnabled());
        QVERIFY(!np->findChild<QLineEdit*>("EndEdit")->isEnabled());
        QTest::mouseClick(np->findChild<QCheckBox*>("RangeCheckBox"), Qt::LeftButton);
        auto* end = np->findChild<QLineEdit*>("EndEdit");
        QVERIFY(end->isEnabled());
        end->selectAll();
        QTest::keyClicks(end, "FFFFFFFF");
        QVERIFY(!np->findChild<QPushButton*>("StartBtn")->isEnabled());
        QTest::mouseClick(np->findChild<QCheckBox*>("RangeCheckBox"), Qt::LeftButton);
        QVERIFY(np->findChild<QPushButton*>("StartBtn")->isEnabled());
        QTest::mouseClick(np->findChild<QPushButton*>("StartBtn"), Qt::LeftButton);
      });
      static_cast<QDialog*>(fd)->accept();
    });
    form.findChild<QAction*>("OpenBinFileItem")->trigger();
    QVERIFY(sawDialog);
    QCOMPARE(QString::fromStdString(table.UnitName), QString("APM"));
    QVERIFY(form.GridModel()->rowCount() > 0);
    QCOMPARE(form.windowTitle(), "Velmora - " + bin + "  [APM_" + QString::fromStdString(table.UnitTag) + "]");
    QVERIFY(form.findChild<QAction*>("SaveBinFileItem")->isEnabled());
    QVERIFY(form.findChild<QAction*>("SaveFileItem")->isEnabled());
    QVERIFY(!form.findChild<QAction*>("SaveProjectItem")->isEnabled());

    // Save .BIN file As through the real dialog: the written file is verified
    // and the status panel says so.
    const QString out = dir.filePath("OUT.BIN");
    WhenModal<QFileDialog>([&](QFileDialog* fd) {
      ChooseFile(fd, out);
      static_cast<QDialog*>(fd)->accept();
    });
    form.findChild<QAction*>("SaveBinFileItem")->trigger();
    QVERIFY(QFile::exists(out));
    QVERIFY(form.findChild<QWidget*>("ImagePanel")->isVisible());
    QCOMPARE(form.findChild<QLabel*>("ImagePanelLabel")->text(),
             QString("Verified: 0 translations in place, 0 relocated."));
    // Once the panel has gone, the status line still tells, until the next
    // command.
    QTRY_VERIFY_WITH_TIMEOUT(!form.findChild<QWidget*>("ImagePanel")->isVisible(), 3000);
    QCOMPARE(form.statusBar()->currentMessage(), QString("Verified: 0 translations in place, 0 relocated."));
    // A folder that could not be synced after a save is a warning beside
    // the status line's text, until the next command.
    const FolderSyncNotice notice = SetFolderSyncNotice(nullptr);
    notice(FolderSyncNote(out.toStdString(), "Input/output error"));
    SetFolderSyncNotice(notice);
    auto* note = form.findChild<QLabel*>("StatusNote");
    QVERIFY(note && note->isVisible());
    QVERIFY(note->text().startsWith("Warning: the folder of \"" + out + "\" could not be synced"));
    QCOMPARE(form.statusBar()->currentMessage(), QString("Verified: 0 translations in place, 0 relocated."));
    form.findChild<QAction*>("FindNextMenuItem")->trigger();
    QCOMPARE(form.statusBar()->currentMessage(), QString("Не найдено"));
    QVERIFY(!note->isVisible());
  }

  // "Open with" from a file manager: the dialog comes over the window once
  // that is on the screen, and START makes the project.
  void unitFileOnTheCommandLineOpensTheDialogOverTheShownWindow() {
    QTemporaryDir dir;
    const QString bin = dir.filePath("APM.BIN");
    QVERIFY(WriteDemoUnit(bin));
    PhraseTable table;
    TMainForm form(table, {bin.toStdString()});
    bool windowWasUp = false;
    QString dialogCaption;
    WhenModal<TNewProjectForm>([&](TNewProjectForm* np) {
      windowWasUp = form.windowHandle() && form.windowHandle()->isExposed();
      dialogCaption = np->windowTitle();
      QTest::mouseClick(np->findChild<QPushButton*>("StartBtn"), Qt::LeftButton);
    });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_COMPARE(QString::fromStdString(table.UnitName), QString("APM"));
    QVERIFY(windowWasUp);
    QCOMPARE(dialogCaption, QString("Создать новый проект"));  // Russian captions came first
    QCOMPARE(form.windowTitle(), "Velmora - " + bin + "  [APM_" + QString::fromStdString(table.UnitTag) + "]");
    QVERIFY(form.GridModel()->rowCount() > 0);
  }

  // A loader cut short: the dialog says under the empty unit list why it is
  // empty, and makes room for it.
  void aTruncatedLoaderSaysWhyItsUnitListIsEmpty() {
    QTemporaryDir dir;
    sample::LoaderLayout layout;
    std::vector<uint8_t> bytes = sample::MakeLoader(sample::DemoLoaderRecipe(), &layout);
    bytes.resize(layout.makers[1].modules[0].units[0].offset + 100);
    const QString path = dir.filePath("LOADING.KWI");
    {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    PhraseTable table;
    TMainForm form(table, {path.toStdString()});
    bool startEnabled = true;
    bool seen = false;
    WhenModal<TNewProjectForm>([&](TNewProjectForm* np) {
      seen = true;
      startEnabled = np->findChild<QPushButton*>("StartBtn")->isEnabled();
      np->findChild<QPushButton*>("CancelBtn")->click();
    });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY(seen);
    QVERIFY(!startEnabled);
    // The dialog is kept for the next project: its state is as it was shown.
    TNewProjectForm* np = form.NewProjectDialog();
    auto* label = np->findChild<QLabel*>("UnitListNote");
    QVERIFY(label && label->isVisibleTo(np));
    QVERIFY2(label->text().startsWith("The module \"AISIN NAVIGATION PROGRAM\" has no units:"), qPrintable(label->text()));
    QVERIFY2(label->text().contains("cut short"), qPrintable(label->text()));
    testing::VerifyLaidOut(np);
    // The controls below moved out of its way.
    QVERIFY(label->geometry().bottom() < np->findChild<QWidget*>("OptionsGroupBox")->mapTo(np, QPoint(0, 0)).y());
  }

  // Take Translations: the file dialog and the report name the command, and
  // the report's columns line up.
  void takeTranslationsNamesItsDialogsAndLinesUpItsReport() {
    QTemporaryDir dir;
    const std::string oldPath = dir.filePath("old.vmprj").toStdString();
    const std::string newPath = dir.filePath("new.vmprj").toStdString();
    {
      PhraseTable t;
      testing::TableBuilder().Add("Route", pfOn, "Strecke").Add("Menu").Add("Gone", pfOn, "Weg").Fill(t);
      SaveProject(t, oldPath);
      PhraseTable n;
      testing::TableBuilder().Add("New").Add("Menu").Add("Route").Fill(n);
      SaveProject(n, newPath);
    }
    PhraseTable table;
    TMainForm form(table, {newPath});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QString fileDialogTitle, reportTitle, heading;
    QList<QList<QRect>> cells;  // by row, by column (empty cells left out)
    WhenModal<QFileDialog>([&](QFileDialog* fd) {
      fileDialogTitle = fd->windowTitle();
      ChooseFile(fd, QString::fromStdString(oldPath));
      static_cast<QDialog*>(fd)->accept();
    });
    WhenModal<TReportDialog>([&](TReportDialog* report) {
      reportTitle = report->windowTitle();
      heading = report->findChild<QLabel*>("ReportHeading")->text();
      auto* grid = qobject_cast<QGridLayout*>(report->findChild<QFrame*>("ReportTable")->layout());
      for (int r = 0; grid && r < grid->rowCount(); ++r) {
        QList<QRect> row;
        for (int c = 0; c < grid->columnCount(); ++c) {
          QLayoutItem* item = grid->itemAtPosition(r, c);
          auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
          row << (label && !label->text().isEmpty() ? label->geometry() : QRect());
        }
        cells << row;
      }
      report->accept();
    }, 400);
    form.findChild<QAction*>("TakeTranslationsItem")->trigger();
    QCOMPARE(fileDialogTitle, QString("Взять переводы из проекта"));
    QCOMPARE(reportTitle, QString("Взять переводы из проекта"));
    QCOMPARE(heading, QString("Из проекта old.vmprj взято: 1 перевод"));
    QVERIFY(cells.size() > 5);
    // The labels start at one left edge, the numbers end at one right edge
    // per column, and no column runs into the next.
    for (int c = 0; c < 3; ++c) {
      int edge = -1;
      for (const QList<QRect>& row : cells) {
        if (row[c].isNull()) continue;
        const int at = c == 0 ? row[c].left() : row[c].right();
        if (edge < 0) edge = at;
        QCOMPARE(at, edge);
        if (c > 0 && !row[c - 1].isNull()) QVERIFY(row[c - 1].right() < row[c].left());
      }
    }
  }

  // The filter chosen in the real dialog picks the format, and a name typed
  // without an extension gets that format's.
  void exportAsPoThroughTheRealDialog() {
    QTemporaryDir out;
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    bool sawDialog = false;
    WhenModal<QFileDialog>([&](QFileDialog* fd) {
      sawDialog = true;
      // One filter for each format and encoding that can be written, with
      // its Russian caption.
      const QStringList offered = fd->nameFilters();
      QCOMPARE(offered.size(), static_cast<qsizetype>(PhraseDialogFilters(PhraseFormat::kCanWrite).size()));
      QVERIFY(offered.contains(QString("Файлы XLIFF 1.2 (*.xlf *.xliff)")));
      const QStringList po = offered.filter("(*.po)");
      QCOMPARE(po.size(), 1);
      fd->selectNameFilter(po.first());
      ChooseFile(fd, out.filePath("Phrases"));
      static_cast<QDialog*>(fd)->accept();
    });
    form.findChild<QAction*>("ExportMenuItem")->trigger();
    QVERIFY(sawDialog);
    QFile po(out.filePath("Phrases.po"));
    QVERIFY(po.open(QIODevice::ReadOnly));
    const QByteArray text = po.readAll();
    QVERIFY(text.startsWith("# Phrases of the unit APM_T1"));
    QVERIFY(text.contains("msgctxt \"2\"\nmsgid \"Menu\"\nmsgstr \"Menue\"\n"));
  }

  void closingAnUnchangedProjectEmptiesTheTable() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(!table.Phrases.empty());
    QVERIFY(form.close());
    QVERIFY(table.Phrases.empty());
    QCOMPARE(form.GridModel()->rowCount(), 0);
  }
};

QTEST_MAIN(MainWindowTest)
#include "qt_main_window.moc"
