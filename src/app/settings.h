#pragma once
// The settings file: thirteen keys kept from one run to the next, read once when the
// main window is created and written once when it closes.
#include <cstdint>
#include <optional>
#include <string>

#include "app/app_ports.h"
#include "cad/cad_target.h"
#include "cad/connect_cad.h"
#include "table/acquire.h"

inline constexpr const wchar_t* kSectionMain = L"AcadMRV";
inline constexpr const wchar_t* kSectionTarget = L"Target";
inline constexpr const wchar_t* kSectionCad = L"CAD";
inline constexpr const wchar_t* kDefaultProgID = L"BricscadApp.AcadApplication";
inline constexpr const wchar_t* kDefaultExcludedLayers = L"HOJO*,JOGAI*";
// Longest string value kept from the file; the rest of a longer one is dropped.
inline constexpr std::size_t kMaxSettingLength = 2047;

// What the file holds, in the terms of the window.
struct TSettings {
  std::int32_t left = 0;
  std::int32_t top = 0;
  bool chk2 = false;
  bool chk3 = false;
  bool chk4 = false;
  std::wstring edt1 = kDefaultToleranceText;
  std::wstring progID = kDefaultProgID;
  bool chk5 = true;
  std::wstring edt2 = kDefaultExcludedLayers;
  bool mtext = false;  // Acquire reads MTEXT too
  bool xltext = false;  // "Excelへ" makes the range text first
  bool chk6 = true;
  // The CAD to connect to, as the file holds them (see cad/cad_target.h);
  // an empty value stands for the default.
  std::wstring cadTitle = kCadWindowTitle;
  std::wstring cadClassId = kCadClassId;
};

// The executable's path with its extension replaced by ".ini", or with ".ini"
// appended when the file name has none.
std::wstring settingsFilePath(const std::wstring& executablePath);

// A decimal number, or a hexadecimal one written "0x..." (x in either case);
// std::nullopt for anything else, a number out of range included.
std::optional<std::int32_t> parseProfileInteger(const std::wstring& text);

// Reads every key; `defaults` stands in for whatever is absent or unreadable.
TSettings readSettings(TProfileStore& store, const TSettings& defaults);

// Writes the thirteen keys in their fixed order. A failed write raises TMorvaneError
// "<path> に書き込めません"; the keys written before it stay in the file.
void writeSettings(TProfileStore& store, const std::wstring& path, const TSettings& settings);

// An edge that would push the window past the screen's far side is pulled
// back; an edge before the origin is kept.
std::int32_t clampToScreen(std::int32_t edge, std::int32_t extent, std::int32_t screenExtent);
