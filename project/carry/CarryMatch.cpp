#include "project/carry/CarryMatch.h"

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <tuple>
#include <unordered_map>

#include "project/carry/EditDistance.h"
#include "project/carry/Rewording.h"

namespace velmora {

namespace {

// The two orders in which neighbours are looked for.
enum View : size_t { kByString = 0, kByLink = 1, kViews = 2 };

// Rounds of rule 2; each adds the pairs the previous round's neighbours
// decided. Real units settle in a few; the cap only bounds hostile input.
constexpr int kMaxRounds = 64;
// A gap is aligned only while the tables of its alignment stay this small,
// and one view aligns at most kMaxViewCells cells a round; the phrases of
// the gaps left out stay undecided. Real units have small gaps; the limits
// bound the time that units of little but repeated texts can take.
constexpr size_t kMaxAlignCells = size_t{1} << 20;
constexpr size_t kMaxViewCells = size_t{1} << 23;
// The forced pairs of a gap are tested against copies that came or went
// unseen (MarkFragile), each test a realignment of the gap; a gap whose
// tests would fill more cells than this is left undecided.
constexpr size_t kMaxFragileCells = size_t{1} << 24;
// Rule 3 compares an old text with at most this many new texts on either
// side of its proportional place in its gap.
constexpr size_t kFuzzyWindow = 32;

struct Side {
  const std::vector<MatchItem>& items;
  std::vector<int32_t> text;     // text id, shared by both sides
  std::vector<int32_t> partner;  // matched item of the other side, -1
  std::array<std::vector<int32_t>, kViews> rank;    // position in the view's order
  std::array<std::vector<int32_t>, kViews> byRank;  // item at each position

  explicit Side(const std::vector<MatchItem>& i) : items(i), text(i.size()), partner(i.size(), -1) {
    for (size_t v = 0; v < kViews; ++v) {
      auto& order = byRank[v];
      order.resize(items.size());
      std::iota(order.begin(), order.end(), 0);
      std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        return v == kByString ? items[a].StringAddress < items[b].StringAddress
                              : items[a].LinkAddress < items[b].LinkAddress;
      });
      rank[v].resize(items.size());
      for (size_t r = 0; r < order.size(); ++r) rank[v][order[r]] = static_cast<int32_t>(r);
    }
  }
  size_t size() const { return items.size(); }
};

// Where the unmatched items stand in one view: the gap between stable
// matched neighbours, and how the gap's texts align with the other
// version's. An alignment is a longest common subsequence of the two gaps'
// texts; a pair that every such alignment makes is forced, a pair that only
// some make is possible.
struct ViewState {
  std::vector<int32_t> oldGap, newGap;
  std::vector<int32_t> oldForced, newForced;  // the forced partner, -1 for none
  // Every possible partner of old item o: possible[possibleBegin[o] ..
  // possibleEnd[o]); whether a new item has any.
  std::vector<int32_t> possible, possibleBegin, possibleEnd;
  std::vector<bool> newHasPossible;
  // Items of gaps too large to align.
  std::vector<bool> oldSkipped, newSkipped;
  // The forced partner when every text only one version holds may also be
  // a rewording of a text it resembles (see Texts::MayBeReworded), -1 for
  // none. Filled only where asked for.
  std::vector<int32_t> oldForcedReworded;
  // Per old item: a copy that came or went unseen could undo the pair the
  // alignment forces (see MarkFragile).
  std::vector<bool> oldFragile;
};

// The texts of both versions by id: which ones both versions hold, and
// which of the others resemble which (asked often, worked out once).
class Texts {
 public:
  Texts(std::vector<std::string_view> texts, std::vector<bool> shared)
      : texts_(std::move(texts)), shared_(std::move(shared)) {}

  bool Shared(int32_t t) const { return shared_[static_cast<size_t>(t)]; }

  // Whether x and y differ, one of them is held by only one version, and
  // it may be a rewording of the other (a copy of the other whose text a
  // new version changed, or the other's own old text).
  bool MayBeReworded(int32_t x, int32_t y) {
    if (x == y || (Shared(x) && Shared(y))) return false;
    const uint64_t key = (uint64_t{static_cast<uint32_t>(std::min(x, y))} << 32) | static_cast<uint32_t>(std::max(x, y));
    const auto [it, added] = related_.try_emplace(key, false);
    if (added) it->second = MayBeRewording(texts_[static_cast<size_t>(x)], texts_[static_cast<size_t>(y)]);
    return it->second;
  }

