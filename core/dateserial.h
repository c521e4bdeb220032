// Date serials: days counted from 30 December 1899 (day 0, a Saturday) as a 64-bit real.
// The whole part is the date, the fraction the time of day.
#pragma once

#include <cstdint>

class QDate;

using DateSerial = double;

// Whole days first ... last, both included.
struct DaySpan {
    DateSerial first = 0;
    DateSerial last = 0;

    friend bool operator==(const DaySpan&, const DaySpan&) = default;
};

struct YearMonthDay {
    int year = 1899;
    int month = 12;
    int day = 30;
};

// The serial of a calendar date at midnight.
DateSerial serialFromYmd(int year, int month, int day);

// The calendar date of a serial (its time of day is dropped, toward the earlier day).
YearMonthDay ymdFromSerial(DateSerial serial);

// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(DateSerial serial);

// The whole days from epoch to date: the difference truncated toward zero.
std::int64_t wholeDaysBetween(DateSerial epoch, DateSerial date);

// Whole days compared, time of day ignored.
bool isSameDay(DateSerial a, DateSerial b);

DateSerial serialFromQDate(const QDate& date);
QDate qdateFromSerial(DateSerial serial);
