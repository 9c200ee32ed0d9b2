// The stand-in CAD's drawing: what it loads from a DXF file, what its
// automation objects read and change, and what it saves back.
//
// Portable (standard library only). The COM server and the window in win32/
// own a Drawing and hand out its entities; they change an entity's fields and
// set `modified` so that the writer regenerates it from the fields instead of
// replaying the groups it was read with.
//
// Ownership: entities() hands out references into a vector. addCopy() and
// erase() may move entities, so keep handles (Entity::handle) rather than
// pointers across those calls and look them up again with byHandle().
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct Point {
  double x = 0;
  double y = 0;
  double z = 0;
};

struct Entity {
  std::uint64_t handle = 0;      // group 5, hexadecimal in the file
  std::string type;              // DXF type name: "LINE", "LWPOLYLINE", "TEXT", "CIRCLE", "MTEXT", "INSERT", ...
  std::wstring layer = L"0";     // group 8

  // LINE: p1 = start (10/20/30), p2 = end (11/21/31).
  // TEXT: p1 = insertion point (10), p2 = alignment point (11), height (40),
  //       rotation (50, degrees), widthFactor (41), halign (72), valign (73),
  //       style (7), text (1), decoded to UTF-16.
  // MTEXT: p1 = insertion point (10), height (40), rotation (50 or from 11/21),
  //        text = groups 3 then 1 concatenated (format codes and \U+XXXX left in, as the CAD hands them out),
  //        halign/valign derived from attachment (71): 1..9 -> left/centre/right, top/middle/bottom,
  //        widthFactor = the reference column width (41), 0 when none.
  // CIRCLE/ARC: p1 = centre (10), radius (40); ARC: startAngle/endAngle (50/51, degrees).
  // INSERT: p1 = insertion point (10), text = block name (2).
  // Other types: p1/p2 from 10/11 when present, for drawing and extents only.
  Point p1;
  Point p2;
  double height = 0;
  double rotation = 0;
  double widthFactor = 1;
  int halign = 0;
  int valign = 0;
  std::wstring style = L"STANDARD";
  std::wstring text;

  // LWPOLYLINE: 2D vertices (10/20), closed flag (70 bit 1), elevation (38).
  std::vector<std::pair<double, double>> vertices;
  bool closed = false;
  double elevation = 0;

  double radius = 0;
  double startAngle = 0;
  double endAngle = 360;

  // Every group of the entity as read, in order, values as the raw text of
  // the file (not decoded), so an entity the model does not edit is written
  // back byte for byte.
  std::vector<std::pair<int, std::string>> groups;

  // Set by whoever changes a field: the writer then regenerates the entity
  // from its fields (LINE, LWPOLYLINE, TEXT, MTEXT only; other types are always
  // written from `groups`).
  bool modified = false;

  // The automation Alignment value (acAlignmentLeft = 0 ... acAlignmentBottomRight = 14)
  // from halign/valign (72/73), and back. setAlignment leaves unknown values alone
  // and does not set `modified`.
  int alignment() const;
  void setAlignment(int a);

  // Placing a text as the CAD does. The insertion point can be set only for
  // Left, Aligned and Fit, the alignment point for every alignment but Left;
  // false, with nothing changed, where the alignment forbids it. A text
  // placed by one point moves whole (the CAD recomputes the other point);
  // Aligned and Fit keep the other end of their baseline. Sets `modified`.
  // An MTEXT has no alignment point: its insertion point can always be set.
  bool placeInsertionPoint(const Point& p);
  bool placeAlignmentPoint(const Point& p);

  // MTEXT: the attachment point (1..9: top/middle/bottom by left/centre/right)
  // from halign/valign, and back. setAttachment leaves values outside 1..9
  // alone and does not set `modified`.
  int attachment() const;
  void setAttachment(int a);

  // "AcDbText", "AcDbLine", "AcDbPolyline", "AcDbCircle", "AcDbArc", "AcDbMText",
  // "AcDbBlockReference", "AcDbRotatedDimension", ... ("AcDb" + type otherwise).
  std::wstring objectName() const;
};

class Drawing {
 public:
  // ASCII DXF, R12 and R2000+, CR LF or LF. Strings are UTF-8 for AC1021 and
  // later, else in the code page of $DWGCODEPAGE (ANSI_932 = Shift-JIS,
  // ANSI_1252, anything else read as Latin-1); \U+XXXX escapes are decoded.
  // Paths here are UTF-8, whatever the system's code page. Entities with no
  // handle, or one already in use, get a fresh handle.
  // On failure returns false, fills *error (if given) and leaves the drawing empty.
  bool load(const std::string& path, std::string* error);

  // Writes the whole file back: sections the model does not edit as read,
  // entities from their groups (modified ones from their fields), $HANDSEED
  // above every handle in use. Strings are encoded as they were read. The file
  // is written beside the target and then renamed, so a failed save leaves
  // the old file whole.
  bool save(const std::string& path, std::string* error) const;

  Drawing();  // a new empty drawing (AC1027, UTF-8) that save() writes as a complete file

