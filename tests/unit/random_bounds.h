#pragma once
// Random boundaries for the checks against the literal scans: on a lattice of
// 0.5 units so that points land on them often, and in every shape a lookup
// must answer for.
#include <algorithm>
#include <cmath>
#include <random>

#include "table/bounds.h"

enum class TBoundsShape { Sorted, SortedWithTies, WrongWay, NoOrder, WithNan };

inline TBoundsShape boundsShapeOfRound(int round) { return static_cast<TBoundsShape>(round % 5); }

// Up to `most` values from -2 to `top` / 2; sorted ascending for columns,
// descending for rows (or the other way round for WrongWay).
inline TDblAry randomBoundaries(std::mt19937& rng, TBoundsShape shape, bool descending, int most, int top) {
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  TDblAry v(static_cast<std::size_t>(uniform(0, most)));
  for (double& d : v) d = uniform(-4, top) * 0.5;
  if (shape == TBoundsShape::Sorted || shape == TBoundsShape::SortedWithTies || shape == TBoundsShape::WrongWay) {
    std::sort(v.begin(), v.end());
    if (shape == TBoundsShape::Sorted) v.erase(std::unique(v.begin(), v.end()), v.end());
    if (descending != (shape == TBoundsShape::WrongWay)) std::reverse(v.begin(), v.end());
  } else if (shape == TBoundsShape::WithNan && !v.empty()) {
    v[static_cast<std::size_t>(uniform(0, static_cast<int>(v.size()) - 1))] = std::nan("");
  }
  return v;
}
