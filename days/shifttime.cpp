#include "days/shifttime.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <vector>

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

// When the local clocks change, read from the zone once for the years anyone keeps days in, so
// that a day far from a change costs a search and no reading of the zone: the C library reads
// the zone's file again for every conversion where TZ is not set. A change of TZ (tests, a user
// who sets it) makes a new reading.
class ClockChanges {
public:
    // Whether the clocks may change within [from, to] (seconds since the epoch, UTC); true
    // outside the years read, where only the zone can tell.
    bool between(qint64 from, qint64 to) {
        const QByteArray zone = qgetenv("TZ");
        if (!m_read || zone != m_zoneName)
            read(zone);
        if (from < m_first || to > m_last)
            return true;
        const auto next = std::lower_bound(m_instants.cbegin(), m_instants.cend(), from);
        return next != m_instants.cend() && *next <= to;
    }

private:
    void read(const QByteArray& zone) {
        m_zoneName = zone;
        m_read = true;
        m_instants.clear();
        const QDateTime first(QDate(1990, 1, 1), QTime(0, 0), QTimeZone::utc());
        const QDateTime last(QDate(2080, 1, 1), QTime(0, 0), QTimeZone::utc());
        m_first = first.toSecsSinceEpoch();
        m_last = last.toSecsSinceEpoch();
        const QTimeZone local = QTimeZone::systemTimeZone();
        // A zone that keeps no list of its changes but has them leaves every day to the zone.
        if (local.isValid() && !local.hasTransitions() && local.hasDaylightTime())
            m_first = m_last;
        if (!local.isValid() || !local.hasTransitions())
            return;
        for (const QTimeZone::OffsetData& change : local.transitions(first, last))
            m_instants.push_back(change.atUtc.toSecsSinceEpoch());
    }

    bool m_read = false;
    QByteArray m_zoneName;
    qint64 m_first = 0;
    qint64 m_last = 0;
    std::vector<qint64> m_instants;
};

ClockChanges& clockChanges() {
    static ClockChanges changes;
    return changes;
}

} // namespace

QDateTime ShiftStartTime(DateSerial day, int shiftStart) {
    const QDate date = qdateFromSerial(day);
    const QTime time(shiftStart / 60, shiftStart % 60);
    const qint64 wall = QDateTime(date, time, QTimeZone::utc()).toSecsSinceEpoch();
    if (!clockChanges().between(wall - 2 * SecondsADay, wall + 2 * SecondsADay))
        return QDateTime(date, time, Qt::LocalTime);
    const LocalClock clock;
    const qint64 instant = clock.instantOf(wall);
    // The wall-clock reading of that instant, kept as local time without a zone.
    const QDateTime shown =
        QDateTime::fromSecsSinceEpoch(instant + clock.offsetAt(instant), QTimeZone::utc());
    return QDateTime(shown.date(), shown.time(), Qt::LocalTime);
}

int ShiftLengthMinutes(DateSerial day, int shiftStart) {
    const QDateTime start(qdateFromSerial(day), QTime(shiftStart / 60, shiftStart % 60),
                          QTimeZone::utc());
    const qint64 wall = start.toSecsSinceEpoch();
    // Offsets reach 14 hours either way: a day and a half on each side of the shift covers any
    // change that could fall inside it.
    if (!clockChanges().between(wall - 2 * SecondsADay, wall + 3 * SecondsADay))
        return 24 * 60;
    const LocalClock clock;
    // The same offset from the day before to the day after: the clocks do not change.
    const int offset = clock.offsetAt(wall - SecondsADay);
    if (clock.offsetAt(wall + SecondsADay) == offset &&
        clock.offsetAt(wall + 2 * SecondsADay) == offset)
        return 24 * 60;
    return static_cast<int>((clock.instantOf(wall + SecondsADay) - clock.instantOf(wall)) / 60);
}
