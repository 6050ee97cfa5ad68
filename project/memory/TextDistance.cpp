#include "project/memory/TextDistance.h"

#include <algorithm>

#include "project/text/Unicode.h"

namespace velmora {

size_t CodePointCount(std::string_view utf8) {
  size_t n = 0;
  for (size_t i = 0; i < utf8.size(); ++n) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80)
      ++i;
    else
      NextCodePoint(utf8, i);
  }
  return n;
}

DistanceQuery::DistanceQuery(std::vector<uint32_t> codePoints) : query_(std::move(codePoints)) {
  if (query_.size() > 64) return;
  for (size_t i = 0; i < query_.size(); ++i) {
    const uint64_t bit = uint64_t{1} << i;
    const uint32_t cp = query_[i];
    if (cp < 128) {
      ascii_[cp] |= bit;
      continue;
    }
    auto it = std::find_if(others_.begin(), others_.end(), [&](const auto& e) { return e.first == cp; });
    if (it == others_.end())
      others_.emplace_back(cp, bit);
    else
      it->second |= bit;
  }
}

uint64_t DistanceQuery::Mask(uint32_t cp) const {
  if (cp < 128) return ascii_[cp];
  for (const auto& [c, mask] : others_)
    if (c == cp) return mask;
  return 0;
}

size_t DistanceQuery::To(std::string_view utf8, size_t limit) const {
  const size_t m = query_.size();
  if (m > 64) return EditDistance(query_, CodePoints(utf8), limit);
  if (m == 0) return std::min(CodePointCount(utf8), limit + 1);
  // Myers (1999) in Hyyrö's form for the distance of whole texts: the
  // vertical differences of the current column of the table as bit
  // vectors (Pv +1, Mv -1), one column per character of the text.
  uint64_t pv = m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1;
  uint64_t mv = 0;
  const uint64_t high = uint64_t{1} << (m - 1);
  size_t score = m;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const uint64_t eq = Mask(b < 0x80 ? (++i, b) : NextCodePoint(utf8, i));
    const size_t left = utf8.size() - i;  // at least the characters still to come
    const uint64_t xv = eq | mv;
    const uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
    uint64_t ph = mv | ~(xh | pv);
    uint64_t mh = pv & xh;
    if (ph & high)
      ++score;
    else if (mh & high)
      --score;
    ph = (ph << 1) | 1;
    mh <<= 1;
    pv = mh | ~(xv | ph);
    mv = ph & xv;
    // Each further character lowers the distance by one at most.
    if (score > limit + left) return limit + 1;
  }
  return std::min(score, limit + 1);
}

size_t EditDistance(const std::vector<uint32_t>& a0, const std::vector<uint32_t>& b0, size_t limit) {
  const std::vector<uint32_t>& a = a0.size() <= b0.size() ? a0 : b0;
  const std::vector<uint32_t>& b = a0.size() <= b0.size() ? b0 : a0;
  const size_t la = a.size(), lb = b.size();
  if (lb - la > limit) return limit + 1;
  limit = std::min(limit, lb);  // no distance is longer than the longer text
  const size_t over = limit + 1;
  if (la == 0) return lb;
  // Rows of the table, each only within limit of its diagonal; a cell
  // just outside the band holds `over`.
  std::vector<size_t> row(lb + 2, over), next(lb + 2, over);
  for (size_t j = 0; j <= std::min(lb, limit); ++j) row[j] = j;
  for (size_t i = 1; i <= la; ++i) {
    const size_t lo = i > limit ? i - limit : 0;
    const size_t hi = std::min(lb, i + limit);
    if (lo > 0) next[lo - 1] = over;
    size_t best = over;
    for (size_t j = lo; j <= hi; ++j) {
      size_t v = i;
      if (j > 0) {
        v = std::min({row[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1), row[j] + 1, next[j - 1] + 1});
        v = std::min(v, over);
      }
      next[j] = v;
      best = std::min(best, v);
    }
    next[hi + 1] = over;
    if (best > limit) return over;
    std::swap(row, next);
  }
  return std::min(row[lb], over);
}

}  // namespace velmora
