#include "colors/contrast.h"

#include <algorithm>

namespace {

// A fixed list rather than a brightness formula: middle tones such as Gray, Teal and Steelblue
// keep black text.
constexpr std::array<TAlphaColor, 26> darkColors = {
    0xFF000000, // Black
    0xFF000080, // Navy
    0xFF00008B, // Darkblue
    0xFF0000CD, // Mediumblue
    0xFF0000FF, // Blue
    0xFF006400, // Darkgreen
    0xFF008000, // Green
    0xFF191970, // Midnightblue
    0xFF228B22, // Forestgreen
    0xFF2F4F4F, // Darkslategray, Darkslategrey
    0xFF483D8B, // Darkslateblue
    0xFF4B0082, // Indigo
    0xFF556B2F, // Darkolivegreen
    0xFF696969, // Dimgray, Dimgrey
    0xFF800000, // Maroon
    0xFF800080, // Purple
    0xFF8B0000, // Darkred
    0xFF8B008B, // Darkmagenta
    0xFF8B4513, // Saddlebrown
    0xFF9400D3, // Darkviolet
    0xFFA0522D, // Sienna
    0xFFA52A2A, // Brown
    0xFFB22222, // Firebrick
    0xFFC71585, // Mediumvioletred
    0xFFDC143C, // Crimson
    0xFFFF0000, // Red
};

} // namespace

TAlphaColor ContrastColor(TAlphaColor color) {
    const bool dark = std::find(darkColors.begin(), darkColors.end(), color) != darkColors.end();
    return dark ? Colors::White : Colors::Black;
}

TAlphaColor BorderColorFor(TAlphaColor fill) {
    // A Slategray border would vanish on these fills.
    if (fill == Colors::Slategray || fill == Colors::Darkgray || fill == Colors::Blue)
        return Colors::Black;
    return Colors::Slategray;
}

TAlphaColor SaveTextColorFor(TAlphaColor pageFill) {
    return ContrastColor(pageFill) == Colors::Black ? Colors::Navy : Colors::Blue;
}

TAlphaColor LinkColorFor(TAlphaColor pageFill) {
    // Blue links stay blue on every other dark page, Navy included.
    if (pageFill == Colors::Blue || pageFill == Colors::Darkblue)
        return ContrastColor(pageFill);
    return Colors::Blue;
}

TAlphaColor PickerValue(int index) {
    if (index < 0 || index >= NamedColorCount)
        return Colors::Null;
    return NamedColors[static_cast<std::size_t>(index)].value;
}

int PickerSelection(TAlphaColor color, int currentIndex) {
    const auto found =
        std::find_if(NamedColors.begin(), NamedColors.end(),
                     [color](const NamedColor& entry) { return entry.value == color; });
    if (found == NamedColors.end())
        return currentIndex;
    return static_cast<int>(found - NamedColors.begin());
}
