#pragma once
// Colours as layouts and forms write them: 0xAARRGGBB, alpha first. The
// message log and the engine speak COLORREF (0x00BBGGRR); the two
// conversions below are the only place where the byte orders meet.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvello::ui {

struct Color {
  uint32_t argb = 0xFF000000;

  static constexpr Color FromColorRef(uint32_t colorRef) {
    uint32_t r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
    return Color{0xFF000000u | (r << 16) | (g << 8) | b};
  }
  constexpr uint32_t ToColorRef() const {
    uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return r | (g << 8) | (b << 16);
  }
  constexpr uint8_t Alpha() const { return static_cast<uint8_t>(argb >> 24); }

  bool operator==(const Color&) const = default;
};

// "#AARRGGBB", "#RRGGBB" (opaque) or the same digits after "0x"; nullopt for
// anything else.
std::optional<Color> ParseColor(std::wstring_view text);

}  // namespace orvello::ui
