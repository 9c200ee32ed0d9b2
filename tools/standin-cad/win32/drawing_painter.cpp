#include "drawing_painter.h"

#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "platform/win32/handle_owners.h"

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

// The pixel width of a text drawn unrotated with that height and width factor.
double naturalWidth(HDC dc, TFontCache& fonts, const std::wstring& text, int heightPx, double widthFactor) {
  HFONT font = fonts.font(dc, heightPx, 0, widthFactor);
  if (font == nullptr || text.empty()) {
    return 0;
  }
  TSelectScope select(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

struct TTextLayout {
  double ax = 0;  // anchor on screen
  double ay = 0;
  int heightPx = 0;
  double rotation = 0;  // degrees, counter-clockwise
  double widthFactor = 1;
  int hmode = 0;  // 0 left, 1 centre, 2 right, 4 middle (centre both ways)
  int vmode = 0;  // 0 baseline, 1 bottom, 2 middle, 3 top
};

// Where and how large a text is drawn. Aligned (3) and fit (5) texts run from
// the insertion point to the alignment point: aligned ones scale their height
// to fill it, fitted ones their width.
TTextLayout layoutText(HDC dc, const TViewTransform& v, const standin::Entity& e, TFontCache& fonts) {
  TTextLayout t;
  t.heightPx = static_cast<int>(std::lround(e.height / v.unitsPerPixel));
  t.rotation = e.rotation;
  t.widthFactor = e.widthFactor > 0 ? e.widthFactor : 1;
  if (e.type == "MTEXT") {
    t.ax = v.toScreenX(e.p1.x);
    t.ay = v.toScreenY(e.p1.y);
    t.hmode = e.halign == 1 ? 1 : (e.halign == 2 ? 2 : 0);
    t.widthFactor = 1;  // an MTEXT's widthFactor holds its reference column width
    return t;
  }
  const bool spans = (e.halign == 3 || e.halign == 5) && (e.p1.x != e.p2.x || e.p1.y != e.p2.y);
  const bool byInsertion = e.alignment() == 0 || e.halign == 3 || e.halign == 5;
  const standin::Point anchor = byInsertion ? e.p1 : e.p2;
  t.ax = v.toScreenX(anchor.x);
  t.ay = v.toScreenY(anchor.y);
  if (spans) {
    t.rotation = std::atan2(e.p2.y - e.p1.y, e.p2.x - e.p1.x) * 180 / kPi;
    const double span = std::hypot(e.p2.x - e.p1.x, e.p2.y - e.p1.y) / v.unitsPerPixel;
    const double natural = t.heightPx >= kMinTextPixels ? naturalWidth(dc, fonts, e.text, t.heightPx, t.widthFactor) : 0;
    if (natural > 0) {
      if (e.halign == 5) {
        t.widthFactor *= span / natural;
      } else {
        t.heightPx = std::max(1, static_cast<int>(std::lround(t.heightPx * span / natural)));
      }
    }
  } else if (!byInsertion) {
    t.hmode = e.halign;
    t.vmode = e.valign;
  }
  return t;
}

void textOut(HDC dc, double x, double y, const std::wstring& text) {
  TextOutW(dc, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), text.c_str(),
           static_cast<int>(text.size()));
}

void paintText(HDC dc, const TViewTransform& v, const standin::Entity& e, TFontCache& fonts) {
  const TTextLayout t = layoutText(dc, v, e, fonts);
  const double theta = t.rotation * kPi / 180;
  if (t.heightPx < kMinTextPixels) {
    double ax = t.ax;
    double ay = t.ay;
    double len = e.text.size() * e.height * t.widthFactor;
    if (e.type == "MTEXT") {
      // Along its first baseline, across its box: the codes draw nothing.
      const standin::MTextLayout layout = standin::mtextLayout(e);
      const double along = layout.left / v.unitsPerPixel;
      const double down = layout.firstBaseline / v.unitsPerPixel;
      ax += along * std::cos(theta) + down * std::sin(theta);
      ay += -along * std::sin(theta) + down * std::cos(theta);
      len = layout.width;
    }
    len = std::max(1.0, len / v.unitsPerPixel);
    MoveToEx(dc, static_cast<int>(ax), static_cast<int>(ay), nullptr);
    LineTo(dc, static_cast<int>(ax + len * std::cos(theta)), static_cast<int>(ay - len * std::sin(theta)));
    return;
  }
  HFONT font = fonts.font(dc, t.heightPx, t.rotation, t.widthFactor);
  if (font == nullptr) {
    return;
  }
  TSelectScope select(dc, font);
  UINT align = TA_BASELINE | TA_NOUPDATECP | TA_LEFT;
  if (t.hmode == 1 || t.hmode == 4) {
    align = TA_BASELINE | TA_NOUPDATECP | TA_CENTER;
  } else if (t.hmode == 2) {
    align = TA_BASELINE | TA_NOUPDATECP | TA_RIGHT;
  }
  // Baseline offset from the anchor, along the text's own "down".
  double down = 0;
  if (t.hmode == 4 || t.vmode == 2) {
    down = t.heightPx / 2.0;
  } else if (t.vmode == 3) {
    down = t.heightPx;
  }
  SetTextAlign(dc, align);
  if (e.type != "MTEXT") {
    textOut(dc, t.ax + std::sin(theta) * down, t.ay + std::cos(theta) * down, e.text);
    return;
  }
  // Each line of an MTEXT aligned at the insertion point as its attachment says, below each other.
  const standin::MTextLayout layout = standin::mtextLayout(e);
  for (std::size_t i = 0; i < layout.lines.size(); ++i) {
    const double d = (layout.firstBaseline + layout.lineStep * static_cast<double>(i)) / v.unitsPerPixel;
    textOut(dc, t.ax + std::sin(theta) * d, t.ay + std::cos(theta) * d, layout.lines[i]);
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
