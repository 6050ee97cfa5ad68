// Unit checksums of many ranges of one file in one pass over it. A loader's
// directory may list thousands of units that each reach to the end of the
// file (or repeat one another); summing each range on its own would read
// the file once per unit. Instead the file is read once, with a running sum
// of the big-endian words for each of the four byte alignments, and each
// range's sum is the difference of the running sums at its two ends.
#pragma once

#include <cstdint>
#include <vector>

#include "container/io/Stream.h"

namespace velmora::cli {

class RangeChecksums {
 public:
  // Asks for the unit checksum (the words from unit offset 128 on, as far
  // as whole words lie within length bytes and within the file) of the unit
  // at pos. Returns the ticket to read the result with.
  size_t Ask(uint64_t pos, uint64_t length);
  // Reads the fileSize bytes of s once and answers every question.
  void Run(TStream& s, uint64_t fileSize);
  uint32_t Sum(size_t ticket) const { return sums_[ticket]; }

 private:
  struct Point {
    uint64_t At = 0;  // the running sum of the words before this position
    size_t Slot = 0;  // where it goes in values_
  };
  std::vector<Point> points_;
  std::vector<uint32_t> values_;  // two per question: the end and the start
  std::vector<uint32_t> sums_;
  std::vector<std::pair<uint64_t, uint64_t>> asked_;
};

}  // namespace velmora::cli
