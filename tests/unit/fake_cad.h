#pragma once
// An in-memory CAD behind the CAD ports: documents holding lines, polylines,
// texts and other entities on layers, selection sets, and an on-screen
// selection that evaluates the filter as the CAD does (entity type and layer
// wildcard patterns, -4 brackets). Every operation served is recorded and can
// be made to fail with a message, so tests can check what the program asked
// of the CAD and how it copes with a failing call.
//
// Objects handed out refer back to the TFakeCad by reference: it must outlive
// them. Entities are addressed by their index in the document's list.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/cad_ports.h"

class TFakeDesktop;

struct TFakeEntity {
  std::wstring objectName;  // "AcDbLine", "AcDbPolyline", "AcDbText", "AcDbCircle", ...
  std::wstring dxfName;     // what the type filter (group 0) matches: "LINE", "LWPOLYLINE", ...
  std::wstring layer = L"0";
  std::wstring handle;      // hexadecimal, unique in the document, as the document spells it
  bool erased = false;
  // The object answers the text interface whatever its type, as a CAD's
  // attribute definition or multiline text may.
  bool answersAsText = false;
  // AcDbLine
  TPoint3 start{0.0, 0.0, 0.0};
  TPoint3 end{0.0, 0.0, 0.0};
  // AcDbPolyline: 2D vertices x0, y0, x1, y1, ...; the elevation is the z of
  // every vertex and is not part of Coordinates.
  std::vector<double> coordinates;
  bool closed = false;
  double elevation = 0.0;
  // AcDbText, AcDbMText (its string with the codes)
  std::wstring text;
  std::int32_t alignment = 0;
  TPoint3 insertion{0.0, 0.0, 0.0};
  TPoint3 alignmentPoint{0.0, 0.0, 0.0};
  std::int32_t objectId = 0;

  bool isLine() const { return objectName == L"AcDbLine"; }
  bool isPolyline() const { return objectName == L"AcDbPolyline"; }
  bool isText() const { return objectName == L"AcDbText"; }
  bool isMText() const { return objectName == L"AcDbMText"; }
};

struct TFakeSelectionSetData {
  std::wstring name;
  std::vector<std::size_t> members;  // entity indexes, in selection order
  bool deleted = false;
};

struct TFakeDocumentData {
  std::wstring name = L"Drawing1.dwg";
  std::wstring fullName;  // empty: never saved
  std::vector<TFakeEntity> entities;
  // Every set ever added; deleted ones stay (their objects report errors) but
  // are not listed by the collection.
  std::vector<TFakeSelectionSetData> selectionSets;
  std::int32_t drawingWindow = 0x2002;
  double viewSize = 100.0;
  std::int64_t nextHandle = 0x1A0;  // may pass 32 bits, as a large drawing's do
  // How this CAD spells the handles it hands out: upper case without leading
  // zeros by default; another CAD may write "001a0" for the same entity.
  bool lowerCaseHandles = false;
  int handleWidth = 0;  // padded with zeros to this many digits
  std::vector<std::wstring> sentCommands;
  // StartUndoMark and EndUndoMark, in the order received ("start", "end").
  std::vector<std::wstring> undoMarks;
  std::vector<std::int32_t> regens;
};

// How the user ends an on-screen selection.
enum class TFakeSelectMode {
  WholeDrawing,  // every entity of the document that the filter lets through
  Picked,        // the entities listed in `picked`, then the filter
  Cancel,        // the user presses Escape: SelectOnScreen raises TAutomationError
};

class TFakeCad : public TCadConnector {
 public:
  TFakeCad();

  // ---- The drawing ---------------------------------------------------------
  std::vector<TFakeDocumentData> documents;
  std::size_t activeDocument = 0;
  TFakeDocumentData& doc() { return documents.at(activeDocument); }

