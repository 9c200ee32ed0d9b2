// Where the stand-in CAD finds entities: boxes, window and crossing selection, picking.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "drawing.h"

namespace {

using standin::Box;
using standin::Entity;

Entity line(double x1, double y1, double x2, double y2) {
  Entity e;
  e.type = "LINE";
  e.p1 = {x1, y1, 0};
  e.p2 = {x2, y2, 0};
  return e;
}

Entity text(const std::wstring& s, double x, double y, double height, int alignment) {
  Entity e;
  e.type = "TEXT";
  e.text = s;
  e.height = height;
  e.setAlignment(alignment);
  if (alignment == 0) e.p1 = {x, y, 0};
  else e.p2 = {x, y, 0};
  return e;
}

Entity circle(double x, double y, double r) {
  Entity e;
  e.type = "CIRCLE";
  e.p1 = {x, y, 0};
  e.radius = r;
  return e;
}

TEST(StandinGeometry, WindowNeedsTheWholeLineCrossingAnyPart) {
  const Entity e = line(0, 0, 10, 0);
  const Box part{5, -1, 20, 1};
  const Box whole{-1, -1, 11, 1};
  const Box beside{0, 1, 10, 2};
  EXPECT_FALSE(standin::insideWindow(e, part));
  EXPECT_TRUE(standin::crossesWindow(e, part));
  EXPECT_TRUE(standin::insideWindow(e, whole));
  EXPECT_TRUE(standin::crossesWindow(e, whole));
  EXPECT_FALSE(standin::crossesWindow(e, beside));
}

TEST(StandinGeometry, CrossingCatchesALinePassingThroughWithBothEndsOutside) {
  const Entity diagonal = line(-10, -10, 10, 10);
  EXPECT_TRUE(standin::crossesWindow(diagonal, Box{-1, -1, 1, 1}));
  EXPECT_FALSE(standin::crossesWindow(diagonal, Box{2, -3, 4, -1}));
}

TEST(StandinGeometry, WindowCornersInEitherOrder) {
  const Entity e = line(0, 0, 10, 0);
  EXPECT_TRUE(standin::insideWindow(e, Box{11, 1, -1, -1}));
}

TEST(StandinGeometry, LeftTextBoxGrowsRightAndUpFromItsInsertionPoint) {
  const Entity e = text(L"AB", 10, 20, 2, 0);
  const Box b = standin::entityBox(e);
  EXPECT_DOUBLE_EQ(b.minx, 10);
  EXPECT_DOUBLE_EQ(b.miny, 20);
  EXPECT_GT(b.maxx, 11);
  EXPECT_DOUBLE_EQ(b.maxy, 22);
}

TEST(StandinGeometry, AlignedTextBoxesSitOnTheirAlignmentPoint) {
  const Box right = standin::entityBox(text(L"123", 50, 20, 2, 2));
  EXPECT_NEAR(right.maxx, 50, 1e-9);
  EXPECT_LT(right.minx, 50);
  EXPECT_NEAR(right.miny, 20, 1e-9);

  const Box middle = standin::entityBox(text(L"品名", 50, 20, 2, 10));
  EXPECT_NEAR((middle.minx + middle.maxx) / 2, 50, 1e-9);
  EXPECT_NEAR((middle.miny + middle.maxy) / 2, 20, 1e-9);
  EXPECT_NEAR(middle.maxx - middle.minx, 4, 1e-9);  // two full-width characters of height 2

  const Box topLeft = standin::entityBox(text(L"x", 50, 20, 2, 6));
  EXPECT_NEAR(topLeft.minx, 50, 1e-9);
  EXPECT_NEAR(topLeft.maxy, 20, 1e-9);

  const Box middleLeft = standin::entityBox(text(L"x", 50, 20, 2, 9));
  EXPECT_NEAR(middleLeft.minx, 50, 1e-9);
  EXPECT_NEAR(middleLeft.maxy, 21, 1e-9);
}

TEST(StandinGeometry, RotatedTextTurnsAboutItsAnchor) {
  Entity e = text(L"品", 0, 0, 2, 0);
  e.rotation = 90;
  const Box b = standin::entityBox(e);
  EXPECT_NEAR(b.minx, -2, 1e-9);
  EXPECT_NEAR(b.maxx, 0, 1e-9);
  EXPECT_NEAR(b.miny, 0, 1e-9);
  EXPECT_NEAR(b.maxy, 2, 1e-9);
}

TEST(StandinGeometry, TextIsCrossedByAWindowInsideItsFace) {
  const Entity e = text(L"品名品名", 0, 0, 4, 0);  // 16 wide, 4 high
  EXPECT_TRUE(standin::crossesWindow(e, Box{6, 1, 7, 2}));
  EXPECT_FALSE(standin::insideWindow(e, Box{6, 1, 7, 2}));
  EXPECT_FALSE(standin::crossesWindow(e, Box{20, 1, 21, 2}));
  EXPECT_DOUBLE_EQ(standin::distanceTo(e, 6, 1), 0);
}

TEST(StandinGeometry, CircleCrossingNeedsItsOutlineInTheWindow) {
  const Entity e = circle(0, 0, 10);
  EXPECT_TRUE(standin::crossesWindow(e, Box{9, -1, 11, 1}));
  EXPECT_FALSE(standin::crossesWindow(e, Box{-1, -1, 1, 1}));  // inside the circle, touching nothing
  EXPECT_TRUE(standin::insideWindow(e, Box{-10, -10, 10, 10}));
  EXPECT_NEAR(standin::distanceTo(e, 0, 0), 10, 1e-9);
  EXPECT_NEAR(standin::distanceTo(e, 13, 0), 3, 1e-9);
}

// Found by fuzzing: a start angle so large that adding 360 no longer changed
// it kept the stand-in in an endless loop. Any angles give a box on the circle.
TEST(StandinGeometry, ArcsOfAnyAnglesEndOnTheirCircle) {
  const double fuzzed = std::stod(std::string(91, '1') + "350.0");
  const std::pair<double, double> angles[] = {{350, 10}, {10, 10}, {fuzzed, 10}, {10, fuzzed},
                                              {-1e300, 1e300}, {1e300, -1e300}};
  for (const auto& [start, end] : angles) {
    Entity e = circle(5, 5, 2);
    e.type = "ARC";
    e.startAngle = start;
    e.endAngle = end;
    const Box box = standin::entityBox(e);
    EXPECT_TRUE(box.minx >= 3 - 1e-9 && box.maxx <= 7 + 1e-9 && box.miny >= 3 - 1e-9 && box.maxy <= 7 + 1e-9)
        << start << " to " << end;
  }
  Entity wrapped = circle(0, 0, 1);
  wrapped.type = "ARC";
  wrapped.startAngle = 350;
  wrapped.endAngle = 10;
  EXPECT_NEAR(standin::entityBox(wrapped).minx, std::cos(10 * std::numbers::pi / 180), 1e-9);
}

TEST(StandinGeometry, ClosedPolylineHasItsClosingSegment) {
  Entity e;
  e.type = "LWPOLYLINE";
  e.vertices = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const Box onClosingSide{-1, 4, 1, 6};
  EXPECT_FALSE(standin::crossesWindow(e, onClosingSide));
  e.closed = true;
  EXPECT_TRUE(standin::crossesWindow(e, onClosingSide));
  EXPECT_NEAR(standin::distanceTo(e, -2, 5), 2, 1e-9);
}

TEST(StandinGeometry, DistanceToALineIsToItsNearestPoint) {
  const Entity e = line(0, 0, 10, 0);
  EXPECT_NEAR(standin::distanceTo(e, 5, 3), 3, 1e-9);
  EXPECT_NEAR(standin::distanceTo(e, 13, 4), 5, 1e-9);
}

TEST(StandinGeometry, OtherEntitiesUseTheirDefinitionPoints) {
  Entity dimension;
  dimension.type = "DIMENSION";
  dimension.groups = {{0, "DIMENSION"}, {10, "0.0"}, {20, "30.0"}, {11, "50.0"}, {21, "32.0"},
                      {13, "0.0"}, {23, "0.0"}, {14, "100.0"}, {24, "0.0"}};
  const Box b = standin::entityBox(dimension);
  EXPECT_DOUBLE_EQ(b.minx, 0);
  EXPECT_DOUBLE_EQ(b.maxx, 100);
  EXPECT_DOUBLE_EQ(b.miny, 0);
  EXPECT_DOUBLE_EQ(b.maxy, 32);
  EXPECT_TRUE(standin::crossesWindow(dimension, Box{40, 25, 60, 35}));
}

}  // namespace

