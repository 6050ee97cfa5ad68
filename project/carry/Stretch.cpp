#include "project/carry/Stretch.h"

namespace velmora {

void TextStamps::Mark(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news) {
  ++stamp_;
  for (int32_t o : olds) old_[static_cast<size_t>(s.oldText[static_cast<size_t>(o)])] = stamp_;
  for (int32_t n : news) new_[static_cast<size_t>(s.newText[static_cast<size_t>(n)])] = stamp_;
}

void SharedItems(const PairingState& s, const std::vector<int32_t>& olds, const std::vector<int32_t>& news,
                 TextStamps& stamps, std::vector<int32_t>& os, std::vector<int32_t>& ns) {
  stamps.Mark(s, olds, news);
  os.clear();
  ns.clear();
  for (int32_t o : olds)
    if (stamps.InNew(s.oldText[static_cast<size_t>(o)])) os.push_back(o);
  for (int32_t n : news)
    if (stamps.InOld(s.newText[static_cast<size_t>(n)])) ns.push_back(n);
}

void GapItems(const GapMap& g, size_t gap, std::vector<int32_t>& olds, std::vector<int32_t>& news) {
  olds.assign(g.oldItems.begin() + g.oldStart[gap], g.oldItems.begin() + g.oldStart[gap + 1]);
  news.assign(g.newItems.begin() + g.newStart[gap], g.newItems.begin() + g.newStart[gap + 1]);
}

bool OneReading(const PairingState& s, const std::vector<int32_t>& os, const std::vector<int32_t>& ns) {
  if (os.size() != ns.size()) return false;
  for (size_t k = 0; k < os.size(); ++k)
    if (s.oldText[static_cast<size_t>(os[k])] != s.newText[static_cast<size_t>(ns[k])]) return false;
  return true;
}

Proposals::Proposals(size_t olds, size_t news) {
  for (size_t v = 0; v < kViews; ++v) {
    newOfOld[v].assign(olds, -1);
    oldOfNew[v].assign(news, -1);
  }
}

}  // namespace velmora
