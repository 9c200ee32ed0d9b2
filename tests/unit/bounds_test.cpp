// Row and column boundaries from the ruling lines of a drawn table, and the
// cell a point lies in.
#include "table/bounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "random_bounds.h"

namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

TMrvLine line(double x1, double y1, double x2, double y2) { return {{x1, y1, 0.0}, {x2, y2, 0.0}}; }
TMrvLine vertical(double x, double y1 = 0.0, double y2 = 40.0) { return line(x, y1, x, y2); }
TMrvLine horizontal(double y, double x1 = 0.0, double x2 = 100.0) { return line(x1, y, x2, y); }

TBounds rebuild(const TLineAry& lines, double tolerance) {
  TBounds b;
  collectBounds(lines, tolerance, b);
  sortBounds(tolerance, b);
  return b;
}

TBounds sorted(TDblAry cols, TDblAry rows, double tolerance) {
  TBounds b{std::move(cols), std::move(rows)};
  sortBounds(tolerance, b);
  return b;
}

TEST(CollectBounds, ClassifiesLinesVerticalFirstWithStrictTests) {
  // Differences of exactly the tolerance are exact in binary (0.25).
  TBounds b{{99.0}, {99.0}};
  const TLineAry lines{
      vertical(10.0),
      horizontal(50.0),
      line(0.0, 0.0, 30.0, 20.0),        // oblique: nothing
      line(5.0, 5.0, 5.125, 5.125),      // shorter than the tolerance both ways: vertical
      line(20.0, 7.0, 20.25, 30.0),      // |dx| equals the tolerance: neither
      line(0.0, 8.0, 60.0, 8.25),        // |dy| equals the tolerance: neither
      line(0.0, 3.0, 0.25, 3.0),         // |dx| equals the tolerance, flat: horizontal
      line(30.0, 12.0, 70.0, 12.125),    // horizontal, the start point's y taken
      line(40.125, 1.0, 40.0, 39.0),     // vertical, the start point's x taken
  };
  collectBounds(lines, 0.25, b);
  EXPECT_EQ(b.cols(), (TDblAry{10.0, 5.0, 40.125}));
  EXPECT_EQ(b.rows(), (TDblAry{50.0, 3.0, 12.0}));
}

TEST(CollectBounds, EmptyLineListKeepsThePreviousArrays) {
  TBounds b{{1.0, 2.0}, {9.0, 3.0}};
  collectBounds({}, 0.1, b);
  EXPECT_EQ(b, (TBounds{{1.0, 2.0}, {9.0, 3.0}}));
}

TEST(CollectBounds, ZeroNegativeOrNanToleranceFindsNothing) {
  const TLineAry lines{vertical(10.0), horizontal(5.0), line(3.0, 3.0, 3.0, 3.0)};
  for (const double tol : {0.0, -1.0, kNan}) {
    TBounds b{{1.0, 2.0}, {9.0, 3.0}};
    collectBounds(lines, tol, b);
    EXPECT_TRUE(b.cols().empty()) << tol;
    EXPECT_TRUE(b.rows().empty()) << tol;
  }
}

