#pragma once
// The stand-in's drawing view: the drawing painted at the view's scale, the
// wheel and middle-button zoom and pan, and the on-screen selection a client
// waits for. It keeps a strip of the document bar's height at its bottom (the
// layout tabs), so that its height minus the bar's is the drawing area, as
// the client measures it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/window_wall.h"
#include "server_context.h"
#include "view_transform.h"

// The height of the bar above the view and of the strip under its drawing area.
inline constexpr int kCadBarHeight = 26;

class TCadView {
 public:
  explicit TCadView(TServerContext& context) : FContext(context) {}
  TCadView(const TCadView&) = delete;
  TCadView& operator=(const TCadView&) = delete;

  // Shows a line in the main window's status bar: the selection's prompt and its end.
  std::function<void(const std::wstring&)> showMessage;

  bool create(HINSTANCE instance, HWND parent);
  HWND handle() const { return FWnd; }

  double viewSize() const { return FTransform.viewSize(); }
  void zoomWindow(double x1, double y1, double x2, double y2);
  // The whole drawing in the view, with a small margin.
  void fitExtents();
  // Paints the drawing as it is now, at once.
  void repaint();
  // The wheel turned over the main window: a screen point in lParam.
  void onMouseWheel(WPARAM wParam, LPARAM lParam);

  bool selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked);
  bool picking() const { return FSelect == TSelectState::Picking; }
  // Ends a selection in progress as cancelled; its call returns when the loop comes round.
  void cancelSelection() { finishSelection(TSelectState::Cancelled); }

 private:
  enum class TSelectState { Idle, Picking, Done, Cancelled };

  MORVANE_OWNED_WINDOW(TCadView, L"the stand-in CAD's drawing view");

  void paint();
  void onLeftUp(POINT at);
  void onAutoSelectTimer();
  void finishSelection(TSelectState result);
  void addPicked(const std::vector<std::uint64_t>& handles);
  void updateSelectionPrompt();

  TServerContext& FContext;
  HWND FWnd = nullptr;
  TViewTransform FTransform;

  // On-screen selection in progress.
  TSelectState FSelect = TSelectState::Idle;
  TSelectionFilter FSelectFilter;
  std::vector<std::uint64_t> FPicked;
  std::set<std::uint64_t> FHighlighted;
  bool FDragging = false;
  POINT FDragFrom{};
  POINT FDragTo{};
  bool FPanning = false;
  POINT FPanLast{};
};
