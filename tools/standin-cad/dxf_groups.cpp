#include "dxf_groups.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "text_encoding.h"

namespace standin::dxf {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool parseDouble(std::string_view s, double* out) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

bool parseInt(std::string_view s, long long* out) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  long long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
  *out = v;
  return true;
}

bool parseHex(std::string_view s, std::uint64_t* out) {
  s = trim(s);
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
  *out = v;
  return true;
}

std::string formatDouble(double v) {
  if (v == 0) return "0.0";  // also folds -0
  char buffer[64] = {};
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  std::string s(buffer, result.ptr);
  if (s.find_first_of(".eE") == std::string::npos) s += ".0";
  return s;
}

std::string formatHex(std::uint64_t v) {
  char buffer[32] = {};
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, 16);
  std::string s(buffer, result.ptr);
  for (char& c : s) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

std::filesystem::path filePath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::size_t ownGroupsEnd(const Groups& groups) {
  for (std::size_t i = 1; i < groups.size(); ++i) {
    if (groups[i].first == 0) return i;
  }
  return groups.size();
}

namespace {

bool isPointCode(int code, int base) { return code == base || code == base + 10 || code == base + 20; }

double number(const std::string& s, double fallback) {
  double v = 0;
  return parseDouble(s, &v) ? v : fallback;
}

long long integer(const std::string& s, long long fallback) {
  long long v = 0;
  return parseInt(s, &v) ? v : fallback;
}

void setCoordinate(Point& p, int code, int base, const std::string& value) {
  const double v = number(value, 0);
  if (code == base) p.x = v;
  else if (code == base + 10) p.y = v;
  else p.z = v;
}

void readVertices(Entity& e, const Groups& groups, std::size_t end) {
  // R12 POLYLINE: the vertices are the VERTEX entities that follow it.
  for (std::size_t i = end; i < groups.size(); ++i) {
    if (groups[i].first != 0 || trim(groups[i].second) != "VERTEX") continue;
    double x = 0, y = 0;
    long long flags = 0;
    for (std::size_t k = i + 1; k < groups.size() && groups[k].first != 0; ++k) {
      if (groups[k].first == 10) x = number(groups[k].second, 0);
      else if (groups[k].first == 20) y = number(groups[k].second, 0);
      else if (groups[k].first == 70) flags = integer(groups[k].second, 0);
    }
    if ((flags & 16) == 0) e.vertices.emplace_back(x, y);  // spline frame points are not drawn
  }
}

}  // namespace

