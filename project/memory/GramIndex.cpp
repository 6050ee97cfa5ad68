#include "project/memory/GramIndex.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr uint32_t kStartMark = 0x110001;  // beyond every code point
constexpr uint32_t kEndMark = 0x110002;

uint32_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  const auto key = static_cast<uint32_t>(h);
  return key == 0 ? 1 : key;  // 0 marks an empty slot
}

}  // namespace

void TrigramKeys(const std::vector<uint32_t>& cps, std::vector<uint32_t>& keys) {
  keys.clear();
  const size_t n = cps.size();
  const auto at = [&](size_t k) -> uint64_t { return k < 2 ? kStartMark : k - 2 < n ? cps[k - 2] : kEndMark; };
  for (size_t k = 0; k < n + 2; ++k) keys.push_back(Mix((at(k) << 42) ^ (at(k + 1) << 21) ^ at(k + 2)));
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

void GramIndex::Reserve(size_t slots) {
  keys_.assign(slots, 0);
  size_.assign(slots, 0);
  used_ = 0;
}

size_t GramIndex::Slot(uint32_t key) const {
  const size_t mask = keys_.size() - 1;
  size_t s = (key * 0x9E3779B1u) & mask;
  while (keys_[s] != 0 && keys_[s] != key) s = (s + 1) & mask;
  return s;
}

void GramIndex::CountKeys(const std::vector<uint32_t>& keys) {
  for (const uint32_t key : keys) {
    if (2 * (used_ + 1) > keys_.size()) {
      // Grow: put every key and its count in a table twice as large.
      std::vector<uint32_t> oldKeys = std::move(keys_), oldSize = std::move(size_);
      Reserve(oldKeys.size() * 2);
      for (size_t s = 0; s < oldKeys.size(); ++s) {
        if (oldKeys[s] == 0) continue;
        const size_t t = Slot(oldKeys[s]);
        keys_[t] = oldKeys[s];
        size_[t] = oldSize[s];
        ++used_;
      }
    }
    const size_t s = Slot(key);
    if (keys_[s] == 0) {
      keys_[s] = key;
      ++used_;
    }
    ++size_[s];
  }
}

void GramIndex::Finish() {
  start_.assign(keys_.size(), 0);
  uint32_t total = 0;
  for (size_t s = 0; s < keys_.size(); ++s) {
    start_[s] = total;
    total += size_[s];
    size_[s] = 0;  // filled again as the postings are written
  }
  postings_.assign(total, 0);
}

void GramIndex::Post(const std::vector<uint32_t>& keys, uint32_t text) {
  for (const uint32_t key : keys) {
    const size_t s = Slot(key);
    postings_[start_[s] + size_[s]++] = text;
  }
}

void GramIndex::Count(const std::vector<uint32_t>& keys, uint32_t first, uint32_t last, std::vector<uint16_t>& counts,
                      std::vector<uint32_t>& touched) const {
  if (keys_.empty()) return;
  for (const uint32_t key : keys) {
    const size_t s = Slot(key);
    if (keys_[s] == 0) continue;
    const uint32_t* begin = postings_.data() + start_[s];
    const uint32_t* end = begin + size_[s];
    // Postings are in text order, so the texts of the lengths wanted are
    // one stretch of each list.
    const uint32_t* from = std::lower_bound(begin, end, first);
    const uint32_t* to = std::lower_bound(from, end, last);
    for (const uint32_t* p = from; p < to; ++p) {
      uint16_t& c = counts[*p - first];
      if (c == 0) touched.push_back(*p);
      if (c < 0xFFFF) ++c;
    }
  }
}

size_t GramIndex::Bytes() const {
  return (keys_.size() + start_.size() + size_.size() + postings_.size()) * 4 + trigrams_.size() * 2;
}

}  // namespace velmora
