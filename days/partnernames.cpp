#include "days/partnernames.h"

#include <QSet>

#include <algorithm>

QString personKey(const QString& name) {
    return name.simplified().toCaseFolded();
}

QStringList recentPartnerNames(const QList<DayFacts>& daysWithEntries) {
    QList<const DayEntry*> trades;
    for (const DayFacts& day : daysWithEntries)
        for (const DayEntry& entry : day.entries)
            if ((entry.kind == EntryKind::TradeOut || entry.kind == EntryKind::TradeIn) &&
                !entry.with.simplified().isEmpty())
                trades.append(&entry);
    // Recorded last first; the later day first where two were recorded at the same moment.
    std::stable_sort(trades.begin(), trades.end(), [](const DayEntry* a, const DayEntry* b) {
        if (a->modified != b->modified)
            return a->modified > b->modified;
        return dayKey(a->date) > dayKey(b->date);
    });
    QStringList names;
    QSet<QString> seen;
    for (const DayEntry* entry : trades) {
        const QString name = entry->with.simplified();
        if (!seen.contains(personKey(name))) {
            seen.insert(personKey(name));
            names.append(name);
        }
    }
    return names;
}
