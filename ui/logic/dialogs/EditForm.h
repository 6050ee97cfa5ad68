// The translation editor's state and rules, apart from any window system:
// the origin text's line count and longest line, the too-long warning
// (yellow background and a beep unless the beep button is down), the OK
// button that waits for the first change, the copy button, the conversion
// of the typed text into the display code page's bytes, and where the
// window opens.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/check/Check.h"
#include "project/text/CodePages.h"
#include "ui/logic/Platform.h"

namespace velmora::ui {

// The editor's client size and its boxes: the read-only origin text on top,
// the edit box (442 x 179, whose width the length rule's wrapping follows)
// below it, the byte count under the edit box and the problems of the text
// under that. The buttons stand in a
// column to the right of the edit box.
constexpr int kEditFormWidth = 537;
constexpr int kEditOriginHeight = 62;
constexpr int kEditMemoTop = kEditOriginHeight + 4;
constexpr int kEditMemoWidth = 442;
constexpr int kEditMemoHeight = 179;
constexpr int kEditCountHeight = 20;
// Under the byte count: the problems of the text being typed.
constexpr int kEditProblemsHeight = 52;
constexpr int kEditFormHeight = kEditMemoTop + kEditMemoHeight + 2 + kEditCountHeight + 2 + kEditProblemsHeight + 2;

// The bytes an edited text takes inside the unit, as the unit builder
// writes it (line breaks as line feeds, trailing ones dropped, even length).
size_t UnitTextLength(std::string_view bytes);

// The lines of an 8-bit text as a box without word wrap shows them: the
// pieces between line breaks (CR, LF or CR LF); a last empty line is not
// counted, so an empty text has none.
std::vector<std::string_view> TextLines(std::string_view bytes);

// 8-bit text -> the text the edit box shows (UTF-8 through the code page,
// every line break a single line feed).
std::string EditorDisplayText(std::string_view bytes, CodePage cp);
// The edit box's text (UTF-8, line feeds) -> 8-bit bytes in the code page
// with CR LF line breaks, as the box returns its text. Raises
// std::runtime_error naming a character the code page cannot hold.
std::string EditorBytes(std::string_view displayText, CodePage cp);

// Every line break (CR, LF or CR LF) written as CR LF, as the edit box
// returns its text.
std::string WithCrLf(std::string_view text);

// Where the editor opens: next to the selected row, right of column 3,
// moved left when it would leave the screen; when it would reach below the
// screen's bottom, moved up to end above the row (or to the bottom of the
// screen when there is no room above).
struct EditorPlacementInput {
  int RowHeight = 24;       // height of grid row 1
  int SelectedRow = 1;      // grid row being edited
  int TopRow = 1;           // the grid's top scroll row
  int MainTop = 0;          // the main window's top on the screen
  int MainLeft = 0;         // the main window's left on the screen
  int GridPanelTop = 0;     // top of the grid's panel inside the main window
  int ColumnsWidth = 0;     // widths of grid columns 0 to 3
  int EditorWidth = kEditFormWidth;
  int ScreenWidth = 0;
  // The screen's available area: its left and top edge and its height (0:
  // nothing is known below the row).
  int ScreenLeft = 0;
  int ScreenTop = 0;
  int ScreenHeight = 0;
  int EditorHeight = kEditFormHeight;  // with its frame
};
struct EditorPlacement {
  int Left = 0;
  int Top = 0;
  bool operator==(const EditorPlacement&) const = default;
};
EditorPlacement PlaceEditor(const EditorPlacementInput& in);

class EditForm {
 public:
  explicit EditForm(Platform& platform) : platform_(platform) {}

  // Called after the state changed (colour, OK, text), for the window.
  std::function<void()> OnChanged;
  // The checks of the text being typed, given its bytes; the edit action
  // sets it for the phrase it opens. Null: no checks.
  std::function<std::vector<Problem>(std::string_view bytes)> Checker;

