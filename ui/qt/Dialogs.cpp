#include "ui/qt/Dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "ui/qt/Fonts.h"

namespace velmora::ui {

namespace {

QString Q(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
std::string U(const QString& s) { return s.toUtf8().toStdString(); }

QFont SansFont(int pixels, bool bold = false) {
  QFont f;
  f.setFamilies(TextFontFamilies("Tahoma"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

// Small pictures drawn here: the copy button's two sheets, the beep
// button's loudspeaker (crossed out when beeps are off), and the source
// dialog's strip with a disc.
QPixmap CopyPicture(bool enabled) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = enabled ? QColor(43, 87, 151) : QColor(150, 150, 150);
  p.setPen(QPen(ink, 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 3.5, 11, 14));
  p.drawRect(QRectF(9.5, 7.5, 11, 14));
  for (int y = 11; y <= 18; y += 3) p.drawLine(QPointF(12, y), QPointF(18, y));
  return pm;
}

QPixmap BeepPicture(bool enabled, bool off) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = enabled ? QColor(43, 87, 151) : QColor(150, 150, 150);
  QPainterPath speaker;
  speaker.moveTo(4, 9);
  speaker.lineTo(8, 9);
  speaker.lineTo(13, 4);
  speaker.lineTo(13, 20);
  speaker.lineTo(8, 15);
  speaker.lineTo(4, 15);
  speaker.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPath(speaker);
  p.setPen(QPen(ink, 1.6));
  p.setBrush(Qt::NoBrush);
  if (off) {
    p.setPen(QPen(QColor(200, 40, 40), 2.2));
    p.drawLine(QPointF(15, 8), QPointF(21, 16));
    p.drawLine(QPointF(21, 8), QPointF(15, 16));
  } else {
    p.drawArc(QRectF(11, 7, 7, 10), -60 * 16, 120 * 16);
    p.drawArc(QRectF(11, 4, 11, 16), -60 * 16, 120 * 16);
  }
  return pm;
}

QPixmap SourcePicture(int height) {
  QPixmap pm(121, height);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, height);
  g.setColorAt(0, QColor(14, 36, 71));
  g.setColorAt(1, QColor(44, 90, 156));
  p.fillRect(pm.rect(), g);
  const QPointF c(60, height / 2.0);
  p.setPen(QPen(QColor(200, 210, 225), 1));
  p.setBrush(QColor(190, 200, 215));
  p.drawEllipse(c, 44, 44);
  p.setBrush(QColor(14, 36, 71));
  p.drawEllipse(c, 8, 8);
  p.setPen(QPen(QColor(240, 160, 48), 3));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - 32, c.y() - 32, 64, 64), 30 * 16, 70 * 16);
  return pm;
}

QPixmap ArrowPicture(bool down) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(43, 87, 151));
  QPolygonF tri;
  if (down) tri << QPointF(2, 4) << QPointF(14, 4) << QPointF(8, 13);
  else tri << QPointF(2, 12) << QPointF(14, 12) << QPointF(8, 3);
  p.drawPolygon(tri);
  return pm;
}

}  // namespace

// ---------------------------------------------------------------- TNewProjectForm

