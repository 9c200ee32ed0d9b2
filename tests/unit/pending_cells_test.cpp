// The marks: what Update would do to each cell, checked against what Update
// then does to the fake drawing, for a table of cases and runs that stop
// part-way; the look and the status note they give.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/pending_look.h"
#include "writeback/pending_cells.h"
#include "writeback/update.h"
#include "table_access.h"
#include "writeback_fixture.h"

namespace {

using TKinds = std::map<std::pair<int, int>, TPending>;  // (col, row) -> kind; absent: None

class PendingCellsTest : public TWritebackTest {
 protected:
  TPending kind(int c, int r) { return form->table().pending.kindOf(c, r); }
  TKinds kinds() {
    TKinds out;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        if (kind(c, r) != TPending::None) out[{c, r}] = kind(c, r);
      }
    }
    return out;
  }
  static TPendingCounts countsOf(const TKinds& kinds) {
    TPendingCounts counts;
    for (const auto& [cell, k] : kinds) {
      counts.edits += k == TPending::Edit ? 1 : 0;
      counts.additions += k == TPending::Add ? 1 : 0;
      counts.deletions += k == TPending::Delete ? 1 : 0;
      counts.unwritable += k == TPending::Unwritable ? 1 : 0;
    }
    return counts;
  }
  // Runs Update and checks that it did exactly what the marks said: its
  // counts, each marked cell's outcome, and afterwards only the cells it
  // cannot write still marked.
  void expectUpdateAgrees() {
    const TKinds before = kinds();
    const TPendingCounts predicted = form->table().pending.counts();
    ASSERT_EQ(predicted, countsOf(before));
    std::map<std::pair<int, int>, std::int32_t> tags;
    for (const auto& [cell, k] : before) tags[cell] = grid().Tag(cell.first, cell.second);
    form->Memo1.clear();
    form->Button2.Click();
    ASSERT_EQ(form->Memo1.Lines().size(), 1u);
    EXPECT_EQ(form->Memo1.Lines()[0], updateLogLine({predicted.edits, predicted.additions, predicted.deletions}));
    for (const auto& [cell, k] : before) {
      const auto [c, r] = cell;
      SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
      switch (k) {
        case TPending::Edit:
          EXPECT_EQ(grid().Tag(c, r), tags[cell]);
          ASSERT_NE(entity(handleOf(c, r)), nullptr);
          EXPECT_EQ(entity(handleOf(c, r))->text, grid().Cell(c, r));
          break;
        case TPending::Delete:
          EXPECT_EQ(grid().Tag(c, r), 0);
          break;
        case TPending::Add:
          ASSERT_NE(grid().Tag(c, r), 0);
          EXPECT_EQ(entity(handleOf(c, r))->text, grid().Cell(c, r));
          break;
        case TPending::Unwritable:
          EXPECT_EQ(grid().Tag(c, r), 0);
          EXPECT_TRUE(liveTexts(grid().Cell(c, r)).empty());
          break;
        case TPending::DrawingChanged:  // no text is changed in the CAD here
          ADD_FAILURE() << "marked as changed in the drawing";
          break;
        case TPending::FormatReplaced:  // nor is there an MTEXT
          ADD_FAILURE() << "marked as replacing MTEXT formatting";
          break;
        case TPending::None:
          break;
      }
    }
    TKinds left;
    for (const auto& [cell, k] : before) {
      if (k == TPending::Unwritable) left[cell] = k;
    }
    EXPECT_EQ(kinds(), left);
    expectConsistent();
  }
};

constexpr TPending E = TPending::Edit;
constexpr TPending A = TPending::Add;
constexpr TPending D = TPending::Delete;
constexpr TPending U = TPending::Unwritable;

