// The text colour of a stock Qt editor, which takes it from its palette.
#pragma once

#include "colors/namedcolors.h"

#include <QPalette>
#include <QWidget>

inline void setPaletteTextColor(QWidget& widget, TAlphaColor color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Text, QColor::fromRgba(color));
    widget.setPalette(palette);
}
