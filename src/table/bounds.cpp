#include "table/bounds.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// `beyond(value, last)` tells whether value lies more than the tolerance past
// the last kept one. A run of values closer together than the tolerance is
// not merged as a whole: each is measured from the last kept value, so
// 0, 0.06, 0.12, 0.18 under 0.1 keeps 0 and 0.12.
template <typename TBeyond>
void mergeSorted(TDblAry& values, TBeyond beyond) {
  TDblAry kept;
  kept.reserve(values.size());
  kept.push_back(values.front());
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (beyond(values[i], kept.back())) {
      kept.push_back(values[i]);
    }
  }
  values = std::move(kept);
}

// Whether no neighbour pair breaks `inOrder`; a NaN breaks it either way.
template <typename TInOrder>
bool ordered(const TDblAry& values, TInOrder inOrder) {
  for (std::size_t k = 1; k < values.size(); ++k) {
    if (!inOrder(values[k - 1], values[k])) return false;
  }
  return true;
}

// The first k with before(values[k], v) and before(v, values[k+1]), the
// boundaries ordered so that `before` holds between neighbours or they are
// equal: the leading values before v form a prefix, and only its last one can
// start the interval, which holds v exactly when the next value lies
// strictly beyond it.
template <typename TBefore>
std::int32_t intervalOf(const TDblAry& values, bool isOrdered, double v, TBefore before) {
  const std::size_t n = values.size();
  if (n < 2) return -1;
  if (!isOrdered) {
    for (std::size_t k = 0; k + 1 < n; ++k) {
      if (before(values[k], v) && before(v, values[k + 1])) return static_cast<std::int32_t>(k);
    }
    return -1;
  }
  const auto split = std::partition_point(values.begin(), values.end(), [&](double b) { return before(b, v); });
  const std::size_t k = static_cast<std::size_t>(split - values.begin());
  if (k == 0 || k >= n || !before(v, values[k])) return -1;
  return static_cast<std::int32_t>(k - 1);
}

}  // namespace

TBounds::TBounds(TDblAry cols, TDblAry rows) { assign(std::move(cols), std::move(rows)); }

void TBounds::assign(TDblAry cols, TDblAry rows) {
  FCols = std::move(cols);
  FRows = std::move(rows);
  FColsOrdered = ordered(FCols, std::less_equal<double>());
  FRowsOrdered = ordered(FRows, std::greater_equal<double>());
}

std::int32_t TBounds::columnOf(double x) const { return intervalOf(FCols, FColsOrdered, x, std::less<double>()); }

std::int32_t TBounds::rowOf(double y) const { return intervalOf(FRows, FRowsOrdered, y, std::greater<double>()); }

std::optional<TAnchorOffset> TBounds::offsetInCell(const std::array<double, 3>& point) const {
  const std::int32_t col = columnOf(point[0]);
  const std::int32_t row = rowOf(point[1]);
  if (col < 0 || row < 0) return std::nullopt;
  return TAnchorOffset{point[0] - FCols[static_cast<std::size_t>(col)], point[1] - FRows[static_cast<std::size_t>(row)]};
}

void collectBounds(const TLineAry& lines, double tolerance, TBounds& bounds) {
  if (lines.empty()) {
    return;
  }
  TDblAry cols;
  TDblAry rows;
  for (const TMrvLine& line : lines) {
    if (std::fabs(line.st[0] - line.ed[0]) < tolerance) {
      cols.push_back(line.st[0]);
    } else if (std::fabs(line.st[1] - line.ed[1]) < tolerance) {
      rows.push_back(line.st[1]);
    }
  }
  bounds.assign(std::move(cols), std::move(rows));
}

void sortBounds(double tolerance, TBounds& bounds) {
  TDblAry cols = bounds.cols();
  TDblAry rows = bounds.rows();
  // collectBounds never yields a NaN (it fails both strict tests), but bounds
  // can be set from anywhere: NaNs are sorted last so that the ordering stays
  // a strict weak order whatever they hold, and the merge then drops them.
  if (cols.size() >= 2) {
    std::sort(cols.begin(), cols.end(),
              [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
    mergeSorted(cols, [tolerance](double v, double last) { return v - last > tolerance; });
  }
  if (rows.size() >= 2) {
    std::sort(rows.begin(), rows.end(),
              [](double a, double b) { return a > b || (!std::isnan(a) && std::isnan(b)); });
    mergeSorted(rows, [tolerance](double v, double last) { return last - v > tolerance; });
  }
  bounds.assign(std::move(cols), std::move(rows));
}
