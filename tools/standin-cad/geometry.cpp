// Where entities lie, for drawing, extents and on-screen selection.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "drawing.h"
#include "dxf_groups.h"
#include "text/mtext.h"

namespace standin {
namespace {

struct TXY {
  double x = 0;
  double y = 0;
};

using TPolyline = std::vector<TXY>;

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kArcSegments = 64;

// Advance of one character in text heights: full-width characters are
// square, the rest about as wide as the CAD's default font draws them.
double characterWidth(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
                    (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                    (u >= 0xFFE0 && u <= 0xFFE6);
  return wide ? 1.0 : 0.7;
}

// The four corners of a text's box in drawing coordinates.
std::array<TXY, 4> textCorners(const Entity& e) {
  double width = 0;
  double height = e.height > 0 ? e.height : 1;
  double left = 0;    // box in the text's own axes, relative to the anchor
  double bottom = 0;
  TXY anchor{e.p1.x, e.p1.y};
  double angle = e.rotation * kDegree;
  if (e.type == "MTEXT") {
    const MTextLayout layout = mtextLayout(e);
    width = layout.width;
    left = layout.left;
    bottom = layout.top - layout.boxHeight;
    height = layout.boxHeight;
  } else {
    width = textWidth(e.text, height, e.widthFactor);
    const int a = e.alignment();
    if (a == 3 || a == 5) {  // aligned and fit: the text runs from the insertion to the alignment point
      const double dx = e.p2.x - e.p1.x;
      const double dy = e.p2.y - e.p1.y;
      width = std::hypot(dx, dy);
      angle = std::atan2(dy, dx);
    } else if (a != 0) {
      anchor = TXY{e.p2.x, e.p2.y};
      left = e.halign == 1 || e.halign == 4 ? -width / 2 : (e.halign == 2 ? -width : 0);
      if (a == 4) bottom = -height / 2;
      else if (e.valign == 3) bottom = -height;
      else if (e.valign == 2) bottom = -height / 2;
    }
  }
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const std::array<TXY, 4> local = {{{left, bottom}, {left + width, bottom}, {left + width, bottom + height}, {left, bottom + height}}};
  std::array<TXY, 4> corners{};
  for (std::size_t i = 0; i < 4; ++i)
    corners[i] = TXY{anchor.x + local[i].x * c - local[i].y * s, anchor.y + local[i].x * s + local[i].y * c};
  return corners;
}

bool isText(const Entity& e) { return e.type == "TEXT" || e.type == "MTEXT" || e.type == "ATTDEF" || e.type == "ATTRIB"; }

TPolyline arcPoints(const Entity& e) {
  double start = e.type == "ARC" ? e.startAngle : 0;
  double end = e.type == "ARC" ? e.endAngle : 360;
  // The arc runs counter-clockwise from start to the next end after it, in
  // one step: adding 360 at a time would never get past an angle so large
  // that 360 is lost in its rounding.
  if (end <= start) end += 360 * (std::floor((start - end) / 360) + 1);
  TPolyline points;
  for (int i = 0; i <= kArcSegments; ++i) {
    const double a = (start + (end - start) * i / kArcSegments) * kDegree;
    points.push_back(TXY{e.p1.x + e.radius * std::cos(a), e.p1.y + e.radius * std::sin(a)});
  }
  return points;
}

std::vector<TXY> definitionPoints(const Entity& e) {
  std::vector<TXY> points;
  const std::size_t end = dxf::ownGroupsEnd(e.groups);
  for (std::size_t i = 1; i < end; ++i) {
    const int code = e.groups[i].first;
    if (code >= 1000) break;
    if (code >= 10 && code <= 18) {
      TXY p;
      dxf::parseDouble(e.groups[i].second, &p.x);
      if (i + 1 < end && e.groups[i + 1].first == code + 10) dxf::parseDouble(e.groups[i + 1].second, &p.y);
      points.push_back(p);
    }
  }
  return points;
}

// The entity as line strips (closed shapes repeat their first point); texts
// as their box; anything else as its definition points.
std::vector<TPolyline> outline(const Entity& e) {
  if (e.type == "LINE") return {TPolyline{{e.p1.x, e.p1.y}, {e.p2.x, e.p2.y}}};
  if (e.type == "LWPOLYLINE" || e.type == "POLYLINE") {
    TPolyline strip;
    for (const auto& [x, y] : e.vertices) strip.push_back(TXY{x, y});
    if (e.closed && !strip.empty()) strip.push_back(strip.front());
    return {strip};
  }
  if (e.type == "CIRCLE" || e.type == "ARC") return {arcPoints(e)};
  if (isText(e)) {
    const auto c = textCorners(e);
    return {TPolyline{c[0], c[1], c[2], c[3], c[0]}};
  }
  std::vector<TPolyline> points;
  for (const TXY& p : definitionPoints(e)) points.push_back(TPolyline{p});
  return points;
}

bool inside(const TXY& p, const Box& w) { return p.x >= w.minx && p.x <= w.maxx && p.y >= w.miny && p.y <= w.maxy; }

// Liang-Barsky: does the segment a-b meet the box?
bool segmentMeetsBox(const TXY& a, const TXY& b, const Box& w) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const std::array<double, 4> p = {-dx, dx, -dy, dy};
  const std::array<double, 4> q = {a.x - w.minx, w.maxx - a.x, a.y - w.miny, w.maxy - a.y};
  for (std::size_t i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  return true;
}

double distanceToSegment(const TXY& a, const TXY& b, double x, double y) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

Box normalised(const Box& w) {
  return Box{std::min(w.minx, w.maxx), std::min(w.miny, w.maxy), std::max(w.minx, w.maxx), std::max(w.miny, w.maxy)};
}

}  // namespace

double textWidth(const std::wstring& text, double height, double widthFactor) {
  double width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // %%c, %%d, %%p and the like draw one character.
    if (text[i] == L'%' && i + 2 < text.size() && text[i + 1] == L'%') {
      i += 2;
      width += 0.7;
      continue;
    }
    width += characterWidth(text[i]);
  }
  return width * height * (widthFactor > 0 ? widthFactor : 1);
}

namespace {

// What the drawing shows of an MTEXT, one string per paragraph.
std::vector<std::wstring> mtextParagraphs(const std::wstring& source) {
  std::vector<std::wstring> paragraphs(1);
  for (const wchar_t c : mtextVisibleText(source)) {
    if (c == kMTextLineBreak) paragraphs.emplace_back();
    else paragraphs.back().push_back(c);
  }
  return paragraphs;
}

// A paragraph in lines no wider than `width` where it has a space to break
// at; a word longer than the width keeps a line of its own.
std::vector<std::wstring> wrapped(const std::wstring& paragraph, double height, double width) {
  std::vector<std::wstring> lines(1);
  std::size_t at = 0;
  while (at < paragraph.size()) {
    const std::size_t space = paragraph.find(L' ', at);
    const std::size_t end = space == std::wstring::npos ? paragraph.size() : space;
    const std::wstring word = paragraph.substr(at, end - at);
    std::wstring& line = lines.back();
    if (!line.empty() && textWidth(line + L' ' + word, height, 1) > width) {
      lines.push_back(word);
    } else {
      line += line.empty() ? word : L' ' + word;
    }
    at = end + 1;
  }
  return lines;
}

}  // namespace

MTextLayout mtextLayout(const Entity& e) {
  MTextLayout layout;
  const double height = e.height > 0 ? e.height : 1;
  const double referenceWidth = e.widthFactor > 0 ? e.widthFactor : 0;
  for (const std::wstring& paragraph : mtextParagraphs(e.text)) {
    const std::vector<std::wstring> lines =
        referenceWidth > 0 ? wrapped(paragraph, height, referenceWidth) : std::vector<std::wstring>{paragraph};
    layout.lines.insert(layout.lines.end(), lines.begin(), lines.end());
  }
  layout.width = referenceWidth;
  for (const std::wstring& line : layout.lines) layout.width = std::max(layout.width, textWidth(line, height, 1));
  layout.lineStep = height * 5.0 / 3.0;
  layout.boxHeight = height + static_cast<double>(layout.lines.size() - 1) * layout.lineStep;
  const int row = (e.attachment() - 1) / 3;     // top, middle, bottom
  const int column = (e.attachment() - 1) % 3;  // left, centre, right
  layout.top = row == 0 ? 0 : (row == 1 ? layout.boxHeight / 2 : layout.boxHeight);
  layout.left = column == 0 ? 0 : (column == 1 ? -layout.width / 2 : -layout.width);
  layout.firstBaseline = height - layout.top;
  return layout;
}

Box entityBox(const Entity& e) {
  Box b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
        std::numeric_limits<double>::lowest()};
  bool any = false;
  for (const TPolyline& strip : outline(e)) {
    for (const TXY& p : strip) {
      b.minx = std::min(b.minx, p.x);
      b.miny = std::min(b.miny, p.y);
      b.maxx = std::max(b.maxx, p.x);
      b.maxy = std::max(b.maxy, p.y);
      any = true;
    }
  }
  if (!any) return Box{e.p1.x, e.p1.y, e.p1.x, e.p1.y};
  return b;
}

