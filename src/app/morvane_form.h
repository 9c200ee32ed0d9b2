#pragma once
// The main window: owns the sheet, the undo history, the lists Acquire reads,
// and the controls; every command is one of its handlers. The handlers are
// written against the ports, so the whole program runs in a unit test.
// Implementation files: morvane_form.cpp (construction, command guard),
// form_acquire.cpp (Acquire), form_sheet.cpp (sheet handlers),
// form_edit.cpp (the menu's clipboard commands), form_text.cpp (the text tools),
// form_settings.cpp (creation/close steps and the settings file),
// form_export.cpp (Excel export), form_csv.cpp (saving the sheet as CSV),
// form_import.cpp (reading the Excel range back).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/app_ports.h"
#include "app/command_progress.h"
#include "app/controls.h"
#include "app/hidden_list.h"
#include "app/mtext_codes.h"
#include "app/table_state.h"
#include "cad/cad_ports.h"
#include "cad/cad_target.h"
#include "cad/connect_cad.h"
#include "export/excel_export.h"
#include "export/excel_ports.h"
#include "export/file_saver.h"
#include "platform/desktop.h"
#include "platform/text_metrics.h"
#include "sheet/cell_look.h"
#include "sheet/grid_control_hooks.h"
#include "sheet/undo_cells.h"
#include "sheet/string_grid.h"
#include "text/input_list.h"
#include "text/portable_text_services.h"
#include "text/replace_dialog.h"
#include "text/text_services.h"

#include "app/version.h"

// The application title: the caption of the program's own message boxes.
inline constexpr const wchar_t* kAppTitle = L"Morvane " MORVANE_VERSION_W;

// The main window's caption: the title and the CAD it works with, then the
// drawing once a table has been read from one.
std::wstring formCaption();
std::wstring formCaption(const std::wstring& drawingName);
// ... for the CAD whose window is titled `cadTitle`; no drawing when empty.
std::wstring titledCaption(const std::wstring& cadTitle, const std::wstring& drawingName);
// Status panel 3: why the last command that reached for the CAD or Excel
// found neither; empty when it found them.
inline constexpr int kEndingPanel = 3;
std::wstring cadReachText(TCadReach reach);
std::wstring cadReachText(TCadReach reach, const std::wstring& cadTitle);
std::wstring exportEndText(TExportEnd end);
// The question before pending edits are thrown away, for `count` of them.
std::wstring dropPendingQuestion(std::int32_t count);

// The sheet's place in the main window's client area.
inline constexpr int kSheetLeft = 0;
inline constexpr int kSheetTop = 74;

// What the form needs from outside, wired by wWinMain or by a test.
struct TMorvanePorts {
  TDesktop& desktop;
  TCadConnector& cad;
  TTextMetrics& metrics;
  // Settings file, display scale and message filter; absent in tests that need none.
  TAppPlatform* app = nullptr;
  // A running Excel for "Excelへ"; absent, the button does nothing.
  TExcelConnector* excel = nullptr;
  // Width mapping and locale comparison; absent, the portable ones serve.
  TTextServices* text = nullptr;
  // The save dialog and the file write of "CSVで保存..."; absent, the item does nothing.
  TFileSaver* files = nullptr;
};

class TMorvaneForm {
 public:
  explicit TMorvaneForm(TMorvanePorts ports);
  ~TMorvaneForm();
  TMorvaneForm(const TMorvaneForm&) = delete;
  TMorvaneForm& operator=(const TMorvaneForm&) = delete;

  // ---- The window and its controls ---------------------------------------
  // What each control and handler does for the user: docs/architecture.md.
  TFormWindow Window;
  TButton Button1{L"取得"};
  TCheckBox CheckBox6{L"矢印描画"};
  TCheckBox CheckBox5{L"除外画層フィルター"};
  TEdit Edit2;
  TButton Button2{L"更新", false};
  TButton Button3{L"Excelへ", false};
  TCheckBox CheckBox1{L"1行目固定"};
  TCheckBox CheckBox2{L"Enter:[→]"};
  TCheckBox CheckBox3{L"Enter:[↓]"};
  TCheckBox CheckBox4{L"a -> A"};
  TControl Label1{L"許容"};
  TEdit Edit1;
  TButton SpeedButton2{L"入力候補"};
  TButton SpeedButton1{L"UNDO"};
  TStringGrid StringGrid1;
  TMemo Memo1;
  TProgressBar ProgressBar1;
  TStatusBar StatusBar1;

