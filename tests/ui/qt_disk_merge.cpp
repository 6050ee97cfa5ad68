// The real window and velmora-cli on one project, offscreen: the command
// line changes the project the window shows, the window saves, and both
// changes are in the file; a phrase both changed brings up the merge
// dialog, whose choice decides.
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "support/QtTestSupport.h"
#include "project/file/PhraseEdits.h"
#include "project/file/ProjectFile.h"
#include "sampledata/SampleData.h"
#include "support/TestSupport.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/MergeDialog.h"

using namespace velmora;
using namespace velmora::ui;
using velmora::test::RunCli;
using velmora::ui::testing::WhenModal;

class DiskMergeWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  std::string Made(const char* name) {
    const std::string bin = dir_.filePath("APM.BIN").toStdString();
    test::WriteFile(bin, sample::MakeDemoApmUnit());
    const std::string project = dir_.filePath(name).toStdString();
    const auto r = RunCli({"new", bin, "-o", project});
    if (r.exitCode != 0) qFatal("new failed: %s", r.err.c_str());
    return project;
  }
  static std::string OnDisk(const std::string& project, size_t i) {
    PhraseTable t;
    OpenProject(t, project);
    return t.HasEditedText(t.Phrases[i]) ? std::string(t.EditedText(t.Phrases[i])) : "-";
  }
  static std::vector<size_t> Phrases(const PhraseTable& t) {
    std::vector<size_t> out;
    for (size_t i = 0; i < t.Phrases.size(); ++i)
      if (!(t.Phrases[i].Flags & pfLink)) out.push_back(i);
    return out;
  }
  // The window's own change, as the editor's OK makes it.
  static void WindowTranslates(TMainForm& form, size_t i, const std::string& text) {
    form.Shell().Undo().RunAsUndoStep("Edit", [&] { ApplyEditedText(form.Shell().Project().Table(), i, text); });
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void BothChangesSurviveTheWindowsSave() {
    const std::string project = Made("both.vmprj");
    PhraseTable table;
    TMainForm form(table, {project});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Shell().Project().Path(), project);
    const auto free = Phrases(table);
    QVERIFY(free.size() >= 2);

    WindowTranslates(form, free[0], "Mine");
    const auto r = RunCli({"translate", project, std::to_string(free[1]), "Theirs"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(form.Shell().ProjectFile().SaveProjectCommand());
    QCOMPARE(OnDisk(project, free[0]), std::string("Mine"));
    QCOMPARE(OnDisk(project, free[1]), std::string("Theirs"));
    QCOMPARE(std::string(table.EditedText(table.Phrases[free[1]])), std::string("Theirs"));
    form.Shell().FormClose();
  }

  void AConflictShowsTheMergeDialog() {
    const std::string project = Made("conflict.vmprj");
    PhraseTable table;
    TMainForm form(table, {project});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto free = Phrases(table);
    QVERIFY(free.size() >= 2);

    WindowTranslates(form, free[0], "Mine");
    WindowTranslates(form, free[1], "Mine too");
    QCOMPARE(RunCli({"translate", project, std::to_string(free[0]), "Theirs"}).exitCode, 0);
    QCOMPARE(RunCli({"translate", project, std::to_string(free[1]), "Theirs too"}).exitCode, 0);

    QStringList shown;
    bool seen = false;
    WhenModal<TMergeDialog>([&](TMergeDialog* d) {
      seen = true;
      auto* rows = d->findChild<QTableWidget*>("MergeTable");
      QVERIFY(rows);
      QCOMPARE(rows->rowCount(), 2);
      for (int c = 0; c < 4; ++c) shown << rows->item(0, c)->text();
      // Take theirs for all, then keep mine for the second.
      d->findChild<QPushButton*>("TakeAllTheirs")->click();
      qobject_cast<QComboBox*>(rows->cellWidget(1, 4))->setCurrentIndex(0);
      d->accept();
    });
    QVERIFY(form.Shell().ProjectFile().SaveProjectCommand());
    QVERIFY(seen);
    QCOMPARE(shown.value(0), QString::number(free[0]));
    QCOMPARE(shown.value(2), QString("Mine  [ON]"));
    QCOMPARE(shown.value(3), QString("Theirs  [ON]"));
    QCOMPARE(OnDisk(project, free[0]), std::string("Theirs"));
    QCOMPARE(OnDisk(project, free[1]), std::string("Mine too"));
    form.Shell().FormClose();
  }
};

QTEST_MAIN(DiskMergeWindowTest)
#include "qt_disk_merge.moc"