  // Whether some text of a may be a rewording of some text of b or the
  // other way round.
  bool AnyRewording(const std::vector<int32_t>& a, const std::vector<int32_t>& b) {
    std::vector<int32_t> oneSidedA, oneSidedB, allA(a), allB(b);
    for (auto* all : {&allA, &allB}) {
      std::sort(all->begin(), all->end());
      all->erase(std::unique(all->begin(), all->end()), all->end());
    }
    for (int32_t t : allA)
      if (!Shared(t)) oneSidedA.push_back(t);
    for (int32_t t : allB)
      if (!Shared(t)) oneSidedB.push_back(t);
    for (int32_t x : oneSidedA)
      for (int32_t y : allB)
        if (MayBeReworded(x, y)) return true;
    for (int32_t y : oneSidedB)
      for (int32_t x : allA)
        if (MayBeReworded(x, y)) return true;
    return false;
  }

 private:
  std::vector<std::string_view> texts_;
  std::vector<bool> shared_;
  std::unordered_map<uint64_t, bool> related_;
};

// Positions of a longest run of the points, given in increasing x, whose
// y increase too.
std::vector<size_t> LongestIncreasingRun(const std::vector<std::pair<int32_t, int32_t>>& points) {
  std::vector<size_t> tails;  // the point ending the smallest tail of each length
  std::vector<ptrdiff_t> prev(points.size(), -1);
  auto y = [&](size_t k) { return points[k].second; };
  for (size_t k = 0; k < points.size(); ++k) {
    const auto it =
        std::lower_bound(tails.begin(), tails.end(), y(k), [&](size_t t, int32_t value) { return y(t) < value; });
    if (it != tails.begin()) prev[k] = static_cast<ptrdiff_t>(*(it - 1));
    if (it == tails.end())
      tails.push_back(k);
    else
      *it = k;
  }
  std::vector<size_t> run;
  for (ptrdiff_t k = tails.empty() ? -1 : static_cast<ptrdiff_t>(tails.back()); k >= 0; k = prev[static_cast<size_t>(k)])
    run.push_back(static_cast<size_t>(k));
  return run;
}

// Marks the matched old items whose partners keep their order in the view:
// a longest run of pairs increasing in both versions. They bound the gaps.
std::vector<bool> StableAnchors(const Side& olds, const Side& news, View v) {
  std::vector<int32_t> matched;
  std::vector<std::pair<int32_t, int32_t>> points;
  for (int32_t o : olds.byRank[v])
    if (olds.partner[o] >= 0) {
      matched.push_back(o);
      points.emplace_back(olds.rank[v][o], news.rank[v][olds.partner[o]]);
    }
  std::vector<bool> stable(olds.size(), false);
  for (size_t k : LongestIncreasingRun(points)) stable[matched[k]] = true;
  return stable;
}

// The alignments of texts a[0..n) and b[0..m), texts counting as alike
// where alike(a[i], b[j]). The pairs an alignment can make as its k-th pair
// are the alike pairs with k - 1 pairs possible before them and the rest
// after; when only one pair can be the k-th, every alignment makes it.
// Calls possible(i, j, forced) for each pair of equal texts some alignment
// makes, in increasing i.
template <typename Alike, typename F>
void AlignGap(const int32_t* a, size_t n, const int32_t* b, size_t m, std::vector<uint32_t>& before,
              std::vector<uint32_t>& after, Alike&& alike, F&& possible) {
  if (n == 1 && m == 1) {
    if (a[0] == b[0]) possible(0, 0, true);
    return;
  }
  const size_t w = m + 1;
  before.assign((n + 1) * w, 0);
  after.assign((n + 1) * w, 0);
  for (size_t i = 1; i <= n; ++i)
    for (size_t j = 1; j <= m; ++j)
      before[i * w + j] = alike(a[i - 1], b[j - 1]) ? before[(i - 1) * w + j - 1] + 1
                                               : std::max(before[(i - 1) * w + j], before[i * w + j - 1]);
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      after[i * w + j] = alike(a[i], b[j]) ? after[(i + 1) * w + j + 1] + 1
                                      : std::max(after[(i + 1) * w + j], after[i * w + j + 1]);
  const uint32_t length = after[0];
  if (length == 0) return;
  std::vector<uint32_t> atLevel(length + 1, 0);
  auto onAlignment = [&](size_t i, size_t j) {
    return alike(a[i], b[j]) && before[i * w + j] + 1 + after[(i + 1) * w + j + 1] == length;
  };
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < m; ++j)
      if (onAlignment(i, j)) ++atLevel[before[i * w + j] + 1];
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < m; ++j)
      if (a[i] == b[j] && onAlignment(i, j)) possible(i, j, atLevel[before[i * w + j] + 1] == 1);
}