  // PopupMenu1, in menu order ("-" is a separator).
  TMenuItem N26{L"入力候補"};
  TMenuItem N25{L"-"};
  TMenuItem CAD1{L"ターゲット CAD", false};
  TMenuItem N22{L"-"};
  TMenuItem N6{L"更新", false};
  TMenuItem N5{L"-"};
  TMenuItem N1{L"カット ( Ctrl + X )"};
  TMenuItem N2{L"コピー ( Ctrl + C )"};
  TMenuItem N3{L"ペースト ( Ctrl + V )"};
  TMenuItem N4{L"-"};
  TMenuItem UNDO1{L"UNDO ( Ctrl + Z )", false};
  TMenuItem N7{L"-"};
  TMenuItem N21{L"置換"};
  TMenuItem N20{L"-"};
  TMenuItem N8{L"全角->半角"};
  TMenuItem N9{L"半角->全角"};
  TMenuItem N10{L"-"};
  TMenuItem N11{L"半角カタカナ->全角"};
  TMenuItem N12{L"半角数字->全角"};
  TMenuItem N13{L"半角アルファベット->全角"};
  TMenuItem N14{L"半角記号->全角"};
  TMenuItem N15{L"-"};
  TMenuItem N16{L"全角カタカナ->半角"};
  TMenuItem N17{L"全角数字->半角"};
  TMenuItem N18{L"全角アルファベット->半角"};
  TMenuItem N19{L"全角記号->半角"};
  TMenuItem N23{L"-"};
  TMenuItem CSV1{L"CSVで保存...", false};
  TMenuItem ExcelIn1{L"Excelから取込", false};
  // Checked: "Excelへ" makes the range text before it assigns ("xltext").
  TMenuItem ExcelText1{L"Excelへ文字列で"};
  TMenuItem N29{L"-"};
  TMenuItem N27{L"表示されない文字…", false};
  TMenuItem N28{L"-"};
  TMenuItem N24{L"バージョン情報"};
  TMenuItem N30{L"-"};
  // Checked: Acquire reads MTEXT too ("mtext" in the settings file).
  TMenuItem MTEXT1{L"MTEXTも対象"};
  // The popup menu's items in order, for the Win32 side to build the menu.
  std::vector<TMenuItem*> popupMenuItems();

  // ---- Program-wide data ---------------------------------------------------
  // The records, bounds, index, drawing, hidden texts and marks of the table
  // read last, to be read; only the commands change them. A test that must
  // set up a state no command leaves goes through TTableAccess.
  const TTableState& table() const { return FTable; }
  std::wstring targetProgID = L"BricscadApp.AcadApplication";
  std::int32_t scaleFactor = 100;  // display scale of the first monitor, percent
  // The CAD connected to: its main window's whole title and its automation
  // class, from the settings file's "CAD" section.
  std::wstring cadTitle = kCadWindowTitle;
  std::wstring cadClassId = kCadClassId;

  // ---- Fields --------------------------------------------------------------
  // The undo history, with the group count of the last many-cell command.
  std::unique_ptr<TUndoCells> FUndoCells;
  // The sheet's drag: where the selection started and the cell it moved to;
  // clickCol is the column last selected.
  std::int32_t startCol = -1;
  std::int32_t startRow = -1;
  std::int32_t moveCol = 0;
  std::int32_t clickCol = 0;

  // ---- Handlers the window and the tests call -------------------------------
  // The buttons and menu items reach theirs through their OnClick, wired by
  // the form itself.
  // The sheet's click (form_locate.cpp): every move of the current cell by
  // mouse, key or undo.
  void StringGrid1Click();

  // Creation, show, close (form_settings.cpp).
  void FormCreate();
  void FormShow();
  // Writes the settings file (a failed write is shown, and closes all the
  // same); false keeps the window open. A close asked for while a command
  // runs is put off until the command ends (OnDeferredClose).
  bool FormCloseQuery();
  // The close step's write: false, after the error box, when the file could
  // not be written. Also what the end of the session writes.
  bool writeSettingsFile();
  void FormDestroy();
  // Called when the last running command has ended and a close was put off
  // meanwhile; the Win32 side closes the window again.
  std::function<void()> OnDeferredClose;
  bool closeRequested() const { return FCloseRequested; }

  // The sheet, its keys and the clipboard (form_sheet.cpp).
  // What to paint for a cell after its normal look: the data cells of a
  // column without drawing texts are greyed.
  // Each data cell that Update would change, or cannot write, gets a corner
  // mark in the colour of what it would do (app/pending_look.h).
  TCellLook StringGrid1DrawCell(std::int32_t col, std::int32_t row, const TCellRect& rect, TDrawState state);
  // Status panel 2: the pending counts, empty when nothing is pending. Run
  // after each paint of the sheet, which follows every change to it, so that
  // a command that changes many cells counts once.
  void showPendingCounts();
  void StringGrid1FixedCellClick(std::int32_t col, std::int32_t row);
  void StringGrid1MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void StringGrid1MouseMove(TShiftState shift, int x, int y);
  void StringGrid1MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void StringGrid1GetEditText(std::int32_t col, std::int32_t row);
  void StringGrid1KeyDown(std::uint16_t& key, TShiftState shift);
  // The sheet control's hooks, wired to the handlers above: its keys, mouse,
  // header clicks, each cell's look and the end of each paint. The context
  // menu is the window's to add.
  TGridControlHooks sheetHooks();

