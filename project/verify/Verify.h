// Verification of a built .BIN or LOADING.KWI against the project it was
// built from, before it goes to the device. What a build may change is
// worked out from the project's records alone: the header's size and
// checksum, the in-place translations with their padding, the rooms of
// relocated texts (emptied), the redirected pointers of relocated texts and
// their links, the appended area, and the zero padding. Every other byte must
// equal the project's image (and, in a loader, the source loader), and every
// pointer that reached a switched-on phrase must reach its translation
// followed by a zero byte.
//
// The built file is read in pieces, with every position checked against the
// file's size, so a damaged or truncated file gives problems, never more
// memory than its unit plan needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/build/ModuleGroup.h"
#include "project/build/TranslationPlan.h"

namespace velmora {

enum class VerifyKind {
  FileLength,   // the file is shorter or longer than the build makes it
  UnitSize,     // the unit header's size field
  Checksum,     // the unit header's checksum field
  Header,       // another byte of the unit header
  Pointer,      // a pointer word that is not what the build makes of it
  Translation,  // a relocated translation's bytes
  Overwritten,  // a translation the build itself overwrote with another write
  Image,        // a byte of the image that no translation may change
  Appended,     // a byte of the appended area that belongs to no translation
  Padding,      // a byte of the zero padding after the unit
  Directory,    // a byte of the loader's directory sector
  UnitEntry,    // a unit entry that does not give its unit's position
  OtherUnit,    // a byte of another unit that differs from the source's copy
  ModuleData,   // the module's unit table, gaps and padding in the loader
};

// The short name a problem line starts with ("checksum", "pointer", ...).
const char* VerifyKindName(VerifyKind kind);

struct VerifyProblem {
  VerifyKind Kind = VerifyKind::Image;
  uint64_t Offset = 0;   // position in the built file
  std::string Message;   // one line, positions within the unit as unit offsets
  // A translation that a later phrase overwrites where their strings share
  // bytes: a build writes phrases in table order by design, so the unit
  // stays sound and only that translation is cut.
  bool SharedBytes = false;
};

enum class BuiltKind { Bin, Loader };

// How a kind is named in messages: ".BIN" or "LOADING.KWI".
const char* BuiltKindName(BuiltKind kind);

// What the check of a loader found in one of its units.
struct UnitVerifySummary {
  size_t UnitIndex = 0;
  std::string Name;
  bool Translated = false;  // built from a project; otherwise a copy of the source's unit
  BuildSummary Build;       // translated units: the project's summary
  uint64_t Problems = 0;    // problems found inside the unit and its padding
};

struct VerifyResult {
  BuiltKind Kind = BuiltKind::Bin;
  std::vector<VerifyProblem> Problems;  // the first kMaxListedProblems found
  uint64_t ProblemCount = 0;            // all found
  uint64_t BreakingCount = 0;           // those that are not SharedBytes: the unit is broken
  std::vector<std::string> Notes;       // facts worth knowing that are no fault
  BuildSummary Summary;                 // from the project (TranslationPlan); a loader of several projects: their sums
  std::vector<UnitVerifySummary> Units; // a loader: every unit of its module, in order
  // Set when the file is not a build of the project's unit: what it holds
  // instead ("it holds unit tag JPN; the project's unit is APM_APM"). Its
  // differences are listed as problems all the same.
  std::string OtherUnit;
  bool Clean() const { return ProblemCount == 0; }
};

constexpr size_t kMaxListedProblems = 200;
constexpr size_t kMaxListedNotes = 50;

// Whether the built file is a unit alone or a loader: a project made from a
// .BIN can only give a .BIN. Otherwise the unit's body decides where it
// stands: from the second sector on at the same offsets as in the image (a
// .BIN), or where a rebuild from sourcePath puts the unit (a loader), so a
// damaged first sector does not turn a .BIN into a loader. When the body is
// nowhere (a build of another unit), the first sector is compared with the
// image and with the directory a rebuild writes (without a source, with its
// fixed bytes only), and the closer one decides.
BuiltKind GuessBuiltKind(const PhraseTable& table, const std::string& builtPath, const std::string& sourcePath);

// Checks a .BIN. Raises the stream errors of a file that cannot be opened.
VerifyResult VerifyBin(const PhraseTable& table, const std::string& builtPath);

// Checks a LOADING.KWI built from the source loader at sourcePath, which
// must be suitable for the project (CheckSource); EFormatError otherwise.
VerifyResult VerifyLoader(const PhraseTable& table, const std::string& builtPath, const std::string& sourcePath);
// The same for a loader that carries the units of several projects of one
// module: each translated unit is checked against its project, every other
// unit against the source. A list that cannot go together (ModuleGroup.h)
// raises ERefusal; a source that does not serve every project EFormatError.
VerifyResult VerifyLoader(const ProjectList& projects, const std::string& builtPath, const std::string& sourcePath);

// One line per unit of a checked loader: "unit 2 (JPN): translated, 3 in
// place, 1 relocated, no problems" or "unit 1 (MAP): copied, 2 problems".
std::vector<std::string> UnitSummaryLines(const VerifyResult& result);

// "checksum at 0x00000078: the checksum field holds ..."
std::string ProblemLine(const VerifyProblem& problem);
// The first line of a failed verification, naming the file, the kind it
// was checked as and the count: "OUT.BIN, checked as a .BIN, does not match
// the project: 2 problems"; for a build of another unit "OUT.BIN, checked
// as a .BIN, is not a build of the project: it holds unit tag JPN; ...".
std::string FailureLine(const VerifyResult& result, const std::string& builtName);
// The status panel's text after a verification that found problems.
inline constexpr std::string_view kVerifyFailedText = "The written file does not match the project.";
// The status panel's text after a clean verification.
std::string VerifiedStatusText(const VerifyResult& result);
// An error box's text: a first line that names the kind of file ("The
// written .BIN does not match the project (2 problems):"), then up to
// maxLines problem lines and, when there are more, how many.
std::string ProblemsMessage(const VerifyResult& result, size_t maxLines);

}  // namespace velmora
