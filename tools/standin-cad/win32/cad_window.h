#pragma once
// The stand-in's windows: the main window titled "nanoCAD 5" with its File
// menu and status bar, and inside it the document window whose first child
// is a bar with the drawing's name and whose next child is the drawing view.
// The view keeps a strip of the bar's height at its bottom (the layout tabs),
// so that its height minus the bar's is the drawing area, as the client
// measures it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "server_context.h"
#include "view_transform.h"

class TCadWindow : public TCadHost {
 public:
  explicit TCadWindow(TServerContext& context);
  TCadWindow(const TCadWindow&) = delete;
  TCadWindow& operator=(const TCadWindow&) = delete;
  ~TCadWindow() override;

  // Runs once, just before the main window is destroyed (revoke, save).
  std::function<void()> onClosing;

  bool create(HINSTANCE instance, int show);
  // Ctrl+O and Ctrl+S of the File menu; true when the message was one.
  bool translateAccelerator(MSG& m);

  // TCadHost
  HWND mainWindow() const override { return FMain; }
  HWND documentWindow() const override { return FDocument; }
  double viewSize() const override;
  void zoomWindow(double x1, double y1, double x2, double y2) override;
  void drawingChanged() override;
  bool selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked) override;
  void showMessage(const std::wstring& text) override;

  // After a drawing was loaded: fit it in the view and refresh the captions.
  void documentReplaced() override;

 private:
  enum class TSelectState { Idle, Picking, Done, Cancelled };

  static LRESULT CALLBACK mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK documentProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK barProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK viewProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  bool registerClasses(HINSTANCE instance);

  LRESULT onMainMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT onViewMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  void layoutMain();
  void layoutDocument();
  void onCommand(int id);
  void onClose();
  void paintBar(HWND w);
  void paintView(HWND w);
  void updateStatus();

  void onMouseWheel(HWND w, WPARAM wp, LPARAM lp);
  void onLeftUp(POINT at);
  void onAutoSelectTimer();
  void finishSelection(TSelectState result);
  void addPicked(const std::vector<std::uint64_t>& handles);
  void updateSelectionPrompt();
  int stripHeight() const;
  void fitExtents();

  void openDrawing();
  // Ctrl+Z: the drawing as it was before the last group of writes.
  void undoLastGroup();
  bool saveDrawing(bool askName);

  TServerContext& FContext;
  HINSTANCE FInstance = nullptr;
  HWND FMain = nullptr;
  HWND FDocument = nullptr;
  HWND FBar = nullptr;
  HWND FView = nullptr;
  HWND FStatus = nullptr;
  HMENU FMenu = nullptr;
  HACCEL FAccelerators = nullptr;
  bool FClosing = false;
  TViewTransform FTransform;
  std::wstring FMessage;

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
