#include "project/memory/GramIndex.h"

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

void TrigramsOf(const std::vector<uint32_t>& cps, std::vector<Trigram>& out, bool sorted) {
  out.clear();
  const size_t n = cps.size();
  const auto at = [&](size_t k) -> uint64_t { return k < 2 ? kStartMark : k - 2 < n ? cps[k - 2] : kEndMark; };
  for (size_t k = 0; k < n + 2; ++k)
    out.push_back({Mix((at(k) << 42) ^ (at(k + 1) << 21) ^ at(k + 2)),
                   static_cast<uint32_t>(std::min<size_t>(k, GramIndex::kFarPosition))});
  if (sorted)
    std::sort(out.begin(), out.end(), [](const Trigram& a, const Trigram& b) {
      return a.Key != b.Key ? a.Key < b.Key : a.Position < b.Position;
    });
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

void GramIndex::CountKeys(const std::vector<Trigram>& grams) {
  for (const Trigram& g : grams) {
    if (2 * (used_ + 1) > keys_.size()) {
      // Grow: every key and its count into a table twice as large.
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
    const size_t s = Slot(g.Key);
    if (keys_[s] == 0) {
      keys_[s] = g.Key;
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
    size_[s] = 0;  // counted again as the postings are written
  }
  postings_.assign(total, 0);
}

void GramIndex::Post(const std::vector<Trigram>& grams, uint32_t text) {
  // In the order of positions, so each text's postings of one key are too.
  for (const Trigram& g : grams) {
    const size_t s = Slot(g.Key);
    postings_[start_[s] + size_[s]++] = text << 8 | g.Position;
  }
}

namespace {

bool Near(uint32_t posting, const std::vector<Trigram>& query, const GramIndex::KeyList& list, uint32_t reach) {
  const uint32_t at = posting & 0xFF;
  for (size_t k = list.QueryBegin; k < list.QueryEnd; ++k) {
    const uint32_t mine = query[k].Position;
    if (at == GramIndex::kFarPosition || mine == GramIndex::kFarPosition ||
        (mine > at ? mine - at : at - mine) <= reach)
      return true;
  }
  return false;
}

}  // namespace

void GramIndex::Lists(const std::vector<Trigram>& query, uint32_t first, uint32_t last,
                      std::vector<KeyList>& out) const {
  out.clear();
  if (keys_.empty()) return;
  for (size_t q = 0; q < query.size();) {
    size_t q2 = q;
    while (q2 < query.size() && query[q2].Key == query[q].Key) ++q2;
    const size_t s = Slot(query[q].Key);
    if (keys_[s] != 0) {
      const uint32_t* begin = postings_.data() + start_[s];
      const uint32_t* end = begin + size_[s];
      // Postings are in text order, so the texts of the lengths wanted
      // are one stretch of each list.
      KeyList list;
      list.Begin = std::lower_bound(begin, end, first << 8);
      list.End = std::lower_bound(list.Begin, end, last << 8);
      list.QueryBegin = q;
      list.QueryEnd = q2;
      if (list.Begin != list.End) out.push_back(list);
    }
    q = q2;
  }
}

void GramIndex::Count(const KeyList& list, const std::vector<Trigram>& query, uint32_t reach, uint32_t first,
                      uint16_t* counts) {
  if (list.QueryEnd - list.QueryBegin == 1 && query[list.QueryBegin].Position != kFarPosition) {
    // One place in the query (nearly every key): a posting counts when its
    // position lies in [low, low + width], or is far; no branch.
    const uint32_t mine = query[list.QueryBegin].Position;
    const uint32_t low = mine > reach ? mine - reach : 0;
    const uint32_t width = mine + reach - low;
    for (const uint32_t* p = list.Begin; p < list.End; ++p) {
      const uint32_t at = *p & 0xFF;
      counts[(*p >> 8) - first] += static_cast<uint16_t>((at - low <= width) | (at == kFarPosition));
    }
    return;
  }
  for (const uint32_t* p = list.Begin; p < list.End; ++p)
    if (Near(*p, query, list, reach)) ++counts[(*p >> 8) - first];
}

size_t GramIndex::Bytes() const { return (keys_.size() + start_.size() + size_.size() + postings_.size()) * 4; }

}  // namespace velmora