  // The edit action fills the box before the window opens; the change
  // check is not attached yet, so this runs none. room: the bytes a text
  // may take in place (RoomInPlace of the phrase's Length, as the unit
  // builder and the phrase files count it); 0 when unknown.
  void Fill(std::string_view editedBytes, std::string_view originBytes, CodePage cp, size_t room = 0);
  // Opening: the origin text's line count and longest line, the change
  // check attached, OK disabled, normal background.
  void FormShow();
  // The longest text the project keeps (bytes in the code page, with CR LF
  // line breaks, as OK hands it over).
  static constexpr size_t kMaxTextBytes = kMaxEditedTextLength;
  // Whether the box may take `text` (UTF-8) as its new text: a text over
  // kMaxTextBytes is refused as it is typed or pasted, with a beep and the
  // reason (RefusalText), and the box keeps its text. Cheap for short
  // texts; the window asks before it takes a paste or a key in.
  bool AcceptText(const std::string& text);
  // Every change of the box's text. displayedLines: the box's lines as it
  // shows them, each wrapped piece a line of its own (UTF-8); a last empty
  // one is not counted. Ignored while the check is not attached. A text
  // that AcceptText refuses changes nothing; false then, and the window puts
  // Text() back into the box.
  bool Memo1Change(const std::string& text, const std::vector<std::string>& displayedLines);
  // The same, asking for the lines only when the colour depends on them (a
  // text over its room is yellow whatever its lines): laying out a long
  // text is what takes the time.
  bool Memo1Change(const std::string& text, const std::function<std::vector<std::string>()>& displayedLines);
  // Why the last change was refused; empty once a change is taken.
  const std::string& RefusalText() const { return refusal_; }
  // The text the copy button puts into the box (the origin text as the box
  // shows it); the window sets it, which counts as a change.
  std::string CopyBtnClick() const;
  // The origin text as the read-only box above the edit box shows it.
  std::string OriginDisplayText() const { return CopyBtnClick(); }
  // OK: converts the box's text into the code page. On success the result
  // is kept and true returned (the window closes with OK); a character the
  // code page cannot hold is reported in an error box, and false keeps the
  // window open.
  bool OkBtnClick(const std::string& text);
  // Closing, whatever the result: the change check is detached.
  void FormClose();

  // The beep button: down means no beeps. Kept for the life of the program.
  bool BeepDown() const { return beepDown_; }
  void SetBeepDown(bool down) { beepDown_ = down; }

  // --- state ---
  const std::string& Text() const { return text_; }  // the box's text (UTF-8)
  bool Attached() const { return attached_; }
  bool OkEnabled() const { return okEnabled_; }
  bool Yellow() const { return yellow_; }
  int OriginLineCount() const { return originLineCount_; }
  int OriginMaxLineLength() const { return originMaxLineLength_; }
  CodePage DisplayCodePage() const { return codePage_; }
  // The bytes confirmed by OK.
  const std::string& Result() const { return result_; }

  // The live byte count: the bytes the box's text takes in the unit (in the
  // display code page, as the unit builder writes it) against the room of
  // the origin text, "14 / 16 bytes"; "? / 16 bytes" while the text holds a
  // character the code page cannot hold. OverRoom: the text will not fit
  // in place and is moved to the end of the unit.
  std::string ByteCountText() const;
  bool OverRoom() const { return unitBytes_ && *unitBytes_ > room_; }
  // The problems of the text being typed, live, as the checks of a build
  // would find them once it is stored; shown under the byte count.
  const std::vector<Problem>& Problems() const { return problems_; }
  // One line a problem: "error: printf: the translation drops ...".
  std::string ProblemsText() const;
  // OverRoom where the room is known (a phrase's room is never 0).
  bool OverKnownRoom() const { return room_ > 0 && OverRoom(); }

  // The too-long rule: more displayed lines than the origin has, or as many
  // or fewer with one longer (in bytes of the code page) than the origin's
  // longest line. The box also turns yellow when the text is over its room
  // (OverKnownRoom), so that its colour and its count agree.
  bool TooLong(const std::vector<std::string>& displayedLines) const;

 private:
  void Changed();
  void CountBytes();

  Platform& platform_;
  CodePage codePage_ = CodePage::Default;
  std::string text_;
  std::string origin_;
  std::string result_;
  bool attached_ = false;
  bool okEnabled_ = false;
  bool yellow_ = false;
  bool beepDown_ = false;
  int originLineCount_ = 0;
  int originMaxLineLength_ = 0;
  size_t room_ = 0;
  std::optional<size_t> unitBytes_;  // nullopt: the text does not convert
  std::vector<Problem> problems_;
  std::string refusal_;
};

}  // namespace velmora::ui
