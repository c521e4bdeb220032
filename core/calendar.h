// The calendar arithmetic of the month view: the view range, the first day of a month's grid
// and the one-month step. Plain functions over date serials.
#pragma once

#include "core/dateserial.h"

inline constexpr DateSerial MinViewDate = 42370; // 1 January 2016
inline constexpr DateSerial MaxViewDate = 58806; // 31 December 2060
inline constexpr int GridDayCount = 42;

// Brings a date into MinViewDate ... MaxViewDate; a NaN becomes MinViewDate.
DateSerial clampToViewRange(DateSerial date);

// The Sunday on or before the first day of the date's month.
DateSerial firstGridDay(DateSerial date);

// One calendar month forward (+1) or back (-1). The day of month is clamped to the new month's
// length, not carried over, and the time of day is kept.
DateSerial monthStep(DateSerial date, int months);

int daysInMonth(int year, int month);
