#include "table/bounds.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

void collectBounds(const TLineAry& lines, double tolerance, TDblAry& tate, TDblAry& yoko) {
  if (lines.empty()) {
    return;
  }
  tate.clear();
  yoko.clear();
  for (const TMrvLine& line : lines) {
    if (std::fabs(line.st[0] - line.ed[0]) < tolerance) {
      tate.push_back(line.st[0]);
    } else if (std::fabs(line.st[1] - line.ed[1]) < tolerance) {
      yoko.push_back(line.st[1]);
    }
  }
}

void sortBounds(double tolerance, TDblAry& tate, TDblAry& yoko) {
  // collectBounds never yields a NaN (it fails both strict tests), but the
  // arrays are public: NaNs are sorted last so that the ordering stays a
  // strict weak order whatever they hold, and the merge then drops them.
  if (tate.size() >= 2) {
    std::sort(tate.begin(), tate.end(),
              [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
    mergeSorted(tate, [tolerance](double v, double last) { return v - last > tolerance; });
  }
  if (yoko.size() >= 2) {
    std::sort(yoko.begin(), yoko.end(),
              [](double a, double b) { return a > b || (!std::isnan(a) && std::isnan(b)); });
    mergeSorted(yoko, [tolerance](double v, double last) { return last - v > tolerance; });
  }
}