bool insideWindow(const Entity& e, const Box& window) {
  const Box w = normalised(window);
  const Box b = entityBox(e);
  return b.minx >= w.minx && b.maxx <= w.maxx && b.miny >= w.miny && b.maxy <= w.maxy;
}

bool crossesWindow(const Entity& e, const Box& window) {
  const Box w = normalised(window);
  if (insideWindow(e, w)) return true;
  const std::vector<TPolyline> strips = outline(e);
  for (const TPolyline& strip : strips) {
    if (strip.size() == 1 && inside(strip.front(), w)) return true;
    for (std::size_t i = 0; i + 1 < strip.size(); ++i) {
      if (segmentMeetsBox(strip[i], strip[i + 1], w)) return true;
    }
  }
  // A window drawn wholly inside a text's box still touches the text.
  if (isText(e) && !strips.empty()) {
    const auto c = textCorners(e);
    const TXY centre{(w.minx + w.maxx) / 2, (w.miny + w.maxy) / 2};
    bool in = false;
    for (std::size_t i = 0, j = 3; i < 4; j = i++) {
      if ((c[i].y > centre.y) != (c[j].y > centre.y) &&
          centre.x < (c[j].x - c[i].x) * (centre.y - c[i].y) / (c[j].y - c[i].y) + c[i].x)
        in = !in;
    }
    return in;
  }
  return false;
}

double distanceTo(const Entity& e, double x, double y) {
  // A click on a text's face picks it as well as one on its outline.
  if (isText(e) && crossesWindow(e, Box{x, y, x, y})) return 0;
  if (e.type == "CIRCLE") return std::abs(std::hypot(x - e.p1.x, y - e.p1.y) - e.radius);
  double best = std::numeric_limits<double>::infinity();
  for (const TPolyline& strip : outline(e)) {
    if (strip.size() == 1) best = std::min(best, std::hypot(x - strip.front().x, y - strip.front().y));
    for (std::size_t i = 0; i + 1 < strip.size(); ++i) best = std::min(best, distanceToSegment(strip[i], strip[i + 1], x, y));
  }
  if (best == std::numeric_limits<double>::infinity()) best = std::hypot(x - e.p1.x, y - e.p1.y);
  return best;
}

}  // namespace standin
