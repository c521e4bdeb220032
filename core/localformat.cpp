#include "core/localformat.h"

LocalFormat LocalFormat::fromLocale(const QLocale& locale) {
    LocalFormat format;
    format.locale = locale;
    format.shortDatePattern = locale.dateFormat(QLocale::ShortFormat);
    for (int month = 1; month <= 12; ++month) {
        format.longMonthNames << locale.monthName(month, QLocale::LongFormat);
        format.shortMonthNames << locale.monthName(month, QLocale::ShortFormat);
    }
    // Qt numbers the days 1 = Monday ... 7 = Sunday.
    for (int day : {7, 1, 2, 3, 4, 5, 6})
        format.shortDayNames << locale.dayName(day, QLocale::ShortFormat);
    return format;
}
