#pragma once
// The stand-in's menu commands (WM_COMMAND ids), shared with the tests that
// drive its menu from another process.
constexpr int kCadCommandOpen = 101;
constexpr int kCadCommandSave = 102;
constexpr int kCadCommandSaveAs = 103;
constexpr int kCadCommandExit = 104;
constexpr int kCadCommandUndo = 105;