// Marks the old items of a gap (texts a and b, old items os) whose forced
// partner (s.oldForced, already set) could be undone by a copy that came or
// went unseen, because another copy of its text went or came elsewhere:
//  - leaving out any one phrase of another text, of either version, the
//    pair is no longer forced;
//  - a phrase that no alignment pairs may have stayed after all, as the
//    partner of an equal text whose partner the alignments leave open (or
//    of one no alignment pairs either); aligned around that pair, the pair
//    is no longer forced.
// Returns false, marking nothing, when the tests would fill more than
// kMaxFragileCells cells.
bool MarkFragile(const std::vector<int32_t>& a, const std::vector<int32_t>& b, const int32_t* os, ViewState& s,
                 std::vector<uint32_t>& before, std::vector<uint32_t>& after) {
  const size_t on = a.size(), nn = b.size();
  std::vector<int32_t> forced(on, -1);  // positions in b
  bool any = false;
  for (size_t i = 0; i < on; ++i) any = any || s.oldForced[os[i]] >= 0;
  if (!any) return true;
  // The forced position in b of each old position, as first aligned.
  std::vector<bool> pairedA(on, false), pairedB(nn, false);  // by some alignment
  AlignGap(a.data(), on, b.data(), nn, before, after, std::equal_to<int32_t>(), [&](size_t i, size_t j, bool f) {
    pairedA[i] = pairedB[j] = true;
    if (f) forced[i] = static_cast<int32_t>(j);
  });
  std::vector<bool> fragile(on, false);
  std::vector<int32_t> a2, b2, got(on);
  // Leaves out old position ko and new position kn (-1: none), realigns and
  // marks the pairs no longer forced, except against a left-out phrase of
  // their own text (a copy that came and went beside it is a case no order
  // tells apart).
  auto leaveOut = [&](ptrdiff_t ko, ptrdiff_t kn) {
    a2 = a;
    b2 = b;
    if (ko >= 0) a2.erase(a2.begin() + ko);
    if (kn >= 0) b2.erase(b2.begin() + kn);
    std::fill(got.begin(), got.end(), -1);
    if (!a2.empty() && !b2.empty())
      AlignGap(a2.data(), a2.size(), b2.data(), b2.size(), before, after, std::equal_to<int32_t>(),
               [&](size_t i, size_t j, bool f) {
                 if (!f) return;
                 const size_t oi = ko >= 0 && i >= static_cast<size_t>(ko) ? i + 1 : i;
                 const size_t nj = kn >= 0 && j >= static_cast<size_t>(kn) ? j + 1 : j;
                 got[oi] = static_cast<int32_t>(nj);
               });
    for (size_t i = 0; i < on; ++i) {
      if (forced[i] < 0 || fragile[i]) continue;
      if ((ko >= 0 && a[static_cast<size_t>(ko)] == a[i]) || (kn >= 0 && b[static_cast<size_t>(kn)] == a[i])) continue;
      if (got[i] != forced[i]) fragile[i] = true;
    }
  };
  // Leaving out a phrase whose text the other side of the gap lacks changes
  // no alignment, and leaving out any one of a run of equal texts gives the
  // same texts: only the first of each run that the other side holds is tried.
  std::vector<int32_t> textsA(a), textsB(b);
  std::sort(textsA.begin(), textsA.end());
  std::sort(textsB.begin(), textsB.end());
  auto candidates = [](const std::vector<int32_t>& own, const std::vector<int32_t>& other) {
    std::vector<ptrdiff_t> out;
    for (size_t k = 0; k < own.size(); ++k)
      if ((k == 0 || own[k - 1] != own[k]) && std::binary_search(other.begin(), other.end(), own[k]))
        out.push_back(static_cast<ptrdiff_t>(k));
    return out;
  };
  const auto fromA = candidates(a, textsB), fromB = candidates(b, textsA);
  // A phrase that no alignment pairs is read as a copy that went or came.
  // Had it stayed, as the partner of an equal text of the other version,
  // the gap would align around that pair instead; a forced pair that then
  // changes is not forced by the texts alone. Against a partner the
  // alignments agree on, no other is tried.
  std::vector<bool> forcedB(nn, false);
  for (size_t i = 0; i < on; ++i)
    if (forced[i] >= 0) forcedB[static_cast<size_t>(forced[i])] = true;
  std::vector<std::pair<size_t, size_t>> stays;
  for (size_t p = 0; p < on; ++p)
    for (size_t q = 0; q < nn; ++q)
      if (a[p] == b[q] && !(pairedA[p] && pairedB[q]) && !(pairedA[p] && forced[p] >= 0) &&
          !(pairedB[q] && forcedB[q]))
        stays.emplace_back(p, q);
  const size_t tests = fromA.size() + fromB.size() + stays.size();
  if (tests > kMaxFragileCells / ((on + 1) * (nn + 1))) return false;

  for (ptrdiff_t ko : fromA) leaveOut(ko, -1);
  for (ptrdiff_t kn : fromB) leaveOut(-1, kn);
  const auto alignAround = [&](size_t p, size_t q) {
    std::fill(got.begin(), got.end(), -1);
    const auto alignPart = [&](size_t a0, size_t a1, size_t b0, size_t b1) {
      if (a1 <= a0 || b1 <= b0) return;
      AlignGap(a.data() + a0, a1 - a0, b.data() + b0, b1 - b0, before, after, std::equal_to<int32_t>(),
               [&](size_t i, size_t j, bool f) {
                 if (f) got[a0 + i] = static_cast<int32_t>(b0 + j);
               });
    };
    alignPart(0, p, 0, q);
    alignPart(p + 1, on, q + 1, nn);
    got[p] = static_cast<int32_t>(q);
    for (size_t i = 0; i < on; ++i)
      if (forced[i] >= 0 && got[i] != forced[i]) fragile[i] = true;
  };
  for (const auto& [p, q] : stays) alignAround(p, q);
  for (size_t i = 0; i < on; ++i) s.oldFragile[os[i]] = fragile[i];
  return true;
}

