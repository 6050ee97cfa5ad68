#include "ui/qt/EditForm.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "ui/qt/FocusFrame.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/GuardedTextEdit.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/QtText.h"

namespace velmora::ui {

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

  memo_ = new TGuardedTextEdit(this);
  memo_->setObjectName("Memo1");
  // A text over the project's limit is refused as it comes (typed, pasted
  // or dropped), before the box takes it in; the reason shows below. Up to
  // a third of the limit in UTF-16 units no text can reach it.
  memo_->FreeLength = static_cast<qsizetype>(EditForm::kMaxTextBytes / 3);
  memo_->Accepts = [this](const QString& result) {
    const bool taken = logic_.AcceptText(U(result));
    if (!taken) Refresh();
    return taken;
  };
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

  problems_ = new QLabel(this);
  problems_->setObjectName("ProblemsLabel");
  problems_->setGeometry(4, kEditMemoTop + kEditMemoHeight + 2 + kEditCountHeight + 2, kEditFormWidth - 8,
                         kEditProblemsHeight);
  problems_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  problems_->setWordWrap(true);
  problems_->setTextFormat(Qt::PlainText);
  problems_->setFont(SansFont(11));

  // The buttons keep their places beside the edit box.
  const int top = kEditMemoTop;
  cancelBtn_ = new QPushButton(this);
  cancelBtn_->setObjectName("CancelBtn");
  cancelBtn_->setGeometry(448, top + 8, 84, 60);
  copyBtn_ = new QToolButton(this);
  copyBtn_->setObjectName("CopyBtn");
  copyBtn_->setGeometry(448, top + 74, 33, 33);
  copyBtn_->setAutoRaise(true);
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
  // Tab reaches every button, in their column's order; the flat ones show
  // their focus with a frame.
  for (QToolButton* b : {copyBtn_, beepBtn_}) {
    b->setFocusPolicy(Qt::TabFocus);
    b->setStyleSheet(kFocusFrameStyle);
  }
  setTabOrder(memo_, cancelBtn_);
  setTabOrder(cancelBtn_, copyBtn_);
  setTabOrder(copyBtn_, beepBtn_);
  setTabOrder(beepBtn_, okBtn_);

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
  const std::string text = U(memo_->toPlainText());
  // Whatever came past the box's own guard (an input method, for one) is
  // refused here, and the box gets its text back.
  if (!logic_.AcceptText(text) || !logic_.Memo1Change(text, [this] { return DisplayedLines(*memo_); })) {
    filling_ = true;
    memo_->setPlainText(Q(logic_.Text()));
    memo_->moveCursor(QTextCursor::End);
    filling_ = false;
  }
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
  // The count is red exactly when the box is yellow.
  count_->setStyleSheet(logic_.Yellow() ? "color: #b00000;" : "");
  // A refused input says why first, above the problems of the text kept.
  const std::string refusal = logic_.RefusalText();
  const std::string problems = logic_.ProblemsText();
  problems_->setText(Q(refusal.empty() ? problems : problems.empty() ? refusal : refusal + "\n" + problems));
  problems_->setToolTip(problems_->text());
  const bool error = !refusal.empty() || std::any_of(logic_.Problems().begin(), logic_.Problems().end(),
                                                     [](const Problem& p) { return p.Level == Severity::Error; });
  problems_->setStyleSheet(error ? "color: #b00000;" : "");
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

}  // namespace velmora::ui