TNewProjectForm::TNewProjectForm(NewProjectForm& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  setObjectName("NewProjectForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(SansFont(11));
  setFixedSize(400, 330);

  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  label1_->setWordWrap(true);
  label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label1_->setGeometry(12, 10, 376, 34);

  auto* moduleLabel = new QLabel("Module", this);
  moduleLabel->setGeometry(12, 50, 200, 16);
  moduleBox_ = new QComboBox(this);
  moduleBox_->setObjectName("ModuleComboBox");
  moduleBox_->setGeometry(12, 66, 376, 22);
  auto* unitLabel = new QLabel("Unit", this);
  unitLabel->setGeometry(12, 94, 200, 16);
  unitBox_ = new QComboBox(this);
  unitBox_->setObjectName("UnitComboBox");
  unitBox_->setGeometry(12, 110, 376, 22);

  options_ = new QGroupBox("  Text Analytics Options  ", this);
  options_->setObjectName("OptionsGroupBox");
  options_->setGeometry(12, 142, 376, 96);
  englishBtn_ = new QRadioButton("English", options_);
  englishBtn_->setObjectName("EnglishBtn");
  englishBtn_->setGeometry(14, 20, 150, 20);
  europeanBtn_ = new QRadioButton("European", options_);
  europeanBtn_->setObjectName("EuropeanBtn");
  europeanBtn_->setGeometry(14, 44, 150, 20);
  japaneseBtn_ = new QRadioButton("Japanese", options_);
  japaneseBtn_->setObjectName("JapaneseBtn");
  japaneseBtn_->setGeometry(14, 68, 150, 20);
  smartBox_ = new QCheckBox("Hide ABC", options_);
  smartBox_->setObjectName("SmartCheckBox");
  smartBox_->setGeometry(200, 20, 160, 20);
  auto* modes = new QButtonGroup(this);
  modes->addButton(englishBtn_, static_cast<int>(TextMode::English));
  modes->addButton(europeanBtn_, static_cast<int>(TextMode::European));
  modes->addButton(japaneseBtn_, static_cast<int>(TextMode::Japanese));

  rangeBox_ = new QCheckBox("Address Range", this);
  rangeBox_->setObjectName("RangeCheckBox");
  rangeBox_->setGeometry(12, 248, 120, 20);
  auto* startLabel = new QLabel("Start 0x", this);
  startLabel->setGeometry(140, 250, 44, 16);
  startEdit_ = new QLineEdit(this);
  startEdit_->setObjectName("StartEdit");
  startEdit_->setGeometry(186, 247, 70, 22);
  auto* endLabel = new QLabel("End 0x", this);
  endLabel->setGeometry(270, 250, 40, 16);
  endEdit_ = new QLineEdit(this);
  endEdit_->setObjectName("EndEdit");
  endEdit_->setGeometry(312, 247, 76, 22);

  startBtn_ = new QPushButton(this);
  startBtn_->setObjectName("StartBtn");
  startBtn_->setGeometry(206, 290, 88, 28);
  startBtn_->setDefault(true);
  cancelBtn_ = new QPushButton(this);
  cancelBtn_->setObjectName("CancelBtn");
  cancelBtn_->setGeometry(300, 290, 88, 28);

  connect(moduleBox_, &QComboBox::activated, this, [this](int i) { logic_.ModuleChange(i); });
  connect(unitBox_, &QComboBox::activated, this, [this](int i) { logic_.UnitChange(i); });
  connect(modes, &QButtonGroup::idClicked, this, [this](int id) { logic_.SetMode(static_cast<TextMode>(id)); });
  connect(smartBox_, &QCheckBox::clicked, this, [this](bool on) { logic_.SetHideAbc(on); });
  connect(rangeBox_, &QCheckBox::clicked, this, [this](bool on) { logic_.RangeCheckBoxClick(on); });
  connect(startEdit_, &QLineEdit::textEdited, this, [this](const QString& t) { logic_.StartEditChange(U(t)); });
  connect(endEdit_, &QLineEdit::textEdited, this, [this](const QString& t) { logic_.EndEditChange(U(t)); });
  connect(startBtn_, &QPushButton::clicked, this, [this] {
    if (logic_.StartBtnClick()) accept();
  });
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
  logic_.OnChanged = [this] { Refresh(); };
  Refresh();
}

TNewProjectForm::~TNewProjectForm() { logic_.OnChanged = nullptr; }

void TNewProjectForm::SetCaptions(const QString& caption, const QString& label1, const QString& start,
                                  const QString& cancel) {
  setWindowTitle(caption);
  label1_->setText(label1);
  startBtn_->setText(start);
  cancelBtn_->setText(cancel);
}

bool TNewProjectForm::Run() {
  Refresh();
  if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
  return exec() == QDialog::Accepted;
}

void TNewProjectForm::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  auto fillList = [](QComboBox* box, const std::vector<std::string>& items, int current, bool enabled) {
    QStringList list;
    for (const auto& s : items) list << Q(s);
    QStringList now;
    for (int i = 0; i < box->count(); ++i) now << box->itemText(i);
    if (now != list) {
      box->clear();
      box->addItems(list);
    }
    box->setCurrentIndex(current);
    box->setEnabled(enabled);
  };
  fillList(moduleBox_, logic_.ModuleItems(), logic_.ModuleIndex(), logic_.ListsEnabled());
  fillList(unitBox_, logic_.UnitItems(), logic_.UnitIndex(), logic_.ListsEnabled());
  switch (logic_.Mode()) {
    case TextMode::English: englishBtn_->setChecked(true); break;
    case TextMode::European: europeanBtn_->setChecked(true); break;
    case TextMode::Japanese: japaneseBtn_->setChecked(true); break;
  }
  smartBox_->setChecked(logic_.HideAbc());
  rangeBox_->setChecked(logic_.RangeChecked());
  auto field = [this](QLineEdit* edit, const std::string& text, bool red) {
    if (U(edit->text()) != text) edit->setText(Q(text));
    edit->setEnabled(logic_.FieldsEnabled());
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Text, red ? QColor(Qt::red) : palette().color(QPalette::Text));
    edit->setPalette(pal);
  };
  field(startEdit_, logic_.StartText(), logic_.StartRed());
  field(endEdit_, logic_.EndText(), logic_.EndRed());
  startBtn_->setEnabled(logic_.StartEnabled());
  cancelBtn_->setEnabled(logic_.CancelEnabled());
  refreshing_ = false;
}