// How the unmatched items of one view align between its stable anchors
// (StableAnchors). Given decided (the view as
// first computed), every second stable anchor (the even ones for
// skipAnchors 0, the odd ones for 1) is disregarded, as if it had moved,
// and only the gaps that hold a pair decided has forced are aligned again,
// each together with one of its neighbours. Without, the alignment is also
// made in the reading where texts only one version holds may be rewordings.
ViewState ComputeView(const Side& olds, const Side& news, View v, std::vector<bool> stable, Texts& texts,
                      const ViewState* decided = nullptr, int skipAnchors = 0) {
  ViewState s;
  if (decided) {
    int k = 0;
    for (int32_t o : olds.byRank[v])
      if (stable[o] && k++ % 2 == skipAnchors) stable[o] = false;
  }

  // Gap ids: the number of stable anchors before the item in view order.
  // The unmatched items in view order, grouped by gap, with each gap's start.
  s.oldGap.assign(olds.size(), 0);
  s.newGap.assign(news.size(), 0);
  std::vector<int32_t> oldIn, newIn;
  std::vector<size_t> oldStart{0}, newStart{0};
  for (int32_t o : olds.byRank[v]) {
    s.oldGap[o] = static_cast<int32_t>(oldStart.size() - 1);
    if (olds.partner[o] < 0) oldIn.push_back(o);
    if (stable[o]) oldStart.push_back(oldIn.size());
  }
  for (int32_t n : news.byRank[v]) {
    s.newGap[n] = static_cast<int32_t>(newStart.size() - 1);
    if (news.partner[n] < 0) newIn.push_back(n);
    if (news.partner[n] >= 0 && stable[news.partner[n]]) newStart.push_back(newIn.size());
  }
  oldStart.push_back(oldIn.size());
  newStart.push_back(newIn.size());

  s.oldForced.assign(olds.size(), -1);
  s.newForced.assign(news.size(), -1);
  s.possibleBegin.assign(olds.size(), 0);
  s.possibleEnd.assign(olds.size(), 0);
  s.newHasPossible.assign(news.size(), false);
  s.oldSkipped.assign(olds.size(), false);
  s.newSkipped.assign(news.size(), false);
  s.oldForcedReworded.assign(olds.size(), -1);
  s.oldFragile.assign(olds.size(), false);
  std::vector<int32_t> a, b;
  std::vector<uint32_t> before, after;
  size_t budget = kMaxViewCells;
  for (size_t g = 0; g + 1 < oldStart.size(); ++g) {
    const int32_t* os = oldIn.data() + oldStart[g];
    const int32_t* ns = newIn.data() + newStart[g];
    const size_t on = oldStart[g + 1] - oldStart[g], nn = newStart[g + 1] - newStart[g];
    const size_t cells = (on + 1) * (nn + 1);
    if (on == 0 || nn == 0) continue;
    // A second look is needed only where the first one forced a pair.
    if (decided && std::none_of(os, os + on, [&](int32_t o) { return decided->oldForced[o] >= 0; })) continue;
    if (cells > kMaxAlignCells || cells > budget) {
      for (size_t i = 0; i < on; ++i) s.oldSkipped[os[i]] = true;
      for (size_t j = 0; j < nn; ++j) s.newSkipped[ns[j]] = true;
      continue;
    }
    budget -= cells;
    a.clear();
    b.clear();
    for (size_t i = 0; i < on; ++i) a.push_back(olds.text[os[i]]);
    for (size_t j = 0; j < nn; ++j) b.push_back(news.text[ns[j]]);
    AlignGap(a.data(), on, b.data(), nn, before, after, std::equal_to<int32_t>(), [&](size_t i, size_t j, bool forced) {
      const int32_t o = os[i], n = ns[j];
      if (s.possibleBegin[o] == s.possibleEnd[o]) s.possibleBegin[o] = s.possibleEnd[o] = static_cast<int32_t>(s.possible.size());
      s.possible.push_back(n);
      ++s.possibleEnd[o];
      s.newHasPossible[n] = true;
      if (forced) {
        s.oldForced[o] = n;
        s.newForced[n] = o;
      }
    });
    if (!decided && !MarkFragile(a, b, os, s, before, after)) {
      // Too much to test: nothing of the gap is decided, as for a gap too
      // large to align.
      for (size_t i = 0; i < on; ++i) s.oldFragile[os[i]] = s.oldSkipped[os[i]] = true;
      for (size_t j = 0; j < nn; ++j) s.newSkipped[ns[j]] = true;
    }
    if (decided) continue;
    if (!texts.AnyRewording(a, b)) {
      for (size_t i = 0; i < on; ++i) s.oldForcedReworded[os[i]] = s.oldForced[os[i]];
      continue;
    }
    const auto alike = [&](int32_t x, int32_t y) { return x == y || texts.MayBeReworded(x, y); };
    AlignGap(a.data(), on, b.data(), nn, before, after, alike, [&](size_t i, size_t j, bool forced) {
      if (forced) s.oldForcedReworded[os[i]] = ns[j];
    });
  }
  return s;
}

