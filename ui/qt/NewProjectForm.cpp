#include "ui/qt/NewProjectForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/qt/Fonts.h"
#include "ui/qt/QtText.h"

namespace velmora::ui {

namespace {

constexpr int kFormWidth = 400;
constexpr int kFormHeight = 330;
// The top of the part under the unit list.
constexpr int kLowerTop = 138;

}  // namespace

TNewProjectForm::TNewProjectForm(NewProjectForm& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  setObjectName("NewProjectForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(SansFont(11));
  setFixedSize(kFormWidth, kFormHeight);

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

  // Why the unit list is empty, when it is: the controls below make room.
  unitNote_ = new QLabel(this);
  unitNote_->setObjectName("UnitListNote");
  unitNote_->setWordWrap(true);
  unitNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  unitNote_->setTextFormat(Qt::PlainText);
  unitNote_->setStyleSheet("color: #b00000;");
  unitNote_->hide();

  // Everything under the unit list, moved down as one while the note shows.
  lower_ = new QWidget(this);
  lower_->setObjectName("LowerPart");
  lower_->setGeometry(0, kLowerTop, kFormWidth, kFormHeight - kLowerTop);
  const int y0 = kLowerTop;
  options_ = new QGroupBox("  Text Analytics Options  ", lower_);
  options_->setObjectName("OptionsGroupBox");
  options_->setGeometry(12, 142 - y0, 376, 96);
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

  rangeBox_ = new QCheckBox("Address Range", lower_);
  rangeBox_->setObjectName("RangeCheckBox");
  rangeBox_->setGeometry(12, 248 - y0, 120, 20);
  auto* startLabel = new QLabel("Start 0x", lower_);
  startLabel->setGeometry(140, 250 - y0, 44, 16);
  startEdit_ = new QLineEdit(lower_);
  startEdit_->setObjectName("StartEdit");
  startEdit_->setGeometry(186, 247 - y0, 70, 22);
  auto* endLabel = new QLabel("End 0x", lower_);
  endLabel->setGeometry(270, 250 - y0, 40, 16);
  endEdit_ = new QLineEdit(lower_);
  endEdit_->setObjectName("EndEdit");
  endEdit_->setGeometry(312, 247 - y0, 76, 22);

  startBtn_ = new QPushButton(lower_);
  startBtn_->setObjectName("StartBtn");
  startBtn_->setGeometry(206, 290 - y0, 88, 28);
  startBtn_->setDefault(true);
  cancelBtn_ = new QPushButton(lower_);
  cancelBtn_->setObjectName("CancelBtn");
  cancelBtn_->setGeometry(300, 290 - y0, 88, 28);

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
  logic_.FormShow();
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
  ShowUnitListNote(Q(logic_.UnitListNote()));
  refreshing_ = false;
}

void TNewProjectForm::ShowUnitListNote(const QString& note) {
  if (note == unitNote_->text() && unitNote_->isVisible() == !note.isEmpty()) return;
  unitNote_->setText(note);
  const int height = note.isEmpty() ? 0 : unitNote_->heightForWidth(kFormWidth - 24) + 6;
  unitNote_->setGeometry(12, kLowerTop, kFormWidth - 24, height);
  unitNote_->setVisible(!note.isEmpty());
  lower_->move(0, kLowerTop + height);
  setFixedSize(kFormWidth, kFormHeight + height);
}

}  // namespace velmora::ui
