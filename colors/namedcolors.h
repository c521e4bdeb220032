// 32-bit ARGB colours and the fixed table of 148 named colours.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Alpha in the top byte (0xFF opaque), then red, green, blue: 0xAARRGGBB.
using TAlphaColor = std::uint32_t;

struct NamedColor {
    std::string_view name;
    TAlphaColor value;
};

inline constexpr int NamedColorCount = 148;

// The 147 CSS colour keywords in alphabetical order, capitalised ("Aliceblue"), then "Null".
extern const std::array<NamedColor, NamedColorCount> NamedColors;

namespace Colors {
inline constexpr TAlphaColor Null = 0x00000000;
inline constexpr TAlphaColor Black = 0xFF000000;
inline constexpr TAlphaColor White = 0xFFFFFFFF;
inline constexpr TAlphaColor Blue = 0xFF0000FF;
inline constexpr TAlphaColor Darkblue = 0xFF00008B;
inline constexpr TAlphaColor Navy = 0xFF000080;
inline constexpr TAlphaColor Red = 0xFFFF0000;
inline constexpr TAlphaColor Fuchsia = 0xFFFF00FF;
inline constexpr TAlphaColor Silver = 0xFFC0C0C0;
inline constexpr TAlphaColor Slategray = 0xFF708090;
inline constexpr TAlphaColor Darkgray = 0xFFA9A9A9;
inline constexpr TAlphaColor Dimgray = 0xFF696969;
} // namespace Colors