// What one view says about pairing old item o with new item n.
enum Verdict { kConflicts = 0, kAllows = 1, kDecides = 2 };

Verdict Judge(const ViewState& s, int32_t o, int32_t n) {
  if (s.oldForced[o] == n) return kDecides;
  // An alignment that can pair o or n only with others speaks against the
  // pair; one that leaves both out (a phrase that moved) says nothing.
  const auto first = s.possible.begin() + s.possibleBegin[o], last = s.possible.begin() + s.possibleEnd[o];
  if (first == last && !s.newHasPossible[n]) return kAllows;
  return std::find(first, last, n) != last ? kAllows : kConflicts;
}

// The nearest matched item before (dir -1) or after (dir +1) item in the
// view's order, -1 for none.
int32_t NearestMatched(const Side& s, int32_t item, View v, int dir) {
  for (int64_t r = int64_t{s.rank[v][item]} + dir; r >= 0 && r < static_cast<int64_t>(s.size()); r += dir) {
    const int32_t it = s.byRank[v][static_cast<size_t>(r)];
    if (s.partner[it] >= 0) return it;
  }
  return -1;
}

// Between its nearest matched neighbours: how many items have text's copy,
// and which of them item is.
std::pair<int32_t, int32_t> CopiesBetween(const Side& s, int32_t item, View v, int32_t before, int32_t after) {
  const int32_t from = before < 0 ? 0 : s.rank[v][before] + 1;
  const int32_t to = after < 0 ? static_cast<int32_t>(s.size()) : s.rank[v][after];
  int32_t count = 0, position = -1;
  for (int32_t r = from; r < to; ++r) {
    const int32_t it = s.byRank[v][static_cast<size_t>(r)];
    if (s.text[it] != s.text[item]) continue;
    if (it == item) position = count;
    ++count;
  }
  return {count, position};
}

// A pair that the alignment decides must also be what the phrases around
// it say, in both orders: the nearest matched neighbours of the old item
// are matched to those of the new one, and between them both versions hold
// the same number of copies of the text with the pair at the same place
// among them. Otherwise a copy came or went next to it and the pair is left
// undecided rather than guessed.
bool NeighboursAgree(const Side& olds, const Side& news, int32_t o, int32_t n, View view) {
  {
    const int32_t ob = NearestMatched(olds, o, view, -1), oa = NearestMatched(olds, o, view, +1);
    const int32_t nb = NearestMatched(news, n, view, -1), na = NearestMatched(news, n, view, +1);
    if ((ob < 0 ? -1 : olds.partner[ob]) != nb || (oa < 0 ? -1 : olds.partner[oa]) != na) return false;
    if (CopiesBetween(olds, o, view, ob, oa) != CopiesBetween(news, n, view, nb, na)) return false;
  }
  return true;
}

