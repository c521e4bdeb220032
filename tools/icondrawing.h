// The window and desktop icon: a calendar page with a red header band and the two crews' days,
// "A" on red and "B" on blue. assets/icons/tourwise.svg is the same drawing, number for number.
#pragma once

#include <QImage>

// The icon at `size` x `size` pixels.
QImage drawIcon(int size);
