#pragma once
#include <memory>

#include "cad/cad_ports.h"
#include "platform/desktop.h"

// The title of the CAD main window that the program looks for.
inline constexpr const wchar_t* kCadWindowTitle = L"nanoCAD 5";

// Finds the running CAD and obtains its application object. Never raises:
// null when no window titled "nanoCAD 5" exists (no COM call is made then) or
// when the object cannot be created.
std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector);

// Brings `wnd` to the front, attaching thread input when another thread owns
// the foreground window. Results of the requests are not checked.
void bringToTop(TDesktop& desktop, TWnd wnd);
