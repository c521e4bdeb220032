#include "days/importcheck.h"

#include "days/entryrules.h"
#include "days/schedule.h"

#include <QDate>
#include <QHash>
#include <QSet>

#include <algorithm>

QStringList ImportRefusals(const ImportedDays& days) {
    // The entries as they will be: an incoming one replaces a stored one of its id only with a
    // higher revision, as the import merges.
    QHash<QUuid, DayEntry> after;
    for (const DayEntry& entry : days.stored)
        after.insert(entry.id, entry);
    QSet<qint64> changedDays;
    QSet<QUuid> written;
    for (const DayEntry& entry : days.incoming) {
        const auto stored = after.constFind(entry.id);
        if (stored != after.constEnd() && entry.revision <= stored->revision)
            continue;
        if (stored != after.constEnd())
            changedDays.insert(dayKey(stored->date));
        changedDays.insert(dayKey(entry.date));
        after.insert(entry.id, entry);
        written.insert(entry.id);
    }
    Schedule schedule;
    schedule.setEntries(after.values());
    schedule.setEarlierAssignments(days.history.earlier());
    schedule.setCurrentAssignment(days.history.current());
    schedule.setPayPeriodStart(days.payPeriodStart);
    schedule.setHoursSettings(days.hours);

    QList<qint64> keys = changedDays.values();
    std::sort(keys.begin(), keys.end());
    QStringList refusals;
    for (qint64 key : keys) {
        const DayFacts& facts = schedule.day(static_cast<DateSerial>(key));
        for (qsizetype at = 0; at < facts.entries.size(); ++at) {
            if (facts.fits[at])
                continue;
            const DayEntry& entry = facts.entries[at];
            refusals << QStringLiteral("entry %1 on %2%3: %4")
                            .arg(entry.id.toString(QUuid::WithoutBraces),
                                 qdateFromSerial(entry.date).toString(Qt::ISODate),
                                 written.contains(entry.id) ? QString()
                                                            : QStringLiteral(" (already yours)"),
                                 EntryRefusal(entry, facts));
        }
    }
    return refusals;
}
