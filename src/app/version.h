#pragma once
// The program's version, in one place: the resource script includes this
// header too, so it holds nothing but macros a resource compiler reads.
#define MORVANE_VERSION "2025.06.08a"
#define MORVANE_VERSION_W L"2025.06.08a"
