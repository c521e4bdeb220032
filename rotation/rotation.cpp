#include "rotation/rotation.h"

#include <cmath>
#include <cstdint>

// One row per 14 days; every entry carries the letter of the crew on duty that day, so an RDO
// always takes a duty day of the sub-group's own crew.
const std::array<std::string_view, RdoRotationLength> RdoRotation = {
    "A1", "B1", "B2", "A2", "A3", "B3", "B4", "A4", "A5", "B5", "B6", "A6", "A6", "B6", // row 0
    "B7", "A7", "A1", "B1", "B2", "A2", "A3", "B3", "B4", "A4", "A5", "B5", "B5", "A5", // row 1
    "A6", "B6", "B7", "A7", "A1", "B1", "B2", "A2", "A3", "B3", "B4", "A4", "A4", "B4", // row 2
    "B5", "A5", "A6", "B6", "B7", "A7", "A1", "B1", "B2", "A2", "A3", "B3", "B3", "A3", // row 3
    "A4", "B4", "B5", "A5", "A6", "B6", "B7", "A7", "A1", "B1", "B2", "A2", "A2", "B2", // row 4
    "B3", "A3", "A4", "B4", "B5", "A5", "A6", "B6", "B7", "A7", "A1", "B1", "B1", "A1", // row 5
    "A2", "B2", "B3", "A3", "A4", "B4", "B5", "A5", "A6", "B6", "B7", "A7", "A7", "B7", // row 6
    "B1", "A1", "A2", "B2", "B3", "A3", "A4", "B4", "B5", "A5", "A6", "B6", "B6", "A6", // row 7
    "A7", "B7", "B1", "A1", "A2", "B2", "B3", "A3", "A4", "B4", "B5", "A5", "A5", "B5", // row 8
    "B6", "A6", "A7", "B7", "B1", "A1", "A2", "B2", "B3", "A3", "A4", "B4", "B4", "A4", // row 9
    "A5", "B5", "B6", "A6", "A7", "B7", "B1", "A1", "A2", "B2", "B3", "A3", "A3", "B3", // row 10
    "B4", "A4", "A5", "B5", "B6", "A6", "A7", "B7", "B1", "A1", "A2", "B2", "B2", "A2", // row 11
    "A3", "B3", "B4", "A4", "A5", "B5", "B6", "A6", "A7", "B7", "B1", "A1", "A1", "B1", // row 12
    "B2", "A2", "A3", "B3", "B4", "A4", "A5", "B5", "B6", "A6", "A7", "B7", "B7", "A7", // row 13
};

namespace {

constexpr std::string_view CrewCycle = "AABB";
constexpr std::int64_t PayPeriodLength = PayPeriodDays;
constexpr std::int64_t PayPeriodsPerCycle = 26;

// Every routine rejects dates before its epoch first, so whole-day counts are never negative and
// their remainders are valid indexes. Written as !(date >= epoch) so that a NaN also gets the
// neutral answer instead of reaching the integer conversion.
bool isBefore(DateSerial date, DateSerial epoch) {
    return !(date >= epoch);
}

std::string_view rotationEntry(DateSerial date) {
    return RdoRotation[static_cast<std::size_t>(wholeDaysBetween(RdoEpoch, date) %
                                                RdoRotationLength)];
}

} // namespace

QChar ShiftLetter(DateSerial date, QStringView assignment) {
    if (isBefore(date, RdoEpoch))
        return QLatin1Char('Z');
    const std::string_view entry = rotationEntry(date);
    if (assignment == QLatin1StringView(entry.data(), static_cast<qsizetype>(entry.size())))
        return QLatin1Char('X');
    const auto position = static_cast<std::size_t>(wholeDaysBetween(CrewEpoch, date) % 4);
    return QLatin1Char(CrewCycle[position]);
}

QString RdoGroupOf(DateSerial date) {
    if (isBefore(date, RdoEpoch))
        return {};
    const std::string_view entry = rotationEntry(date);
    return QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
}

bool IsPayday(DateSerial date) {
    return !isBefore(date, PaydayEpoch) &&
           wholeDaysBetween(PaydayEpoch, date) % PayPeriodLength == 0;
}

bool IsPayPeriodStart(DateSerial date, DateSerial payPeriodStart) {
    return !isBefore(date, payPeriodStart) &&
           wholeDaysBetween(payPeriodStart, date) % PayPeriodLength == 0;
}

QString PayPeriodLabel(DateSerial date, DateSerial payPeriodStart) {
    if (isBefore(date, payPeriodStart))
        return {};
    const auto number = static_cast<int>(
        wholeDaysBetween(payPeriodStart, date) / PayPeriodLength % PayPeriodsPerCycle + 1);
    // Built in place: the label is asked for every grid cell on every repaint.
    char text[4] = {'P', 'P', 0, 0};
    qsizetype length = 2;
    if (number >= 10)
        text[length++] = static_cast<char>('0' + number / 10);
    text[length++] = static_cast<char>('0' + number % 10);
    return QString::fromLatin1(text, length);
}

DateSerial PeriodFirstDay(DateSerial day, DateSerial anchor, int length) {
    const auto offset = static_cast<std::int64_t>(std::floor(day) - std::floor(anchor));
    const std::int64_t periods = offset >= 0 ? offset / length : -((-offset + length - 1) / length);
    return std::floor(anchor) + static_cast<DateSerial>(periods * length);
}

DateSerial PayPeriodFirstDay(DateSerial date, DateSerial payPeriodStart) {
    return PeriodFirstDay(date, payPeriodStart, PayPeriodDays);
}
