#include "project/verify/DifferingRuns.h"

#include "project/text/HexText.h"

namespace velmora::verify {

void DifferingRuns::Add(uint64_t pos, uint8_t got, uint8_t want, int64_t group) {
  if (run_.Length > 0 && pos == run_.Start + run_.Length && group == run_.Group) {
    ++run_.Length;
    return;
  }
  Flush();
  run_ = {pos, 1, got, want, group};
}

void DifferingRuns::Flush() {
  if (run_.Length == 0) return;
  const DifferingRun run = run_;
  run_.Length = 0;
  emit_(run);
}

std::string RunPlace(const DifferingRun& run, std::string_view counted, uint64_t origin) {
  const std::string at = std::string(counted) + " " + FormatHex0x(run.Start - origin);
  return run.Length == 1 ? " at " + at : " in " + std::to_string(run.Length) + " bytes from " + at;
}

std::string RunValues(const DifferingRun& run) {
  return " (" + FormatHex(run.Got, 2) + " where " + FormatHex(run.Want, 2) + " belongs)";
}

}  // namespace velmora::verify
