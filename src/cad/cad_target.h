#pragma once
// Which CAD the program connects to: the whole title of its main window and
// the automation class of its application object. The settings file may
// point both at another build of the CAD; these say what it may hold.
#include <string>

// The application class of nanoCAD 5, in the form the settings file holds it.
inline constexpr const wchar_t* kCadClassId = L"{449354E9-CDD8-4A11-BD82-0D4A3C21E7D2}";

// A title a window can carry and a user can type into the file: not empty,
// no control character.
bool isCadTitle(const std::wstring& text);

// What a class id setting holds: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// in hexadecimal digits of either case, or a ProgID (a letter, then letters,
// digits, dots and underscores, no dot at either end nor two together, at
// most 39 characters, as COM takes them).
enum class TClassIdForm { Malformed, ClassId, ProgId };
TClassIdForm classIdForm(const std::wstring& text);
