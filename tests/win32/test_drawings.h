#pragma once
// Small DXF drawings written by the tests themselves, into the temporary
// folder, so that what the stand-in CAD serves is known exactly.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/errors.h"

namespace test_drawings {

class TDxf {
 public:
  TDxf& line(double x1, double y1, double z1, double x2, double y2, double z2, const char* layer = "0") {
    entity("LINE", layer);
    point(10, x1, y1, z1);
    point(11, x2, y2, z2);
    return *this;
  }
  TDxf& polyline(const std::vector<std::pair<double, double>>& vertices, bool closed, double elevation = 0,
                 const char* layer = "0") {
    entity("LWPOLYLINE", layer);
    group(100, "AcDbPolyline");
    group(90, std::to_string(vertices.size()));
    group(70, closed ? "1" : "0");
    group(38, number(elevation));
    for (const auto& [x, y] : vertices) {
      group(10, number(x));
      group(20, number(y));
    }
    return *this;
  }
  // halign/valign as groups 72/73; the alignment point is written when either is set.
  TDxf& text(const std::string& utf8, double x, double y, int halign = 0, int valign = 0, double ax = 0,
             double ay = 0, const char* layer = "0") {
    entity("TEXT", layer);
    group(100, "AcDbText");
    point(10, x, y, 0);
    group(40, "2.5");
    group(1, utf8);
    if (halign != 0 || valign != 0) {
      group(72, std::to_string(halign));
      point(11, ax, ay, 0);
    }
    group(100, "AcDbText");
    if (valign != 0) group(73, std::to_string(valign));
    return *this;
  }
  TDxf& circle(double x, double y, double r) {
    entity("CIRCLE", "0");
    point(10, x, y, 0);
    group(40, number(r));
    return *this;
  }

  // The whole file: a UTF-8 drawing (AC1021 and later store text as UTF-8).
  std::string str() const {
    std::string out;
    auto g = [&out](int code, const std::string& v) { out += std::to_string(code) + "\n" + v + "\n"; };
    g(0, "SECTION");
    g(2, "HEADER");
    g(9, "$ACADVER");
    g(1, "AC1027");
    g(9, "$HANDSEED");
    g(5, "FFFF");
    g(0, "ENDSEC");
    g(0, "SECTION");
    g(2, "ENTITIES");
    out += FBody;
    g(0, "ENDSEC");
    g(0, "EOF");
    return out;
  }
  // Writes the file; false when it cannot be written.
  bool save(const std::wstring& path) const {
    std::FILE* f = _wfopen(path.c_str(), L"wb");
    if (f == nullptr) return false;
    const std::string s = str();
    const bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    return std::fclose(f) == 0 && ok;
  }
  // The handle the next entity gets, upper-case hexadecimal.
  std::wstring nextHandle() const { return hex(FNextHandle); }
  static std::wstring hex(unsigned value) {
    wchar_t buf[16] = {};
    std::swprintf(buf, 16, L"%X", value);
    return buf;
  }

 private:
  void entity(const char* type, const char* layer) {
    group(0, type);
    group(5, toUtf8(hex(FNextHandle++)));
    group(100, "AcDbEntity");
    group(8, layer);
  }
  void point(int code, double x, double y, double z) {
    group(code, number(x));
    group(code + 10, number(y));
    group(code + 20, number(z));
  }
  void group(int code, const std::string& value) { FBody += std::to_string(code) + "\n" + value + "\n"; }
  static std::string number(double v) {
    char buf[64] = {};
    std::snprintf(buf, sizeof buf, "%.12g", v);
    return buf;
  }

  std::string FBody;
  unsigned FNextHandle = 0x100;
};

}  // namespace test_drawings