  // ---- The dialogs beside the main window ----------------------------------
  // The replace dialog and the candidates popup, created hidden after the
  // main window and owned beside it; a command without its dialog does nothing.
  TnTextTikanForm* nTextTikanForm = nullptr;
  TInputListForm* InputListForm = nullptr;
  // A point in the sheet's client area to screen coordinates (set by the
  // Win32 side; as it is without one).
  std::function<TScreenPoint(TScreenPoint)> OnSheetClientToScreen;
  // The list of the texts the sheet does not show, created hidden beside the
  // main window; absent, the command does nothing.
  THiddenListForm* HiddenListForm = nullptr;

  // ---- Command guard -------------------------------------------------------
  // Runs a command from a button, a menu item or a key. While one command runs
  // (its loop lets pending messages run), a second one is ignored; errors that
  // reach here are shown in the standard error box.
  void runCommand(const std::function<void()>& command);
  bool commandRunning() const { return FCommandDepth > 0; }

  TMorvanePorts& ports() { return FPorts; }

 private:
  friend struct TTableAccess;
  void wireControls();

  // ---- Acquire, UNDO and export (form_acquire.cpp, form_undo.cpp, form_export.cpp)
  void Button1Click();
  void SpeedButton1Click();
  void Button3Click();
  void wireExport();
  void CSV1Click();
  void wireCsv();
  void ExcelIn1Click();
  void ExcelText1Click();
  void wireImport();

  // ---- Update and Locate (form_update.cpp, form_locate.cpp) ----------------
  void Button2Click();
  void N6Click();
  // True while Update writes: a click meanwhile shows the handle but leaves the CAD alone.
  bool FUpdateRunning = false;
  // Runs `moves` (an undo of many cells) with the clicks of its moves held
  // back, then one click for the cell it ended on, if it moved at all.
  void locateOnceAfter(const std::function<void()>& moves);
  bool FLocateHeld = false;
  bool FLocateMissed = false;

  // ---- About, and the close put off while a command runs (form_settings.cpp)
  void MTEXT1Click();
  void N24Click();
  // Takes the CAD's title and class id from the settings, or the defaults
  // for a value that cannot be used.
  void useCadTarget(const std::wstring& title, const std::wstring& classId);
  void commandsDone();
  void wireShell();
  bool FCloseRequested = false;
  bool FFilterRegistered = false;

  // ---- The sheet's own steps (form_sheet.cpp) -------------------------------
  std::int32_t moveRow = 0;
  void StringGrid1SelectCell(std::int32_t col, std::int32_t row, bool& canSelect);
  void CheckBox1Click();
  void CheckBox2Click();
  void CheckBox3Click();
  void wireSheet();
  // Ends an open edit of the sheet before a command writes cells.
  void endEditFirst();

  // ---- The menu's cut, copy and paste (form_edit.cpp) ----------------------
  void N1Click();
  void N2Click();
  void N3Click();
  void cutSelection(TStringGrid& sheet);
  void wireEdit();

  // ---- The text tools (form_text.cpp) --------------------------------------
  // The one handler of the ten conversion items; Sender is the item clicked.
  void N8Click(const TMenuItem& Sender);
  void N21Click();
  void makeInputList();
  void N26Click();
  void SpeedButton2Click();
  void wireText();
  TTextServices& textServices();

  // ---- Endings and pending edits (form_endings.cpp, form_pending.cpp) -------
  // connectCAD that leaves in status panel 3 why it found no CAD, and empties
  // the panel when it found one.
  std::unique_ptr<TCadApplication> connectCadSaying();
  void sayWhyEnded(const std::wstring& why);
  // Whether what Update has yet to write may be thrown away: true at once
  // when nothing is pending, else the user's answer to the question.
  bool confirmDropPending();

  // ---- The texts the sheet does not show (form_hidden.cpp) -----------------
  void N27Click();
  void wireHidden();

  // A close waits while a command runs, and while Locate asks the CAD.
  bool closeHeld() const { return FCommandDepth > 0 || FCloseHolds > 0; }

  TMorvanePorts FPorts;
  TTableState FTable{StringGrid1};
  TControlsProgress FProgress{Memo1, ProgressBar1, StatusBar1};
  TPortableTextServices FPortableText;
  TMTextCodes FMTextCodes;
  int FCommandDepth = 0;
  int FCloseHolds = 0;
};