// Whether a text only one version holds, and that resembles the pair's
// text, lies between the nearest matched neighbours of o or of n: one of
// the copies there was reworded, and which one the order cannot tell.
bool RewordingNearby(const Side& olds, const Side& news, int32_t o, int32_t n, View v, Texts& texts) {
  const int32_t text = olds.text[o];
  for (const auto& [side, item] : {std::pair<const Side*, int32_t>{&olds, o}, std::pair<const Side*, int32_t>{&news, n}})
    for (int dir : {-1, +1})
      for (int64_t r = int64_t{side->rank[v][item]} + dir; r >= 0 && r < static_cast<int64_t>(side->size()); r += dir) {
        const int32_t it = side->byRank[v][static_cast<size_t>(r)];
        if (side->partner[it] >= 0) break;
        if (texts.MayBeReworded(text, side->text[it])) return true;
      }
  return false;
}

// The pairs one round of rule 2 takes: those one view decides and the other
// does not contradict, kept only as far as they keep their order with each
// other in both views (a pair that crosses others may be a phrase that
// moved; it waits until the others have narrowed its gap).
std::vector<std::pair<int32_t, int32_t>> RoundPairs(const Side& olds, const Side& news,
                                                    const std::array<ViewState, kViews>& views,
                                                    const std::array<std::array<ViewState, 2>, kViews>& anchorsSkipped,
                                                    Texts& texts) {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  // A gap whose alignment the other order refutes in one pair may be read
  // shifted as a whole: none of the pairs it forces is taken.
  std::array<std::vector<bool>, kViews> refuted;
  for (size_t v = 0; v < kViews; ++v) {
    refuted[v].assign(olds.size() + 1, false);
    for (size_t o = 0; o < olds.size(); ++o) {
      const int32_t n = views[v].oldForced[o];
      if (olds.partner[o] < 0 && n >= 0 && Judge(views[1 - v], static_cast<int32_t>(o), n) == kConflicts)
        refuted[v][static_cast<size_t>(views[v].oldGap[o])] = true;
    }
  }
  for (size_t o = 0; o < olds.size(); ++o) {
    if (olds.partner[o] >= 0) continue;
    for (size_t v = 0; v < kViews; ++v) {
      const int32_t n = views[v].oldForced[o];
      if (n < 0) continue;
      if (refuted[v][static_cast<size_t>(views[v].oldGap[o])]) continue;
      // The alignment must decide the same with either neighbour that
      // bounds the gap taken away (it may be a phrase that moved a little)
      // unless that makes the stretch too large to align ...
      const bool robust = std::all_of(anchorsSkipped[v].begin(), anchorsSkipped[v].end(), [&](const ViewState& s) {
        return s.oldForced[o] == n || s.oldSkipped[o];
      });
      if (!robust) continue;
      // ... and when texts found in one version only may be rewordings of
      // those they resemble; nor may such a text lie next to the pair.
      if (views[v].oldForcedReworded[o] != n) continue;
      if (views[v].oldFragile[o]) continue;
      if (RewordingNearby(olds, news, static_cast<int32_t>(o), n, static_cast<View>(v), texts)) continue;
      if (Judge(views[1 - v], static_cast<int32_t>(o), n) == kConflicts) continue;
      // Around the pair, the phrases must say the same as the alignment; or
      // the other order must decide the same pair on its own.
      if (views[1 - v].oldForced[o] != n && !NeighboursAgree(olds, news, static_cast<int32_t>(o), n, static_cast<View>(v)))
        continue;
      pairs.emplace_back(static_cast<int32_t>(o), n);
      break;
    }
  }
  for (size_t v = 0; v < kViews; ++v) {
    std::sort(pairs.begin(), pairs.end(),
              [&](const auto& x, const auto& y) { return olds.rank[v][x.first] < olds.rank[v][y.first]; });
    std::vector<std::pair<int32_t, int32_t>> points;
    for (const auto& [o, n] : pairs) points.emplace_back(olds.rank[v][o], news.rank[v][n]);
    std::vector<std::pair<int32_t, int32_t>> kept;
    for (size_t k : LongestIncreasingRun(points)) kept.push_back(pairs[k]);
    pairs = std::move(kept);
  }
  return pairs;
}

void Pair(Side& olds, Side& news, TextMatch& m, int32_t o, int32_t n, MatchRule rule) {
  olds.partner[o] = n;
  news.partner[n] = o;
  m.NewOfOld[o] = n;
  m.OldOfNew[n] = o;
  m.Rule[o] = rule;
}

// Rule 3 within one view: candidate pairs (o, n, distance, longer length).
struct FuzzyEdge {
  int32_t o, n;
  uint32_t distance, longer;
};

