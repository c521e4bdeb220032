#include "state/proportions.h"

BandHeights BandHeightsFor(int outerHeight) {
    const float h = static_cast<float>(outerHeight);
    return {h / 16, h / 10, h / 16, h / 12};
}

float ItemSizeFor(double length, int count) {
    return static_cast<float>((length - 0.1) / count);
}

FontSizes ComputeFontSizes(const BandHeights& bands, const GridItemHeights& items) {
    FontSizes sizes;
    sizes.title = bands.title * 0.32f;
    sizes.month = bands.month * 0.48f;
    sizes.dow = items.weekdays * 0.32f;
    sizes.day = items.days * 0.48f;
    sizes.dayCorner = items.days * 0.42f;
    sizes.subLabel = items.days * 0.25f;
    sizes.subLabelSmall = items.days * 0.2f;
    sizes.status = bands.footer * 0.25f;
    return sizes;
}

CalendarProportions CalendarProportionsFor(int outerHeight, QSize page) {
    CalendarProportions result;
    result.bands = BandHeightsFor(outerHeight);
    const BandHeights& bands = result.bands;
    const double calendarHeight =
        page.height() - (bands.title + bands.month + bands.weekdays + bands.footer);
    result.itemWidth = ItemSizeFor(page.width(), 7);
    result.items.weekdays = static_cast<float>(bands.weekdays - 0.1);
    result.items.days = ItemSizeFor(calendarHeight, 6);
    result.fonts = ComputeFontSizes(bands, result.items);
    return result;
}
