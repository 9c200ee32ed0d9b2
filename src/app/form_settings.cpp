// The main window's creation, show, close and end steps, and the About box.
#include "app/morvane_form.h"
#include "app/settings.h"

namespace {

std::wstring settingsPathOf(TAppPlatform& app) { return settingsFilePath(app.executablePath()); }

// The log's line for a value of the "CAD" section that cannot be used.
std::wstring unusableSettingLine(const wchar_t* key, const std::wstring& value, const std::wstring& used) {
  return std::wstring(L"[") + kSectionCad + L"] " + key + L" = " + value + L" は使えません: " + used + L" を使います";
}

}  // namespace

void TMorvaneForm::wireShell() {
  N24.OnClick = [this] { runCommand([this] { N24Click(); }); };
  MTEXT1.OnClick = [this] { MTEXT1Click(); };
}

void TMorvaneForm::FormCreate() {
  TAppPlatform* const app = FPorts.app;
  TDesktop& desktop = FPorts.desktop;

  targetProgID = kDefaultProgID;
  scaleFactor = app != nullptr ? app->displayScaleFactor() : 100;
  startCol = -1;
  startRow = -1;
  Memo1.clear();
  Window.setTopmost(true);

  Window.readBounds();
  const int screenW = desktop.screenWidth();
  const int screenH = desktop.screenHeight();
  TSettings defaults;
  defaults.left = (screenW - Window.Width) / 2;
  defaults.top = (screenH - Window.Height) / 2;
  defaults.progID = targetProgID;
  TSettings settings = defaults;
  if (app != nullptr) {
    const std::unique_ptr<TProfileStore> store = app->openProfile(settingsPathOf(*app));
    settings = readSettings(*store, defaults);
  }
  Window.Left = clampToScreen(settings.left, Window.Width, screenW);
  Window.Top = clampToScreen(settings.top, Window.Height, screenH);
  Window.pushBounds();

  // The order matters: checking CheckBox2 or CheckBox3 unchecks the other one.
  CheckBox2.setChecked(settings.chk2);
  CheckBox3.setChecked(settings.chk3);
  CheckBox4.setChecked(settings.chk4);
  Edit1.setText(settings.edt1);
  targetProgID = settings.progID;
  CheckBox5.setChecked(settings.chk5);
  Edit2.setText(settings.edt2);
  MTEXT1.setChecked(settings.mtext);
  ExcelText1.setChecked(settings.xltext);
  CheckBox6.setChecked(settings.chk6);
  useCadTarget(settings.cadTitle, settings.cadClassId);

  Window.setCaption(titledCaption(cadTitle, L""));
  if (app != nullptr && !FFilterRegistered) {
    app->registerMessageFilter();
    FFilterRegistered = true;
  }
  FUndoCells = std::make_unique<TUndoCells>();
}

void TMorvaneForm::useCadTarget(const std::wstring& title, const std::wstring& classId) {
  // A value that cannot be used gives way to nanoCAD 5's own, with one line
  // in the log, so that a typing slip leaves the program working as before.
  cadTitle = title;
  if (!isCadTitle(cadTitle)) {
    Memo1.add(unusableSettingLine(L"Title", title, kCadWindowTitle));
    cadTitle = kCadWindowTitle;
  }
  cadClassId = classId;
  if (classIdForm(cadClassId) == TClassIdForm::Malformed || !FPorts.cad.useClass(cadClassId)) {
    Memo1.add(unusableSettingLine(L"CLSID", classId, kCadClassId));
    cadClassId = kCadClassId;
    FPorts.cad.useClass(cadClassId);
  }
}

void TMorvaneForm::FormShow() { Window.setTopmost(true); }

bool TMorvaneForm::FormCloseQuery() {
  // Closing in the middle of a command would destroy what its loop still uses.
  if (closeHeld()) {
    FCloseRequested = true;
    return false;
  }
  // Asked before the settings are written: "No" keeps the window as it was.
  // The end of a session never comes here, so a log-off never asks.
  if (!confirmDropPending()) {
    return false;
  }
  // A file that cannot be written (the program kept in a write-protected
  // folder) is reported, and the window closes all the same: kept open, it
  // could never be closed but from outside.
  writeSettingsFile();
  return true;
}

bool TMorvaneForm::writeSettingsFile() {
  TAppPlatform* const app = FPorts.app;
  if (app == nullptr) {
    return true;
  }
  Window.readBounds();
  TSettings settings;
  settings.left = Window.Left;
  settings.top = Window.Top;
  settings.chk2 = CheckBox2.Checked();
  settings.chk3 = CheckBox3.Checked();
  settings.chk4 = CheckBox4.Checked();
  settings.edt1 = Edit1.Text();
  settings.progID = targetProgID;
  settings.chk5 = CheckBox5.Checked();
  settings.edt2 = Edit2.Text();
  settings.mtext = MTEXT1.Checked();
  settings.xltext = ExcelText1.Checked();
  settings.chk6 = CheckBox6.Checked();
  settings.cadTitle = cadTitle;
  settings.cadClassId = cadClassId;
  const std::wstring path = settingsPathOf(*app);
  try {
    const std::unique_ptr<TProfileStore> store = app->openProfile(path);
    writeSettings(*store, path, settings);
  } catch (...) {
    // Whatever stopped the write, the settings stay unsaved and the user is told.
    FPorts.desktop.showError(caughtErrorMessage());
    return false;
  }
  return true;
}

void TMorvaneForm::commandsDone() {
  if (FCloseRequested) {
    FCloseRequested = false;
    if (OnDeferredClose) {
      OnDeferredClose();
    }
  }
}

void TMorvaneForm::FormDestroy() {
  FUndoCells.reset();
  if (FFilterRegistered && FPorts.app != nullptr) {
    FPorts.app->revokeMessageFilter();
    FFilterRegistered = false;
  }
}

// Only the next Acquire's selection changes: MTEXT records already read are
// written back whatever the option says.
void TMorvaneForm::MTEXT1Click() { MTEXT1.setChecked(!MTEXT1.Checked()); }

void TMorvaneForm::N24Click() {
  FPorts.desktop.showInformation(L"情報",
                                 L"Morvane.exe " MORVANE_VERSION_W L"\n図面の表をシートで編集します");
}
