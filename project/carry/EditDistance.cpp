#include "project/carry/EditDistance.h"

#include <algorithm>
#include <vector>

namespace velmora {

size_t BoundedEditDistance(std::string_view a, std::string_view b, size_t limit) {
  if (a.size() > b.size()) std::swap(a, b);
  const size_t la = a.size(), lb = b.size();
  const size_t over = limit + 1;
  if (lb - la > limit) return over;
  if (la == 0) return lb;

  // prev and cur hold one row each; cells outside the band hold `over`.
  std::vector<size_t> prev(lb + 2, over), cur(lb + 2, over);
  for (size_t j = 0; j <= std::min(lb, limit); ++j) prev[j] = j;
  for (size_t i = 1; i <= la; ++i) {
    const size_t lo = i > limit ? i - limit : 1;
    const size_t hi = std::min(lb, i + limit);
    cur[lo - 1] = lo == 1 && i <= limit ? i : over;
    size_t rowMin = cur[lo - 1];
    for (size_t j = lo; j <= hi; ++j) {
      const size_t substitute = prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      const size_t v = std::min({substitute, prev[j] + 1, cur[j - 1] + 1, over});
      cur[j] = v;
      rowMin = std::min(rowMin, v);
    }
    cur[hi + 1] = over;
    if (rowMin > limit) return over;
    std::swap(prev, cur);
  }
  return std::min(prev[lb], over);
}

}  // namespace velmora