void readFields(Entity& e, int codePage) {
  const Groups& g = e.groups;
  if (g.empty()) return;
  e.type = std::string(trim(g[0].second));
  const std::size_t end = ownGroupsEnd(g);
  const bool text = e.type == "TEXT" || e.type == "ATTRIB" || e.type == "ATTDEF";
  const bool mtext = e.type == "MTEXT";
  const bool lwpolyline = e.type == "LWPOLYLINE";
  bool haveRotation = false;
  bool sawHandle = false;
  bool sawWidth = false;
  double directionX = 0, directionY = 0;
  // An MTEXT's string: groups 3 and then its last part in group 1, joined as
  // bytes before they are decoded, since a writer may cut a character in two.
  std::string mtextHead;
  std::string mtextTail;
  for (std::size_t i = 1; i < end; ++i) {
    const int code = g[i].first;
    const std::string& value = g[i].second;
    if (code == 102 && trim(value).starts_with("{")) {
      while (i + 1 < end && !(g[i + 1].first == 102 && trim(g[i + 1].second) == "}")) ++i;
      ++i;
      continue;
    }
    if (code >= 1000) break;  // extended data: not the entity's own fields
    if (mtext && code == 101) break;  // an embedded object repeats the codes with other meanings
    if (code == 5) {
      // The first group 5 is the handle, the one the reader rewrites when it
      // gives the entity a fresh one; a later one would not survive a save.
      std::uint64_t h = 0;
      if (!sawHandle && parseHex(value, &h)) e.handle = h;
      sawHandle = true;
    } else if (code == 8) {
      e.layer = decodeDxfString(value, codePage);
    } else if (lwpolyline && code == 10) {
      e.vertices.emplace_back(number(value, 0), 0.0);
    } else if (lwpolyline && code == 20) {
      if (!e.vertices.empty()) e.vertices.back().second = number(value, 0);
    } else if (lwpolyline && code == 70) {
      e.closed = (integer(value, 0) & 1) != 0;
    } else if (lwpolyline && code == 38) {
      e.elevation = number(value, 0);
    } else if (isPointCode(code, 10)) {
      setCoordinate(e.p1, code, 10, value);
    } else if (isPointCode(code, 11)) {
      setCoordinate(e.p2, code, 11, value);
      if (mtext && code == 11) directionX = number(value, 0);
      if (mtext && code == 21) directionY = number(value, 0);
    } else if (code == 40) {
      if (e.type == "CIRCLE" || e.type == "ARC") e.radius = number(value, 0);
      else e.height = number(value, 0);
    } else if (code == 41 && (text || e.type == "INSERT")) {
      e.widthFactor = number(value, 1);
    } else if (code == 41 && mtext) {
      e.widthFactor = number(value, 0);  // MTEXT: the reference column width
      sawWidth = true;
    } else if (code == 50) {
      if (e.type == "ARC") e.startAngle = number(value, 0);
      else e.rotation = number(value, 0);
      haveRotation = true;
    } else if (code == 51 && e.type == "ARC") {
      e.endAngle = number(value, 360);
    } else if (code == 72 && text) {
      e.halign = static_cast<int>(integer(value, 0));
    } else if (code == 73 && e.type == "TEXT") {
      e.valign = static_cast<int>(integer(value, 0));
    } else if (code == 74 && text) {
      e.valign = static_cast<int>(integer(value, 0));  // attributes keep it in 74; their 73 is a field length
    } else if (code == 71 && mtext) {
      e.setAttachment(static_cast<int>(std::clamp<long long>(integer(value, 1), 0, 10)));
    } else if (code == 70 && e.type == "POLYLINE") {
      e.closed = (integer(value, 0) & 1) != 0;
    } else if (code == 7 && (text || mtext)) {
      e.style = decodeDxfString(value, codePage);
    } else if (code == 1 && (text || mtext)) {
      if (mtext) mtextTail = value;
      else e.text = decodeDxfString(value, codePage);
    } else if (code == 3 && mtext) {
      mtextHead += value;
    } else if (code == 2 && e.type == "INSERT") {
      e.text = decodeDxfString(value, codePage);
    }
  }
  if (mtext) {
    if (!sawWidth) e.widthFactor = 0;
    e.text = decodeDxfBytes(mtextHead + mtextTail, codePage);
    if (!haveRotation && (directionX != 0 || directionY != 0))
      e.rotation = std::atan2(directionY, directionX) * 180 / std::numbers::pi;
    if (e.halign == 0 && e.valign == 0) e.valign = 3;  // attachment absent: top left
  }
  if (e.type == "POLYLINE") readVertices(e, g, end);
}

bool isEditableType(std::string_view type) {
  return type == "LINE" || type == "LWPOLYLINE" || type == "TEXT" || type == "MTEXT";
}

