#include "ui/logic/dialogs/EditForm.h"

#include <algorithm>
#include <exception>

#include "analysis/UnitText.h"

namespace velmora::ui {

std::vector<std::string_view> TextLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(bytes.substr(start, i - start));
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  // The text after the last break is a line unless it is empty.
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

namespace {

// CR LF and lone CR become a single line feed.
std::string ToLineFeeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string WithCrLf(std::string_view text) {
  const std::string lf = ToLineFeeds(text);
  std::string out;
  out.reserve(lf.size() + 16);
  for (const char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

namespace {

// A displayed line's length in bytes of the code page; a line that cannot be
// converted is measured by its UTF-8 bytes (OK will refuse it anyway).
size_t ByteLength(const std::string& line, CodePage cp) {
  if (line.empty()) return 0;
  try {
    return FromUtf8(line, cp).size();
  } catch (const std::exception&) {
    return line.size();
  }
}

}  // namespace

std::string EditorDisplayText(std::string_view bytes, CodePage cp) {
  if (bytes.empty()) return {};
  return ToLineFeeds(ToUtf8(bytes, cp));
}

std::string EditorBytes(std::string_view displayText, CodePage cp) {
  if (displayText.empty()) return {};
  return FromUtf8(WithCrLf(displayText), cp);
}

EditorPlacement PlaceEditor(const EditorPlacementInput& in) {
  EditorPlacement p;
  p.Top = in.RowHeight * (in.SelectedRow - in.TopRow) + in.MainTop + in.GridPanelTop;
  p.Left = in.MainLeft + in.ColumnsWidth;
  const int right = in.ScreenLeft + in.ScreenWidth;
  if (p.Left + in.EditorWidth > right) p.Left = right - in.EditorWidth;
  if (in.ScreenHeight <= 0) return p;
  const int bottom = in.ScreenTop + in.ScreenHeight;
  if (p.Top + in.EditorHeight > bottom) {
    // Above the row, so that the row stays in view; else as low as fits.
    const int above = p.Top - in.EditorHeight;
    p.Top = above >= in.ScreenTop ? above : bottom - in.EditorHeight;
  }
  p.Top = std::max(p.Top, in.ScreenTop);
  p.Left = std::max(p.Left, in.ScreenLeft);
  return p;
}

void EditForm::Changed() {
  if (OnChanged) OnChanged();
}

size_t UnitTextLength(std::string_view bytes) { return PrepareText(bytes).size(); }

void EditForm::CountBytes() {
  problems_.clear();
  try {
    const std::string bytes = EditorBytes(text_, codePage_);
    unitBytes_ = UnitTextLength(bytes);
    if (Checker) problems_ = Checker(bytes);
  } catch (const std::exception&) {
    unitBytes_.reset();
  }
}

std::string EditForm::ProblemsText() const {
  std::string text;
  for (const Problem& p : problems_)
    text += (text.empty() ? "" : "\n") + std::string(SeverityName(p.Level)) + ": " + p.Check + ": " + p.Message;
  return text;
}

std::string EditForm::ByteCountText() const {
  return (unitBytes_ ? std::to_string(*unitBytes_) : std::string("?")) + " / " + std::to_string(room_) + " bytes";
}

void EditForm::Fill(std::string_view editedBytes, std::string_view originBytes, CodePage cp, size_t room) {
  codePage_ = cp;
  text_ = EditorDisplayText(editedBytes, cp);
  origin_ = std::string(originBytes);
  room_ = room;
  result_.clear();
  refusal_.clear();
  CountBytes();
  Changed();
}

void EditForm::FormShow() {
  const auto lines = TextLines(origin_);
  originLineCount_ = static_cast<int>(lines.size());
  originMaxLineLength_ = 0;
  for (std::string_view l : lines) originMaxLineLength_ = std::max(originMaxLineLength_, static_cast<int>(l.size()));
  attached_ = true;
  okEnabled_ = false;
  // A stored text that does not fit shows so at once, as its count does.
  yellow_ = OverKnownRoom();
  Changed();
}

bool EditForm::TooLong(const std::vector<std::string>& displayedLines) const {
  size_t count = displayedLines.size();
  if (count > 0 && displayedLines.back().empty()) --count;
  if (count > static_cast<size_t>(originLineCount_)) return true;
  for (size_t i = 0; i < count; ++i)
    if (ByteLength(displayedLines[i], codePage_) > static_cast<size_t>(originMaxLineLength_)) return true;
  return false;
}

bool EditForm::AcceptText(const std::string& text) {
  // A text in the code page never takes more bytes than in UTF-8 (line
  // breaks become CR LF in both): most texts need no conversion to pass.
  size_t breaks = 0;
  for (const char c : text) breaks += c == '\n' ? 1 : 0;
  if (text.size() + breaks <= kMaxTextBytes) {
    refusal_.clear();
    return true;
  }
  size_t bytes = text.size() + breaks;
  try {
    bytes = EditorBytes(text, codePage_).size();
  } catch (const std::exception&) {
    // Measured in UTF-8; OK would refuse such a text anyway.
  }
  if (bytes <= kMaxTextBytes) {
    refusal_.clear();
    return true;
  }
  refusal_ = "Not taken: the text would be " + std::to_string(bytes) + " bytes long; a translation holds at most " +
             std::to_string(kMaxTextBytes) + " bytes.";
  platform_.Beep();
  Changed();
  return false;
}

bool EditForm::Memo1Change(const std::string& text, const std::vector<std::string>& displayedLines) {
  return Memo1Change(text, [&displayedLines] { return displayedLines; });
}

bool EditForm::Memo1Change(const std::string& text,
                           const std::function<std::vector<std::string>()>& displayedLines) {
  if (!AcceptText(text)) return false;
  text_ = text;
  CountBytes();
  if (!attached_) return true;
  // The colour agrees with the count: a text the unit has no room for in
  // place is too long whatever its lines.
  yellow_ = OverKnownRoom() || TooLong(displayedLines());
  if (yellow_ && !beepDown_) platform_.Beep();
  // A too-long text may still be confirmed: the colour and the beep only warn.
  okEnabled_ = true;
  Changed();
  return true;
}

std::string EditForm::CopyBtnClick() const { return EditorDisplayText(origin_, codePage_); }

bool EditForm::OkBtnClick(const std::string& text) {
  text_ = text;
  try {
    result_ = EditorBytes(text, codePage_);
  } catch (const std::exception& e) {
    platform_.MessageBox(e.what(), Buttons::Ok, BoxKind::Error);
    return false;
  }
  return true;
}

void EditForm::FormClose() {
  attached_ = false;
  Changed();
}

}  // namespace velmora::ui