// ---------------------------------------------------------------- TEditForm

std::vector<std::string> DisplayedLines(const QPlainTextEdit& box) {
  std::vector<std::string> lines;
  const QTextDocument* doc = box.document();
  const qreal width = box.viewport()->width() - 2 * doc->documentMargin();
  QTextOption option = doc->defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    if (text.isEmpty()) {
      lines.emplace_back();
      continue;
    }
    QTextLayout layout(text, box.font());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      lines.push_back(U(text.mid(line.textStart(), line.textLength())));
    }
    layout.endLayout();
  }
  return lines;
}

TEditForm::TEditForm(EditForm& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  setObjectName("EditForm");
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(SansFont(11));
  setFixedSize(kEditFormWidth, kEditFormHeight);

  // The origin text, read-only, above the edit box: what is translated is
  // always in view.
  origin_ = new QPlainTextEdit(this);
  origin_->setObjectName("OriginMemo");
  origin_->setGeometry(0, 0, kEditMemoWidth, kEditOriginHeight);
  origin_->setReadOnly(true);
  origin_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  origin_->setFont(SansFont(14));
  origin_->setFocusPolicy(Qt::NoFocus);
  QPalette originPal = origin_->palette();
  originPal.setColor(QPalette::Base, palette().color(QPalette::Window));
  origin_->setPalette(originPal);

  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo1");
  memo_->setGeometry(0, kEditMemoTop, kEditMemoWidth, kEditMemoHeight);
  memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  memo_->setFont(SansFont(14));
  memo_->setTabChangesFocus(true);

  count_ = new QLabel(this);
  count_->setObjectName("ByteCountLabel");
  count_->setGeometry(0, kEditMemoTop + kEditMemoHeight + 2, kEditMemoWidth - 4, kEditCountHeight);
  count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  count_->setFont(SansFont(12));

  // The buttons keep their places beside the edit box.
  const int top = kEditMemoTop;
  cancelBtn_ = new QPushButton(this);
  cancelBtn_->setObjectName("CancelBtn");
  cancelBtn_->setGeometry(448, top + 8, 84, 60);
  copyBtn_ = new QToolButton(this);
  copyBtn_->setObjectName("CopyBtn");
  copyBtn_->setGeometry(448, top + 74, 33, 33);
  copyBtn_->setAutoRaise(true);
  copyBtn_->setFocusPolicy(Qt::NoFocus);
  copyBtn_->setToolTip("Copy Original Text");
  QIcon copyIcon;
  copyIcon.addPixmap(CopyPicture(true), QIcon::Normal);
  copyIcon.addPixmap(CopyPicture(false), QIcon::Disabled);
  copyBtn_->setIcon(copyIcon);
  copyBtn_->setIconSize(QSize(24, 24));
  beepBtn_ = new QToolButton(this);
  beepBtn_->setObjectName("BeepBtn");
  beepBtn_->setGeometry(496, top + 74, 33, 33);
  beepBtn_->setAutoRaise(true);
  beepBtn_->setCheckable(true);
  beepBtn_->setFocusPolicy(Qt::NoFocus);
  beepBtn_->setToolTip("Beep ON / OFF");
  // Up, disabled, pressed and down.
  QIcon beepIcon;
  beepIcon.addPixmap(BeepPicture(true, false), QIcon::Normal, QIcon::Off);
  beepIcon.addPixmap(BeepPicture(false, false), QIcon::Disabled, QIcon::Off);
  beepIcon.addPixmap(BeepPicture(true, true), QIcon::Active, QIcon::On);
  beepIcon.addPixmap(BeepPicture(true, true), QIcon::Normal, QIcon::On);
  beepBtn_->setIcon(beepIcon);
  beepBtn_->setIconSize(QSize(24, 24));
  okBtn_ = new QPushButton("OK", this);
  okBtn_->setObjectName("OkBtn");
  okBtn_->setGeometry(448, top + 110, 84, 61);
  // Neither button answers Enter by itself: Enter in the box starts a line.
  for (QPushButton* b : {cancelBtn_, okBtn_}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  setTabOrder(memo_, cancelBtn_);
  setTabOrder(cancelBtn_, okBtn_);

  connect(memo_, &QPlainTextEdit::textChanged, this, [this] { MemoChanged(); });
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
  connect(okBtn_, &QPushButton::clicked, this, [this] {
    if (logic_.OkBtnClick(U(memo_->toPlainText()))) accept();
  });
  connect(copyBtn_, &QToolButton::clicked, this, [this] { memo_->setPlainText(Q(logic_.CopyBtnClick())); });
  connect(beepBtn_, &QToolButton::toggled, this, [this](bool down) { logic_.SetBeepDown(down); });
}

void TEditForm::SetCaptions(const QString& caption, const QString& cancel) {
  setWindowTitle(caption);
  cancelBtn_->setText(cancel);
}

void TEditForm::MemoChanged() {
  if (filling_) return;
  logic_.Memo1Change(U(memo_->toPlainText()), DisplayedLines(*memo_));
  Refresh();
}

void TEditForm::Refresh() {
  okBtn_->setEnabled(logic_.OkEnabled());
  beepBtn_->setChecked(logic_.BeepDown());
  // The edit box has the window colour (white) until a text is too long.
  QPalette pal = memo_->palette();
  pal.setColor(QPalette::Base, logic_.Yellow() ? QColor(255, 255, 0) : palette().color(QPalette::Base));
  memo_->setPalette(pal);
  count_->setText(Q(logic_.ByteCountText()));
  count_->setStyleSheet(logic_.OverRoom() ? "color: #b00000;" : "");
}

bool TEditForm::Run(const QPoint& pos) {
  // Filling the box runs no change check.
  filling_ = true;
  origin_->setPlainText(Q(logic_.OriginDisplayText()));
  memo_->setPlainText(Q(logic_.Text()));
  filling_ = false;
  logic_.FormShow();
  Refresh();
  move(pos);
  memo_->setFocus();
  memo_->moveCursor(QTextCursor::End);
  const bool ok = exec() == QDialog::Accepted;
  logic_.FormClose();
  return ok;
}

void TEditForm::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the editor; only Cancel and the close box do.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- TCreateForm

TCreateForm::TCreateForm(CreateForm& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  setObjectName("CreateForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(SansFont(11));
  setFixedSize(kCreateFormWidth, kCreateFormHeight);
  setAutoFillBackground(true);

  auto* picture = new QLabel(this);
  picture->setObjectName("Image1");
  picture->setGeometry(0, 0, 121, kCreateFormHeight);
  picture->setPixmap(SourcePicture(kCreateFormHeight));

  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  label2_ = new QLabel(this);
  label2_->setObjectName("Label2");
  int y = 14;
  for (QLabel* l : {label1_, label2_}) {
    l->setFont(SansFont(21));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(137, y, 434, 104);
    y += 110;
  }
  sourceBtn_ = new QPushButton(this);
  sourceBtn_->setObjectName("OpenSourceBtn");
  sourceBtn_->setGeometry(137 + (434 - 161) / 2, 240, 161, 49);
  sourceBtn_->setFont(SansFont(14, true));
  sourceBtn_->setAutoDefault(false);
  connect(sourceBtn_, &QPushButton::clicked, this, [this] {
    if (logic_.OpenSourceBtnClick()) accept();
  });
}

void TCreateForm::SetCaptions(const QString& caption, const QString& label1, const QString& label2,
                              const QString& button) {
  setWindowTitle(caption);
  label1_->setText(label1);
  label2_->setText(label2);
  sourceBtn_->setText(button);
}

bool TCreateForm::Run() {
  logic_.FormShow();
  if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
  return exec() == QDialog::Accepted;
}

// ---------------------------------------------------------------- TFindPanel

TFindPanel::TFindPanel(int panel, QWidget* parent) : QFrame(parent) {
  setObjectName(QString("FindPanel%1").arg(panel));
  setFrameShape(QFrame::NoFrame);
  setFixedSize(250, 24);
  setAutoFillBackground(true);
  setFont(SansFont(11));
  caption_ = new QLabel(this);
  caption_->setObjectName(QString("FindLabel%1").arg(panel));
  caption_->setGeometry(0, 0, 32, 24);
  // The caption has the 32 pixels left of the search box; fonts wider than
  // the window font's usual face are drawn a little tighter to fit.
  QFont tight = caption_->font();
  tight.setLetterSpacing(QFont::PercentageSpacing, 92);
  caption_->setFont(tight);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QString("FindEdit%1").arg(panel));
  edit_->setGeometry(32, 2, 162, 19);
  edit_->setFrame(true);
  edit_->setStyleSheet("QLineEdit { padding: 0px 1px; }");
  downBtn_ = new QToolButton(this);
  downBtn_->setObjectName(QString("FindDownBtn%1").arg(panel));
  upBtn_ = new QToolButton(this);
  upBtn_->setObjectName(QString("FindUpBtn%1").arg(panel));
  downBtn_->setIcon(QIcon(ArrowPicture(true)));
  upBtn_->setIcon(QIcon(ArrowPicture(false)));
  for (QToolButton* b : {downBtn_, upBtn_}) {
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    b->setFocusPolicy(Qt::NoFocus);
  }
  // The origin panel has its down button first, the edited panel its up
  // button first.
  (panel == 1 ? downBtn_ : upBtn_)->setGeometry(196, 0, 25, 25);
  (panel == 1 ? upBtn_ : downBtn_)->setGeometry(222, 0, 25, 25);
  connect(downBtn_, &QToolButton::clicked, this, [this] { emit searchDown(edit_->text()); });
  connect(upBtn_, &QToolButton::clicked, this, [this] { emit searchUp(edit_->text()); });
  edit_->installEventFilter(this);
}

bool TFindPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit enterPressed(edit_->text());
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

void TFindPanel::SetCaption(const QString& caption) { caption_->setText(caption); }

}  // namespace velmora::ui
