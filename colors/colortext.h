// The text form of colours, as the settings file stores them.
#pragma once

#include "colors/namedcolors.h"

#include <QString>

// The first table name of the value ("Fuchsia", never "Magenta"), else "#" and eight upper-case
// hexadecimal digits.
QString ColorToText(TAlphaColor color);

struct ColorConversion {
    bool ok = false;
    TAlphaColor value = 0;
    QString message; // "'<text>' is not a valid integer value" when !ok
};

// A table name (also with "cl" or "cla" before it, A-Z compared without case), or an integer
// ("#", "$", "x", "X", "0x", "0X" hexadecimal, or decimal) whose low 32 bits are the colour.
ColorConversion ColorFromText(const QString& text);
