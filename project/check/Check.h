// The checks that a translation passes before it reaches the unit: the
// unit's own program reads these texts, and a translation that swaps a
// printf directive, holds a byte the unit's code page or font lacks, or a
// control byte, can crash it or show garbage. Each check has an id, a
// severity and one job; Checks() is the one list that the check command,
// the build gate and the window all read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/glossary/TermMatch.h"
#include "project/text/CodePages.h"

namespace velmora {

enum class Severity { Error = 0, Warning = 1, Info = 2 };
// "error", "warning", "info".
const char* SeverityName(Severity s);

struct Problem {
  int32_t Index = -1;  // the phrase; -1 for the unit as a whole
  std::string Check;   // the check's id: "printf", "codepage", ...
  Severity Level = Severity::Error;
  std::string Message;  // says what is wrong and shows both texts
};

struct CheckOptions {
  // The code page of the unit's texts.
  CodePage Page = CodePage::Default;
  // The characters the unit's font has (code points); none: every
  // character of the code page.
  std::optional<std::set<uint32_t>> Charset;
  // The most the unit may grow by relocated texts; none: no limit.
  std::optional<uint64_t> MaxGrowth;
  // Check every edited text, not only the switched-on ones.
  bool AllEdited = false;
  // The glossary whose terms the translations must keep; none: no terms check.
  std::shared_ptr<const TermFinder> Terms;
};

// One translation as the checks see it.
struct TextPair {
  int32_t Index = -1;
  std::string_view Origin;       // the bytes the unit holds
  std::string_view Translation;  // the bytes a build writes (without the zero it may add)
  std::string_view OriginUtf8;   // both decoded from the code page
  std::string_view TranslationUtf8;
  uint32_t Room = 0;             // the bytes it may take in place
  bool Relocated = false;        // too long for its room
  bool On = false;               // switched on for output
};

// What a check of the whole project sees besides each pair.
struct ProjectFacts {
  uint64_t OldSize = 0;        // the unit before the build
  uint64_t NewSize = 0;        // the unit's size field after it
  uint64_t AppendedBytes = 0;  // what the relocated texts take
  size_t Relocated = 0;
};

class TextCheck {
 public:
  virtual ~TextCheck() = default;
  virtual std::string_view Id() const = 0;
  virtual Severity Level() const = 0;
  // One line for listings: what the check finds.
  virtual std::string_view Summary() const = 0;
  // Adds the problems of one translation.
  virtual void CheckPair(const TextPair&, const CheckOptions&, std::vector<Problem>&) const {}
  // Adds the problems that only the whole set of translations shows.
  virtual void CheckAll(const std::vector<TextPair>&, const ProjectFacts&, const CheckOptions&,
                        std::vector<Problem>&) const {}
};

// Every check, errors first.
const std::vector<const TextCheck*>& Checks();
const TextCheck* FindCheck(std::string_view id);

// "phrase 12: error: printf: ..." or "unit: warning: growth: ...".
std::string CheckProblemLine(const Problem& p);
// A problem's message with both texts: message + ": \"origin\" -> \"translation\"".
std::string WithTexts(std::string message, const TextPair& pair);

}  // namespace velmora
