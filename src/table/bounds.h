#pragma once
// Row and column boundaries of a drawn table, derived from its ruling lines,
// and the cell a point of the drawing lies in.
#include <array>
#include <cstdint>
#include <optional>

#include "table/mrv_records.h"

// A point's offset from the top-left corner of the cell holding it: dx is
// positive, dy negative (drawing y grows upwards).
struct TAnchorOffset {
  double dx = 0.0;
  double dy = 0.0;
  bool operator==(const TAnchorOffset&) const = default;
};

// The column boundaries (x of the vertical rules, ascending) and the row
// boundaries (y of the horizontal rules, descending, top of the table
// first). Sheet column c spans cols[c-1]..cols[c], sheet row r spans
// rows[r-1] (top) down to rows[r] (bottom). The arrays are only ever set as a
// whole, so that whether each is in order, which lets a lookup halve rather
// than scan, is worked out once per assignment and never goes stale.
class TBounds {
 public:
  TBounds() = default;
  TBounds(TDblAry cols, TDblAry rows);

  const TDblAry& cols() const { return FCols; }
  const TDblAry& rows() const { return FRows; }
  void assign(TDblAry cols, TDblAry rows);
  // A table to fill: at least two boundaries each way.
  bool spansCells() const { return FCols.size() >= 2 && FRows.size() >= 2; }

  // The first k with cols[k] < x < cols[k+1]; -1 when there are fewer than
  // two boundaries or no interval holds x. Every comparison is strict: a
  // point on a rule lies in no cell.
  std::int32_t columnOf(double x) const;
  // The first k with rows[k+1] < y < rows[k]; -1 likewise.
  std::int32_t rowOf(double y) const;
  // The offset of `point` (x, y; z ignored) from the top-left corner of the
  // cell it lies strictly inside; none when it lies in no cell.
  std::optional<TAnchorOffset> offsetInCell(const std::array<double, 3>& point) const;

  bool operator==(const TBounds& other) const { return FCols == other.FCols && FRows == other.FRows; }

 private:
  TDblAry FCols;
  TDblAry FRows;
  // Non-decreasing cols, non-increasing rows: the open intervals between
  // neighbours are then disjoint, so the one holding a value is found by
  // halving and is the one a scan finds first. A NaN among the values
  // breaks the order and leaves the scan to answer.
  bool FColsOrdered = true;
  bool FRowsOrdered = true;
};

// Replaces the column boundaries with the x of every vertical line and the
// row boundaries with the y of every horizontal line of `lines`, in list
// order. A line is vertical when its ends differ by less than `tolerance` in
// x (tested first), else horizontal when they differ by less than
// `tolerance` in y; others add nothing. With no lines at all the bounds keep
// what they held.
void collectBounds(const TLineAry& lines, double tolerance, TBounds& bounds);

// Sorts the columns ascending and the rows descending and drops every value
// that lies within `tolerance` of the last value kept. Arrays of fewer than
// two values are left alone.
void sortBounds(double tolerance, TBounds& bounds);