TEST(SortBounds, SortsAndMergesAgainstTheLastKeptValue) {
  const struct {
    const char* name;
    TDblAry cols, rows;
    double tolerance;
    TDblAry expectedCols, expectedRows;
  } cases[] = {
      {"each value is measured from the last kept one", {0.18, 0.0, 0.12, 0.06}, {-0.06, 0.0, -0.18, -0.12}, 0.1,
       {0.0, 0.12}, {0.0, -0.12}},
      {"a difference equal to the tolerance is merged", {0.0, 0.5, 1.0}, {1.0, 0.5, 0.0}, 0.5, {0.0, 1.0}, {1.0, 0.0}},
      {"short arrays are left alone", {5.0}, {}, 0.1, {5.0}, {}},
      {"NaN values neither crash nor survive", {3.0, kNan, 1.0, kNan, 2.0}, {kNan, 1.0, 3.0}, 0.1,
       {1.0, 2.0, 3.0}, {3.0, 1.0}},
      // What Acquire does when nothing new was selected: the kept arrays are
      // merged again under the tolerance now set.
      {"a second merge with a larger tolerance merges further", {0.0, 0.12, 0.3, 10.0}, {10.0, 9.8, 0.0}, 0.25,
       {0.0, 0.3, 10.0}, {10.0, 0.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TBounds b = sorted(c.cols, c.rows, c.tolerance);
    EXPECT_EQ(b.cols(), c.expectedCols);
    EXPECT_EQ(b.rows(), c.expectedRows);
  }
}

TEST(SortBounds, ExamplesOfBothDirections) {
  const TBounds b = rebuild({vertical(10.12), vertical(20.0), vertical(10.0), vertical(10.05),
                             horizontal(49.95), horizontal(30.0), horizontal(50.0), horizontal(40.0)},
                            0.1);
  EXPECT_EQ(b.cols(), (TDblAry{10.0, 10.12, 20.0}));
  EXPECT_EQ(b.rows(), (TDblAry{50.0, 40.0, 30.0}));
}

TEST(Reconstruction, TableWithDoubledLinesAndAHeaderDiagonal) {
  // A 3 x 2 table: outer frame as a closed polyline's four segments, inner
  // rules drawn twice (once slightly off), a diagonal in the header cell,
  // and lines of other tables' lengths that still count.
  TLineAry lines{
      line(0.0, 30.0, 60.0, 30.0), line(60.0, 30.0, 60.0, 0.0),
      line(60.0, 0.0, 0.0, 0.0),   line(0.0, 0.0, 0.0, 30.0),
      vertical(20.0, 0.0, 30.0),   vertical(20.04, 30.0, 0.0),
      vertical(40.0, 0.0, 30.0),   horizontal(20.0, 0.0, 60.0),
      horizontal(10.0, 0.0, 60.0), horizontal(10.03, 60.0, 0.0),
      line(0.0, 30.0, 20.0, 20.0),  // the header cell's diagonal
      horizontal(20.0, 0.0, 5.0),   // a short stub on a rule
  };
  const TBounds b = rebuild(lines, 0.1);
  EXPECT_EQ(b.cols(), (TDblAry{0.0, 20.0, 40.0, 60.0}));
  // A cluster keeps its smallest x and its largest y.
  EXPECT_EQ(b.rows(), (TDblAry{30.0, 20.0, 10.03, 0.0}));
}

TEST(CellOfAPoint, StrictIntervalsAndTheFirstMatchWhenTheyOverlap) {
  const struct {
    const char* name;
    TBounds bounds;
    double x, y;
    std::int32_t col, row;
    std::optional<TAnchorOffset> offset;
  } cases[] = {
      {"inside", {{0.0, 20.0, 50.0, 80.0}, {30.0, 20.0, 10.0}}, 60.0, 12.0, 2, 1, TAnchorOffset{10.0, -8.0}},
      {"on the first column rule", {{0.0, 20.0, 50.0, 80.0}, {30.0, 20.0, 10.0}}, 0.0, 12.0, -1, 1, std::nullopt},
      {"on the top rule", {{0.0, 20.0, 50.0, 80.0}, {30.0, 20.0, 10.0}}, 1.0, 30.0, 0, -1, std::nullopt},
      {"beyond both", {{0.0, 20.0}, {30.0, 20.0}}, 21.0, 31.0, -1, -1, std::nullopt},
      {"a NaN point", {{0.0, 20.0}, {30.0, 20.0}}, kNan, kNan, -1, -1, std::nullopt},
      {"ties between boundaries", {{0.0, 20.0, 20.0, 50.0}, {30.0, 30.0, 10.0}}, 30.0, 15.0, 2, 1,
       TAnchorOffset{10.0, -15.0}},
      {"a single boundary", {{5.0}, {5.0}}, 5.0, 5.0, -1, -1, std::nullopt},
      // In no order: the intervals overlap and the first one holding the point wins.
      {"overlapping intervals", {{0.0, 50.0, 10.0, 60.0}, {30.0, 0.0, 40.0, 5.0}}, 15.0, 20.0, 0, 0,
       TAnchorOffset{15.0, -10.0}},
      {"a later interval", {{0.0, 50.0, 10.0, 60.0}, {30.0, 0.0, 40.0, 5.0}}, 55.0, 35.0, 2, 2,
       TAnchorOffset{45.0, -5.0}},
      {"a NaN boundary", {{0.0, kNan, 10.0, 20.0}, {10.0, 0.0}}, 15.0, 5.0, 2, 0, TAnchorOffset{5.0, -5.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.bounds.columnOf(c.x), c.col);
    EXPECT_EQ(c.bounds.rowOf(c.y), c.row);
    EXPECT_EQ(c.bounds.offsetInCell({c.x, c.y, 7.0}), c.offset);
  }
}

// The lookups written as plainly as they can be: every interval in turn.
std::int32_t literalColumnOf(const TDblAry& cols, double x) {
  for (std::size_t k = 0; k + 1 < cols.size(); ++k) {
    if (cols[k] < x && x < cols[k + 1]) return static_cast<std::int32_t>(k);
  }
  return -1;
}

std::int32_t literalRowOf(const TDblAry& rows, double y) {
  for (std::size_t k = 0; k + 1 < rows.size(); ++k) {
    if (rows[k + 1] < y && y < rows[k]) return static_cast<std::int32_t>(k);
  }
  return -1;
}

TEST(CellOfAPoint, SameAnswersAsTheLiteralScanWhateverTheOrder) {
  std::mt19937 rng(20261210);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 600; ++round) {
    const TBoundsShape shape = boundsShapeOfRound(round);
    const TBounds bounds{randomBoundaries(rng, shape, false, 10, 40), randomBoundaries(rng, shape, true, 10, 40)};
    for (int probe = 0; probe < 40; ++probe) {
      const double x = probe == 0 ? kNan : uniform(-6, 44) * 0.5;
      const double y = uniform(-6, 44) * 0.5;
      const std::int32_t col = literalColumnOf(bounds.cols(), x);
      const std::int32_t row = literalRowOf(bounds.rows(), y);
      ASSERT_EQ(bounds.columnOf(x), col) << "round " << round << " x " << x;
      ASSERT_EQ(bounds.rowOf(y), row) << "round " << round << " y " << y;
      const std::optional<TAnchorOffset> at = bounds.offsetInCell({x, y, 0.0});
      ASSERT_EQ(at.has_value(), col >= 0 && row >= 0) << "round " << round;
      if (at) {
        EXPECT_EQ(at->dx, x - bounds.cols()[static_cast<std::size_t>(col)]);
        EXPECT_EQ(at->dy, y - bounds.rows()[static_cast<std::size_t>(row)]);
      }
    }
  }
}

}  // namespace
