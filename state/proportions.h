// The Calendar page's bands follow the window height in fixed proportions, and the eight font
// sizes follow the bands and the grid items. Plain arithmetic that needs no window; only a resize
// recomputes it.
#pragma once

struct FontSizes {
    float title = 0;
    float month = 0;
    float dow = 0;
    float day = 0;
    float dayCorner = 0;
    float status = 0;
    float subLabel = 0;
    float subLabelSmall = 0;
};

#include <QSize>

struct BandHeights {
    float title = 0;    // tbCalendar: h / 16
    float month = 0;    // loMonthName: h / 10
    float weekdays = 0; // loDaysOfWeek: h / 16
    float footer = 0;   // loFooter: h / 12
};

BandHeights BandHeightsFor(int outerHeight);

// The item size that fits `count` items into `length`, less the 0.1 that keeps the last item from
// wrapping.
float ItemSizeFor(double length, int count);

struct GridItemHeights {
    float weekdays = 0; // gloDOW item height
    float days = 0;     // gloCal item height
};

FontSizes ComputeFontSizes(const BandHeights& bands, const GridItemHeights& items);

// Everything a resize sets on the Calendar page: the four band heights, the grid items and the
// eight font sizes, from the window's outer height (frame and title bar included) and the size
// of the page below the tab headers. A window too low for the bands leaves the grid items at or
// below zero; the controls clamp what they show.
struct CalendarProportions {
    BandHeights bands;
    float itemWidth = 0; // gloDOW and gloCal, seven items across
    GridItemHeights items;
    FontSizes fonts;
};

CalendarProportions CalendarProportionsFor(int outerHeight, QSize page);
