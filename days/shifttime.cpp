#include "days/shifttime.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

constexpr qint64 SecondsADay = 24 * 60 * 60;

class LocalClock {
public:
    LocalClock() : m_zone(QTimeZone::systemTimeZone()) {}

    int offsetAt(qint64 instant) const {
        return m_zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc()));
    }

    // The instant at which the local clock shows `wall` (seconds since the epoch as if the
    // wall-clock time were UTC). A time that happens twice (the clocks go back) is its first
    // time; one that the clocks skip is read with the offset in force before the change. The
    // toolkit's own reading of such times differs from one call to the next, and a skipped time
    // gives it no instant at all.
    qint64 instantOf(qint64 wall) const {
        const int before = offsetAt(wall - SecondsADay);
        const int after = offsetAt(wall + SecondsADay);
        if (offsetAt(wall - before) == before)
            return wall - before;
        if (offsetAt(wall - after) == after)
            return wall - after;
        return wall - before;
    }

private:
    QTimeZone m_zone;
};

} // namespace

int ShiftLengthMinutes(DateSerial day, int shiftStart) {
    const LocalClock clock;
    const QDateTime start(qdateFromSerial(day), QTime(shiftStart / 60, shiftStart % 60),
                          QTimeZone::utc());
    const qint64 wall = start.toSecsSinceEpoch();
    // The same offset from the day before to the day after: the clocks do not change.
    const int offset = clock.offsetAt(wall - SecondsADay);
    if (clock.offsetAt(wall + SecondsADay) == offset &&
        clock.offsetAt(wall + 2 * SecondsADay) == offset)
        return 24 * 60;
    return static_cast<int>((clock.instantOf(wall + SecondsADay) - clock.instantOf(wall)) / 60);
}
