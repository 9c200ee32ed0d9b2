#include "writeback/update_plan.h"

#include <array>
#include <optional>

namespace {

// A text that can serve as its column's template, and where it stands.
struct TTemplateAt {
  std::int32_t tag = 0;
  int record = -1;
  TAnchorOffset offset;
};

// One walk down rows `first`..`last` of a column, handing each row's plan to
// `emit(row, plan)`. What is asked of the records and the bounds is asked
// only where a cell needs it: a tagged cell costs one look-up, and the search
// for a template runs once an untagged cell holds text.
template <typename TEmit>
void planRows(const TStringGrid& grid, const TTextIndex& texts, const TBounds& bounds, std::int32_t col,
              std::int32_t first, std::int32_t last, TEmit emit) {
  const std::int32_t rows = grid.RowCount();
  const auto recordOf = [&](std::int32_t row) {
    const std::int32_t tag = grid.Tag(col, row);
    if (tag == 0) return -1;
    const int i = texts.findTag(tag);
    // A record index past the list: the list changed behind the index; no record then.
    return i >= 0 && static_cast<std::size_t>(i) < texts.size() ? i : -1;
  };
  const auto templateAt = [&](std::int32_t row) -> std::optional<TTemplateAt> {
    if (row < 2) return std::nullopt;
    const int k = recordOf(row);
    if (k < 0) return std::nullopt;
    const std::optional<TAnchorOffset> at = bounds.offsetInCell(texts[k].base);
    if (!at) return std::nullopt;
    return TTemplateAt{grid.Tag(col, row), k, *at};
  };

  // The first template among the rows above `first`, as they stand; looked
  // for once, when first needed.
  bool searchedAbove = false;
  std::optional<TTemplateAt> standing;
  // The first template among the rows from `first` on that the walk will
  // have passed.
  std::optional<TTemplateAt> passed;
  // The first template below the last row asked about, at `belowRow` (`rows`
  // for none); the rows between that row and it hold none, so a later row
  // above `belowRow` has the same answer and the scan only moves down.
  std::optional<TTemplateAt> below;
  std::int32_t belowRow = 0;
  const auto firstBelow = [&](std::int32_t row) {
    if (belowRow <= row) {
      below.reset();
      belowRow = rows;
      for (std::int32_t r = row + 1; r < rows; ++r) {
        if ((below = templateAt(r))) {
          belowRow = r;
          break;
        }
      }
    }
    return below;
  };

  for (std::int32_t row = first; row <= last; ++row) {
    TCellPlan plan;
    const std::int32_t tag = grid.Tag(col, row);
    const std::wstring& text = grid.Cell(col, row);
    if (tag != 0) {
      plan.record = recordOf(row);
      plan.kind = classifyCell(tag, text, plan.record < 0 ? nullptr : &texts[plan.record], false);
      if (row < last && !passed && plan.kind != TPending::Delete) passed = templateAt(row);
      emit(row, plan);
      continue;
    }
    if (!text.empty()) {
      if (!searchedAbove) {
        searchedAbove = true;
        for (std::int32_t r = 2; r < first && !standing; ++r) standing = templateAt(r);
      }
      const std::optional<TTemplateAt> above = standing ? standing : passed;
      const std::optional<TTemplateAt> found = above ? above : firstBelow(row);
      plan.kind = classifyCell(0, text, nullptr, found.has_value());
      if (found) {
        plan.record = found->record;
        plan.templateTag = found->tag;
        plan.offset = found->offset;
      }
      if (plan.kind == TPending::Add && !above && row >= 2) {
        // The new text sits at the template's offset in this cell: a template
        // for the rows after it when that place lies inside a cell. Its tag
        // and record come with the run.
        const std::array<double, 3> made{bounds.cols()[static_cast<std::size_t>(col - 1)] + found->offset.dx,
                                         bounds.rows()[static_cast<std::size_t>(row - 1)] + found->offset.dy, 0.0};
        if (const std::optional<TAnchorOffset> at = bounds.offsetInCell(made)) passed = TTemplateAt{0, -1, *at};
      }
    }
    emit(row, plan);
  }
}

}  // namespace

TPending classifyCell(std::int32_t tag, const std::wstring& text, const TMrvText* record, bool hasTemplate) {
  if (tag != 0) {
    // A tag whose record is gone, or a text as recorded, is left alone; so
    // is one whose drawing text was changed in the CAD, whatever the cell
    // holds, and it keeps a mark of its own.
    if (record == nullptr) return TPending::None;
    if (record->drawingChanged) return TPending::DrawingChanged;
    if (text == record->sText) return TPending::None;
    if (text.empty()) return TPending::Delete;
    return record->isMText && record->innerFormatting ? TPending::FormatReplaced : TPending::Edit;
  }
  if (text.empty()) return TPending::None;
  return hasTemplate ? TPending::Add : TPending::Unwritable;
}

void planColumn(const TStringGrid& grid, const TTextIndex& texts, const TBounds& bounds, std::int32_t col,
                std::int32_t first, std::int32_t last, std::vector<TCellPlan>& plans) {
  plans.resize(static_cast<std::size_t>(grid.RowCount()));
  planRows(grid, texts, bounds, col, first, last,
           [&plans](std::int32_t row, const TCellPlan& plan) { plans[static_cast<std::size_t>(row)] = plan; });
}

TCellPlan planCell(const TStringGrid& grid, const TTextIndex& texts, const TBounds& bounds, std::int32_t col,
                   std::int32_t row) {
  TCellPlan found;
  planRows(grid, texts, bounds, col, row, row, [&found](std::int32_t, const TCellPlan& plan) { found = plan; });
  return found;
}
