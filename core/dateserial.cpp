#include "core/dateserial.h"

#include <QDate>

#include <chrono>
#include <cmath>

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

const sys_days serialZero = sys_days{year{1899} / month{12} / day{30}};

} // namespace

DateSerial serialFromYmd(int y, int m, int d) {
    const sys_days days{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
    return static_cast<DateSerial>((days - serialZero).count());
}

YearMonthDay ymdFromSerial(DateSerial serial) {
    const auto whole = static_cast<std::int64_t>(std::floor(serial));
    const year_month_day ymd{serialZero + std::chrono::days{whole}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int dayOfWeek(DateSerial serial) {
    const auto whole = static_cast<std::int64_t>(std::floor(serial));
    // Day 0 is a Saturday (7).
    return static_cast<int>(((whole + 6) % 7 + 7) % 7) + 1;
}

std::int64_t wholeDaysBetween(DateSerial epoch, DateSerial date) {
    // Out-of-range reals would make the conversion undefined; no real date comes near this.
    const double days = std::trunc(date - epoch);
    constexpr double limit = 9.0e18;
    if (std::isnan(days))
        return 0;
    if (days >= limit)
        return static_cast<std::int64_t>(limit);
    if (days <= -limit)
        return -static_cast<std::int64_t>(limit);
    return static_cast<std::int64_t>(days);
}

bool isSameDay(DateSerial a, DateSerial b) {
    return std::floor(a) == std::floor(b);
}

DateSerial serialFromQDate(const QDate& date) {
    return serialFromYmd(date.year(), date.month(), date.day());
}

QDate qdateFromSerial(DateSerial serial) {
    const YearMonthDay ymd = ymdFromSerial(serial);
    return QDate(ymd.year, ymd.month, ymd.day);
}
