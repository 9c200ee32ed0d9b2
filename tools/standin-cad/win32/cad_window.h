#pragma once
// The stand-in's main window titled "nanoCAD 5", with its File and Edit
// menus, its keys and its status bar; inside it the document window (the
// drawing's name over the drawing view).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cad_document_window.h"
#include "platform/win32/window_wall.h"
#include "server_context.h"

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
  HWND mainWindow() const override { return FWnd; }
  HWND documentWindow() const override { return FDocument.handle(); }
  double viewSize() const override { return FDocument.view().viewSize(); }
  void zoomWindow(double x1, double y1, double x2, double y2) override;
  void drawingChanged() override;
  bool selectOnScreen(const TSelectionFilter& filter, std::vector<std::uint64_t>& picked) override;
  void showMessage(const std::wstring& text) override;

  // After a drawing was loaded: fit it in the view and refresh the captions.
  void documentReplaced() override;

 private:
  MORVANE_OWNED_WINDOW(TCadWindow, L"the stand-in CAD's window");

  void layout();
  void onCommand(int id);
  void onClose();
  void updateStatus();

  void openDrawing();
  // Ctrl+Z: the drawing as it was before the last group of writes.
  void undoLastGroup();
  bool saveDrawing(bool askName);

  TServerContext& FContext;
  HWND FWnd = nullptr;
  HWND FStatus = nullptr;
  HMENU FMenu = nullptr;
  HACCEL FAccelerators = nullptr;
  bool FClosing = false;
  std::wstring FMessage;
  TCadDocumentWindow FDocument;
};
