// The decorative sextant behind the About text: a line drawing of our own, black and grey on a
// transparent ground, so that it reads as a faint watermark on any page colour.
#pragma once

#include <QImage>

// The drawing at its logical size of 250 x 212, scaled by `scale` (1 or 2 for the two densities).
QImage drawSextant(int scale);
