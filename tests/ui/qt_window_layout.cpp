// The real window's layout, measured with the fonts really in use: every
// column shows its texts whole at several window sizes and in both
// languages, the find panels stay over their columns, nothing scrolls the
// grid sideways, the border between the text columns can be dragged, a
// selected hidden row stays readable, the status panel stays centred, the
// tool bar's buttons and the text boxes lie apart, and a font with Japanese
// glyphs is at hand.
#include <QAction>
#include <QFontDatabase>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QtTest>

#include "support/QtTestSupport.h"
#include "support/UiTestSupport.h"
#include "project/file/ProjectFile.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/MainForm.h"
#include "ui/qt/PhraseGridModel.h"
#include "ui/qt/PhraseGridView.h"

using namespace velmora;
using namespace velmora::ui;

namespace {

// WCAG contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b) {
  auto lum = [](const QColor& c) {
    auto ch = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
  };
  const double x = lum(a), y = lum(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string bigPath_;

  static void Settle(TMainForm& form) {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
  }

  // Every column's texts fit it, and the grid ends at the viewport's edge.
  static void VerifyColumnsWhole(TMainForm& form) {
    PhraseGridView* grid = form.Grid();
    auto* header = static_cast<PhraseGridHeader*>(grid->horizontalHeader());
    const QFontMetrics cells = grid->fontMetrics();
    const QFontMetrics heads = header->fontMetrics();
    auto* model = form.GridModel();
    const int headerRoom = header->Padding();
    int total = 0;
    for (int c = 0; c < kGridColumnCount; ++c) {
      const int width = grid->columnWidth(c);
      total += width;
      const QString text = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
      if (c == kColOrigin || c == kColEdited) {
        // The label shown beside the find panel fits its room.
        QVERIFY2(heads.horizontalAdvance(header->ShownLabel(c)) <= header->LabelRoom(c), qPrintable(text));
      } else {
        QVERIFY2(heads.horizontalAdvance(text) + headerRoom <= width, qPrintable(QString("header %1 cut at width %2").arg(text).arg(width)));
      }
    }
    QCOMPARE(total, grid->viewport()->width());
    QVERIFY(grid->columnWidth(kColHide) >= kCheckBoxSize + 2);
    QVERIFY(grid->columnWidth(kColOn) >= kCheckBoxSize + 2);
    // Data cells: the widest index and every address of the project.
    const int rows = model->rowCount();
    QVERIFY(rows > 0);
    auto fits = [&](int col, const QString& t) {
      return kCellTextLeft + cells.horizontalAdvance(t) + 1 <= grid->columnWidth(col);
    };
    QVERIFY(fits(kColIndex, model->data(model->index(rows - 1, kColIndex), Qt::DisplayRole).toString()));
    QVERIFY(fits(kColLinkAddress, " 0x88888888"));
    for (int r = 0; r < rows; r += std::max(1, rows / 500))
      for (int col : {kColLinkAddress, kColStringAddress})
        QVERIFY2(fits(col, model->data(model->index(r, col), Qt::DisplayRole).toString()), qPrintable(QString::number(r)));
    // Each find panel is shown over its own column, clear of its label
    // (where exactly: the grid layout's test).
    for (int panel = 1; panel <= 2; ++panel) {
      const int col = panel == 1 ? kColOrigin : kColEdited;
      auto* fp = form.findChild<QWidget*>(QString("FindPanel%1").arg(panel));
      const int left = header->sectionViewportPosition(col);
      QVERIFY(fp->x() >= left + kMinLabelRoom);
      QVERIFY(fp->geometry().right() < left + header->sectionSize(col));
      QVERIFY(fp->isVisible());
    }
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    bigPath_ = dir_.filePath("Big.vmprj").toStdString();
    PhraseTable t;
    testing::TableBuilder b;
    // 30,000 phrases, every 7th hidden, every 5th edited.
    for (int i = 0; i < 30000; ++i) {
      const uint16_t flags = i % 7 == 0 ? pfHide : (i % 10 == 0 ? pfOn : 0);
      if (i % 5 == 0 && !(flags & pfHide)) b.Add("Phrase " + std::to_string(i), flags, "Satz " + std::to_string(i));
      else b.Add("Phrase " + std::to_string(i), flags);
    }
    b.Fill(t);
    SaveProject(t, bigPath_);
  }

  void columnTextsAreWholeAtEverySize_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("english");
    for (const bool english : {false, true}) {
      const char* lang = english ? "en" : "ru";
      QTest::newRow(qPrintable(QString("1147x725 %1").arg(lang))) << 1147 << 725 << english;
      QTest::newRow(qPrintable(QString("1280x800 %1").arg(lang))) << 1280 << 800 << english;
      QTest::newRow(qPrintable(QString("1600x900 %1").arg(lang))) << 1600 << 900 << english;
      QTest::newRow(qPrintable(QString("1920x1080 %1").arg(lang))) << 1920 << 1080 << english;
      QTest::newRow(qPrintable(QString("narrowest %1").arg(lang))) << 0 << 600 << english;
    }
  }