void FuzzyCandidates(const Side& olds, const Side& news, const ViewState& s, View v, int percent,
                     const std::vector<bool>& oldOpen, const std::vector<bool>& newOpen,
                     std::vector<FuzzyEdge>& edges) {
  // Open items of each gap, in view order.
  std::unordered_map<int32_t, std::pair<std::vector<int32_t>, std::vector<int32_t>>> gaps;
  for (int32_t o : olds.byRank[v])
    if (oldOpen[o]) gaps[s.oldGap[o]].first.push_back(o);
  for (int32_t n : news.byRank[v])
    if (newOpen[n]) gaps[s.newGap[n]].second.push_back(n);
  for (const auto& [gap, lists] : gaps) {
    const auto& [os, ns] = lists;
    if (os.empty() || ns.empty()) continue;
    for (size_t p = 0; p < os.size(); ++p) {
      const size_t centre = p * ns.size() / os.size();
      const size_t from = centre > kFuzzyWindow ? centre - kFuzzyWindow : 0;
      const size_t to = std::min(ns.size(), centre + kFuzzyWindow + 1);
      const std::string_view a = olds.items[os[p]].Text;
      for (size_t q = from; q < to; ++q) {
        const std::string_view b = news.items[ns[q]].Text;
        const size_t longer = std::max(a.size(), b.size());
        const size_t limit = longer * static_cast<size_t>(percent) / 100;
        const size_t shorter = std::min(a.size(), b.size());
        if (longer - shorter > limit) continue;
        const size_t d = BoundedEditDistance(a, b, limit);
        if (d <= limit)
          edges.push_back({os[p], ns[q], static_cast<uint32_t>(d), static_cast<uint32_t>(longer)});
      }
    }
  }
}

void MatchFuzzy(Side& olds, Side& news, TextMatch& m, const std::array<ViewState, kViews>& views, int percent) {
  std::vector<bool> oldOpen(olds.size()), newOpen(news.size());
  for (size_t o = 0; o < olds.size(); ++o) oldOpen[o] = olds.partner[o] < 0 && !m.OldAmbiguous[o];
  for (size_t n = 0; n < news.size(); ++n) newOpen[n] = news.partner[n] < 0 && !m.NewAmbiguous[n];

  std::vector<FuzzyEdge> edges;
  for (size_t v = 0; v < kViews; ++v)
    FuzzyCandidates(olds, news, views[v], static_cast<View>(v), percent, oldOpen, newOpen, edges);
  std::sort(edges.begin(), edges.end(), [](const FuzzyEdge& a, const FuzzyEdge& b) {
    return std::tie(a.o, a.n) < std::tie(b.o, b.n);
  });
  edges.erase(std::unique(edges.begin(), edges.end(),
                          [](const FuzzyEdge& a, const FuzzyEdge& b) { return a.o == b.o && a.n == b.n; }),
              edges.end());

  // The closest text of each item, by distance relative to the longer
  // text; a tie leaves the item without one.
  struct Best {
    int32_t edge = -1;
    bool tie = false;
  };
  auto closer = [&](const FuzzyEdge& a, const FuzzyEdge& b) {
    return uint64_t{a.distance} * b.longer < uint64_t{b.distance} * a.longer;
  };
  auto same = [&](const FuzzyEdge& a, const FuzzyEdge& b) {
    return uint64_t{a.distance} * b.longer == uint64_t{b.distance} * a.longer;
  };
  std::vector<Best> bestOld(olds.size()), bestNew(news.size());
  auto offer = [&](Best& best, int32_t e) {
    if (best.edge < 0 || closer(edges[e], edges[best.edge])) {
      best = {e, false};
    } else if (same(edges[e], edges[best.edge])) {
      best.tie = true;
    }
  };
  for (size_t e = 0; e < edges.size(); ++e) {
    offer(bestOld[edges[e].o], static_cast<int32_t>(e));
    offer(bestNew[edges[e].n], static_cast<int32_t>(e));
  }
  for (size_t o = 0; o < olds.size(); ++o) {
    const Best& b = bestOld[o];
    if (b.edge < 0 || b.tie) continue;
    const FuzzyEdge& e = edges[b.edge];
    const Best& back = bestNew[e.n];
    if (back.edge != b.edge || back.tie) continue;
    Pair(olds, news, m, e.o, e.n, MatchRule::Fuzzy);
    m.Percent[o] = static_cast<uint8_t>((uint64_t{e.distance} * 100 + e.longer - 1) / e.longer);
  }
}

