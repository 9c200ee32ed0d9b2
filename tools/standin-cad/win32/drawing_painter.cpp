#include "drawing_painter.h"

#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "gdi_owners.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr wchar_t kTextFont[] = L"ＭＳ ゴシック";
// Texts smaller than this on screen are drawn as a line where their baseline is.
constexpr int kMinTextPixels = 3;

POINT screenPoint(const TViewTransform& v, double x, double y) {
  return POINT{static_cast<LONG>(std::lround(v.toScreenX(x))), static_cast<LONG>(std::lround(v.toScreenY(y)))};
}

void paintPolyline(HDC dc, const TViewTransform& v, const std::vector<std::pair<double, double>>& pts,
                   bool closed) {
  if (pts.size() < 2) {
    return;
  }
  std::vector<POINT> screen;
  screen.reserve(pts.size() + 1);
  for (const auto& [x, y] : pts) {
    screen.push_back(screenPoint(v, x, y));
  }
  if (closed) {
    screen.push_back(screen.front());
  }
  Polyline(dc, screen.data(), static_cast<int>(screen.size()));
}

void paintArc(HDC dc, const TViewTransform& v, const standin::Entity& e, double startDeg, double endDeg) {
  double sweep = endDeg - startDeg;
  while (sweep <= 0) {
    sweep += 360;
  }
  const int steps = std::max(8, static_cast<int>(sweep / 5));
  std::vector<std::pair<double, double>> pts;
  for (int i = 0; i <= steps; ++i) {
    const double a = (startDeg + sweep * i / steps) * kPi / 180;
    pts.emplace_back(e.p1.x + e.radius * std::cos(a), e.p1.y + e.radius * std::sin(a));
  }
  paintPolyline(dc, v, pts, false);
}

// Fonts of one paint, by pixel height, rotation and width factor.
class TFontCache {
 public:
  HFONT font(HDC dc, int heightPx, double rotationDeg, double widthFactor) {
    const auto key = std::make_tuple(heightPx, std::lround(rotationDeg * 10), std::lround(widthFactor * 100));
    auto it = FFonts.find(key);
    if (it != FFonts.end()) {
      return it->second.get();
    }
    LOGFONTW lf{};
    lf.lfHeight = -heightPx;
    lf.lfEscapement = static_cast<LONG>(std::lround(rotationDeg * 10));
    lf.lfOrientation = lf.lfEscapement;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcscpy_s(lf.lfFaceName, kTextFont);
    if (std::fabs(widthFactor - 1) > 0.01 && widthFactor > 0) {
      // GDI takes a width in pixels: scale the font's own average width.
      TGdiObject<HFONT> plain(CreateFontIndirectW(&lf));
      TSelectScope select(dc, plain.get());
      TEXTMETRICW tm{};
      GetTextMetricsW(dc, &tm);
      lf.lfWidth = std::max(1L, static_cast<LONG>(std::lround(tm.tmAveCharWidth * widthFactor)));
    }
    auto [pos, ok] = FFonts.emplace(key, TGdiObject<HFONT>(CreateFontIndirectW(&lf)));
    return ok ? pos->second.get() : nullptr;
  }

 private:
  std::map<std::tuple<int, long, long>, TGdiObject<HFONT>> FFonts;
};

// MTEXT keeps its format codes; the paragraph breaks at least become lines.
std::vector<std::wstring> textLines(const standin::Entity& e) {
  std::vector<std::wstring> lines;
  if (e.type != "MTEXT") {
    lines.push_back(e.text);
    return lines;
  }
  std::wstring current;
  for (std::size_t i = 0; i < e.text.size(); ++i) {
    if (e.text[i] == L'\\' && i + 1 < e.text.size() && (e.text[i + 1] == L'P' || e.text[i + 1] == L'p')) {
      lines.push_back(current);
      current.clear();
      ++i;
    } else {
      current += e.text[i];
    }
  }
  lines.push_back(current);
  return lines;
}

