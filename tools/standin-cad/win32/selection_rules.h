#pragma once
// Which entities an on-screen selection takes: all of them, those in a
// window or crossing box, or the one nearest to a click, always through the
// selection filter as the CAD evaluates it. Portable, so it is tested natively.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "drawing.h"

struct TSelectionFilter {
  std::vector<short> codes;
  std::vector<std::wstring> values;
};

inline bool passesFilter(const standin::Entity& e, const TSelectionFilter& f) {
  return standin::matchesFilter(e, f.codes, f.values);
}

inline std::vector<std::uint64_t> selectAll(const standin::Drawing& d, const TSelectionFilter& f) {
  std::vector<std::uint64_t> out;
  for (const standin::Entity& e : d.entities()) {
    if (passesFilter(e, f)) {
      out.push_back(e.handle);
    }
  }
  return out;
}

// Corners in any order; crossing takes what touches the box, window what lies wholly inside.
inline std::vector<std::uint64_t> selectInBox(const standin::Drawing& d, const TSelectionFilter& f, double x1,
                                              double y1, double x2, double y2, bool crossing) {
  standin::Box box;
  box.minx = x1 < x2 ? x1 : x2;
  box.maxx = x1 < x2 ? x2 : x1;
  box.miny = y1 < y2 ? y1 : y2;
  box.maxy = y1 < y2 ? y2 : y1;
  std::vector<std::uint64_t> out;
  for (const standin::Entity& e : d.entities()) {
    const bool hit = crossing ? standin::crossesWindow(e, box) : standin::insideWindow(e, box);
    if (hit && passesFilter(e, f)) {
      out.push_back(e.handle);
    }
  }
  return out;
}

// The nearest entity that passes the filter within tolerance; 0 for none.
inline std::uint64_t pickNearest(const standin::Drawing& d, const TSelectionFilter& f, double x, double y,
                                 double tolerance) {
  std::uint64_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const standin::Entity& e : d.entities()) {
    const double dist = standin::distanceTo(e, x, y);
    if (dist <= tolerance && dist < bestDistance && passesFilter(e, f)) {
      best = e.handle;
      bestDistance = dist;
    }
  }
  return best;
}
