#pragma once
// What the program asks of the CAD automation server, as abstract objects.
// Every operation that fails raises TAutomationError carrying the server's message.
// Objects are handed out as unique_ptr: the caller owns its reference and
// releases it when its command ends.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"

using TPoint3 = std::array<double, 3>;

class TCadText;
class TCadLine;
class TCadPolyline;

class TCadEntity {
 public:
  virtual ~TCadEntity() = default;
  // "AcDbText", "AcDbLine", "AcDbPolyline", ...
  virtual std::wstring ObjectName() = 0;
  // The entity seen through the line, polyline or text interface; a failed
  // query raises TAutomationError.
  virtual std::unique_ptr<TCadLine> asLine() = 0;
  virtual std::unique_ptr<TCadPolyline> asPolyline() = 0;
  virtual std::unique_ptr<TCadText> asText() = 0;
  // A multi-line text ("AcDbMText") through the members it shares with a
  // text: Handle, TextString, InsertionPoint, ObjectID, Copy, Erase, Update.
  // It has no Alignment nor TextAlignmentPoint; asking for them is an error.
  virtual std::unique_ptr<TCadText> asMText() = 0;
  // Every entity answers this through any of its interfaces: a copy that
  // turned out to be no text can still be taken out of the drawing.
  virtual void Erase() = 0;
};

class TCadLine {
 public:
  virtual ~TCadLine() = default;
  virtual TPoint3 StartPoint() = 0;
  virtual TPoint3 EndPoint() = 0;
};

class TCadPolyline {
 public:
  virtual ~TCadPolyline() = default;
  // 2D vertex list x0, y0, x1, y1, ...
  virtual std::vector<double> Coordinates() = 0;
  virtual bool Closed() = 0;
};

class TCadText {
 public:
  virtual ~TCadText() = default;
  virtual std::wstring Handle() = 0;
  virtual std::wstring TextString() = 0;
  virtual void setTextString(const std::wstring& text) = 0;
  virtual std::int32_t Alignment() = 0;
  virtual TPoint3 InsertionPoint() = 0;
  virtual void setInsertionPoint(const TPoint3& p) = 0;
  virtual TPoint3 TextAlignmentPoint() = 0;
  virtual void setTextAlignmentPoint(const TPoint3& p) = 0;
  virtual std::int32_t ObjectID() = 0;
  // A new entity with every property of this one, added to the drawing. It
  // is handed out as a plain entity: the caller takes it as a text, and the
  // copy is already in the drawing if that fails.
  virtual std::unique_ptr<TCadEntity> Copy() = 0;
  virtual void Erase() = 0;
  virtual void Update() = 0;
};

class TCadSelectionSet {
 public:
  virtual ~TCadSelectionSet() = default;
  virtual std::wstring Name() = 0;
  virtual std::int32_t Count() = 0;
  virtual std::unique_ptr<TCadEntity> Item(std::int32_t index) = 0;
  virtual void Clear() = 0;
  virtual void Delete() = 0;
  // Returns when the user ends the selection; a cancel is an error.
  virtual void SelectOnScreen(const std::vector<std::int16_t>& filterCodes,
                              const std::vector<std::wstring>& filterValues) = 0;
};

class TCadSelectionSets {
 public:
  virtual ~TCadSelectionSets() = default;
  virtual std::int32_t Count() = 0;
  virtual std::unique_ptr<TCadSelectionSet> Item(std::int32_t index) = 0;
  virtual std::unique_ptr<TCadSelectionSet> Add(const std::wstring& name) = 0;
};

class TCadDocument {
 public:
  virtual ~TCadDocument() = default;
  virtual std::wstring Name() = 0;
  // The drawing's file with its path; empty for a drawing never saved.
  virtual std::wstring FullName() = 0;
  virtual std::unique_ptr<TCadSelectionSets> SelectionSets() = 0;
  virtual std::unique_ptr<TCadEntity> HandleToObject(const std::wstring& handle) = 0;
  // The value of a system variable that holds a number ("VIEWSIZE").
  virtual double GetVariable(const std::wstring& name) = 0;
  // The drawing window's handle, narrowed to 32 bits.
  virtual std::int32_t windowHandle() = 0;
  virtual void Regen(std::int32_t which) = 0;
  virtual void SendCommand(const std::wstring& command) = 0;
  // What lies between the two marks the CAD's UNDO reverts in one step. Not
  // every CAD has them: an unknown member raises TAutomationError like any failure.
  virtual void StartUndoMark() = 0;
  virtual void EndUndoMark() = 0;
};

class TCadApplication {
 public:
  virtual ~TCadApplication() = default;
  // The CAD main window's handle, narrowed to 32 bits.
  virtual std::int32_t windowHandle() = 0;
  virtual std::int32_t DocumentsCount() = 0;
  virtual std::unique_ptr<TCadDocument> ActiveDocument() = 0;
  virtual void ZoomWindow(const TPoint3& lowerLeft, const TPoint3& upperRight) = 0;
};

// Creates the CAD application object through COM (class
// {449354E9-CDD8-4A11-BD82-0D4A3C21E7D2}, application interface
// {AFAB189D-226A-4047-B98F-CD75CE56DDE4}). May raise any error; connectCAD
// discards it.
class TCadConnector {
 public:
  virtual ~TCadConnector() = default;
  virtual std::unique_ptr<TCadApplication> createApplication() = 0;
};
