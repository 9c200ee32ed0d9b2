// morvane.exe: starts COM and the common controls, builds the main window
// around TMorvaneForm with the real ports, and runs the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/morvane_form.h"
#include "app/win32/app_platform_win32.h"
#include "app/win32/hidden_list_win32.h"
#include "app/win32/main_window.h"
#include "cad/win32/cad_client.h"
#include "export/win32/excel_client.h"
#include "export/win32/file_saver_win32.h"
#include "platform/win32/com_init.h"
#include "platform/win32/desktop_win32.h"
#include "sheet/win32/gdi_text_metrics.h"
#include "text/win32/input_list_win32.h"
#include "text/win32/replace_dialog_win32.h"
#include "text/win32/text_services_win32.h"

namespace {

int runMessageLoop(TMainWindow& window) {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!window.dialogMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

int run(HINSTANCE instance, int showCommand) {
  const TComInit com(COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  TDesktopWin32 desktop(kAppTitle);
  TComCadConnector cad;
  TGdiTextMetrics metrics;
  TAppPlatformWin32 app;
  TComExcelConnector excel;
  TTextServicesWin32 text;
  TFileSaverWin32 files;
  TMorvaneForm form{TMorvanePorts{desktop, cad, metrics, &app, &excel, &text, &files}};
  TMainWindow window(form);
  if (!window.create(instance)) {
    return 1;
  }
  // Message boxes belong to the main window, which is the one on the taskbar.
  desktop.setOwnerWindow(window.handle());
  files.setOwnerWindow(window.handle());
  // The replace dialog, the candidates popup and the list of texts not
  // shown, created hidden, in this order.
  TReplaceDialogWin32 replaceDialog;
  TInputListWin32 inputList;
  THiddenListWin32 hiddenList;
  if (replaceDialog.create(instance, window.handle())) form.nTextTikanForm = &replaceDialog;
  if (inputList.create(instance, window.handle())) form.InputListForm = &inputList;
  if (hiddenList.create(instance, window.handle())) form.HiddenListForm = &hiddenList;
  const HWND sheet = GetDlgItem(window.handle(), kIdSheet);
  form.OnSheetClientToScreen = [sheet](TScreenPoint p) {
    POINT point{p.x, p.y};
    ClientToScreen(sheet, &point);
    return TScreenPoint{point.x, point.y};
  };

  window.show(showCommand);
  const int exitCode = runMessageLoop(window);
  form.nTextTikanForm = nullptr;
  form.InputListForm = nullptr;
  form.HiddenListForm = nullptr;
  desktop.setOwnerWindow(nullptr);
  form.FormDestroy();
  return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  try {
    return run(instance, showCommand);
  } catch (...) {
    return 1;
  }
}
