#include <array>
#include <utility>

#include "drawing.h"
#include "dxf_groups.h"

namespace standin {
namespace {

// (72, 73) of each automation Alignment value, acAlignmentLeft = 0 ... acAlignmentBottomRight = 14.
constexpr std::array<std::pair<int, int>, 15> kAlignments = {{
    {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0},  // left, center, right, aligned, middle, fit
    {0, 3}, {1, 3}, {2, 3},                          // top left, top center, top right
    {0, 2}, {1, 2}, {2, 2},                          // middle left, middle center, middle right
    {0, 1}, {1, 1}, {2, 1},                          // bottom left, bottom center, bottom right
}};

}  // namespace

int Entity::alignment() const {
  // Aligned, middle and fit have no vertical part: 73 is meaningless beside them.
  if (halign >= 3 && halign <= 5) return halign;
  for (std::size_t i = 0; i < kAlignments.size(); ++i) {
    if (kAlignments[i].first == halign && kAlignments[i].second == valign) return static_cast<int>(i);
  }
  return 0;
}

void Entity::setAlignment(int a) {
  if (a < 0 || a >= static_cast<int>(kAlignments.size())) return;
  halign = kAlignments[static_cast<std::size_t>(a)].first;
  valign = kAlignments[static_cast<std::size_t>(a)].second;
}

namespace {

constexpr int kAlignLeft = 0;
constexpr int kAlignAligned = 3;
constexpr int kAlignFit = 5;

void moveBy(Point& p, const Point& from, const Point& to) {
  p.x += to.x - from.x;
  p.y += to.y - from.y;
  p.z += to.z - from.z;
}

}  // namespace

bool Entity::placeInsertionPoint(const Point& p) {
  const int a = alignment();
  if (type != "MTEXT" && a != kAlignLeft && a != kAlignAligned && a != kAlignFit) return false;
  p1 = p;
  modified = true;
  return true;
}

bool Entity::placeAlignmentPoint(const Point& p) {
  const int a = alignment();
  if (a == kAlignLeft) return false;
  if (a != kAlignAligned && a != kAlignFit) moveBy(p1, p2, p);
  p2 = p;
  modified = true;
  return true;
}

int Entity::attachment() const {
  const int column = halign >= 0 && halign <= 2 ? halign : 0;
  const int row = valign >= 1 && valign <= 3 ? 3 - valign : 0;  // valign: top = 3, middle = 2, bottom = 1
  return row * 3 + column + 1;
}

void Entity::setAttachment(int a) {
  if (a < 1 || a > 9) return;
  halign = (a - 1) % 3;
  valign = 3 - (a - 1) / 3;
}

std::wstring Entity::objectName() const {
  static const std::array<std::pair<const char*, const wchar_t*>, 29> kNames = {{
      {"LINE", L"AcDbLine"}, {"LWPOLYLINE", L"AcDbPolyline"}, {"TEXT", L"AcDbText"},
      {"MTEXT", L"AcDbMText"}, {"CIRCLE", L"AcDbCircle"}, {"ARC", L"AcDbArc"},
      {"INSERT", L"AcDbBlockReference"}, {"XLINE", L"AcDbXline"}, {"RAY", L"AcDbRay"},
      {"POINT", L"AcDbPoint"}, {"HATCH", L"AcDbHatch"}, {"SPLINE", L"AcDbSpline"},
      {"ELLIPSE", L"AcDbEllipse"}, {"SOLID", L"AcDbSolid"}, {"TRACE", L"AcDbTrace"},
      {"MLINE", L"AcDbMline"}, {"LEADER", L"AcDbLeader"}, {"ACAD_TABLE", L"AcDbTable"},
      {"ATTDEF", L"AcDbAttributeDefinition"}, {"ATTRIB", L"AcDbAttribute"}, {"3DFACE", L"AcDbFace"},
      {"VIEWPORT", L"AcDbViewport"}, {"WIPEOUT", L"AcDbWipeout"}, {"IMAGE", L"AcDbRasterImage"},
      {"MULTILEADER", L"AcDbMLeader"}, {"3DSOLID", L"AcDb3dSolid"}, {"REGION", L"AcDbRegion"},
      {"TOLERANCE", L"AcDbFcf"}, {"SHAPE", L"AcDbShape"},
  }};
  for (const auto& [dxfType, name] : kNames) {
    if (type == dxfType) return name;
  }
  if (type == "POLYLINE") {
    long long flags = 0;
    for (std::size_t i = 1; i < dxf::ownGroupsEnd(groups); ++i) {
      if (groups[i].first == 70 && dxf::parseInt(groups[i].second, &flags)) break;
    }
    if (flags & 8) return L"AcDb3dPolyline";
    if (flags & 16 || flags & 64) return L"AcDbPolygonMesh";
    return L"AcDb2dPolyline";
  }
  if (type == "DIMENSION") {
    long long kind = 0;
    for (std::size_t i = 1; i < dxf::ownGroupsEnd(groups); ++i) {
      if (groups[i].first == 70 && dxf::parseInt(groups[i].second, &kind)) break;
    }
    static constexpr const wchar_t* kDimensions[] = {
        L"AcDbRotatedDimension", L"AcDbAlignedDimension", L"AcDb2LineAngularDimension",
        L"AcDbDiametricDimension", L"AcDbRadialDimension", L"AcDb3PointAngularDimension",
        L"AcDbOrdinateDimension"};
    const long long index = kind & 7;
    return index < 7 ? kDimensions[index] : L"AcDbDimension";
  }
  // Other types: AcDb and the type name in mixed case, as the CAD spells most of them.
  std::wstring name = L"AcDb";
  bool first = true;
  for (const char c : type) {
    if (c == '_') {
      first = true;
      continue;
    }
    const wchar_t w = static_cast<wchar_t>(static_cast<unsigned char>(c));
    name.push_back(first ? w : static_cast<wchar_t>(w >= L'A' && w <= L'Z' ? w - L'A' + L'a' : w));
    first = false;
  }
  return name;
}

}  // namespace standin