TEST_F(PendingCellsTest, EachCellIsMarkedWithWhatUpdateThenDoesToIt) {
  const struct {
    const char* name;
    std::vector<std::pair<int, int>> empty;  // cells without a drawing text at Acquire
    std::vector<std::tuple<int, int, std::wstring>> edits;
    TKinds expected;
  } cases[] = {
      {"each kind, and a text as recorded",
       {},
       {{1, 1, L"R1C1"}, {2, 1, L"r1c2 "}, {1, 2, L""}, {3, 1, L"x"}, {2, 2, L"r2c2"}, {3, 4, L""}},
       {{{1, 1}, E}, {{2, 1}, E}, {{1, 2}, D}, {{3, 1}, U}}},
      {"a column whose only text is in row 1 has no template, though it is not greyed",
       {{2, 2}, {2, 3}, {2, 4}},
       {{2, 3, L"new"}, {2, 1, L"changed"}},
       {{{2, 3}, U}, {{2, 1}, E}}},
      {"a new text in row 1 takes its template from below", {{1, 1}}, {{1, 1, L"new"}}, {{{1, 1}, A}}},
      {"the only template, erased above a new text, is gone when Update reaches it",
       {{1, 3}, {1, 4}},
       {{1, 2, L""}, {1, 4, L"new"}, {1, 1, L""}},
       {{{1, 2}, D}, {{1, 4}, U}, {{1, 1}, D}}},
      {"a text added above the template's erasure serves the rows after it",
       {{1, 2}, {1, 4}},
       {{1, 2, L"a"}, {1, 3, L""}, {1, 4, L"b"}},
       {{{1, 2}, A}, {{1, 3}, D}, {{1, 4}, A}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cad = TFakeCad();
    form = std::make_unique<TMorvaneForm>(TMorvanePorts{desktop, cad, metrics});
    form->Window.Handle = kOwnWindow;
    addCadWindow(desktop, cad);
    acquire(c.empty);
    EXPECT_TRUE(kinds().empty());
    for (const auto& [col, row, text] : c.edits) set(col, row, text);
    EXPECT_EQ(kinds(), c.expected);
    expectUpdateAgrees();
  }
}

TEST_F(PendingCellsTest, ATemplateAnchoredOnALineIsNoneAndARecordChangedBehindTheIndexCountsAfterReset) {
  acquire({{2, 2}, {2, 3}});
  const int onLine = findTextByHandle(form->table().TextAry, handleOf(2, 4));
  TTableAccess::of(*form).TextAry[static_cast<std::size_t>(onLine)].base[0] = kCellW;
  TTableAccess::of(*form).pending.reset();
  set(2, 2, L"a");
  EXPECT_EQ(kind(2, 2), U);
  TTableAccess::of(*form).TextAry[static_cast<std::size_t>(onLine)].base[0] = kCellW + 2.0;
  TTableAccess::of(*form).pending.reset();
  set(2, 3, L"b");
  EXPECT_EQ(kinds(), (TKinds{{{2, 2}, A}, {{2, 3}, A}}));
  expectUpdateAgrees();
}

// A run that stops part-way leaves marked exactly the cells it did not
// write; a cell skipped because its text was erased in the drawing stays marked.
TEST_F(PendingCellsTest, AfterARunThatStopsTheMarksShowWhatIsLeft) {
  acquire({{2, 1}});
  for (TFakeEntity& e : cad.doc().entities) {
    if (e.handle == handleOf(1, 4)) e.erased = true;
  }
  set(1, 1, L"one");    // edit, written
  set(2, 1, L"two");    // addition, written
  set(3, 1, L"x");      // cannot be written
  set(2, 2, L"");       // deletion: the erase fails
  set(2, 3, L"four");   // edit after the failure
  set(1, 4, L"gone");   // edit of an erased text
  EXPECT_EQ(pendingStatusText(form->table().pending.counts()), L"編集 3 / 追加 1 / 削除 1 / 不可 1");
  cad.failOn(L"Text.Erase", L"CAD が応答しません");
  form->Button2.Click();
  EXPECT_EQ(kinds(), (TKinds{{{3, 1}, U}, {{2, 2}, D}, {{2, 3}, E}, {{1, 4}, E}}));
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 2 / 追加 0 / 削除 1 / 不可 1");

  cad.clearFaults();
  form->Button2.Click();
  EXPECT_EQ(kinds(), (TKinds{{{3, 1}, U}, {{1, 4}, E}}));
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 1 / 追加 0 / 削除 0 / 不可 1");
}

// The look: each kind in its colour, the text kept clear of the mark, and
// the greyed column, the header fill and the highlight kept as they were.
TEST_F(PendingCellsTest, MarkedCellsKeepTheirLookAndTheirTextStopsShortOfTheMark) {
  acquire();
  set(1, 1, L"edited");
  set(2, 1, L"");
  set(3, 2, L"x");
  const TCellRect rect{100, 40, 160, 60};
  TDrawState selected;
  selected.selected = true;
  const TCellLook edit = form->StringGrid1DrawCell(1, 1, rect, selected);
  EXPECT_TRUE(edit.mark);
  EXPECT_EQ(edit.markColor, kMarkEdit);
  EXPECT_EQ(edit.fill, TCellFill::Highlight);
  EXPECT_EQ(edit.textRect, (TCellRect{100 + kTextMargin, 40, 160 - kMarkSize, 60}));
  EXPECT_EQ(form->StringGrid1DrawCell(2, 1, rect, {}).markColor, kMarkDelete);
  const TCellLook unwritable = form->StringGrid1DrawCell(3, 2, rect, selected);
  EXPECT_EQ(unwritable.markColor, kMarkUnwritable);
  EXPECT_EQ(unwritable.fill, TCellFill::ButtonFace);  // the greyed column stays grey
  EXPECT_EQ(unwritable.fillRect, (TCellRect{96, 40, 161, 61}));
  EXPECT_EQ(unwritable.textRect, (TCellRect{100, 40, 160 - kMarkSize, 60}));
  const TCellLook plain = form->StringGrid1DrawCell(1, 2, rect, {});
  EXPECT_FALSE(plain.mark);
  EXPECT_EQ(plain.textRect, (TCellRect{100 + kTextMargin, 40, 160, 60}));
  EXPECT_FALSE(form->StringGrid1DrawCell(0, 1, rect, {}).mark);
  // Row 1 is written by Update also while it is a fixed row.
  form->CheckBox1.setChecked(true);
  const TCellLook fixedRow = form->StringGrid1DrawCell(1, 1, rect, {});
  EXPECT_EQ(fixedRow.fill, TCellFill::Header);
  EXPECT_EQ(fixedRow.markColor, kMarkEdit);
  EXPECT_NE(kMarkUnwritable, kMarkEdit);
  EXPECT_NE(kMarkUnwritable, kMarkAdd);
  EXPECT_NE(kMarkUnwritable, kMarkDelete);
}

// Edits by the user's commands move the counts as they go, paste and undo included.
TEST_F(PendingCellsTest, TheStatusNoteFollowsPasteUndoAndDeleteAndIsEmptyWhenNothingIsPending) {
  acquire();
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"");
  grid().setSelection({1, 1}, {1, 1});
  desktop.clipboard = L"a\tb\tc\r\n";
  std::uint16_t key = 'V';
  form->StringGrid1KeyDown(key, TShiftState{false, true, false});
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 2 / 追加 0 / 削除 0 / 不可 1");
  grid().setSelection({1, 2}, {2, 3});
  key = 0x2E;  // Delete
  form->StringGrid1KeyDown(key, {});
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 2 / 追加 0 / 削除 4 / 不可 1");
  key = 'Z';
  form->StringGrid1KeyDown(key, TShiftState{false, true, false});
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 2 / 追加 0 / 削除 0 / 不可 1");
  // Each further undo takes back one cell of the paste, the last one first.
  key = 'Z';
  form->StringGrid1KeyDown(key, TShiftState{false, true, false});
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"編集 2 / 追加 0 / 削除 0 / 不可 0");
  for (int i = 0; i < 2; ++i) {
    key = 'Z';
    form->StringGrid1KeyDown(key, TShiftState{false, true, false});
  }
  form->showPendingCounts();
  EXPECT_EQ(form->StatusBar1.Panel(2), L"");
}

// The cache follows every change: a cell's column is worked out again, a
// resized sheet from scratch, and writes through the index at once.
TEST_F(PendingCellsTest, TheCachedClassificationFollowsCellsResizesAndRecordWrites) {
  acquire();
  EXPECT_EQ(form->table().pending.counts().total(), 0);
  set(2, 3, L"changed");
  EXPECT_EQ(kind(2, 3), E);
  grid().setColCount(kCols + 2);
  set(4, 2, L"new column");
  EXPECT_EQ(kind(4, 2), U);
  EXPECT_EQ(form->table().pending.counts(), (TPendingCounts{1, 0, 0, 1}));
  const int record = form->table().index.findTag(grid().Tag(2, 3));
  TTableAccess::of(*form).index.setText(record, L"changed");
  EXPECT_EQ(kind(2, 3), TPending::None);
  EXPECT_EQ(kind(9, 9), TPending::None);
  EXPECT_EQ(pendingStatusText({3, 1, 0, 1}), L"編集 3 / 追加 1 / 削除 0 / 不可 1");
}

}  // namespace
