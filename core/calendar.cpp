#include "core/calendar.h"

#include <chrono>
#include <cmath>

DateSerial clampToViewRange(DateSerial date) {
    if (std::isnan(date) || date < MinViewDate)
        date = MinViewDate;
    if (date > MaxViewDate)
        date = MaxViewDate;
    return date;
}

DateSerial firstGridDay(DateSerial date) {
    const YearMonthDay ymd = ymdFromSerial(date);
    const DateSerial first = serialFromYmd(ymd.year, ymd.month, 1);
    return first - dayOfWeek(first) + 1;
}

int daysInMonth(int year, int month) {
    using namespace std::chrono;
    const year_month_day_last last{std::chrono::year{year} /
                                   std::chrono::month{static_cast<unsigned>(month)} /
                                   std::chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

DateSerial monthStep(DateSerial date, int months) {
    const DateSerial whole = std::floor(date);
    const DateSerial timeOfDay = date - whole;
    YearMonthDay ymd = ymdFromSerial(whole);
    int monthIndex = ymd.year * 12 + (ymd.month - 1) + months;
    const int year = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    const int month = monthIndex - year * 12 + 1;
    const int day = ymd.day > daysInMonth(year, month) ? daysInMonth(year, month) : ymd.day;
    return serialFromYmd(year, month, day) + timeOfDay;
}
