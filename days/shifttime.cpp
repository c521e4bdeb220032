#include "days/shifttime.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

// The instant at which the local clock shows `minutes` after midnight of `day`. A clock time that
// happens twice (the clocks go back) is its first time; one that the clocks skip is read with
// the offset in force before the change. The toolkit's own reading of such times is not the
// same from one call to the next, and a skipped time gives no instant at all.
qint64 localInstant(const QTimeZone& zone, DateSerial day, int minutes) {
    const QDateTime wall(qdateFromSerial(day), QTime(minutes / 60, minutes % 60), QTimeZone::utc());
    const qint64 clock = wall.toSecsSinceEpoch();
    const auto offsetAt = [&](qint64 instant) {
        return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc()));
    };
    constexpr qint64 Day = 24 * 60 * 60;
    const int before = offsetAt(clock - Day);
    const int after = offsetAt(clock + Day);
    if (offsetAt(clock - before) == before)
        return clock - before;
    if (offsetAt(clock - after) == after)
        return clock - after;
    return clock - before;
}

} // namespace

int ShiftLengthMinutes(DateSerial day, int shiftStart) {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const qint64 begins = localInstant(zone, day, shiftStart);
    const qint64 ends = localInstant(zone, day + 1, shiftStart);
    return static_cast<int>((ends - begins) / 60);
}
