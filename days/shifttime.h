// The user's hours settings and the length of one 24-hour duty in local time: a shift starts on
// its day at the shift start and ends at the same clock time the next day, so it lasts 25 hours
// when the clocks go back during it and 23 when they go forward.
#pragma once

#include "core/dateserial.h"

#include <QDateTime>

#include <optional>

inline constexpr int DefaultShiftStart = 8 * 60; // 08:00
inline constexpr int DefaultWorkPeriodDays = 28;

// Kept with the entries: they are the user's, not the display's.
struct HoursSettings {
    int shiftStart = DefaultShiftStart;         // minutes after local midnight
    int workPeriodDays = DefaultWorkPeriodDays; // 7 ... 28
    std::optional<DateSerial> workPeriodStart;  // none: the pay-period start

    friend bool operator==(const HoursSettings&, const HoursSettings&) = default;
};

// Minutes from `day` at shiftStart to the next day at shiftStart, in the local time zone.
int ShiftLengthMinutes(DateSerial day, int shiftStart);

// When a shift that starts on `day` at shiftStart begins, as the local clock shows it: the time
// itself, its first occurrence where the clocks repeat it, and where they skip it, the moment
// the hours count from (read with the offset before the change), which the clock shows an hour
// later.
QDateTime ShiftStartTime(DateSerial day, int shiftStart);
