#pragma once
// The stand-in's document window, inside the main window: its first child is
// a bar with the drawing's name and its next child the drawing view. The
// client finds the view in that order.
#include <windows.h>

#include "cad_view.h"
#include "platform/win32/window_wall.h"
#include "server_context.h"

// The bar over the view, showing the name of the drawing.
class TCadNameBar {
 public:
  explicit TCadNameBar(const TServerContext& context) : FContext(context) {}
  TCadNameBar(const TCadNameBar&) = delete;
  TCadNameBar& operator=(const TCadNameBar&) = delete;

  bool create(HINSTANCE instance, HWND parent);
  HWND handle() const { return FWnd; }

 private:
  MORVANE_OWNED_WINDOW(TCadNameBar, L"the stand-in CAD's document bar");
  void paint();

  const TServerContext& FContext;
  HWND FWnd = nullptr;
};

class TCadDocumentWindow {
 public:
  explicit TCadDocumentWindow(TServerContext& context) : FBar(context), FView(context) {}
  TCadDocumentWindow(const TCadDocumentWindow&) = delete;
  TCadDocumentWindow& operator=(const TCadDocumentWindow&) = delete;

  // The window with its bar and view; false when any of them failed.
  bool create(HINSTANCE instance, HWND parent);
  HWND handle() const { return FWnd; }
  TCadView& view() { return FView; }
  const TCadView& view() const { return FView; }
  // The drawing's name and picture after a change.
  void refresh();

 private:
  MORVANE_OWNED_WINDOW(TCadDocumentWindow, L"the stand-in CAD's document window");
  void layout();

  HWND FWnd = nullptr;
  TCadNameBar FBar;
  TCadView FView;
};