namespace {

struct TOldParts {
  Groups common;  // entity-wide groups, in order
  Groups xdata;   // 1001 and after
  std::vector<Groups> vertexExtras;  // LWPOLYLINE: 40/41/42/91 after each vertex
  std::string lwFlags;               // LWPOLYLINE 70 as read
  bool hadStyle = false;             // TEXT: 7 present (absent means the default style)
  Groups keep;    // subclass groups the fields do not hold: 39, 51, 71, 43, 210/220/230
};

bool isCommonCode(int code) {
  switch (code) {
    case 5: case 6: case 8: case 48: case 60: case 62: case 67: case 92: case 160:
    case 284: case 310: case 330: case 347: case 348: case 360: case 370: case 390:
    case 410: case 420: case 430: case 440:
      return true;
    default:
      return false;
  }
}

TOldParts splitOld(const Entity& e, bool subclassMarkers) {
  TOldParts parts;
  const Groups& g = e.groups;
  const std::size_t end = ownGroupsEnd(g);
  // A file may claim R2000 and still write an entity without subclass
  // markers: then the entity-wide groups are told by their codes.
  bool hasSubclass = false;
  for (std::size_t i = 1; i < end; ++i) {
    if (g[i].first == 100 && trim(g[i].second) != "AcDbEntity") hasSubclass = true;
  }
  const bool bySubclass = subclassMarkers && hasSubclass;
  bool inSubclass = false;  // past the entity-wide part
  for (std::size_t i = 1; i < end; ++i) {
    const int code = g[i].first;
    const std::string& value = g[i].second;
    if (code >= 1000) {
      parts.xdata.assign(g.begin() + static_cast<std::ptrdiff_t>(i), g.begin() + static_cast<std::ptrdiff_t>(end));
      break;
    }
    if (code == 102 && trim(value).starts_with("{")) {
      std::size_t k = i;
      while (k < end && !(g[k].first == 102 && trim(g[k].second) == "}")) ++k;
      const std::size_t last = k < end ? k : end - 1;
      parts.common.insert(parts.common.end(), g.begin() + static_cast<std::ptrdiff_t>(i),
                          g.begin() + static_cast<std::ptrdiff_t>(last) + 1);
      i = last;
      continue;
    }
    if (code == 100) {
      if (trim(value) != "AcDbEntity") inSubclass = true;
      else if (subclassMarkers) parts.common.push_back(g[i]);
      continue;
    }
    const bool common = bySubclass ? !inSubclass : isCommonCode(code);
    if (common) {
      parts.common.push_back(g[i]);
      continue;
    }
    if (e.type == "LWPOLYLINE" && (code == 40 || code == 41 || code == 42 || code == 91)) {
      if (!parts.vertexExtras.empty()) parts.vertexExtras.back().push_back(g[i]);
      else if (code != 91) parts.keep.push_back(g[i]);
      continue;
    }
    if (e.type == "LWPOLYLINE" && code == 10) parts.vertexExtras.emplace_back();
    if (e.type == "LWPOLYLINE" && code == 70) parts.lwFlags = value;
    if (e.type == "TEXT" && code == 7) parts.hadStyle = true;
    const bool kept = code == 39 || code == 210 || code == 220 || code == 230 ||
                      (e.type == "TEXT" && (code == 51 || code == 71)) ||
                      (e.type == "LWPOLYLINE" && code == 43);
    if (kept) parts.keep.push_back(g[i]);
  }
  return parts;
}

void addKept(Groups& out, const Groups& keep, int code) {
  for (const auto& group : keep) {
    if (group.first == code) out.push_back(group);
  }
}

void addPoint(Groups& out, int base, const Point& p) {
  out.emplace_back(base, formatDouble(p.x));
  out.emplace_back(base + 10, formatDouble(p.y));
  out.emplace_back(base + 20, formatDouble(p.z));
}

void addExtrusion(Groups& out, const Groups& keep) {
  addKept(out, keep, 210);
  addKept(out, keep, 220);
  addKept(out, keep, 230);
}

void addMTextString(Groups& out, const Entity& e, int codePage) {
  const std::vector<std::string> chunks = encodeDxfChunks(e.text, codePage, kMTextChunkBytes);
  for (std::size_t i = 0; i + 1 < chunks.size(); ++i) out.emplace_back(3, chunks[i]);
  out.emplace_back(1, chunks.back());
}

// An MTEXT carries many groups the model does not hold (line spacing,
// direction, background, columns): its groups are rewritten where they stand,
// only the fields' values changed, so a copy keeps every property of its source.
Groups rewriteMText(const Entity& e, int codePage) {
  const Groups& g = e.groups;
  const std::size_t end = ownGroupsEnd(g);
  Groups out;
  out.emplace_back(0, e.type);
  bool sawHandle = false;
  bool sawLayer = false;
  bool wroteText = false;
  bool sawAttachment = false;
  std::size_t placed = 0;  // in out, just after the last of 10/20/30/40/41
  for (std::size_t i = 1; i < end; ++i) {
    const int code = g[i].first;
    if (code == 102 && trim(g[i].second).starts_with("{")) {
      for (; i < end; ++i) {
        out.push_back(g[i]);
        if (g[i].first == 102 && trim(g[i].second) == "}") break;
      }
      continue;
    }
    if (code >= 1000 || code == 101) {
      out.insert(out.end(), g.begin() + static_cast<std::ptrdiff_t>(i), g.begin() + static_cast<std::ptrdiff_t>(end));
      break;
    }
    if (code == 5 && !sawHandle) {
      out.emplace_back(5, formatHex(e.handle));
      sawHandle = true;
    } else if (code == 8) {
      out.emplace_back(8, encodeDxfString(e.layer, codePage));
      sawLayer = true;
    } else if (isPointCode(code, 10)) {
      out.emplace_back(code, formatDouble(code == 10 ? e.p1.x : (code == 20 ? e.p1.y : e.p1.z)));
    } else if (code == 40) {
      out.emplace_back(40, formatDouble(e.height));
    } else if (code == 41) {
      out.emplace_back(41, formatDouble(e.widthFactor));
    } else if (code == 71) {
      out.emplace_back(71, std::to_string(e.attachment()));
      sawAttachment = true;
    } else if (code == 7) {
      out.emplace_back(7, encodeDxfString(e.style, codePage));
    } else if (code == 1 || code == 3) {
      if (!wroteText) addMTextString(out, e, codePage);
      wroteText = true;
    } else {
      out.push_back(g[i]);
    }
    if (isPointCode(code, 10) || code == 40 || code == 41) placed = out.size();
  }
  if (placed == 0) placed = out.size();
  Groups missing;
  if (!sawAttachment && e.attachment() != 1) missing.emplace_back(71, std::to_string(e.attachment()));
  if (!wroteText) addMTextString(missing, e, codePage);
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(placed), missing.begin(), missing.end());
  if (!sawLayer) out.insert(out.begin() + 1, {8, encodeDxfString(e.layer, codePage)});
  if (!sawHandle) out.insert(out.begin() + 1, {5, formatHex(e.handle)});
  out.insert(out.end(), g.begin() + static_cast<std::ptrdiff_t>(end), g.end());
  return out;
}

}  // namespace

