#pragma once
#include <functional>
#include <memory>

#include "cad/cad_ports.h"
#include "platform/desktop.h"

// The title of the CAD main window that the program looks for.
inline constexpr const wchar_t* kCadWindowTitle = L"nanoCAD 5";

// Finds the running CAD and obtains its application object. Never raises:
// null when no window titled "nanoCAD 5" exists (no COM call is made then) or
// when the object cannot be created.
std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector);

// How far a connection got, so that a command that ends quietly can say why.
enum class TCadReach { Connected, NoWindow, NoServer };
std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector, TCadReach& reach);
// ... looking for the window titled `title` instead.
std::unique_ptr<TCadApplication> connectCAD(TDesktop& desktop, TCadConnector& connector, const std::wstring& title,
                                            TCadReach& reach);

// Brings `wnd` to the front, attaching thread input when another thread owns
// the foreground window. Results of the requests are not checked.
void bringToTop(TDesktop& desktop, TWnd wnd);

// Hands the CAD the front and cancels whatever command it was in: a
// minimised CAD window is restored (and given 500 ms), made the foreground
// window, and only when it really is in front does it get an Escape press.
// `cadWindow` is asked for the window before each use.
void cadToFront(TDesktop& desktop, const std::function<TWnd()>& cadWindow);
