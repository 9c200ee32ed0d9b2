#pragma once
// The mapping between drawing units and the pixels of the drawing area:
// a centre in drawing units and a scale. Y grows upwards in the drawing and
// downwards on the screen. Portable, so it is tested natively.
#include <algorithm>
#include <cmath>

struct TViewTransform {
  double centerX = 0;
  double centerY = 0;
  double unitsPerPixel = 1;
  int areaWidth = 1;   // pixels of the drawing area (never 0)
  int areaHeight = 1;

  void setArea(int width, int height) {
    areaWidth = std::max(width, 1);
    areaHeight = std::max(height, 1);
  }
  double toScreenX(double x) const { return areaWidth / 2.0 + (x - centerX) / unitsPerPixel; }
  double toScreenY(double y) const { return areaHeight / 2.0 - (y - centerY) / unitsPerPixel; }
  double toWorldX(double px) const { return centerX + (px - areaWidth / 2.0) * unitsPerPixel; }
  double toWorldY(double py) const { return centerY - (py - areaHeight / 2.0) * unitsPerPixel; }

  // The height of the drawing area in drawing units (what VIEWSIZE reports).
  double viewSize() const { return areaHeight * unitsPerPixel; }

  // Centres the box and shows it whole at the largest scale; the area keeps
  // its aspect, so the box fills it in one direction only. A degenerate box
  // (a point) keeps the scale and only centres.
  void zoomWindow(double x1, double y1, double x2, double y2) {
    centerX = (x1 + x2) / 2;
    centerY = (y1 + y2) / 2;
    const double w = std::fabs(x2 - x1);
    const double h = std::fabs(y2 - y1);
    const double scale = std::max(w / areaWidth, h / areaHeight);
    if (scale > 0 && std::isfinite(scale)) {
      unitsPerPixel = scale;
    }
  }

  // Zooms by factor (>1: closer) keeping the drawing point under (px, py) in place.
  void zoomAt(double factor, double px, double py) {
    if (!(factor > 0)) {
      return;
    }
    const double wx = toWorldX(px);
    const double wy = toWorldY(py);
    unitsPerPixel /= factor;
    centerX = wx - (px - areaWidth / 2.0) * unitsPerPixel;
    centerY = wy + (py - areaHeight / 2.0) * unitsPerPixel;
  }

  // Moves the drawing with the mouse by (dx, dy) pixels.
  void pan(double dx, double dy) {
    centerX -= dx * unitsPerPixel;
    centerY += dy * unitsPerPixel;
  }
};
