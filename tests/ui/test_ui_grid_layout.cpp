// The grid's column widths from measured texts: fixed columns fit their
// texts, the two text columns share the rest, the find panels follow, and
// a text column's label gives way to its panel only when it must.
#include <gtest/gtest.h>

#include "ui/logic/grid/GridLayout.h"

namespace velmora::ui {
namespace {

// Widths as a wide sans face at 11 pixels gives them.
GridTextWidths Measured() {
  GridTextWidths m;
  m.IndexHeader = 34;
  m.IndexDigits = 35;
  m.HideHeader = 30;
  m.OnHeader = 24;
  m.Address = 73;
  m.LinkHeader = 70;
  m.StringHeader = 80;
  m.OriginLabel = 190;
  m.EditedLabel = 216;
  m.CheckBox = 13;
  m.CellPadding = 5;
  m.HeaderPadding = 8;
  return m;
}

void ExpectPanelsOverTheirColumns(const GridColumns& g) {
  int right = 0;
  for (int c = 0; c <= kColEdited; ++c) {
    right += g.Widths[static_cast<size_t>(c)];
    if (c == kColOrigin) {
      EXPECT_EQ(g.FindPanel1Left + g.FindPanel1Width + 2, right);
    } else if (c == kColEdited) {
      EXPECT_EQ(g.FindPanel2Left + g.FindPanel2Width + 2, right);
    }
  }
  // Each panel lies within its column, clear of the column to its left.
  const int originLeft = g.Widths[kColIndex] + g.Widths[kColHide];
  EXPECT_GE(g.FindPanel1Left, originLeft + kMinLabelRoom);
  EXPECT_GE(g.FindPanel2Left, originLeft + g.Widths[kColOrigin] + g.Widths[kColOn] + kMinLabelRoom);
}

TEST(GridLayout, FixedColumnsFitTheirWidestTextAndHeader) {
  const GridTextWidths m = Measured();
  const GridColumns g = LayOutColumns(m, 1400);
  EXPECT_EQ(g.Widths[kColIndex], std::max(34 + 8, 35 + 5));
  EXPECT_EQ(g.Widths[kColHide], 30 + 8) << "\" HIDE\" whole";
  EXPECT_EQ(g.Widths[kColOn], 24 + 8);
  EXPECT_EQ(g.Widths[kColLinkAddress], 73 + 5) << "\" 0x\" and eight digits whole";
  EXPECT_EQ(g.Widths[kColStringAddress], 80 + 8) << "the longer header decides";

  // A narrow face: the check box, not the header, decides.
  GridTextWidths narrow = m;
  narrow.HideHeader = 4;
  narrow.OnHeader = 4;
  EXPECT_EQ(LayOutColumns(narrow, 1400).Widths[kColHide], 13 + 5);
}

TEST(GridLayout, TextColumnsShareTheRestAtEveryWidth) {
  const GridTextWidths m = Measured();
  for (const int width : {MinGridWidth(m), 1000, 1131, 1264, WholeGridWidth(m), 1600, 2540}) {
    SCOPED_TRACE(width);
    const GridColumns g = LayOutColumns(m, width);
    EXPECT_EQ(g.Total(), width) << "nothing beyond the right edge, nothing left over";
    EXPECT_GE(g.Widths[kColOrigin], MinTextColumnWidth(m));
    EXPECT_GE(g.Widths[kColEdited], MinTextColumnWidth(m));
    ExpectPanelsOverTheirColumns(g);
  }
}

TEST(GridLayout, LabelsStandWholeWheneverTheWidthAllows) {
  const GridTextWidths m = Measured();
  const int wholeOrigin = WholeLabelColumnWidth(m, kColOrigin);
  const int wholeEdited = WholeLabelColumnWidth(m, kColEdited);
  EXPECT_EQ(wholeEdited, 216 + 4 + kLabelGap + kFindPanelWidth + 2);

  // Wide: half each.
  GridColumns g = LayOutColumns(m, 1600);
  EXPECT_LE(std::abs(g.Widths[kColOrigin] - g.Widths[kColEdited]), 1);
  // Just wide enough for both labels, not for halves: the longer label gets
  // its width, the other column the rest.
  g = LayOutColumns(m, WholeGridWidth(m) + 10);
  EXPECT_EQ(g.Widths[kColEdited], wholeEdited);
  EXPECT_GE(g.Widths[kColOrigin], wholeOrigin);
  // Too narrow for both: each gives way in proportion, neither below its minimum.
  g = LayOutColumns(m, WholeGridWidth(m) - 60);
  EXPECT_LT(g.Widths[kColOrigin], wholeOrigin);
  EXPECT_LT(g.Widths[kColEdited], wholeEdited);
  EXPECT_NEAR(static_cast<double>(g.Widths[kColOrigin]) / g.Widths[kColEdited],
              static_cast<double>(wholeOrigin) / wholeEdited, 0.01);
}

TEST(GridLayout, TheUsersShareIsKeptWithinTheMinimums) {
  const GridTextWidths m = Measured();
  const double share = OriginShareFor(m, 1400, 700);
  GridColumns g = LayOutColumns(m, 1400, share);
  EXPECT_EQ(g.Widths[kColOrigin], 700);
  EXPECT_EQ(g.Total(), 1400);
  // The same share on a wider grid: both grow.
  g = LayOutColumns(m, 1800, share);
  EXPECT_GT(g.Widths[kColOrigin], 700);
  EXPECT_EQ(g.Total(), 1800);
  // Dragged too far either way: each column keeps its minimum.
  g = LayOutColumns(m, 1400, OriginShareFor(m, 1400, 20));
  EXPECT_EQ(g.Widths[kColOrigin], MinTextColumnWidth(m));
  g = LayOutColumns(m, 1400, OriginShareFor(m, 1400, 5000));
  EXPECT_EQ(g.Widths[kColEdited], MinTextColumnWidth(m));
  ExpectPanelsOverTheirColumns(g);
}

TEST(GridLayout, NarrowerThanTheMinimumGetsTheMinimumColumns) {
  const GridTextWidths m = Measured();
  const GridColumns g = LayOutColumns(m, 300);
  EXPECT_EQ(g.Total(), MinGridWidth(m));
  EXPECT_EQ(g.Widths[kColOrigin], MinTextColumnWidth(m));
}

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

TEST(GridLayout, HeaderLabelGivesWayBlanksFirstThenItsMiddle) {
  // One pixel per byte; "…" (3 bytes in UTF-8) counts 3.
  const auto measure = [](std::string_view t) { return static_cast<int>(t.size()); };
  const std::string label = "      Edited Text (30000)";  // 25 bytes
  EXPECT_EQ(FitHeaderLabel(label, 25, measure), label);
  EXPECT_EQ(FitHeaderLabel(label, 24, measure), "Edited Text (30000)");
  EXPECT_EQ(FitHeaderLabel(label, 19, measure), "Edited Text (30000)");
  // The words give way before the count.
  EXPECT_EQ(FitHeaderLabel(label, 18, measure), "Edited\xE2\x80\xA6 (30000)") << "no blank before the mark";
  EXPECT_EQ(FitHeaderLabel(label, 16, measure), "Edite\xE2\x80\xA6 (30000)");
  EXPECT_EQ(FitHeaderLabel(label, 12, measure), "E\xE2\x80\xA6 (30000)");
  // Too narrow even for the count: the middle goes.
  for (const int room : {11, 7}) {
    const std::string shown = FitHeaderLabel(label, room, measure);
    EXPECT_LE(measure(shown), room);
    EXPECT_GE(measure(shown), room - 1) << "as much as fits is kept";
    EXPECT_NE(shown.find("\xE2\x80\xA6"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 2), "0)") << "the count's end stays";
    EXPECT_EQ(shown[0], 'E');
  }
  EXPECT_EQ(FitHeaderLabel(label, 1, measure), "\xE2\x80\xA6") << "nothing fits: only the mark";

  // Cyrillic letters (two bytes each) are never split.
  const std::string ru = "      Редактированнный текст (5)";
  for (int room = 4; room < 40; ++room) {
    const std::string shown = FitHeaderLabel(ru, room, measure);
    EXPECT_TRUE(ValidUtf8(shown)) << room;
    EXPECT_LE(measure(shown), room);
  }
}

}  // namespace
}  // namespace velmora::ui
