// Pieces the verification of a .BIN and of a loader share: the collector of
// problems and the check of one translated unit inside a built file.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/PhraseTable.h"
#include "container/io/Stream.h"
#include "project/build/TranslationPlan.h"
#include "project/text/HexText.h"
#include "project/verify/Verify.h"

namespace velmora::verify {

// Collects problems into a result, keeping the first kMaxListedProblems and
// counting the rest; notes likewise.
class Report {
 public:
  explicit Report(VerifyResult& result) : result_(result) {}
  void Problem(VerifyKind kind, uint64_t offset, std::string message, bool sharedBytes = false);
  void Note(std::string note);
  // Put before every problem message until changed ("unit 2 (JPN): ").
  void SetContext(std::string context) { context_ = std::move(context); }

 private:
  VerifyResult& result_;
  std::string context_;
  uint64_t notes_ = 0;
};

// Reads the built file in pieces, never past its end.
class BuiltFile {
 public:
  explicit BuiltFile(const std::string& path) : stream_(path, TFileStream::Mode::OpenRead), size_(stream_.Size()) {}
  int64_t Size() const { return size_; }
  // Reads up to count bytes at pos (fewer at the end of the file); returns
  // how many were read.
  size_t ReadAt(int64_t pos, uint8_t* buffer, size_t count) { return ReadBytesAt(stream_, pos, buffer, count, size_); }

 private:
  TFileStream stream_;
  int64_t size_;
};

// The piece size used when files are compared.
constexpr size_t kChunk = 1u << 20;

// Checks the translated unit that starts at position base of the built
// file; the unit with its padding should take plan.Summary.PaddedSize
// bytes there. Truncation is reported against that length.
void CheckUnit(const PhraseTable& table, const TranslationPlan& plan, BuiltFile& built, int64_t base, Report& report);

}  // namespace velmora::verify
