// The real window from the keyboard: the table of actions that builds the
// menus and the tool bar; every shortcut, in both interface languages,
// shown in the menus; the unsaved-work question on closing;
// "Not found" in the status line; the editor's white box and byte count;
// file dialogs opening in the project's folder.
#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QSet>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <set>

#include "support/QtTestSupport.h"
#include "support/UiTestSupport.h"
#include "project/file/ProjectFile.h"
#include "ui/qt/EditForm.h"
#include "ui/qt/NewProjectForm.h"
#include "ui/qt/MainActions.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"

using namespace velmora;
using namespace velmora::ui;

using velmora::ui::testing::WhenModal;

class ShortcutTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string projectPath_;
  std::string japanesePath_;

  void WriteProjects() {
    PhraseTable t;
    // 0 Route, 1 Hidden (hidden), 2 Menu (edited, ON), 3 Map Menu.
    testing::TableBuilder().Add("Route").Add("Hidden", pfHide).Add("Menu", pfOn, "Menue").Add("Map Menu").Fill(t);
    SaveProject(t, projectPath_);
    PhraseTable j;
    // メニュー in Shift JIS: 8 bytes of room.
    testing::TableBuilder().Add("\x83\x81\x83\x6A\x83\x85\x81\x5B").Fill(j);
    SaveProject(j, japanesePath_);
  }

  static void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(target, key, mods);
    QCoreApplication::processEvents();
  }

  static QAction* Action(TMainForm& form, const char* name) {
    auto* a = form.findChild<QAction*>(name);
    if (!a) qFatal("no action %s", name);
    return a;
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    projectPath_ = dir_.filePath("Keys.vmprj").toStdString();
    japanesePath_ = dir_.filePath("Japan.vmprj").toStdString();
    WriteProjects();
  }

  void menusShowEveryShortcut() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Save Project holds Ctrl+S while it is enabled: a change to save.
    form.Shell().GridEvents().GridMouseDown(kColHide, 1);
    const struct {
      const char* action;
      const char* menu;
      QKeySequence keys;
      bool gridOnly = false;
    } expected[] = {
        {"OpenProjectItem", "FilePopupMenu", QKeySequence("Ctrl+O")},
        {"SaveProjectItem", "FilePopupMenu", QKeySequence("Ctrl+S")},
        {"SaveProjectAsItem", "FilePopupMenu", QKeySequence("Ctrl+Shift+S")},
        {"UndoMenuItem", "EditPopupMenu", QKeySequence("Ctrl+Z")},
        {"RedoMenuItem", "EditPopupMenu", QKeySequence("Ctrl+Y")},
        {"CopyMenuItem", "EditPopupMenu", QKeySequence("Ctrl+C")},
        {"FindOriginMenuItem", "EditPopupMenu", QKeySequence("Ctrl+F")},
        {"FindEditedMenuItem", "EditPopupMenu", QKeySequence("Ctrl+Shift+F")},
        {"FindNextMenuItem", "EditPopupMenu", QKeySequence("F3")},
        {"FindPreviousMenuItem", "EditPopupMenu", QKeySequence("Shift+F3")},
        {"ToggleHideMenuItem", "EditPopupMenu", QKeySequence("Ctrl+H"), true},
        {"ToggleOnMenuItem", "EditPopupMenu", QKeySequence("Space"), true},
        {"HelpItem", "HelpPopupMenu", QKeySequence("F1")},
    };
    for (const char* lang : {"EngMenuItem", "RusMenuItem"}) {
      Action(form, lang)->trigger();
      for (const auto& e : expected) {
        QAction* a = Action(form, e.action);
        QCOMPARE(a->shortcut(), e.keys);
        QVERIFY2(form.findChild<QMenu*>(e.menu)->actions().contains(a), e.action);
        QVERIFY2(form.findChild<QMenu*>(QString(e.menu).replace("Popup", "Bar"))->actions().contains(a), e.action);
        QVERIFY2((e.gridOnly ? form.Grid()->actions() : form.actions()).contains(a),
                 "the shortcut works without the menu open");
        QCOMPARE(a->shortcutContext(), e.gridOnly ? Qt::WidgetShortcut : Qt::WindowShortcut);
        QVERIFY2(!a->text().isEmpty(), e.action);
      }
      QVERIFY(Action(form, "RedoMenuItem")->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
    }
    QCOMPARE(Action(form, "UndoMenuItem")->text(), QString("Отменить"));
    Action(form, "EngMenuItem")->trigger();
    QCOMPARE(Action(form, "UndoMenuItem")->text(), QString("Undo"));
    QCOMPARE(Action(form, "RedoMenuItem")->text(), QString("Redo"));
  }

  // The table of actions: names and keys each used once, every code page
  // and filter with its one entry, and every control of the window showing
  // its row's caption and tooltip in the language chosen.
  void theActionTableDrivesTheWindow() {
    const std::vector<MainAction>& rows = MainActions();
    QSet<QString> names;
    QSet<QString> keys;
    std::set<CodePage> pages;
    std::set<GridFilter> filters;
    for (const MainAction& row : rows) {
      QVERIFY2(!names.contains(row.Name), row.Name);
      names << row.Name;
      for (const QKeySequence& k : QKeySequence::listFromString(row.Shortcuts)) {
        if (k.isEmpty()) continue;
        QVERIFY2(!keys.contains(k.toString()), qPrintable(k.toString()));
        keys << k.toString();
      }
      if (*row.Shortcuts) QVERIFY2(row.Place != ActionPlace::ToolBar, "a shortcut is shown in a menu");
      QVERIFY2(row.Caption || !row.FixedCaption.empty() || row.Page, row.Name);
      if (row.Place == ActionPlace::ToolBar) QVERIFY2(row.Icon, row.Name);
      if (row.Drops) QVERIFY2(*row.Drops != ActionPlace::ToolBar, row.Name);
      if (row.Page) QVERIFY2(pages.insert(*row.Page).second, row.Name);
      if (row.Filter) QVERIFY2(filters.insert(*row.Filter).second, row.Name);
    }
    QCOMPARE(pages.size(), static_cast<size_t>(kCodePageCount));
    QCOMPARE(filters.size(), 4u);

    PhraseTable table;
    TMainForm form(table, {});
    for (const UiLanguage language : {UiLanguage::English, UiLanguage::Russian}) {
      Action(form, language == UiLanguage::English ? "EngMenuItem" : "RusMenuItem")->trigger();
      for (const MainAction& row : rows) {
        QString text, tip;
        if (auto* b = form.findChild<QToolButton*>(row.Name)) {
          text = b->text();
          tip = b->toolTip();
        } else {
          QAction* a = Action(form, row.Name);
          text = a->text();
          QVERIFY2(form.findChild<QMenu*>(MenuName(row.Place))->actions().contains(a), row.Name);
        }
        if (row.Caption) QCOMPARE(text, QString::fromUtf8(CaptionText(*row.Caption, language)));
        if (row.Tooltip) QCOMPARE(tip, QString::fromUtf8(CaptionText(*row.Tooltip, language)).remove('\r'));
      }
    }
  }

  void ctrlCCopiesTheTextAsTheDisplayCodePageShowsIt() {
    // "Köln" and "Бел" as 8-bit bytes.
    const std::string path = dir_.filePath("Pages.vmprj").toStdString();
    PhraseTable t;
    testing::TableBuilder().Add("K\xF6ln").Add("\xC1\xE5\xEB").Fill(t);
    SaveProject(t, path);
    PhraseTable table;
    TMainForm form(table, {path});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PhraseGridView* grid = form.Grid();
    grid->setFocus();
    const struct {
      const char* page;
      int row;
      QString shown;
      const char* charset;
      QByteArray bytes;
    } cases[] = {{"RussianMenuItem", 1, QString::fromUtf8("Бел"), "CP1251", "\xC1\xE5\xEB"},
                 {"WestEuropeMenuItem", 0, QString::fromUtf8("Köln"), "CP1252", "K\xF6ln"}};
    for (const auto& c : cases) {
      Action(form, c.page)->trigger();
      grid->setCurrentIndex(form.GridModel()->index(c.row, kColOrigin));
      Key(grid, Qt::Key_C, Qt::ControlModifier);
      const QMimeData* data = QGuiApplication::clipboard()->mimeData();
      QVERIFY(data);
      QCOMPARE(data->text(), c.shown);
      QCOMPARE(data->data(QString(kEightBitMimeType) + ";charset=" + c.charset), c.bytes);
    }
  }

  void everyShortcutWorksInBothLanguages() {
    for (const char* lang : {"RusMenuItem", "EngMenuItem"}) {
      WriteProjects();
      PhraseTable table;
      TMainForm form(table, {projectPath_});
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      Action(form, lang)->trigger();
      PhraseGridView* grid = form.Grid();
      auto* model = form.GridModel();
      auto* find1 = form.findChild<QLineEdit*>("FindEdit1");
      auto* find2 = form.findChild<QLineEdit*>("FindEdit2");
      grid->setFocus();
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(0, kColOrigin)).center());

      // Ctrl+H on "Route": hidden; Ctrl+Z: back; Ctrl+Y and Ctrl+Shift+Z: again.
      Key(grid, Qt::Key_H, Qt::ControlModifier);
      QVERIFY(table.Phrases[0].Flags & pfHide);
      QVERIFY(form.Shell().Project().Modified());
      Key(grid, Qt::Key_Z, Qt::ControlModifier);
      QVERIFY(!(table.Phrases[0].Flags & pfHide));
      QVERIFY(!form.Shell().Project().Modified());
      Key(grid, Qt::Key_Y, Qt::ControlModifier);
      QVERIFY(table.Phrases[0].Flags & pfHide);
      Key(grid, Qt::Key_Z, Qt::ControlModifier);
      Key(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
      QVERIFY(table.Phrases[0].Flags & pfHide);

      // Space on "Menu" (edited, ON): switched off.
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(2, kColOrigin)).center());
      Key(grid, Qt::Key_Space);
      QVERIFY(!(table.Phrases[2].Flags & pfOn));
      QCOMPARE(model->data(model->index(2, kColOn), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

      // Ctrl+C: the origin text on the clipboard.
      Key(grid, Qt::Key_C, Qt::ControlModifier);
      QCOMPARE(QGuiApplication::clipboard()->text(), QString("Menu"));

      // Ctrl+S: saved to the project's file.
      Key(grid, Qt::Key_S, Qt::ControlModifier);
      QVERIFY(!form.Shell().Project().Modified());
      PhraseTable saved;
      OpenProject(saved, projectPath_);
      QVERIFY(saved.Phrases[0].Flags & pfHide);
      QVERIFY(!(saved.Phrases[2].Flags & pfOn));

      // Ctrl+F and Ctrl+Shift+F: into the find boxes; a blank types there.
      Key(grid, Qt::Key_F, Qt::ControlModifier);
      QVERIFY(find1->hasFocus());
      QTest::keyClicks(find1, "Map");
      Key(find1, Qt::Key_Space);
      QCOMPARE(find1->text(), QString("Map "));
      QVERIFY2(!(table.Phrases[3].Flags & pfOn), "Space in a search box is a blank");
      Key(grid, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
      QVERIFY(find2->hasFocus());

      // F3 in a search box searches for what it holds; elsewhere it repeats
      // the last search; Shift+F3 goes up.
      find1->setText("menu");
      find1->setFocus();
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(0, kColOrigin)).center());
      find1->setFocus();
      Key(find1, Qt::Key_F3);
      QCOMPARE(grid->currentIndex().row(), 2);
      grid->setFocus();
      Key(grid, Qt::Key_F3);
      QCOMPARE(grid->currentIndex().row(), 3);
      Key(grid, Qt::Key_F3, Qt::ShiftModifier);
      QCOMPARE(grid->currentIndex().row(), 2);
      Key(grid, Qt::Key_F3, Qt::ShiftModifier);
      QCOMPARE(grid->currentIndex().row(), 2);
      const UiLanguage language = std::string_view(lang) == "EngMenuItem" ? UiLanguage::English : UiLanguage::Russian;
      QCOMPARE(form.statusBar()->currentMessage(), QString::fromUtf8(CaptionText(CaptionId::NotFoundStatusText, language)));

      // Ctrl+Shift+S and Ctrl+O open their dialogs, in the project's folder.
      QString seenFolder;
      bool sawSave = false;
      WhenModal<QFileDialog>([&](QFileDialog* fd) {
        sawSave = fd->acceptMode() == QFileDialog::AcceptSave;
        seenFolder = fd->directory().absolutePath();
        fd->reject();
      });
      Key(grid, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
      QVERIFY(sawSave);
      QCOMPARE(seenFolder, QDir(dir_.path()).absolutePath());
      // The window is active again once the dialog has gone.
      form.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&form));
      bool sawOpen = false;
      WhenModal<QFileDialog>([&](QFileDialog* fd) {
        sawOpen = fd->acceptMode() == QFileDialog::AcceptOpen;
        seenFolder = fd->directory().absolutePath();
        fd->reject();
      });
      Key(grid, Qt::Key_O, Qt::ControlModifier);
      QVERIFY(sawOpen);
      QCOMPARE(seenFolder, QDir(dir_.path()).absolutePath());
    }
  }

  void closingWithUnsavedWorkAsks() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Shell().GridEvents().GridMouseDown(kColHide, 1);
    QVERIFY(form.Shell().Project().Modified());
    QString question;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      question = box->text();
      QVERIFY(box->button(QMessageBox::Cancel));
      box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    QVERIFY(question.startsWith("Последние изменения не были сохранены."));
    QVERIFY2(table.Phrases[0].Flags & pfHide, "Cancel keeps everything");
    WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    QVERIFY(form.close());
  }

  void editorStartsWhiteAndCountsBytes() {
    struct Case {
      std::string project;
      const char* codePage;
      QString typed;
      QString before;
      QString after;
    };
    const Case cases[] = {
        {projectPath_, "WestEuropeMenuItem", "Strasse", "0 / 4 bytes", "8 / 4 bytes"},  // "Route": 4 bytes in place
        {japanesePath_, "JapanMenuItem", "ルート", "0 / 8 bytes", "6 / 8 bytes"},
    };
    for (const Case& c : cases) {
      PhraseTable table;
      TMainForm form(table, {c.project});
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      Action(form, c.codePage)->trigger();
      QString countBefore, countAfter, origin;
      QColor base;
      WhenModal<TEditForm>([&](TEditForm* ed) {
        auto* memo = ed->findChild<QPlainTextEdit*>("Memo1");
        base = memo->palette().color(QPalette::Base);
        origin = ed->findChild<QPlainTextEdit*>("OriginMemo")->toPlainText();
        countBefore = ed->findChild<QLabel*>("ByteCountLabel")->text();
        memo->insertPlainText(c.typed);
        countAfter = ed->findChild<QLabel*>("ByteCountLabel")->text();
        ed->reject();
      });
      form.Grid()->setFocus();
      Key(form.Grid(), Qt::Key_Return);
      QCOMPARE(base, QColor(Qt::white));
      QCOMPARE(origin, form.GridModel()->data(form.GridModel()->index(0, kColOrigin), Qt::DisplayRole).toString());
      QCOMPARE(countBefore, c.before);
      QCOMPARE(countAfter, c.after);
    }
  }

  // A paste of hundreds of kilobytes is refused before the box takes it in,
  // with the reason shown; so is a key typed at the limit; what fits is
  // taken, and OK stores the text the box kept.
  void aTextOverTheLimitIsRefusedAsItIsPastedOrTyped() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Words, as a translation has them, to the last byte the project keeps.
    const QString atLimit = QString("Strasse ").repeated(10000).left(static_cast<qsizetype>(EditForm::kMaxTextBytes));
    QString afterBigPaste, reason, afterSmallPaste, reasonAfter, afterKey, reasonAfterKey;
    qint64 bigPasteMs = -1, fullPasteMs = -1;
    WhenModal<TEditForm>([&](TEditForm* ed) {
      auto* memo = ed->findChild<QPlainTextEdit*>("Memo1");
      auto* problems = ed->findChild<QLabel*>("ProblemsLabel");
      memo->setFocus();
      QTest::keyClicks(memo, "Weg");
      QGuiApplication::clipboard()->setText(QString(300000, QLatin1Char('P')));
      QElapsedTimer timer;
      timer.start();
      QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
      bigPasteMs = timer.elapsed();
      afterBigPaste = memo->toPlainText();
      reason = problems->text();
      QGuiApplication::clipboard()->setText(" 2");
      QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
      afterSmallPaste = memo->toPlainText();
      reasonAfter = problems->text();
      // Filled up to the limit by a paste over the whole text, then one key more.
      memo->selectAll();
      QGuiApplication::clipboard()->setText(atLimit);
      timer.restart();
      QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
      fullPasteMs = timer.elapsed();
      QTest::keyClick(memo, Qt::Key_Y);
      afterKey = memo->toPlainText();
      reasonAfterKey = problems->text();
      ed->findChild<QPushButton*>("OkBtn")->click();
    });
    form.Grid()->setFocus();
    Key(form.Grid(), Qt::Key_Return);
    QCOMPARE(afterBigPaste, QString("Weg"));
    QVERIFY2(reason.contains("300003 bytes") && reason.contains("at most 65535 bytes"), qPrintable(reason));
    QCOMPARE(afterSmallPaste, QString("Weg 2"));
    QVERIFY2(!reasonAfter.startsWith("Not taken"), qPrintable(reasonAfter));
    QCOMPARE(afterKey, atLimit);
    QVERIFY2(reasonAfterKey.contains("65536 bytes"), qPrintable(reasonAfterKey));
    QCOMPARE(QString::fromStdString(std::string(table.EditedText(table.Phrases[0]))), atLimit);
    // How long the window was busy (measured, not judged: benchmarks judge speed).
    qInfo("refused paste of 300 kB: %lld ms; paste of 64 kB taken: %lld ms", bigPasteMs, fullPasteMs);
  }
};

QTEST_MAIN(ShortcutTest)
#include "qt_shortcuts.moc"
