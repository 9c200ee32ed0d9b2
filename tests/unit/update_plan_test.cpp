// Update's plan for the cells of one column: the kind, the record, and for
// an addition the template and its offset, both as the marks see the sheet
// ahead of a run and as the walk finds a cell when it reaches it.
#include "writeback/update_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table/cell_tag.h"

namespace {

constexpr std::int32_t kLastRow = 5;
// Where every drawing text stands in its cell, unless it is put on a rule.
constexpr TAnchorOffset kInside{1.5, -6.0};

struct TRow {
  bool tagged = false;
  std::wstring recorded;  // the record's text
  std::wstring shown;     // the cell's text
  bool onRule = false;    // the record's anchor lies on the cell's left rule
  bool drawingChanged = false;
  bool mtext = false;
  bool inner = false;  // the MTEXT's content carries codes an edit cannot keep
};

struct TExpected {
  std::int32_t row = 0;
  TPending kind = TPending::None;
  // Add: the row whose text is the template; -1 for a text the run makes.
  std::int32_t templateRow = 0;
};

std::int32_t tagOf(std::int32_t row) { return 0x100 + row; }

TEST(UpdatePlan, EachCellsKindRecordAndTemplate) {
  const TRow none;
  const TRow unchanged{true, L"t", L"t"};
  const TRow emptied{true, L"t", L""};
  const struct {
    const char* name;
    std::vector<TRow> rows;  // rows 1 .. kLastRow
    std::int32_t first;      // 1: the sheet ahead of a run; else the walk reaching that row
    std::vector<TExpected> expected;  // the rows not named are None
  } cases[] = {
      {"edits, deletions and drawing changes name their own records",
       {{true, L"a", L"A"}, emptied, unchanged, {true, L"d", L"x", false, true}, none},
       1,
       {{1, TPending::Edit}, {2, TPending::Delete}, {4, TPending::DrawingChanged}}},
      {"an untagged text takes the first template from row 2 down",
       {{false, L"", L"new"}, unchanged, unchanged, none, {false, L"", L"more"}},
       1,
       {{1, TPending::Add, 2}, {5, TPending::Add, 2}}},
      {"row 1 is never a template, nor a text anchored on a rule",
       {unchanged, {true, L"t", L"t", true}, {false, L"", L"x"}, none, none},
       1,
       {{3, TPending::Unwritable}}},
      {"a text erased above a new one is no template; one below still is",
       {none, emptied, {false, L"", L"x"}, unchanged, none},
       1,
       {{2, TPending::Delete}, {3, TPending::Add, 4}}},
      {"a text added above serves the rows after it",
       {none, {false, L"", L"a"}, {false, L"", L"b"}, unchanged, none},
       1,
       {{2, TPending::Add, 4}, {3, TPending::Add, -1}}},
      {"a changed text in the drawing is still a template",
       {{false, L"", L"new"}, {true, L"d", L"x", false, true}, unchanged, none, none},
       1,
       {{1, TPending::Add, 2}, {2, TPending::DrawingChanged}}},
      // Rows above the cell the walk reaches are as it left them: a deletion
      // it skipped (the text was gone from the drawing) keeps its tag.
      {"the walk takes the rows it has passed as they stand",
       {none, emptied, {false, L"", L"x"}, unchanged, none},
       3,
       {{3, TPending::Add, 2}}},
      {"an MTEXT whose formatting an edit replaces stays its column's template",
       {none, {true, L"b", L"B", false, false, true, true}, {false, L"", L"x"}, none, none},
       1,
       {{2, TPending::FormatReplaced}, {3, TPending::Add, 2}}},
      {"the walk finds a template below when none stands above",
       {none, none, {false, L"", L"x"}, none, unchanged},
       3,
       {{3, TPending::Add, 5}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TBounds bounds{{0.0, 10.0}, {0.0, -10.0, -20.0, -30.0, -40.0, -50.0}};
    TStringGrid grid;
    grid.setRowCount(kLastRow + 1);
    grid.setColCount(2);
    TTextAry records;
    for (std::int32_t row = 1; row <= kLastRow; ++row) {
      const TRow& r = c.rows[static_cast<std::size_t>(row - 1)];
      grid.setCell(1, row, r.shown);
      if (!r.tagged) continue;
      TMrvText record;
      record.base = {r.onRule ? 0.0 : kInside.dx, -10.0 * (row - 1) + kInside.dy, 0.0};
      record.sText = r.recorded;
      record.sHandle = handleString(tagOf(row));
      record.drawingChanged = r.drawingChanged;
      record.isMText = r.mtext;
      record.innerFormatting = r.inner;
      records.push_back(record);
      grid.setTag(1, row, tagOf(row));
    }
    const TTextIndex index(records);

    std::vector<TCellPlan> plans;
    if (c.first == 1) {
      planColumn(grid, index, bounds, 1, 1, kLastRow, plans);
    } else {
      plans.resize(kLastRow + 1);
      plans[static_cast<std::size_t>(c.first)] = planCell(grid, index, bounds, 1, c.first);
    }
    for (std::int32_t row = c.first; row <= (c.first == 1 ? kLastRow : c.first); ++row) {
      SCOPED_TRACE("row " + std::to_string(row));
      TExpected want{row};
      for (const TExpected& e : c.expected) {
        if (e.row == row) want = e;
      }
      const TCellPlan& plan = plans[static_cast<std::size_t>(row)];
      EXPECT_EQ(plan.kind, want.kind);
      switch (want.kind) {
        case TPending::Edit:
        case TPending::FormatReplaced:
        case TPending::Delete:
        case TPending::DrawingChanged:
          EXPECT_EQ(plan.record, index.findTag(tagOf(row)));
          EXPECT_GE(plan.record, 0);
          break;
        case TPending::Add:
          EXPECT_EQ(plan.offset, kInside);
          EXPECT_EQ(plan.templateTag, want.templateRow < 0 ? 0 : tagOf(want.templateRow));
          EXPECT_EQ(plan.record, want.templateRow < 0 ? -1 : index.findTag(tagOf(want.templateRow)));
          break;
        case TPending::None:
        case TPending::Unwritable:
          EXPECT_EQ(plan.templateTag, 0);
          break;
      }
    }
  }
}

}  // namespace