  void columnTextsAreWholeAtEverySize() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, english);
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    if (english) form.findChild<QAction*>("EngMenuItem")->trigger();
    form.resize(width, height);  // 0: as narrow as the window lets itself be
    Settle(form);
    QVERIFY(form.width() >= form.minimumWidth());
    VerifyColumnsWhole(form);
    // Wide enough, both labels stand whole.
    auto* header = static_cast<PhraseGridHeader*>(form.Grid()->horizontalHeader());
    if (form.Grid()->viewport()->width() >= form.Grid()->WholeLabelsGridWidth()) {
      QCOMPARE(header->ShownLabel(kColOrigin), form.GridModel()->headerData(kColOrigin, Qt::Horizontal, Qt::DisplayRole).toString());
      QCOMPARE(header->ShownLabel(kColEdited), form.GridModel()->headerData(kColEdited, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    // After a filter and a language change the layout follows the new labels.
    form.findChild<QAction*>("NoHiddenToolButtonAction")->trigger();
    form.findChild<QAction*>(english ? "RusMenuItem" : "EngMenuItem")->trigger();
    Settle(form);
    VerifyColumnsWhole(form);
  }

  void keysNeverScrollTheGridSideways() {
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    form.resize(form.minimumWidth(), 700);
    Settle(form);
    PhraseGridView* grid = form.Grid();
    auto* panel1 = form.findChild<QWidget*>("FindPanel1");
    auto* panel2 = form.findChild<QWidget*>("FindPanel2");
    const QPoint at1 = panel1->pos(), at2 = panel2->pos();
    grid->setFocus();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(form.GridModel()->index(2, kColOrigin)).center());
    const struct {
      int key;
      Qt::KeyboardModifiers mods;
    } keys[] = {{Qt::Key_End, {}},   {Qt::Key_Right, {}}, {Qt::Key_Right, {}}, {Qt::Key_Right, {}},
                {Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Left, {}},  {Qt::Key_Home, Qt::ControlModifier},
                {Qt::Key_PageDown, {}}, {Qt::Key_Down, {}}, {Qt::Key_Right, {}}};
    for (const auto& k : keys) {
      QTest::keyClick(grid, static_cast<Qt::Key>(k.key), k.mods);
      QCOMPARE(grid->horizontalScrollBar()->value(), 0);
      QCOMPARE(grid->horizontalHeader()->offset(), 0);
      QCOMPARE(panel1->pos(), at1);
      QCOMPARE(panel2->pos(), at2);
    }
    // Ctrl+End went to the last row, Ctrl+Home back to the first.
    QVERIFY(grid->verticalScrollBar()->value() > 0);
  }

  void theBorderBetweenTheTextColumnsCanBeDragged() {
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    form.resize(1400, 800);
    Settle(form);
    PhraseGridView* grid = form.Grid();
    QHeaderView* header = grid->horizontalHeader();
    QCOMPARE(header->sectionResizeMode(kColOrigin), QHeaderView::Interactive);
    const int origin = grid->columnWidth(kColOrigin);
    const int edited = grid->columnWidth(kColEdited);
    // The user drags the border 120 pixels to the right.
    const int y = header->height() / 2;
    const int border = header->sectionViewportPosition(kColOrigin) + origin - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(border, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(border + 120, y), header->viewport()->mapToGlobal(QPointF(border + 120, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(border + 120, y));
    Settle(form);
    QCOMPARE(grid->columnWidth(kColOrigin), origin + 120);
    QCOMPARE(grid->columnWidth(kColEdited), edited - 120);
    VerifyColumnsWhole(form);
    // A wider window keeps the user's share and still fills the grid.
    form.resize(1800, 800);
    Settle(form);
    QVERIFY(grid->columnWidth(kColOrigin) > grid->columnWidth(kColEdited));
    VerifyColumnsWhole(form);
  }

  void aSelectedHiddenRowStaysReadable() {
    const QPalette pal = QApplication::palette();
    // Silver cells, selected or not, keep dark text on a light ground.
    for (const bool selected : {false, true}) {
      const CellColours c = ColoursOfCell(pal, selected, true);
      QVERIFY2(Contrast(c.Background, c.Text) >= 4.5, qPrintable(QString("silver, selected %1").arg(selected)));
    }
    // Other cells take the platform's own colours.
    QCOMPARE(ColoursOfCell(pal, true, false).Background, pal.color(QPalette::Highlight));
    QCOMPARE(ColoursOfCell(pal, true, false).Text, pal.color(QPalette::HighlightedText));
    QCOMPARE(ColoursOfCell(pal, false, false).Background, pal.color(QPalette::Base));
    QVERIFY2(ColoursOfCell(pal, true, true).Background != ColoursOfCell(pal, false, true).Background,
             "the selection still shows on silver");

    // The cell as drawn: a hidden phrase's origin text, selected.
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    PhraseGridView* grid = form.Grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(form.GridModel()->index(7, kColOrigin)).center());
    QVERIFY(table.Phrases[7].Flags & pfHide);
    Settle(form);
    const QRect cell = grid->visualRect(form.GridModel()->index(7, kColOrigin));
    const QImage shot = grid->viewport()->grab().toImage();
    const QColor drawn = shot.pixelColor(cell.right() - 4, cell.center().y());
    // The view draws with the active or the inactive colours of its window.
    QPalette active = grid->palette(), inactive = grid->palette();
    active.setCurrentColorGroup(QPalette::Active);
    inactive.setCurrentColorGroup(QPalette::Inactive);
    QVERIFY(drawn.rgb() == ColoursOfCell(active, true, true).Background.rgb() ||
            drawn.rgb() == ColoursOfCell(inactive, true, true).Background.rgb());
    QVERIFY(Contrast(drawn, ColoursOfCell(active, true, true).Text) >= 4.5);
  }

  void theStatusPanelStaysCentred() {
    PhraseTable table;
    TMainForm form(table, {});
    form.show();
    Settle(form);
    auto* panel = form.findChild<QWidget*>("ImagePanel");
    auto* panel1 = form.findChild<QWidget*>("Panel1");
    for (const QSize size : {QSize(1147, 725), QSize(1280, 800), QSize(1600, 1000), QSize(1920, 1080)}) {
      form.resize(size);
      Settle(form);
      QVERIFY(panel->isVisible());
      const QPoint offset = panel->geometry().center() - panel1->rect().center();
      QVERIFY2(std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1,
               qPrintable(QString("%1x%2: off by %3,%4").arg(size.width()).arg(size.height()).arg(offset.x()).arg(offset.y())));
    }
  }

  void theTextBoxesShareTheWidth() {
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    for (const int width : {1147, 1600}) {
      form.resize(width, 725);
      Settle(form);
      auto* memo1 = form.findChild<QPlainTextEdit*>("Memo1");
      auto* memo2 = form.findChild<QPlainTextEdit*>("Memo2");
      auto* panel4 = form.findChild<QWidget*>("Panel4");
      QVERIFY(memo1->x() > form.findChild<QWidget*>("LogoImage")->geometry().right());
      QCOMPARE(memo2->x(), memo1->geometry().right() + 1);
      QVERIFY(memo2->geometry().right() < panel4->width());
      QVERIFY(std::abs(memo1->width() - memo2->width()) <= 1);
    }
  }

  void theToolBarAndTheTextBoxesLieApartInBothLanguages() {
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    for (const char* language : {"RusMenuItem", "EngMenuItem"}) {
      form.findChild<QAction*>(language)->trigger();
      Settle(form);
      testing::VerifyLaidOut(form.findChild<QWidget*>("ToolBar1"));
      testing::VerifyLaidOut(form.findChild<QWidget*>("Panel4"));
    }
  }

  // At the window's usual size both text headers show their whole label
  // and count in both languages, five-digit counts included.
  void headersShowTheirCountsWholeAtTheUsualSize() {
    PhraseTable table;
    TMainForm form(table, {bigPath_});
    form.show();
    Settle(form);
    form.resize(1147, 725);
    for (const char* language : {"RusMenuItem", "EngMenuItem"}) {
      form.findChild<QAction*>(language)->trigger();
      Settle(form);
      auto* header = static_cast<PhraseGridHeader*>(form.Grid()->horizontalHeader());
      for (const int col : {kColOrigin, kColEdited}) {
        const QString label = form.GridModel()->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
        QVERIFY2(label.endsWith(QString("(%1)").arg(col == kColOrigin ? 30000 : 5142)), qPrintable(label));
        QCOMPARE(header->ShownLabel(col).trimmed(), label.trimmed());
      }
    }
  }

  void aFontWithJapaneseGlyphsIsAtHand() {
    // One of the faces the window asks for draws Japanese; Qt falls back to
    // it for characters the first faces lack.
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    bool found = false;
    for (const QString& family : TextFontFamilies("Tahoma")) {
      if (!japanese.contains(family)) continue;
      found = QFontMetrics(QFont(family)).inFontUcs4(0x30E1);  // メ
      if (found) break;
    }
    QVERIFY2(found, "no Japanese font installed: the texts would show as boxes");
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "qt_window_layout.moc"
