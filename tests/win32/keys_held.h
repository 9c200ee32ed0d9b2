#pragma once
// Holds modifier keys down in the thread's key state while in scope, as the
// system's key state shows them to a window procedure (GetKeyState).
#include <windows.h>

#include <array>
#include <vector>

class TKeysHeld {
 public:
  explicit TKeysHeld(std::vector<BYTE> keys) {
    GetKeyboardState(FSaved.data());
    std::array<BYTE, 256> state = FSaved;
    for (const BYTE key : keys) state[key] = 0x80;
    SetKeyboardState(state.data());
  }
  ~TKeysHeld() { SetKeyboardState(FSaved.data()); }
  TKeysHeld(const TKeysHeld&) = delete;
  TKeysHeld& operator=(const TKeysHeld&) = delete;

 private:
  std::array<BYTE, 256> FSaved{};
};