  // Add to the active document; each returns the new entity's index.
  std::size_t addLine(TPoint3 start, TPoint3 end, const std::wstring& layer = L"0");
  std::size_t addPolyline(std::vector<double> coordinates, bool closed, double elevation = 0.0,
                          const std::wstring& layer = L"0");
  // An empty handle gets the document's next one.
  std::size_t addText(const std::wstring& text, TPoint3 insertion, std::int32_t alignment = 0,
                      TPoint3 alignmentPoint = {0.0, 0.0, 0.0}, const std::wstring& layer = L"0",
                      const std::wstring& handle = {});
  // A multi-line text, its string with the codes as the CAD holds it.
  std::size_t addMText(const std::wstring& source, TPoint3 insertion, const std::wstring& layer = L"0",
                       const std::wstring& handle = {});
  // Any other kind: ("AcDbCircle", "CIRCLE"), ("AcDb2dPolyline", "POLYLINE"),
  // ("AcDbSpline", "SPLINE"), ("AcDbXline", "XLINE"), ("AcDbMText", "MTEXT").
  std::size_t addOther(const std::wstring& objectName, const std::wstring& dxfName,
                       const std::wstring& layer = L"0");
  // A selection set left behind in the active document, e.g. by a crashed run.
  void addSelectionSet(const std::wstring& name, std::vector<std::size_t> members = {});
  // Names of the active document's live selection sets, in collection order.
  std::vector<std::wstring> selectionSetNames() const;

  // ---- The application ------------------------------------------------------
  std::int32_t mainWindow = 0x2001;
  // createApplication fails (no automation server behind the window).
  bool serverMissing = false;
  // A CAD without StartUndoMark and EndUndoMark: both fail as unknown names.
  bool lacksUndoMarks = false;
  std::optional<std::pair<TPoint3, TPoint3>> lastZoom;
  // Ids handed to texts made by Copy.
  std::int32_t nextObjectId = 0x7E000000;

  // ---- On-screen selection --------------------------------------------------
  TFakeSelectMode selectMode = TFakeSelectMode::WholeDrawing;
  std::vector<std::size_t> picked;
  // Runs while the user selects (before the set is filled): a test can look
  // at the desktop's state then.
  std::function<void()> onSelectOnScreen;
  std::vector<std::int16_t> lastFilterCodes;
  std::vector<std::wstring> lastFilterValues;

  // ---- Recording and faults -------------------------------------------------
  // Every operation served, by name ("SelectionSet.Clear", "Text.Handle", ...),
  // with its argument where it has one ("SelectionSets.Add ssTemp").
  std::vector<std::wstring> calls;
  int countOf(const std::wstring& operation) const;
  // The operation fails with `message` after it has been served `skip` times,
  // `times` times in a row (-1: for ever); `unreachable`: as a call the CAD
  // never answered.
  void failOn(const std::wstring& operation, const std::wstring& message, int skip = 0,
              int times = -1, bool unreachable = false);
  void clearFaults() { FFaults.clear(); }

  // Filter evaluation, as the CAD's selection does it: codes 0 (type name) and
  // 8 (layer) with wildcard patterns, -4 "<NOT" ... "NOT>", "<AND"/"<OR".
  static bool matchesFilter(const TFakeEntity& entity, const std::vector<std::int16_t>& codes,
                            const std::vector<std::wstring>& values);
  // The CAD's wildcard match: comma-separated alternatives, '*', '?', '#'
  // (digit), '@' (letter), '.' (neither), '~' (not), '[...]', '`' escape;
  // without regard to case.
  static bool wildcardMatch(const std::wstring& text, const std::wstring& pattern);

  // ---- TCadConnector --------------------------------------------------------
  std::unique_ptr<TCadApplication> createApplication() override;

  // Called by the fake objects: records the operation and raises a fault if one is set.
  void serve(const std::wstring& operation, const std::wstring& argument = {});
  std::wstring nextHandle(TFakeDocumentData& document);

 private:
  struct TFault {
    std::wstring message;
    int skip = 0;
    int times = -1;
    bool unreachable = false;
  };
  std::map<std::wstring, TFault> FFaults;
  std::map<std::wstring, int> FServed;
};

// Registers the CAD's main window with the fake desktop: titled "nanoCAD 5",
// owned by thread `thread`.
void addCadWindow(TFakeDesktop& desktop, const TFakeCad& cad, std::uint32_t thread = 2);
