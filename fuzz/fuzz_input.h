#pragma once
// Reading a fuzzer's bytes as the choices a target makes: small numbers
// first, then whatever is left as text. Running out of bytes gives zeros.
#include <cstddef>
#include <cstdint>
#include <string>

class TFuzzInput {
 public:
  TFuzzInput(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}

  std::uint8_t byte() { return FPos < FSize ? FData[FPos++] : 0; }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{byte()} << (8 * i);
    return v;
  }
  std::uint64_t u64() { return u32() | (std::uint64_t{u32()} << 32); }
  // A number in [low, high].
  int between(int low, int high) { return low + byte() % (high - low + 1); }
  bool empty() const { return FPos >= FSize; }

  // The rest as UTF-16: each byte is a character, except that 0xFF takes the
  // next two bytes as one UTF-16 unit (so any character can appear).
  std::wstring restAsText() {
    std::wstring text;
    while (!empty()) {
      const std::uint8_t b = byte();
      if (b == 0xFF) {
        const std::uint32_t unit = byte() | (std::uint32_t{byte()} << 8);
        text += static_cast<wchar_t>(unit);
      } else {
        text += static_cast<wchar_t>(b);
      }
    }
    return text;
  }
  std::string restAsBytes() {
    std::string bytes(reinterpret_cast<const char*>(FData + FPos), FSize - FPos);
    FPos = FSize;
    return bytes;
  }

 private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};
