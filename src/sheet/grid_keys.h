#pragma once
// The keys, modifiers and mouse buttons the sheet and its handlers tell
// apart. Key codes are the Windows virtual-key codes, so the control hands
// its key messages on unchanged.
#include <cstdint>

// The modifier keys held with a key or a mouse event.
struct TShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

enum class TMouseButton { Left, Right, Middle };

namespace gridKey {
inline constexpr std::uint16_t kBack = 0x08;
inline constexpr std::uint16_t kTab = 0x09;
inline constexpr std::uint16_t kReturn = 0x0D;
inline constexpr std::uint16_t kEscape = 0x1B;
inline constexpr std::uint16_t kPageUp = 0x21;
inline constexpr std::uint16_t kPageDown = 0x22;
inline constexpr std::uint16_t kEnd = 0x23;
inline constexpr std::uint16_t kHome = 0x24;
inline constexpr std::uint16_t kLeft = 0x25;
inline constexpr std::uint16_t kUp = 0x26;
inline constexpr std::uint16_t kRight = 0x27;
inline constexpr std::uint16_t kDown = 0x28;
inline constexpr std::uint16_t kDelete = 0x2E;
inline constexpr std::uint16_t kC = 0x43;
inline constexpr std::uint16_t kV = 0x56;
inline constexpr std::uint16_t kX = 0x58;
inline constexpr std::uint16_t kZ = 0x5A;
inline constexpr std::uint16_t kF2 = 0x71;
}  // namespace gridKey