// Unmatched items whose text the other side holds unmatched too.
void MarkAmbiguous(const Side& olds, const Side& news, size_t texts, TextMatch& m) {
  std::vector<int32_t> openOld(texts, 0), openNew(texts, 0);
  for (size_t o = 0; o < olds.size(); ++o)
    if (olds.partner[o] < 0) ++openOld[olds.text[o]];
  for (size_t n = 0; n < news.size(); ++n)
    if (news.partner[n] < 0) ++openNew[news.text[n]];
  for (size_t o = 0; o < olds.size(); ++o) m.OldAmbiguous[o] = olds.partner[o] < 0 && openNew[olds.text[o]] > 0;
  for (size_t n = 0; n < news.size(); ++n) m.NewAmbiguous[n] = news.partner[n] < 0 && openOld[news.text[n]] > 0;
}

}  // namespace

TextMatch MatchTexts(const std::vector<MatchItem>& oldItems, const std::vector<MatchItem>& newItems, int fuzzyPercent) {
  Side olds(oldItems), news(newItems);
  TextMatch m;
  m.NewOfOld.assign(olds.size(), -1);
  m.OldOfNew.assign(news.size(), -1);
  m.Rule.assign(olds.size(), MatchRule::None);
  m.Percent.assign(olds.size(), 0);
  m.OldAmbiguous.assign(olds.size(), false);
  m.NewAmbiguous.assign(news.size(), false);

  // Text ids and how often each text occurs on each side.
  std::unordered_map<std::string_view, int32_t> ids;
  ids.reserve(olds.size() + news.size());
  std::vector<int32_t> countOld, countNew, firstOld, firstNew;
  auto idOf = [&](std::string_view text) {
    const auto [it, added] = ids.try_emplace(text, static_cast<int32_t>(countOld.size()));
    if (added) {
      countOld.push_back(0);
      countNew.push_back(0);
      firstOld.push_back(-1);
      firstNew.push_back(-1);
    }
    return it->second;
  };
  for (size_t o = 0; o < olds.size(); ++o) {
    const int32_t t = olds.text[o] = idOf(oldItems[o].Text);
    if (countOld[t]++ == 0) firstOld[t] = static_cast<int32_t>(o);
  }
  for (size_t n = 0; n < news.size(); ++n) {
    const int32_t t = news.text[n] = idOf(newItems[n].Text);
    if (countNew[t]++ == 0) firstNew[t] = static_cast<int32_t>(n);
  }

  std::vector<bool> shared(countOld.size());
  for (size_t t = 0; t < shared.size(); ++t) shared[t] = countOld[t] > 0 && countNew[t] > 0;
  std::vector<std::string_view> textOf(countOld.size());
  for (const auto& [text, id] : ids) textOf[static_cast<size_t>(id)] = text;
  Texts texts(std::move(textOf), std::move(shared));

  // Rule 1.
  for (size_t t = 0; t < countOld.size(); ++t)
    if (countOld[t] == 1 && countNew[t] == 1) Pair(olds, news, m, firstOld[t], firstNew[t], MatchRule::Unique);

  // Rule 2, in rounds; every pair taken narrows the gaps for the next.
  std::array<ViewState, kViews> views;
  std::array<std::array<ViewState, 2>, kViews> anchorsSkipped;
  for (int round = 0;; ++round) {
    std::array<std::vector<bool>, kViews> stable;
    for (size_t v = 0; v < kViews; ++v) {
      stable[v] = StableAnchors(olds, news, static_cast<View>(v));
      views[v] = ComputeView(olds, news, static_cast<View>(v), stable[v], texts);
    }
    if (round == kMaxRounds) break;
    for (size_t v = 0; v < kViews; ++v)
      for (int parity = 0; parity < 2; ++parity)
        anchorsSkipped[v][static_cast<size_t>(parity)] =
            ComputeView(olds, news, static_cast<View>(v), stable[v], texts, &views[v], parity);
    const auto pairs = RoundPairs(olds, news, views, anchorsSkipped, texts);
    for (const auto& [o, n] : pairs) Pair(olds, news, m, o, n, MatchRule::Neighbours);
    if (pairs.empty()) break;
  }

  MarkAmbiguous(olds, news, countOld.size(), m);
  if (fuzzyPercent > 0) {
    MatchFuzzy(olds, news, m, views, std::min(fuzzyPercent, 100));
    MarkAmbiguous(olds, news, countOld.size(), m);
  }
  m.OldLimited.assign(olds.size(), false);
  m.NewLimited.assign(news.size(), false);
  for (size_t o = 0; o < olds.size(); ++o)
    m.OldLimited[o] = m.OldAmbiguous[o] && (views[kByString].oldSkipped[o] || views[kByLink].oldSkipped[o]);
  for (size_t n = 0; n < news.size(); ++n)
    m.NewLimited[n] = m.NewAmbiguous[n] && (views[kByString].newSkipped[n] || views[kByLink].newSkipped[n]);
  return m;
}

}  // namespace velmora
