#pragma once
// What the automation objects and the window share: the open document, the
// options, the call log and the type library the objects dispatch through.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "call_log.h"
#include "drawing.h"
#include "platform/win32/com_ptr.h"
#include "selection_rules.h"
#include "server_options.h"
#include "undo_history.h"

// A failing member: the message reaches the client in EXCEPINFO.
struct TDispatchFault {
  std::wstring message;
};

struct TSelectionSetData {
  std::wstring name;
  std::vector<std::uint64_t> handles;
};

class TDocumentState {
 public:
  standin::Drawing drawing;
  std::wstring path;  // where it was read from (or last saved); empty for a new drawing
  std::vector<std::shared_ptr<TSelectionSetData>> selectionSets;
  standin::UndoHistory undo;
  // Every change of the drawing goes through here first, for the undo.
  standin::Drawing& writableDrawing() {
    undo.beforeWrite(drawing);
    return drawing;
  }
};

// The window side, as the automation objects need it.
class TCadHost {
 public:
  virtual ~TCadHost() = default;
  virtual HWND mainWindow() const = 0;
  virtual HWND documentWindow() const = 0;
  // Height of the drawing area in drawing units.
  virtual double viewSize() const = 0;
  // Shows the box at the largest scale that keeps the view's aspect.
  virtual void zoomWindow(double x1, double y1, double x2, double y2) = 0;
  // Repaints the drawing and the status line after a change.
  virtual void drawingChanged() = 0;
  // Lets the user pick on screen with the filter; false when cancelled.
  virtual bool selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked) = 0;
  virtual void showMessage(const std::wstring& text) = 0;
  // Shows the drawing just opened in place of the last one.
  virtual void documentReplaced() = 0;
};

class TServerContext {
 public:
  TServerOptions options;
  TCallLog callLog;
  TComPtr<ITypeLib> typeLib;
  TCadHost* host = nullptr;
  std::unique_ptr<TDocumentState> document;  // null: no open document
  int served = 0;
  int failMemberCalls = 0;  // calls of options.failMember so far
  int exitCounted = 0;      // calls counted towards options.exitAfter
  bool rejectArmed = false;  // options.rejectAfter has been served
  std::function<void()> onExitAfter;  // asks the window to revoke and close

  // The type description of an interface of the library; null if absent.
  ITypeInfo* typeInfo(REFIID iid);

  TDocumentState& requireDocument();
  standin::Entity& requireEntity(std::uint64_t handle);

 private:
  std::map<std::wstring, TComPtr<ITypeInfo>> FTypeInfos;
};

std::wstring hexHandle(std::uint64_t handle);
std::string wideToAcp(const std::wstring& text);

// Reads a DXF file into the context's document (created when there is none);
// the selection sets of the document are emptied.
bool loadDocument(TServerContext& context, const std::wstring& path, std::wstring* error);
// Writes the document's drawing to path.
bool saveDocument(const TServerContext& context, const std::wstring& path, std::wstring* error);