Groups writeFields(const Entity& e, int codePage, bool subclassMarkers) {
  if (e.type == "MTEXT") return rewriteMText(e, codePage);
  const TOldParts old = splitOld(e, subclassMarkers);
  Groups out;
  out.emplace_back(0, e.type);
  // Entity-wide part: the handle first, the layer from the field, the rest as read.
  out.emplace_back(5, formatHex(e.handle));
  bool haveLayer = false;
  bool haveEntityMarker = false;
  for (const auto& group : old.common) {
    if (group.first == 5) continue;
    if (group.first == 100) haveEntityMarker = true;
    if (group.first == 8) {
      if (subclassMarkers && !haveEntityMarker) {
        out.emplace_back(100, "AcDbEntity");
        haveEntityMarker = true;
      }
      out.emplace_back(8, encodeDxfString(e.layer, codePage));
      haveLayer = true;
      continue;
    }
    out.push_back(group);
  }
  if (subclassMarkers && !haveEntityMarker) out.emplace_back(100, "AcDbEntity");
  if (!haveLayer) out.emplace_back(8, encodeDxfString(e.layer, codePage));

  if (e.type == "LINE") {
    if (subclassMarkers) out.emplace_back(100, "AcDbLine");
    addKept(out, old.keep, 39);
    addPoint(out, 10, e.p1);
    addPoint(out, 11, e.p2);
    addExtrusion(out, old.keep);
  } else if (e.type == "LWPOLYLINE") {
    if (subclassMarkers) out.emplace_back(100, "AcDbPolyline");
    out.emplace_back(90, std::to_string(e.vertices.size()));
    long long flags = 0;
    if (!parseInt(old.lwFlags, &flags) || flags < 0) flags = 0;
    flags = e.closed ? (flags | 1) : (flags & ~1LL);
    out.emplace_back(70, std::to_string(flags));
    addKept(out, old.keep, 43);
    if (e.elevation != 0) out.emplace_back(38, formatDouble(e.elevation));
    addKept(out, old.keep, 39);
    // Widths and bulges belong to vertices: kept while the vertex count is unchanged.
    const bool sameVertices = old.vertexExtras.size() == e.vertices.size();
    for (std::size_t i = 0; i < e.vertices.size(); ++i) {
      out.emplace_back(10, formatDouble(e.vertices[i].first));
      out.emplace_back(20, formatDouble(e.vertices[i].second));
      if (sameVertices) out.insert(out.end(), old.vertexExtras[i].begin(), old.vertexExtras[i].end());
    }
    addExtrusion(out, old.keep);
  } else if (e.type == "TEXT") {
    if (subclassMarkers) out.emplace_back(100, "AcDbText");
    addKept(out, old.keep, 39);
    addPoint(out, 10, e.p1);
    out.emplace_back(40, formatDouble(e.height));
    out.emplace_back(1, encodeDxfString(e.text, codePage));
    if (e.rotation != 0) out.emplace_back(50, formatDouble(e.rotation));
    if (e.widthFactor != 1) out.emplace_back(41, formatDouble(e.widthFactor));
    addKept(out, old.keep, 51);
    if (old.hadStyle || e.style != L"STANDARD") out.emplace_back(7, encodeDxfString(e.style, codePage));
    addKept(out, old.keep, 71);
    if (e.halign != 0) out.emplace_back(72, std::to_string(e.halign));
    if (e.halign != 0 || e.valign != 0) addPoint(out, 11, e.p2);
    addExtrusion(out, old.keep);
    if (subclassMarkers) out.emplace_back(100, "AcDbText");
    if (e.valign != 0) out.emplace_back(73, std::to_string(e.valign));
  }
  out.insert(out.end(), old.xdata.begin(), old.xdata.end());
  return out;
}

}  // namespace standin::dxf
