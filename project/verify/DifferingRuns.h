// Differing bytes grouped into runs, so that a damaged stretch is reported
// once instead of byte by byte: consecutive positions of one group (the
// part of the file or the writer they belong to) make one run, reported
// with the values of its first byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::verify {

struct DifferingRun {
  uint64_t Start = 0;
  uint64_t Length = 0;
  uint8_t Got = 0;   // the first byte as the file holds it
  uint8_t Want = 0;  // and as it should be
  int64_t Group = 0;
};

class DifferingRuns {
 public:
  using Emit = std::function<void(const DifferingRun&)>;
  explicit DifferingRuns(Emit emit) : emit_(std::move(emit)) {}

  // A differing byte at pos. It extends the open run when it follows that
  // run's last byte in the same group; otherwise the open run is reported
  // and a new one begins.
  void Add(uint64_t pos, uint8_t got, uint8_t want, int64_t group = 0);
  // Reports the open run, if there is one.
  void Flush();

 private:
  Emit emit_;
  DifferingRun run_;
};

// Where a run lies, positions counted as `counted` from origin:
// " at unit offset 0x00000200" for one byte, " in 3 bytes from unit offset
// 0x00000200" for more.
std::string RunPlace(const DifferingRun& run, std::string_view counted, uint64_t origin = 0);
// " (41 where 00 belongs)": the run's first byte as found and as expected.
std::string RunValues(const DifferingRun& run);

}  // namespace velmora::verify
