// Row and column boundaries from the ruling lines of a drawn table.
#include "table/bounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TMrvLine line(double x1, double y1, double x2, double y2) { return {{x1, y1, 0.0}, {x2, y2, 0.0}}; }
TMrvLine vertical(double x, double y1 = 0.0, double y2 = 40.0) { return line(x, y1, x, y2); }
TMrvLine horizontal(double y, double x1 = 0.0, double x2 = 100.0) { return line(x1, y, x2, y); }

struct TBounds {
  TDblAry tate;
  TDblAry yoko;
};

TBounds rebuild(const TLineAry& lines, double tolerance) {
  TBounds b;
  collectBounds(lines, tolerance, b.tate, b.yoko);
  sortBounds(tolerance, b.tate, b.yoko);
  return b;
}

TEST(CollectBounds, ClassifiesLinesVerticalFirstWithStrictTests) {
  // Differences of exactly the tolerance are exact in binary (0.25).
  TDblAry tate{99.0};
  TDblAry yoko{99.0};
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
  collectBounds(lines, 0.25, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{10.0, 5.0, 40.125}));
  EXPECT_EQ(yoko, (TDblAry{50.0, 3.0, 12.0}));
}

TEST(CollectBounds, EmptyLineListKeepsThePreviousArrays) {
  TDblAry tate{1.0, 2.0};
  TDblAry yoko{9.0, 3.0};
  collectBounds({}, 0.1, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{1.0, 2.0}));
  EXPECT_EQ(yoko, (TDblAry{9.0, 3.0}));
}

TEST(CollectBounds, ZeroNegativeOrNanToleranceFindsNothing) {
  const TLineAry lines{vertical(10.0), horizontal(5.0), line(3.0, 3.0, 3.0, 3.0)};
  for (const double tol : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
    TDblAry tate{1.0, 2.0};
    TDblAry yoko{9.0, 3.0};
    collectBounds(lines, tol, tate, yoko);
    EXPECT_TRUE(tate.empty()) << tol;
    EXPECT_TRUE(yoko.empty()) << tol;
  }
}

TEST(SortBounds, MergesAgainstTheLastKeptValue) {
  TDblAry tate{0.18, 0.0, 0.12, 0.06};
  TDblAry yoko{-0.06, 0.0, -0.18, -0.12};
  sortBounds(0.1, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{0.0, 0.12}));
  EXPECT_EQ(yoko, (TDblAry{0.0, -0.12}));
}

TEST(SortBounds, ExamplesOfBothDirections) {
  const TBounds b = rebuild({vertical(10.12), vertical(20.0), vertical(10.0), vertical(10.05),
                             horizontal(49.95), horizontal(30.0), horizontal(50.0), horizontal(40.0)},
                            0.1);
  EXPECT_EQ(b.tate, (TDblAry{10.0, 10.12, 20.0}));
  EXPECT_EQ(b.yoko, (TDblAry{50.0, 40.0, 30.0}));
}

TEST(SortBounds, DifferenceEqualToTheToleranceIsMerged) {
  TDblAry tate{0.0, 0.5, 1.0};
  TDblAry yoko{1.0, 0.5, 0.0};
  sortBounds(0.5, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{0.0, 1.0}));
  EXPECT_EQ(yoko, (TDblAry{1.0, 0.0}));
}

TEST(SortBounds, ShortArraysAreLeftAlone) {
  TDblAry tate{5.0};
  TDblAry yoko;
  sortBounds(0.1, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{5.0}));
  EXPECT_TRUE(yoko.empty());
}

TEST(SortBounds, NanValuesNeitherCrashNorSurvive) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TDblAry tate{3.0, nan, 1.0, nan, 2.0};
  TDblAry yoko{nan, 1.0, 3.0};
  sortBounds(0.1, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{1.0, 2.0, 3.0}));
  EXPECT_EQ(yoko, (TDblAry{3.0, 1.0}));
}

TEST(SortBounds, SecondMergeWithALargerToleranceMergesFurther) {
  // What Acquire does when nothing new was selected: the kept arrays are
  // merged again under the tolerance now set.
  TDblAry tate{0.0, 0.12, 0.3, 10.0};
  TDblAry yoko{10.0, 9.8, 0.0};
  sortBounds(0.25, tate, yoko);
  EXPECT_EQ(tate, (TDblAry{0.0, 0.3, 10.0}));
  EXPECT_EQ(yoko, (TDblAry{10.0, 0.0}));
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
  EXPECT_EQ(b.tate, (TDblAry{0.0, 20.0, 40.0, 60.0}));
  // A cluster keeps its smallest x and its largest y.
  EXPECT_EQ(b.yoko, (TDblAry{30.0, 20.0, 10.03, 0.0}));
}

}  // namespace
