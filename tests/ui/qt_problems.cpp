// The checks in the real window, built offscreen: the Problems list in both
// languages, its double click selecting the phrase in the grid, and the
// translation editor's live problems under the byte count.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

#include "support/QtTestSupport.h"
#include "support/UiTestSupport.h"
#include "project/file/ProjectFile.h"
#include "ui/qt/EditForm.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/PhraseGridView.h"
#include "ui/qt/ProblemsPanel.h"

using namespace velmora;
using namespace velmora::ui;
using velmora::ui::testing::WhenModal;

class ProblemsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string projectPath_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    projectPath_ = dir_.filePath("checks.vmprj").toStdString();
    PhraseTable t;
    testing::TableBuilder()
        .Add("Menu")
        .Add("Version %s of %d", pfOn, "Version %d von %s")
        .Add("Hidden %d", pfOn | pfHide, "Versteckt")
        .Fill(t);
    SaveProject(t, projectPath_);
  }

  void listsProblemsAndSelectsTheirPhrase() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TProblemsPanel* panel = form.ProblemsPanel();
    QVERIFY(!panel->isVisible());
    QCOMPARE(panel->windowTitle(), QString("Проблемы"));
    form.Shell().ViewChoices().EngMenuItemClick();
    QCOMPARE(panel->windowTitle(), QString("Problems"));
    QCOMPARE(form.findChild<QAction*>("CheckMenuItem")->text(), QString("Check Translations"));

    form.findChild<QAction*>("CheckMenuItem")->trigger();
    QVERIFY(panel->isVisible());
    QListWidget* list = panel->List();
    QVERIFY(list->count() >= 2);
    int hiddenRow = -1;
    for (int r = 0; r < list->count(); ++r)
      if (list->item(r)->text().startsWith("phrase 2: error: printf: ")) hiddenRow = r;
    QVERIFY2(hiddenRow >= 0, "the hidden phrase's dropped directive is listed");
    QVERIFY(list->item(0)->text().startsWith("phrase 1: error: printf: "));

    // Under "No hidden" the hidden phrase is not in the grid; the double
    // click shows it all the same.
    QTest::mouseClick(form.findChild<QToolButton*>("NoHiddenToolButton"), Qt::LeftButton);
    QCOMPARE(form.Shell().View().Grid().Filter(), GridFilter::NoHidden);
    const QPoint at = list->visualItemRect(list->item(hiddenRow)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(form.Shell().View().Grid().PhraseOfRow(form.Shell().View().Grid().SelectedRow()), 2);
    QCOMPARE(form.Grid()->currentIndex().row() + 1, form.Shell().View().Grid().SelectedRow());
  }

  void editorShowsTheProblemsOfTheTypedText() {
    PhraseTable table;
    TMainForm form(table, {projectPath_});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.Shell().View().Grid().SelectPhrase(1));
    QString shown, afterFix;
    WhenModal<TEditForm>([&](TEditForm* ed) {
      auto* memo = ed->findChild<QPlainTextEdit*>("Memo1");
      auto* label = ed->findChild<QLabel*>("ProblemsLabel");
      memo->setPlainText("Version %d von %s");
      shown = label->text();
      memo->setPlainText("Version %s von %d");
      afterFix = label->text();
      testing::VerifyLaidOut(ed);
      ed->reject();
    });
    form.Shell().GridEvents().StringGridDblClick();
    QVERIFY2(shown.startsWith("error: printf: the translation reads the arguments in another order"), qPrintable(shown));
    QVERIFY2(!afterFix.contains("error"), qPrintable(afterFix));
  }
};

QTEST_MAIN(ProblemsTest)
#include "qt_problems.moc"
