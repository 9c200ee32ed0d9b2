#pragma once
// The system's text for an error code or HRESULT.
#include <windows.h>

#include <string>

// Without the trailing line break; the code in hexadecimal when the system has no text for it.
std::wstring systemMessage(DWORD code);
