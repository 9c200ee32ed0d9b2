// The stand-in CAD's view mapping (what VIEWSIZE reports after a zoom, how
// the wheel and panning move the view) and its on-screen selection rules
// (window, crossing, pick by click, all through the filter).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "drawing.h"
#include "standin-cad/win32/selection_rules.h"
#include "standin-cad/win32/view_transform.h"

namespace {

TViewTransform viewOf(int width, int height) {
  TViewTransform v;
  v.setArea(width, height);
  return v;
}

TEST(StandinViewTransform, ZoomWindowFitsTheBoxAndKeepsTheAspect) {
  TViewTransform v = viewOf(800, 400);
  // Taller than the area's aspect: the height decides.
  v.zoomWindow(0, 0, 10, 100);
  EXPECT_DOUBLE_EQ(v.viewSize(), 100);
  EXPECT_DOUBLE_EQ(v.toScreenX(5), 400);
  EXPECT_DOUBLE_EQ(v.toScreenY(50), 200);
  // Wider: the width decides and the height follows the aspect.
  v.zoomWindow(100, 0, 300, 1);
  EXPECT_DOUBLE_EQ(v.viewSize(), 100);
  EXPECT_DOUBLE_EQ(v.toScreenX(100), 0);
  EXPECT_DOUBLE_EQ(v.toScreenX(300), 800);
  // Corners in any order give the same view.
  TViewTransform w = viewOf(800, 400);
  w.zoomWindow(300, 1, 100, 0);
  EXPECT_DOUBLE_EQ(w.viewSize(), v.viewSize());
  EXPECT_DOUBLE_EQ(w.centerX, v.centerX);
}

TEST(StandinViewTransform, ZoomWindowOnAPointOnlyCentres) {
  TViewTransform v = viewOf(800, 400);
  v.zoomWindow(0, 0, 40, 20);
  const double size = v.viewSize();
  v.zoomWindow(7, 9, 7, 9);
  EXPECT_DOUBLE_EQ(v.viewSize(), size);
  EXPECT_DOUBLE_EQ(v.centerX, 7);
  EXPECT_DOUBLE_EQ(v.centerY, 9);
}

TEST(StandinViewTransform, ScreenAndDrawingCoordinatesRoundTrip) {
  TViewTransform v = viewOf(640, 480);
  v.zoomWindow(-50, -20, 150, 80);
  EXPECT_NEAR(v.toWorldX(v.toScreenX(12.5)), 12.5, 1e-9);
  EXPECT_NEAR(v.toWorldY(v.toScreenY(-7.25)), -7.25, 1e-9);
  // Y grows upwards in the drawing, downwards on the screen.
  EXPECT_LT(v.toScreenY(10), v.toScreenY(0));
}

TEST(StandinViewTransform, WheelZoomKeepsThePointUnderTheCursor) {
  TViewTransform v = viewOf(800, 600);
  v.zoomWindow(0, 0, 80, 60);
  const double wx = v.toWorldX(123);
  const double wy = v.toWorldY(456);
  v.zoomAt(2.0, 123, 456);
  EXPECT_NEAR(v.toWorldX(123), wx, 1e-9);
  EXPECT_NEAR(v.toWorldY(456), wy, 1e-9);
  EXPECT_NEAR(v.viewSize(), 30, 1e-9);
  v.zoomAt(0, 10, 10);  // a nonsense factor changes nothing
  EXPECT_NEAR(v.viewSize(), 30, 1e-9);
}

TEST(StandinViewTransform, PanMovesTheDrawingWithTheMouse) {
  TViewTransform v = viewOf(800, 600);
  v.zoomWindow(0, 0, 80, 60);
  const double before = v.toScreenX(10);
  const double beforeY = v.toScreenY(10);
  v.pan(25, -5);
  EXPECT_NEAR(v.toScreenX(10), before + 25, 1e-9);
  EXPECT_NEAR(v.toScreenY(10), beforeY - 5, 1e-9);
}

standin::Entity line(std::uint64_t handle, double x1, double y1, double x2, double y2, const wchar_t* layer = L"0") {
  standin::Entity e;
  e.handle = handle;
  e.type = "LINE";
  e.layer = layer;
  e.p1 = {x1, y1, 0};
  e.p2 = {x2, y2, 0};
  return e;
}

standin::Entity circle(std::uint64_t handle, double x, double y, double r) {
  standin::Entity e;
  e.handle = handle;
  e.type = "CIRCLE";
  e.p1 = {x, y, 0};
  e.radius = r;
  return e;
}

class StandinSelectionRules : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& all = FDrawing.entities();
    all.push_back(line(0x10, 0, 0, 10, 0));              // wholly inside the box below
    all.push_back(line(0x11, 5, 5, 50, 5));              // sticks out to the right
    all.push_back(line(0x12, 0, 8, 10, 8, L"hidden"));   // inside, on another layer
    all.push_back(circle(0x13, 5, 2, 1));                // inside, not a line
    all.push_back(line(0x14, 100, 100, 110, 100));       // far away
  }
  standin::Drawing FDrawing;
  const TSelectionFilter FLines{{0}, {L"TEXT,*LINE"}};
};

TEST_F(StandinSelectionRules, WindowTakesWhatLiesWhollyInsideCrossingWhatTouches) {
  EXPECT_EQ(selectInBox(FDrawing, FLines, -1, -1, 20, 10, false), (std::vector<std::uint64_t>{0x10, 0x12}));
  EXPECT_EQ(selectInBox(FDrawing, FLines, -1, -1, 20, 10, true), (std::vector<std::uint64_t>{0x10, 0x11, 0x12}));
  // Corners given right to left select the same entities.
  EXPECT_EQ(selectInBox(FDrawing, FLines, 20, 10, -1, -1, true), (std::vector<std::uint64_t>{0x10, 0x11, 0x12}));
}

TEST_F(StandinSelectionRules, TheFilterDecidesAsTheCadWould) {
  const TSelectionFilter notHidden{{0, -4, 8, -4}, {L"TEXT,*LINE", L"<NOT", L"HIDDEN", L"NOT>"}};
  EXPECT_EQ(selectInBox(FDrawing, notHidden, -1, -1, 20, 10, true), (std::vector<std::uint64_t>{0x10, 0x11}));
  EXPECT_EQ(selectAll(FDrawing, FLines), (std::vector<std::uint64_t>{0x10, 0x11, 0x12, 0x14}));
  EXPECT_EQ(selectAll(FDrawing, TSelectionFilter{}).size(), 5u);
}

TEST_F(StandinSelectionRules, AClickPicksTheNearestPassingEntityWithinTheTolerance) {
  EXPECT_EQ(pickNearest(FDrawing, FLines, 3, 0.2, 0.5), 0x10u);
  EXPECT_EQ(pickNearest(FDrawing, FLines, 6, 4.8, 0.5), 0x11u);
  EXPECT_EQ(pickNearest(FDrawing, FLines, 3, 2.5, 0.5), 0u);  // nothing that near
  // The circle is nearest but filtered out; the line 1 unit away is beyond the tolerance.
  EXPECT_EQ(pickNearest(FDrawing, FLines, 5, 1.05, 0.5), 0u);
  EXPECT_EQ(pickNearest(FDrawing, TSelectionFilter{}, 5, 1.05, 0.5), 0x13u);
}

}  // namespace
