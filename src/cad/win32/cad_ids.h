#pragma once
// The ids of the CAD's automation objects, and the names under which the
// client caches DISPIDs of the objects it never queries by id.
#include <windows.h>

// {449354E9-CDD8-4A11-BD82-0D4A3C21E7D2}
inline constexpr GUID kCadApplicationClsid = {
    0x449354E9, 0xCDD8, 0x4A11, {0xBD, 0x82, 0x0D, 0x4A, 0x3C, 0x21, 0xE7, 0xD2}};
// {AFAB189D-226A-4047-B98F-CD75CE56DDE4}
inline constexpr GUID kCadApplicationIid = {
    0xAFAB189D, 0x226A, 0x4047, {0xB9, 0x8F, 0xCD, 0x75, 0xCE, 0x56, 0xDD, 0xE4}};
// {FFE64704-CEBD-4C88-A867-E7C821AFE488}
inline constexpr GUID kCadEntityIid = {
    0xFFE64704, 0xCEBD, 0x4C88, {0xA8, 0x67, 0xE7, 0xC8, 0x21, 0xAF, 0xE4, 0x88}};
// {037572DF-0207-4B27-BCDA-C163054A21DF}
inline constexpr GUID kCadPolylineIid = {
    0x037572DF, 0x0207, 0x4B27, {0xBC, 0xDA, 0xC1, 0x63, 0x05, 0x4A, 0x21, 0xDF}};
// {34257E2A-6A0C-4DEF-A740-65455AC05B1D}
inline constexpr GUID kCadLineIid = {
    0x34257E2A, 0x6A0C, 0x4DEF, {0xA7, 0x40, 0x65, 0x45, 0x5A, 0xC0, 0x5B, 0x1D}};
// {9CD7E38D-0003-410D-B6DF-DE36FD190850}
inline constexpr GUID kCadTextIid = {
    0x9CD7E38D, 0x0003, 0x410D, {0xB6, 0xDF, 0xDE, 0x36, 0xFD, 0x19, 0x08, 0x50}};

// How the CAD is named in the messages of replies that cannot be read.
inline constexpr const wchar_t* kCadServerName = L"CAD";

// Named kinds of the objects the client uses through the IDispatch they come
// as, never queried by an interface id: their DISPIDs are cached under these.
inline constexpr const wchar_t* kCadEntityKind = L"CAD.Entity";
// A multi-line text is used through the IDispatch its entity came as: the
// CADs give its interface ids of their own, and every member is called by name.
inline constexpr const wchar_t* kCadMTextKind = L"CAD.MText";
inline constexpr const wchar_t* kCadDocumentsKind = L"CAD.Documents";
inline constexpr const wchar_t* kCadDocumentKind = L"CAD.Document";
inline constexpr const wchar_t* kCadSelectionSetsKind = L"CAD.SelectionSets";
inline constexpr const wchar_t* kCadSelectionSetKind = L"CAD.SelectionSet";
