#pragma once
// Which drawing a table was read from. Handles are small sequential numbers
// in every drawing, so a handle of one drawing very often names some other
// text in another: nothing is written or located unless the active document
// is still the drawing the table came from.
#include <string>

#include "cad/cad_ports.h"

struct TDrawingIdentity {
  // The document's full name (its file with the path); for a drawing never
  // saved, which has none, its name. Empty: no table read yet.
  std::wstring name;
  bool byFullName = true;  // which of the two `name` holds
  std::wstring documentName;  // the document's name, as the caption shows it
  bool known() const { return !name.empty(); }
  bool operator==(const TDrawingIdentity&) const = default;
};

// The identity of a document whose name has been read: its full name, or
// that name when the full name is empty.
TDrawingIdentity readDrawingIdentity(TCadDocument& document, const std::wstring& documentName);

// Whether `document` is the recorded drawing, with one call: the same one of
// the two names that was recorded, compared without regard to case as
// Windows compares file names. An unknown identity matches nothing.
struct TDrawingCheck {
  bool same = false;
  std::wstring active;  // the name read from `document`, for saying which drawing is open
};
TDrawingCheck checkDrawing(TCadDocument& document, const TDrawingIdentity& recorded);
