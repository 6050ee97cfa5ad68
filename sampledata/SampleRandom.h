// A small deterministic generator for the sample data (same bytes on every
// platform and run for the same seed), and the code-like filler word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace velmora::sample {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}

  // splitmix64.
  uint64_t Next64() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Next() { return static_cast<uint32_t>(Next64() >> 32); }
  // 0 .. n-1 (n > 0).
  uint32_t Below(uint64_t n) { return static_cast<uint32_t>((uint64_t{Next()} * n) >> 32); }

  template <typename T>
  void Shuffle(std::vector<T>& v) {
    for (size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[Below(i)]);
  }

 private:
  uint64_t state_;
};

// A word that looks like processor code and never points into a unit of
// unitSize bytes at baseAddress.
uint32_t CodeLikeWord(Rng& rng, uint32_t baseAddress, uint32_t unitSize);

}  // namespace velmora::sample