  // Model space entities in drawing order (erased ones removed). Entities of
  // paper space (group 67 = 1) are kept and saved, but are not listed here:
  // a selection in the CAD sees model space only.
  std::vector<Entity>& entities();
  const std::vector<Entity>& entities() const;

  // Model space first, then paper space; nullptr when no entity has that handle.
  Entity* byHandle(std::uint64_t h);
  const Entity* byHandle(std::uint64_t h) const;

  // A copy of e with a fresh handle above every handle in use (also raises
  // $HANDSEED), appended at the end of model space. The copy is written from
  // e's groups with only its handle changed (and links it must not share,
  // such as reactors and extension dictionaries, dropped).
  Entity& addCopy(const Entity& e);

  // Removes a model space entity; false when no entity has that handle.
  bool erase(std::uint64_t h);

  // File name without folder (e.g. "parts.dxf"); "Drawing1.dxf" before any load.
  std::wstring name() const;
  // The path load() read, as given.
  const std::string& path() const;

  std::string version() const;            // $ACADVER, e.g. "AC1015"
  std::vector<std::wstring> layers() const;  // LAYER table names, in file order

  struct Extents {
    double minx = 0;
    double miny = 0;
    double maxx = 0;
    double maxy = 0;
    bool valid = false;  // false for a drawing with nothing in model space
  };
  Extents extents() const;

  // What the reader keeps and the writer replays. A section the model does
  // not parse is kept as its groups, in file order.
  struct Section {
    std::string name;                                  // "HEADER", "TABLES", "ENTITIES", ...
    std::vector<std::pair<int, std::string>> groups;  // between "2 NAME" and "0 ENDSEC"
  };

 private:
  std::uint64_t newHandle();
  bool parse(const std::string& bytes, std::string* error);

  std::string FPath;
  std::string FVersion = "AC1027";
  int FCodePage = 65001;           // of the strings in the file (65001 = UTF-8)
  bool FCrLf = true;
  std::vector<Section> FSections;  // ENTITIES is kept as a marker: its groups come from FModel/FPaper
  std::vector<Entity> FModel;
  // Paper space, each entity with the model space entity it followed in the
  // file (0: before all), so that an unchanged file is written back as read.
  std::vector<std::pair<std::uint64_t, Entity>> FPaper;
  std::vector<std::wstring> FLayers;
  std::uint64_t FNextHandle = 1;   // above every handle in use and $HANDSEED
};

// Selection filter as the CAD evaluates it. Group 0: type names; group 8:
// layer names; both with wildcards (* ? # @ . ~ [..] `) and commas for
// alternatives, case-insensitive. -4 "<NOT" ... "NOT>", "<AND" ... "AND>",
// "<OR" ... "OR>" nest. Other codes compare the entity's group value as text.
// Empty codes match everything. Values are strings as the selection set got them.
bool matchesFilter(const Entity& e, const std::vector<short>& codes, const std::vector<std::wstring>& values);
// False (with a reason) for a filter the CAD refuses: lists of different
// lengths, an unknown or unbalanced -4 operator. matchesFilter evaluates such
// a filter as far as it can.
bool isValidFilter(const std::vector<short>& codes, const std::vector<std::wstring>& values, std::string* error);

// One pattern with comma-separated alternatives, case-insensitive.
// An empty pattern matches only an empty text.
bool wildcardMatch(const std::wstring& pattern, const std::wstring& text);

// An MTEXT as the stand-in draws it: the visible text (codes decoded) in
// lines, a line wrapped at spaces where it would outrun the reference width;
// the box they fill; and the first baseline, below the insertion point. The
// attachment places the box: its top, middle or bottom row, and its left
// edge, centre or right edge, at the insertion point. Every line is as high
// as the MTEXT's height, one every 5/3 of it, as the CAD's single spacing.
struct MTextLayout {
  std::vector<std::wstring> lines;
  double lineStep = 0;       // baseline to baseline, in drawing units
  double width = 0;          // of the box: the longest line, at least the reference width
  double boxHeight = 0;
  double top = 0;            // the box's top above the insertion point (negative: below)
  double left = 0;           // the box's left edge right of the insertion point
  double firstBaseline = 0;  // below the insertion point
};
MTextLayout mtextLayout(const Entity& e);
// Advance of a text in drawing units: full-width characters are square, the
// rest about as wide as the CAD's default font draws them.
double textWidth(const std::wstring& text, double height, double widthFactor);

// Geometry for on-screen selection, in drawing units.
struct Box {
  double minx = 0;
  double miny = 0;
  double maxx = 0;
  double maxy = 0;
};
// Texts: an approximate box from height, width factor, rotation and alignment.
Box entityBox(const Entity& e);
// Window: the entity lies wholly inside w. Crossing: the entity lies inside
// or touches w's border or interior.
bool insideWindow(const Entity& e, const Box& w);
bool crossesWindow(const Entity& e, const Box& w);
// Distance from (x, y) to the entity's outline (texts: to their box), for picking by click.
double distanceTo(const Entity& e, double x, double y);

}  // namespace standin
