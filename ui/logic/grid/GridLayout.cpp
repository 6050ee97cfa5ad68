#include "ui/logic/grid/GridLayout.h"

#include <algorithm>
#include <cmath>

namespace velmora::ui {

namespace {

struct FixedColumns {
  std::array<int, kGridColumnCount> w{};
  int sum = 0;
};

FixedColumns Fixed(const GridTextWidths& m) {
  auto fit = [&](int header, int cell) { return std::max(header + m.HeaderPadding, cell + m.CellPadding); };
  FixedColumns f;
  f.w[kColIndex] = fit(m.IndexHeader, m.IndexDigits);
  f.w[kColHide] = fit(m.HideHeader, m.CheckBox);
  f.w[kColOn] = fit(m.OnHeader, m.CheckBox);
  f.w[kColLinkAddress] = fit(m.LinkHeader, m.Address);
  f.w[kColStringAddress] = fit(m.StringHeader, m.Address);
  for (int c : {kColIndex, kColHide, kColOn, kColLinkAddress, kColStringAddress}) f.sum += f.w[static_cast<size_t>(c)];
  return f;
}

int TextTotal(const GridTextWidths& m, int width) {
  return std::max(width - Fixed(m).sum, 2 * MinTextColumnWidth(m));
}

// Where a label must give way, how far the origin column gets: the space in
// proportion to the two whole-label widths.
int ProportionalOrigin(const GridTextWidths& m, int total) {
  const double o = WholeLabelColumnWidth(m, kColOrigin);
  const double e = WholeLabelColumnWidth(m, kColEdited);
  return static_cast<int>(std::lround(total * o / (o + e)));
}

// The UTF-8 characters of a text, each as one piece.
std::vector<std::string_view> Characters(std::string_view s) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < s.size();) {
    size_t n = 1;
    while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace

int GridColumns::Total() const {
  int sum = 0;
  for (int w : Widths) sum += w;
  return sum;
}

int FindPanelWidthFor(int columnWidth, int labelWidth) {
  return std::clamp(columnWidth - 2 - kLabelGap - labelWidth, kMinFindPanelWidth, kFindPanelWidth);
}

int MinTextColumnWidth(const GridTextWidths&) { return kMinLabelRoom + kMinFindPanelWidth + 2; }

int WholeLabelColumnWidth(const GridTextWidths& m, int column) {
  const int label = column == kColOrigin ? m.OriginLabel : m.EditedLabel;
  return std::max(label + m.HeaderPadding / 2 + kLabelGap + kFindPanelWidth + 2, MinTextColumnWidth(m));
}

int WholeGridWidth(const GridTextWidths& m) {
  return Fixed(m).sum + WholeLabelColumnWidth(m, kColOrigin) + WholeLabelColumnWidth(m, kColEdited);
}

int MinGridWidth(const GridTextWidths& m) { return Fixed(m).sum + 2 * MinTextColumnWidth(m); }

GridColumns LayOutColumns(const GridTextWidths& m, int width, std::optional<double> originShare) {
  const FixedColumns f = Fixed(m);
  const int total = TextTotal(m, width);
  const int minimum = MinTextColumnWidth(m);
  const int wholeOrigin = WholeLabelColumnWidth(m, kColOrigin);
  const int wholeEdited = WholeLabelColumnWidth(m, kColEdited);
  int origin = 0;
  if (originShare && std::isfinite(*originShare)) {
    origin = static_cast<int>(std::lround(total * std::clamp(*originShare, 0.0, 1.0)));
  } else if (total >= wholeOrigin + wholeEdited) {
    origin = std::clamp(total / 2, wholeOrigin, total - wholeEdited);
  } else {
    origin = ProportionalOrigin(m, total);
  }
  origin = std::clamp(origin, minimum, total - minimum);

  GridColumns g;
  g.Widths = f.w;
  g.Widths[kColOrigin] = origin;
  g.Widths[kColEdited] = total - origin;
  int right = 0;
  for (int c = 0; c <= kColEdited; ++c) {
    right += g.Widths[static_cast<size_t>(c)];
    if (c == kColOrigin) {
      g.FindPanel1Width = FindPanelWidthFor(origin, m.OriginLabel + m.HeaderPadding / 2);
      g.FindPanel1Left = right - g.FindPanel1Width - 2;
    }
    if (c == kColEdited) {
      g.FindPanel2Width = FindPanelWidthFor(total - origin, m.EditedLabel + m.HeaderPadding / 2);
      g.FindPanel2Left = right - g.FindPanel2Width - 2;
    }
  }
  return g;
}

double OriginShareFor(const GridTextWidths& m, int width, int originWidth) {
  const int total = TextTotal(m, width);
  const int minimum = MinTextColumnWidth(m);
  return static_cast<double>(std::clamp(originWidth, minimum, total - minimum)) / total;
}

std::string FitHeaderLabel(std::string_view label, int room, const std::function<int(std::string_view)>& measure) {
  if (measure(label) <= room) return std::string(label);
  std::string_view trimmed = label.substr(std::min(label.find_first_not_of(' '), label.size()));
  if (measure(trimmed) <= room) return std::string(trimmed);
  static constexpr std::string_view kEllipsis = "\xE2\x80\xA6";
  // A label with a count: the count stays whole, the words before it are
  // shortened at their end.
  const size_t open = trimmed.rfind(" (");
  if (open != std::string_view::npos && open > 0 && trimmed.back() == ')') {
    const auto words = Characters(trimmed.substr(0, open));
    const std::string_view count = trimmed.substr(open);
    for (size_t keep = words.size(); keep-- > 1;) {
      std::string s;
      for (size_t i = 0; i < keep; ++i) s += words[i];
      while (!s.empty() && s.back() == ' ') s.pop_back();
      s += kEllipsis;
      s += count;
      if (measure(s) <= room) return s;
    }
  }
  // Otherwise the end and as much of the start as fit around "…".
  const auto chars = Characters(trimmed);
  std::string best(kEllipsis);
  for (size_t keep = 1; keep <= chars.size(); ++keep) {
    const size_t tail = (keep + 1) / 2;
    const size_t head = keep - tail;
    std::string s;
    for (size_t i = 0; i < head; ++i) s += chars[i];
    s += kEllipsis;
    for (size_t i = chars.size() - tail; i < chars.size(); ++i) s += chars[i];
    if (measure(s) > room) break;
    best = std::move(s);
  }
  return best;
}

}  // namespace velmora::ui
