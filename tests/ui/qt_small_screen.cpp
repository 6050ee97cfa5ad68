// The real window on a small screen (800 x 600, given by the screen set-up
// in tests/ui/screens; the same test runs again at QT_SCALE_FACTOR=2 on a
// 1600 x 1200 screen): the window lies inside the screen and fits it at its
// smallest; every column, the grid's scroll bar and every tool-bar button
// can be reached; the editor opened on a row near the bottom stays inside
// the screen.
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "support/QtTestSupport.h"
#include "support/UiTestSupport.h"
#include "project/file/ProjectFile.h"
#include "ui/qt/EditForm.h"
#include "ui/qt/MainActions.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"

using namespace velmora;
using namespace velmora::ui;

using velmora::ui::testing::WhenModal;

class SmallScreenTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string projectPath_;

  static QRect Available(const QWidget& w) { return w.screen()->availableGeometry(); }

  static void Settle(TMainForm& form) {
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The window fits again once its frame is known: wait until it lies
    // inside the screen's usable area.
    QTRY_VERIFY_WITH_TIMEOUT(Available(form).contains(form.frameGeometry()), 5000);
  }

  // The widget's rectangle on the screen.
  static QRect OnScreen(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(800, 600));
    projectPath_ = dir_.filePath("Many.vmprj").toStdString();
    testing::TableBuilder builder;
    for (int i = 0; i < 80; ++i) if (i % 3) builder.Add("Phrase number " + std::to_string(i));
      else builder.Add("Phrase number " + std::to_string(i), pfOn, "Text " + std::to_string(i));
    PhraseTable t;
    builder.Fill(t);
    SaveProject(t, projectPath_);
  }

  void windowLiesInsideTheScreen() {
    for (const char* lang : {"EngMenuItem", "RusMenuItem"}) {
      PhraseTable table;
      TMainForm form(table, {projectPath_});
      form.show();
      Settle(form);
      form.findChild<QAction*>(lang)->trigger();
      QCoreApplication::processEvents();
      const QRect available = Available(form);
      const QRect f = form.frameGeometry();
      QVERIFY2(available.contains(f), qPrintable(QString("%1 %2,%3 %4x%5 min %6x%7")
                                                     .arg(lang).arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height())
                                                     .arg(form.minimumSizeHint().width())
                                                     .arg(form.minimumSizeHint().height())));
      // At its smallest the window, frame included, still fits.
      const QSize frame = form.frameGeometry().size() - form.geometry().size();
      const QSize least = form.minimumSizeHint().expandedTo(form.minimumSize()) + frame;
      QVERIFY2(least.width() <= available.width(), qPrintable(QString::number(least.width())));
      QVERIFY2(least.height() <= available.height(), qPrintable(QString::number(least.height())));
      form.resize(form.minimumSize());
      QCoreApplication::processEvents();

      // Every column lies inside the grid's view: nothing scrolls sideways.
      PhraseGridView* grid = form.Grid();
      for (int c = 0; c < kGridColumnCount; ++c)
        QVERIFY2(grid->columnViewportPosition(c) + grid->columnWidth(c) <= grid->viewport()->width(),
                 qPrintable(QString("column %1").arg(c)));
      // The scroll bar is shown, inside the window.
      QScrollBar* bar = grid->verticalScrollBar();
      QVERIFY(bar->isVisible());
      QVERIFY(OnScreen(&form).contains(OnScreen(bar)));
    }
  }

  // Each tool-bar button is on the screen, at once or once the tool bar's
  // extension button has been pressed (the tool bar then wraps).
  void everyToolButtonCanBeReached() {
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    Settle(form);
    form.resize(form.minimumSize());
    QCoreApplication::processEvents();
    auto* toolBar = form.findChild<QToolBar*>("ToolBar1");
    auto* extension = toolBar->findChild<QToolButton*>("qt_toolbar_ext_button");
    if (extension && extension->isVisible()) {
      QVERIFY(extension->focusPolicy() & Qt::TabFocus);
      extension->click();
    }
    // The wrapped bar shows every button, inside the window.
    for (const MainAction& row : MainActions()) {
      if (row.Place != ActionPlace::ToolBar) continue;
      auto* b = form.findChild<QToolButton*>(row.Name);
      QTRY_VERIFY2_WITH_TIMEOUT(b->isVisible() && OnScreen(&form).contains(OnScreen(b)),
                                qPrintable(QString("%1 in %2x%3, extension %4").arg(row.Name).arg(form.width())
                                               .arg(form.height()).arg(extension ? extension->isChecked() : -1)),
                                5000);
    }
  }

  // The editor for the last row in view opens above it, inside the screen.
  void editorStaysInsideTheScreen() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    Settle(form);
    PhraseGridView* grid = form.Grid();
    const int lastInView = grid->rowAt(grid->viewport()->height() - 2);
    QVERIFY(lastInView > 3);
    grid->setFocus();
    grid->selectRow(lastInView);
    QCoreApplication::processEvents();
    const QRect row = OnScreen(grid->viewport()).translated(0, grid->rowViewportPosition(lastInView));
    QRect editor;
    WhenModal<TEditForm>([&](TEditForm* ed) {
      editor = ed->frameGeometry();
      ed->reject();
    });
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(!editor.isNull());
    QVERIFY2(Available(form).contains(editor), qPrintable(QString("%1,%2 %3x%4").arg(editor.x()).arg(editor.y())
                                                              .arg(editor.width()).arg(editor.height())));
    QVERIFY2(editor.bottom() < row.top() + grid->rowHeight(lastInView), "the row stays in view below the editor");
  }
};

QTEST_MAIN(SmallScreenTest)
#include "qt_small_screen.moc"