void paintText(HDC dc, const TViewTransform& v, const standin::Entity& e, TFontCache& fonts) {
  const int heightPx = static_cast<int>(std::lround(e.height / v.unitsPerPixel));
  const bool mtext = e.type == "MTEXT";
  // Left-aligned single-line texts (and aligned/fit ones) start at the insertion point.
  const int alignment = mtext ? -1 : e.alignment();
  const bool byInsertion = mtext || alignment == 0 || e.halign == 3 || e.halign == 5;
  const standin::Point anchor = byInsertion ? e.p1 : e.p2;
  const double theta = e.rotation * kPi / 180;
  const double ax = v.toScreenX(anchor.x);
  const double ay = v.toScreenY(anchor.y);
  if (heightPx < kMinTextPixels) {
    const double len = std::max(1.0, e.text.size() * e.height * e.widthFactor / v.unitsPerPixel);
    MoveToEx(dc, static_cast<int>(ax), static_cast<int>(ay), nullptr);
    LineTo(dc, static_cast<int>(ax + len * std::cos(theta)), static_cast<int>(ay - len * std::sin(theta)));
    return;
  }
  HFONT font = fonts.font(dc, heightPx, e.rotation, e.widthFactor);
  if (font == nullptr) {
    return;
  }
  TSelectScope select(dc, font);
  UINT align = TA_BASELINE | TA_NOUPDATECP;
  int hmode = byInsertion ? 0 : e.halign;
  int vmode = byInsertion ? 0 : e.valign;
  if (mtext) {
    hmode = e.halign == 1 ? 1 : (e.halign == 2 ? 2 : 0);
    vmode = e.valign;  // 3 top, 2 middle, 1 bottom
  }
  if (hmode == 1 || hmode == 4) {
    align = (align & ~(TA_LEFT | TA_RIGHT | TA_CENTER)) | TA_CENTER;
  } else if (hmode == 2) {
    align = (align & ~(TA_LEFT | TA_RIGHT | TA_CENTER)) | TA_RIGHT;
  }
  // Baseline offset from the anchor, along the text's own "down".
  double down = 0;
  if (hmode == 4 || vmode == 2) {
    down = heightPx / 2.0;
  } else if (vmode == 3) {
    down = heightPx;
  }
  SetTextAlign(dc, align);
  const std::vector<std::wstring> lines = textLines(e);
  const double lineStep = heightPx * 1.6;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double d = down + (mtext ? heightPx + lineStep * static_cast<double>(i) : 0.0);
    const double bx = ax + std::sin(theta) * d;
    const double by = ay + std::cos(theta) * d;
    TextOutW(dc, static_cast<int>(std::lround(bx)), static_cast<int>(std::lround(by)), lines[i].c_str(),
             static_cast<int>(lines[i].size()));
  }
}

void paintInsert(HDC dc, const TViewTransform& v, const standin::Entity& e) {
  const POINT p = screenPoint(v, e.p1.x, e.p1.y);
  MoveToEx(dc, p.x - 4, p.y, nullptr);
  LineTo(dc, p.x + 5, p.y);
  MoveToEx(dc, p.x, p.y - 4, nullptr);
  LineTo(dc, p.x, p.y + 5);
}

void paintEntity(HDC dc, const TViewTransform& v, const standin::Entity& e, TFontCache& fonts) {
  if (e.type == "LINE") {
    const POINT a = screenPoint(v, e.p1.x, e.p1.y);
    const POINT b = screenPoint(v, e.p2.x, e.p2.y);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
  } else if (e.type == "LWPOLYLINE") {
    paintPolyline(dc, v, e.vertices, e.closed);
  } else if (e.type == "CIRCLE") {
    paintArc(dc, v, e, 0, 360);
  } else if (e.type == "ARC") {
    paintArc(dc, v, e, e.startAngle, e.endAngle);
  } else if (e.type == "TEXT" || e.type == "MTEXT") {
    paintText(dc, v, e, fonts);
  } else if (e.type == "INSERT") {
    paintInsert(dc, v, e);
  }
}

}  // namespace

void paintDrawing(HDC dc, const standin::Drawing& drawing, const TViewTransform& view,
                  const std::set<std::uint64_t>& highlighted, const TPaintStyle& style) {
  TGdiObject<HPEN> inkPen(CreatePen(PS_SOLID, 1, style.ink));
  TGdiObject<HPEN> markPen(CreatePen(PS_SOLID, 2, style.highlight));
  TFontCache fonts;
  SetBkMode(dc, TRANSPARENT);
  for (const standin::Entity& e : drawing.entities()) {
    const bool marked = highlighted.count(e.handle) != 0;
    TSelectScope pen(dc, marked ? markPen.get() : inkPen.get());
    SetTextColor(dc, marked ? style.highlight : style.ink);
    paintEntity(dc, view, e, fonts);
  }
}

void paintRubberBand(HDC dc, POINT from, POINT to) {
  const bool crossing = to.x < from.x;
  TGdiObject<HPEN> pen(CreatePen(crossing ? PS_DOT : PS_SOLID, 1, crossing ? RGB(120, 255, 120) : RGB(120, 160, 255)));
  TSelectScope selectPen(dc, pen.get());
  TSelectScope selectBrush(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  Rectangle(dc, std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1,
            std::max(from.y, to.y) + 1);
}
