// Colours derived from a background: readable text, borders, the Save text, the links, and how the
// colour picker maps between its items and colour values.
#pragma once

#include "colors/namedcolors.h"

// White on the 26 dark named colours, Black on everything else (Null and translucent included).
TAlphaColor ContrastColor(TAlphaColor color);

// Black on Slategray, Darkgray and Blue fills, Slategray on every other fill.
TAlphaColor BorderColorFor(TAlphaColor fill);

// Navy on light page backgrounds, Blue on dark ones.
TAlphaColor SaveTextColorFor(TAlphaColor pageFill);

// The two About links: the contrast colour on Blue or Darkblue, Blue on every other background.
TAlphaColor LinkColorFor(TAlphaColor pageFill);

// The colour of picker item `index`, or Null when no item is selected (index < 0).
TAlphaColor PickerValue(int index);

// The item to select for `color`: the first item with that value, else `currentIndex` unchanged.
int PickerSelection(TAlphaColor color, int currentIndex);
