// The real window by keyboard alone: F10 and Alt with a menu's letter open
// the menu bar in both languages (a Russian letter also by its key on a
// Latin layout); Space on a tool-bar button presses the button and leaves
// the project alone; the undo keys in a search box undo its typing first;
// the keyboard starts in the grid of a project just opened; Ctrl+S saves a
// project without a file through Save As; a failed open keeps the project;
// Home and End in the grid; the questions' buttons in both languages.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <filesystem>

#include "support/QtTestSupport.h"
#include "support/UiTestSupport.h"
#include "project/file/ProjectFile.h"
#include "project/file/ProjectLock.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"

using namespace velmora;
using namespace velmora::ui;

using velmora::ui::testing::WhenModal;

class KeyboardTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string projectPath_;

  static void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(target, key, mods);
    QCoreApplication::processEvents();
  }

  static void Show(TMainForm& form) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
  }

  // Alt and a letter key, Latin or Cyrillic, as the keyboard sends it.
  static void AltKey(QWidget* target, Qt::Key key) {
    const QString text(QChar(static_cast<char16_t>(key)).toLower());
    QTest::sendKeyEvent(QTest::Click, target, key, text, Qt::AltModifier);
  }

  // The menu that is open now, closed again; null when none is.
  static QMenu* TakeOpenMenu() {
    QCoreApplication::processEvents();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu) menu->close();
    QCoreApplication::processEvents();
    return menu;
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    projectPath_ = dir_.filePath("Keys.vmprj").toStdString();
    PhraseTable t;
    testing::TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menue").Add("Map Menu").Fill(t);
    SaveProject(t, projectPath_);
  }

  void theMenuBarOpensByKeyInBothLanguages() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    Show(form);
    QWidget* focus = form.Grid();
    const struct {
      const char* language;
      QKeyCombination fileKey;
      QKeyCombination editKey;
    } cases[] = {
        {"EngMenuItem", Qt::ALT | Qt::Key_F, Qt::ALT | Qt::Key_E},
        // Ф and П: on a Latin layout the keys A and G.
        {"RusMenuItem", Qt::ALT | Qt::Key(0x0424), Qt::ALT | Qt::Key(0x041F)},
        {"RusMenuItem", Qt::ALT | Qt::Key_A, Qt::ALT | Qt::Key_G},
    };
    for (const auto& c : cases) {
      form.findChild<QAction*>(c.language)->trigger();
      auto* fileMenu = form.findChild<QMenu*>("FileBarMenu");
      auto* editMenu = form.findChild<QMenu*>("EditBarMenu");
      QVERIFY(fileMenu && editMenu);
      focus->setFocus();
      Key(focus, Qt::Key_F10);
      QCOMPARE(TakeOpenMenu(), fileMenu);
      AltKey(focus, c.fileKey.key());
      QCOMPARE(TakeOpenMenu(), fileMenu);
      AltKey(focus, c.editKey.key());
      QCOMPARE(TakeOpenMenu(), editMenu);
      // The File menu holds Save LOADING.KWI As: a keyboard route to it.
      QVERIFY(fileMenu->actions().contains(form.findChild<QAction*>("SaveFileItem")));
    }
  }

  void spaceOnAToolButtonPressesOnlyTheButton() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    Show(form);
    const std::vector<uint16_t> before = {table.Phrases[0].Flags, table.Phrases[2].Flags};
    auto* noHidden = form.findChild<QToolButton*>("NoHiddenToolButton");
    noHidden->setFocus(Qt::TabFocusReason);
    QVERIFY(noHidden->hasFocus());
    Key(noHidden, Qt::Key_Space);
    QCOMPARE(form.Shell().View().Grid().Filter(), GridFilter::NoHidden);
    QCOMPARE(table.Phrases[0].Flags, before[0]);
    QCOMPARE(table.Phrases[2].Flags, before[1]);
    QVERIFY(!form.Shell().Project().Modified());
    // In the grid Space still switches ON.
    form.Grid()->setFocus();
    form.Grid()->selectRow(1);  // "Menu" under No hidden
    Key(form.Grid(), Qt::Key_Space);
    QVERIFY(!(table.Phrases[2].Flags & pfOn));
  }

  void undoKeysInASearchBoxUndoItsTypingFirst() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    Show(form);
    PhraseGridView* grid = form.Grid();
    grid->setFocus();
    grid->selectRow(0);
    Key(grid, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(table.Phrases[0].Flags & pfHide);

    auto* find = form.findChild<QLineEdit*>("FindEdit1");
    Key(grid, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(find->hasFocus());
    QTest::keyClicks(find, "Map");
    Key(find, Qt::Key_Return);
    // The box's typing goes first, however many steps it takes.
    for (int step = 0; step < 3 && !find->text().isEmpty(); ++step) {
      Key(find, Qt::Key_Z, Qt::ControlModifier);
      QVERIFY(find->text() != "Map");
      QVERIFY2(table.Phrases[0].Flags & pfHide, "the project keeps its change");
    }
    QCOMPARE(find->text(), QString());
    // The box is empty: the key reaches the project.
    QVERIFY(find->hasFocus());
    Key(find, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!(table.Phrases[0].Flags & pfHide));
    QVERIFY(!form.Shell().Project().Modified());
    QVERIFY(find->text().isEmpty());
    // So does redo while the box is empty; the Edit menu always undoes the
    // project.
    Key(find, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(table.Phrases[0].Flags & pfHide);
    QVERIFY(find->text().isEmpty());
    QTest::keyClicks(find, "Route");
    form.findChild<QAction*>("UndoMenuItem")->trigger();
    QVERIFY(!(table.Phrases[0].Flags & pfHide));
    QCOMPARE(find->text(), QString("Route"));
  }

  void anOpenedProjectStartsInTheGrid() {
    PhraseTable table;
    TMainForm form(table, {});
    Show(form);
    form.findChild<QToolButton*>("OpenProjectToolBtn")->setFocus();
    WhenModal<QFileDialog>([this](QFileDialog* fd) {
      testing::ChooseFile(fd, QString::fromStdString(projectPath_));
      static_cast<QDialog*>(fd)->accept();
    });
    form.findChild<QAction*>("OpenProjectItem")->trigger();
    QTRY_COMPARE(form.focusWidget(), static_cast<QWidget*>(form.Grid()));
    QCOMPARE(form.Grid()->currentIndex().row(), 0);
    // The read-only text boxes are never in the keyboard's way.
    for (const char* memo : {"Memo1", "Memo2"})
      QCOMPARE(form.findChild<QWidget*>(memo)->focusPolicy(), Qt::NoFocus);
  }

  void ctrlSOnAProjectWithoutFileSavesAs() {
    PhraseTable table;
    TMainForm form(table, {});
    Show(form);
    // A project made from a unit: in the window, never saved.
    testing::TableBuilder().Add("Route").Add("Menu").Fill(table);
    form.Shell().Window().Notify(form.Shell().Project().Show("/p/APM.BIN", "APM.BIN"));
    form.Shell().ViewChoices().FilterBtnClick(GridFilter::NoFilter);
    form.Shell().Window().Notify(kChangedAll);
    QCoreApplication::processEvents();
    QVERIFY(!form.findChild<QAction*>("SaveProjectItem")->isEnabled());
    bool sawSave = false;
    WhenModal<QFileDialog>([&](QFileDialog* fd) {
      sawSave = fd->acceptMode() == QFileDialog::AcceptSave;
      fd->reject();
    });
    form.Grid()->setFocus();
    Key(form.Grid(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(sawSave);
    // Closing it asks, though nothing was changed.
    QString question;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      question = box->text();
      box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!form.close());
    QVERIFY2(question.contains("перед выходом"), qPrintable(question));
  }

  void homeAndEndGoToTheFirstAndTheLastRow() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    Show(form);
    PhraseGridView* grid = form.Grid();
    grid->setFocus();
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      int row;  // grid row, 1 = the first data row
    } steps[] = {{Qt::Key_End, {}, 4},
                 {Qt::Key_Home, {}, 1},
                 {Qt::Key_End, Qt::ControlModifier, 4},
                 {Qt::Key_Up, {}, 3},
                 {Qt::Key_Home, Qt::ControlModifier, 1}};
    for (const auto& step : steps) {
      Key(grid, step.key, step.mods);
      QCOMPARE(grid->currentIndex().row() + 1, step.row);
      QCOMPARE(form.Shell().View().Grid().SelectedRow(), step.row);
    }
    Key(grid, Qt::Key_End);
    QCOMPARE(form.Shell().View().Grid().Memo1(), std::string("Map Menu"));
  }

  void theQuestionsButtonsSpeakTheInterfaceLanguage() {
    PhraseTable table;
    TMainForm form(table, {});
    Show(form);
    // A project never saved: closing asks with Yes, No and Cancel.
    testing::TableBuilder().Add("Route").Fill(table);
    form.Shell().Window().Notify(form.Shell().Project().Show("/p/APM.BIN", "APM.BIN"));
    form.Shell().Window().Notify(kChangedAll);
    for (const char* language : {"RusMenuItem", "EngMenuItem", "RusMenuItem"}) {
      form.findChild<QAction*>(language)->trigger();
      QStringList buttons;
      WhenModal<QMessageBox>([&](QMessageBox* box) {
        for (const auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
          buttons << (box->button(which) ? box->button(which)->text().remove('&') : QString());
        box->button(QMessageBox::Cancel)->click();
      });
      QVERIFY(!form.close());
      const QStringList expected = std::string_view(language) == "EngMenuItem" ? QStringList{"Yes", "No", "Cancel"}
                                                                              : QStringList{"Да", "Нет", "Отмена"};
      QCOMPARE(buttons, expected);
    }
  }

  void aFailedOpenKeepsTheProjectAndLeavesNoLockFile() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    Show(form);
    const QString title = form.windowTitle();
    const std::string broken = dir_.filePath("Broken.vmprj").toStdString();
    {
      std::FILE* f = std::fopen(broken.c_str(), "wb");
      std::fputs("not a project", f);
      std::fclose(f);
    }
    WhenModal<QFileDialog>([&](QFileDialog* fd) {
      testing::ChooseFile(fd, QString::fromStdString(broken));
      static_cast<QDialog*>(fd)->accept();
    });
    QString error;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      error = box->text();
      box->accept();
    }, 400);
    form.findChild<QAction*>("OpenProjectItem")->trigger();
    QVERIFY2(!error.isEmpty(), qPrintable(form.windowTitle()));
    QCOMPARE(form.windowTitle(), title);
    QCOMPARE(table.Phrases.size(), size_t{4});
    QCOMPARE(form.GridModel()->rowCount(), 4);
    QVERIFY(!std::filesystem::exists(ProjectWindowLockPath(broken)));
  }
};

QTEST_MAIN(KeyboardTest)
#include "qt_keyboard.moc"
