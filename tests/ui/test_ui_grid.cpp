// The phrase grid's rules: filters, selection restoring, header counts,
// cell contents and the mouse's toggles.
#include <gtest/gtest.h>

#include "support/UiTestSupport.h"
#include "ui/logic/grid/PhraseGrid.h"

namespace velmora::ui {
namespace {

using testing::TableBuilder;

// 0 plain, 1 hidden, 2 link to 0, 3 edited+ON, 4 edited (ON clear),
// 5 ON without text (damaged), 6 hidden+edited+ON, 7 plain.
PhraseTable MixedTable() {
  PhraseTable t;
  TableBuilder()
      .Add("Alpha")
      .Add("Beta", pfHide)
      .AddLink(0)
      .Add("Gamma", pfOn, "Gamma-ed")
      .Add("Delta", 0, "Delta-ed")
      .Add("Epsilon", pfOn)
      .Add("Zeta", pfHide | pfOn, "Zeta-ed")
      .Add("Eta")
      .Fill(t);
  return t;
}

struct FilterCase {
  GridFilter filter;
  std::vector<int32_t> rows;
  size_t editedCount;
};

class GridFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(GridFilterTest, ShowsTheRowsTheFilterLetsThrough) {
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.OriginHeader = "O";
  grid.EditedHeader = "E";
  grid.ResetGrid();
  grid.SetFilter(GetParam().filter);
  grid.RefillGrid();
  EXPECT_EQ(grid.VisibleRows(), GetParam().rows);
  EXPECT_EQ(grid.RowCount(), 1 + static_cast<int>(GetParam().rows.size()));
  EXPECT_EQ(grid.HeaderTexts()[kColOrigin], "O (" + std::to_string(GetParam().rows.size()) + ")");
  EXPECT_EQ(grid.HeaderTexts()[kColEdited], "E (" + std::to_string(GetParam().editedCount) + ")");
}

INSTANTIATE_TEST_SUITE_P(
    Filters, GridFilterTest,
    ::testing::Values(
        // Link records never show.
        FilterCase{GridFilter::NoFilter, {0, 1, 3, 4, 5, 6, 7}, 3},
        FilterCase{GridFilter::NoHidden, {0, 3, 4, 5, 7}, 2},
        // Only Edited leaves out phrase 5 although its ON bit is set.
        FilterCase{GridFilter::OnlyEdited, {3, 4, 6}, 3},
        // Final Result shows phrase 6 although it is hidden.
        FilterCase{GridFilter::FinalResult, {3, 5, 6}, 2}));

TEST(PhraseGrid, AllLinkRecordsShowNoRowAndCountZero) {
  PhraseTable t;
  TableBuilder().Add("Only").AddLink(0).AddLink(0).Fill(t);
  t.Phrases[0].Flags = pfLink;  // even the first is a link record now
  t.Phrases[0].MasterIndex = 0;
  PhraseGrid grid(t);
  grid.OriginHeader = "O";
  grid.EditedHeader = "E";
  grid.RefillGrid();
  EXPECT_TRUE(grid.VisibleRows().empty());
  EXPECT_EQ(grid.SelectedRow(), 0);
  EXPECT_EQ(grid.HeaderTexts()[kColOrigin], "O (0)");
  EXPECT_EQ(grid.HeaderTexts()[kColEdited], "E (0)");
}

TEST(PhraseGrid, ResetGridWritesFixedHeadersAndEmptiesTextBoxes) {
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.RefillGrid();
  grid.SelectCell(2);
  ASSERT_EQ(grid.Memo1(), "Beta");
  grid.ResetGrid();
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_EQ(grid.Memo1(), "");
  EXPECT_EQ(grid.MemoColour(), MemoBackground::ButtonFace);
  const std::array<std::string, 7> expected = {" Index", " HIDE", " (0)", "  ON", " (0)", "Link Address", "String Address"};
  EXPECT_EQ(grid.HeaderTexts(), expected);
}

TEST(PhraseGrid, RefillTurnsTheTextBoxesBlackAndSelectsTheFirstRowWithoutShowingIt) {
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.ResetGrid();
  grid.RefillGrid();
  EXPECT_EQ(grid.MemoColour(), MemoBackground::Black);
  EXPECT_EQ(grid.SelectedRow(), 1);
  EXPECT_EQ(grid.Memo1(), "");
  EXPECT_EQ(grid.Memo2(), "");
}

// A table of 40 plain phrases; every third one (0, 3, 6, ...) hidden.
PhraseTable LongTable() {
  PhraseTable t;
  TableBuilder b;
  for (int i = 0; i < 40; ++i) b.Add("Phrase " + std::to_string(i), i % 3 == 0 ? pfHide : 0);
  b.Fill(t);
  return t;
}

struct RestoreCase {
  const char* name;
  int selectedRow;      // grid row selected before the switch (NoFilter)
  int topRow;           // first data row on screen before the switch
  GridFilter newFilter;
  int expectSelected;   // grid row selected after
  int expectTop;        // top row after
  const char* expectMemo1;
};

class RestoreTest : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(RestoreTest, KeepsThePhraseAtTheSameDistanceFromTheTop) {
  const RestoreCase& c = GetParam();
  PhraseTable t = LongTable();
  PhraseGrid grid(t);
  grid.RefillGrid();
  grid.SetTopRow(c.topRow);
  grid.SelectCell(c.selectedRow);
  grid.SetFilter(c.newFilter);
  grid.RefillGrid();
  EXPECT_EQ(grid.SelectedRow(), c.expectSelected);
  EXPECT_EQ(grid.TopRow(), c.expectTop);
  EXPECT_EQ(grid.Memo1(), c.expectMemo1);
}

INSTANTIATE_TEST_SUITE_P(
    Selection, RestoreTest,
    ::testing::Values(
        // Row 21 = phrase 20 (shown under No Hidden at position 13), 4 rows below the top.
        RestoreCase{"kept", 21, 17, GridFilter::NoHidden, 14, 10, "Phrase 20"},
        // Phrase 4 stays shown: position 2, offset 3 -> top stays 1.
        RestoreCase{"near_top", 5, 2, GridFilter::NoHidden, 3, 1, "Phrase 4"},
        // Phrase 21 is hidden: the nearest lower shown phrase is 20.
        RestoreCase{"nearest_lower", 22, 20, GridFilter::NoHidden, 14, 12, "Phrase 20"},
        // Phrase 0 is hidden and nothing lower exists: first row, empty boxes.
        RestoreCase{"none_lower", 1, 1, GridFilter::NoHidden, 1, 1, ""},
        // The first data row selected: nothing is restored, even for a shown phrase.
        RestoreCase{"first_row", 1, 1, GridFilter::NoFilter, 1, 1, ""},
        // Row 2 (phrase 1) is restored; it is the first row now.
        RestoreCase{"second_row", 2, 1, GridFilter::NoHidden, 1, 1, "Phrase 1"}),
    [](const ::testing::TestParamInfo<RestoreCase>& p) { return std::string(p.param.name); });

TEST(PhraseGrid, NothingIsRestoredWhenNoLowerPhraseIsShown) {
  PhraseTable t = LongTable();
  PhraseGrid grid(t);
  grid.RefillGrid();
  grid.SelectCell(3);  // phrase 2
  // Give only phrases above 2 an edited text.
  t.AppendEditedText(30, "x");
  grid.SetFilter(GridFilter::OnlyEdited);
  grid.RefillGrid();
  EXPECT_EQ(grid.VisibleRows(), std::vector<int32_t>{30});
  EXPECT_EQ(grid.SelectedRow(), 1);
  EXPECT_EQ(grid.Memo1(), "");
}

TEST(PhraseGrid, CellsFollowTheFlagsAndTexts) {
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.RefillGrid();  // rows: 0, 1, 3, 4, 5, 6, 7

  const CellInfo index = grid.Cell(kColIndex, 2);  // phrase 1 (hidden)
  EXPECT_EQ(index.Plain, "1");
  EXPECT_FALSE(index.Silver) << "the index cell has no override";
  for (int col : {kColOrigin, kColLinkAddress, kColStringAddress}) EXPECT_TRUE(grid.Cell(col, 2).Silver) << col;
  EXPECT_TRUE(grid.Cell(kColHide, 2).IsCheckBox);
  EXPECT_TRUE(grid.Cell(kColHide, 2).Checked);
  EXPECT_FALSE(grid.Cell(kColOrigin, 1).Silver);

  EXPECT_EQ(grid.Cell(kColOrigin, 3).Bytes, "Gamma");
  EXPECT_EQ(grid.Cell(kColEdited, 3).Bytes, "Gamma-ed");
  EXPECT_FALSE(grid.Cell(kColEdited, 3).Silver) << "ON: the edited text is used";
  EXPECT_TRUE(grid.Cell(kColEdited, 4).Silver) << "edited text switched off";
  EXPECT_TRUE(grid.Cell(kColEdited, 4).HasText);
  EXPECT_FALSE(grid.Cell(kColEdited, 1).HasText) << "no edited text: only filled";
  EXPECT_TRUE(grid.Cell(kColOn, 3).Checked);

  EXPECT_EQ(grid.Cell(kColLinkAddress, 1).Plain, " 0x00000080");
  EXPECT_EQ(AddressText(0xDEADBEEF), " 0xDEADBEEF");
}

TEST(PhraseGrid, SelectCellShowsTheTextsWithTheirLineBreaks) {
  PhraseTable t;
  TableBuilder().Add("Two\r\nlines", 0, "Zwei\nZeilen").Add("x").Fill(t);
  PhraseGrid grid(t);
  grid.RefillGrid();
  grid.SelectCell(1);
  EXPECT_EQ(grid.Memo1(), "Two\r\nlines");
  EXPECT_EQ(grid.Memo2(), "Zwei\nZeilen");
  grid.SelectCell(2);
  EXPECT_EQ(grid.Memo2(), "");
  grid.SelectCell(0);
  EXPECT_EQ(grid.Memo1(), "");
}

struct PressCase {
  const char* name;
  int phrase;  // in MixedTable
  int col;
  PressResult result;
  uint16_t flagsAfter;
};

class PressTest : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressTest, TogglesOrAsksForTheEditor) {
  const PressCase& c = GetParam();
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.OriginHeader = "O";
  grid.EditedHeader = "E";
  grid.RefillGrid();
  const auto headers = grid.HeaderTexts();
  const auto& rows = grid.VisibleRows();
  const int row = static_cast<int>(std::find(rows.begin(), rows.end(), c.phrase) - rows.begin()) + 1;
  EXPECT_EQ(grid.MouseDown(c.col, row), c.result);
  EXPECT_EQ(t.Phrases[static_cast<size_t>(c.phrase)].Flags, c.flagsAfter);
  EXPECT_EQ(grid.SelectedRow(), row);
  EXPECT_EQ(grid.HeaderTexts(), headers) << "a toggle does not recount";
  EXPECT_EQ(grid.VisibleRows().size(), 7u) << "a toggle does not refill";
}

INSTANTIATE_TEST_SUITE_P(
    Presses, PressTest,
    ::testing::Values(PressCase{"hide_plain", 0, kColHide, PressResult::ToggledHide, pfHide},
                      PressCase{"unhide", 1, kColHide, PressResult::ToggledHide, 0},
                      PressCase{"hide_with_text_refused", 3, kColHide, PressResult::Nothing, pfOn},
                      PressCase{"on_off", 3, kColOn, PressResult::ToggledOn, 0},
                      PressCase{"on_on", 4, kColOn, PressResult::ToggledOn, pfOn},
                      PressCase{"on_without_text_opens_editor", 0, kColOn, PressResult::EditAction, 0},
                      PressCase{"edited_column_opens_editor", 0, kColEdited, PressResult::EditAction, 0},
                      PressCase{"origin_column_nothing", 0, kColOrigin, PressResult::Nothing, 0},
                      PressCase{"damaged_on_cleared", 5, kColOn, PressResult::ToggledOn, 0}),
    [](const ::testing::TestParamInfo<PressCase>& p) { return std::string(p.param.name); });

TEST(PhraseGrid, PressOnHeaderOrPastTheLastRowDoesNothing) {
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.RefillGrid();
  const auto before = t.Phrases;
  EXPECT_EQ(grid.MouseDown(kColHide, 0), PressResult::Nothing);
  EXPECT_EQ(grid.MouseDown(kColHide, 8), PressResult::Nothing);
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(t.Phrases[i].Flags, before[i].Flags);
}

TEST(PhraseGrid, AHiddenPhraseStaysInViewUntilTheNextRefill) {
  PhraseTable t = MixedTable();
  PhraseGrid grid(t);
  grid.SetFilter(GridFilter::NoHidden);
  grid.RefillGrid();
  ASSERT_EQ(grid.PhraseOfRow(1), 0);
  ASSERT_EQ(grid.MouseDown(kColHide, 1), PressResult::ToggledHide);
  EXPECT_EQ(grid.PhraseOfRow(1), 0);
  grid.RefillGrid();
  EXPECT_NE(grid.PhraseOfRow(1), 0);
}

}  // namespace
}  // namespace velmora::ui
