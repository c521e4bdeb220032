// The size a row of texts that must share one size is drawn in.
#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

// The largest font size, at most `size`, at which `text` in `font` (bold or not) fits `box` on
// one line with a little room left at each side. The box is the text's place, which a pending
// layout may not have given it yet.
double FittingFontSize(const QFont& font, const QString& text, double size, bool bold,
                       const QSizeF& box);