namespace {

Entity mtext(const std::wstring& s, double height, double width, int attachment) {
  Entity e;
  e.type = "MTEXT";
  e.text = s;
  e.height = height;
  e.widthFactor = width;
  e.setAttachment(attachment);
  e.p1 = {10, 20, 0};
  return e;
}

TEST(StandinGeometry, MTextBoxLiesWhereItsAttachmentSays) {
  // Two lines of two narrow characters, 2 high: 2.8 wide, 2 + 10/3 high.
  const double w = 2.8;
  const double h = 2 + 10.0 / 3;
  struct TCase {
    int attachment;
    double minx, maxy;
  };
  const TCase cases[] = {{1, 10, 20},         {2, 10 - w / 2, 20},     {3, 10 - w, 20},
                         {4, 10, 20 + h / 2}, {5, 10 - w / 2, 20 + h / 2}, {6, 10 - w, 20 + h / 2},
                         {7, 10, 20 + h},     {8, 10 - w / 2, 20 + h}, {9, 10 - w, 20 + h}};
  for (const TCase& c : cases) {
    const Entity e = mtext(L"AB\\PCD", 2, 0, c.attachment);
    const Box b = standin::entityBox(e);
    EXPECT_NEAR(b.minx, c.minx, 1e-9) << c.attachment;
    EXPECT_NEAR(b.maxx, c.minx + w, 1e-9) << c.attachment;
    EXPECT_NEAR(b.maxy, c.maxy, 1e-9) << c.attachment;
    EXPECT_NEAR(b.miny, c.maxy - h, 1e-9) << c.attachment;
    // The first line sits one height below the box's top.
    EXPECT_NEAR(standin::mtextLayout(e).firstBaseline, 2 - (c.maxy - 20), 1e-9) << c.attachment;
  }
}

TEST(StandinGeometry, MTextLinesAreItsVisibleTextWrappedAtItsWidth) {
  struct TCase {
    std::wstring text;
    double height, width;
    std::vector<std::wstring> lines;
  };
  const TCase cases[] = {
      {L"\\H2;寸法\\P{\\C1;赤}", 2, 0, {L"寸法", L"赤"}},
      {L"merge merge merge merge merge merge merge merge", 4.5, 77,
       {L"merge merge merge merge", L"merge merge merge merge"}},
      {L"a\\Pb", 1, 0, {L"a", L"b"}},
      {L"Za\\U+0161\\U+010dita %%c10", 1, 0, {L"Zaščita Ø10"}},
      {L"a\\~b c", 1, 1.5, {L"a\u00A0b", L"c"}},  // no break at a no-break space
      {L"abcdefghij klm", 1, 5, {L"abcdefghij", L"klm"}},  // a word wider than the column keeps its line
      {L"", 1, 10, {L""}},
  };
  for (const TCase& c : cases) {
    const standin::MTextLayout layout = standin::mtextLayout(mtext(c.text, c.height, c.width, 1));
    EXPECT_EQ(layout.lines, c.lines) << c.lines.size();
    for (const std::wstring& line : layout.lines) {
      if (c.width > 0 && line.find(L' ') != std::wstring::npos) {
        EXPECT_LE(standin::textWidth(line, c.height, 1), c.width);
      }
    }
  }
}

}  // namespace
