#include "cad/connect_cad.h"

namespace {
constexpr std::uint8_t kVkEscape = 0x1B;
constexpr std::uint32_t kRestoreWaitMs = 500;
constexpr std::uint32_t kEscapeWaitMs = 5;
}  // namespace

std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector) {
  TCadReach ignored = TCadReach::Connected;
  return connectCAD(desktop, connector, ignored);
}

std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector, TCadReach& reach) {
  return connectCAD(desktop, connector, kCadWindowTitle, reach);
}

std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector, const std::wstring& title,
                                            TCadReach& reach) {
  reach = TCadReach::NoWindow;
  if (desktop.findTopLevelWindow(title) == 0) {
    return nullptr;
  }
  reach = TCadReach::NoServer;
  std::unique_ptr<TCadApplication> application;
  try {
    application = connector.createApplication();
  } catch (...) {
    // A window whose process serves no automation object: fail quietly.
    return nullptr;
  }
  if (application) {
    reach = TCadReach::Connected;
  }
  return application;
}

void bringToTop(TDesktop& desktop, TWnd wnd) {
  const std::uint32_t ownThread = desktop.windowThreadId(wnd);
  const std::uint32_t foregroundThread = desktop.windowThreadId(desktop.getForegroundWindow());
  desktop.setForegroundWindow(wnd);
  if (ownThread == foregroundThread) {
    desktop.bringWindowToTop(wnd);
    return;
  }
  desktop.attachThreadInput(ownThread, foregroundThread, true);
  desktop.bringWindowToTop(wnd);
  desktop.attachThreadInput(ownThread, foregroundThread, false);
}

void cadToFront(TDesktop& desktop, const std::function<TWnd()>& cadWindow) {
  if (desktop.isIconic(cadWindow())) {
    desktop.openIcon(cadWindow());
    desktop.sleep(kRestoreWaitMs);
  }
  desktop.setForegroundWindow(cadWindow());
  if (desktop.getForegroundWindow() == cadWindow()) {
    desktop.keyEvent(kVkEscape, false);
    desktop.keyEvent(kVkEscape, true);
    desktop.sleep(kEscapeWaitMs);
  }
}
