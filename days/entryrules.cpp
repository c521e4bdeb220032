#include "days/entryrules.h"

#include "days/entrytext.h"
#include "days/hours.h"

QString EntryRefusal(const DayEntry& candidate, const DayFacts& day) {
    const bool absence = isAbsence(candidate.kind);
    if (absence && !day.hasSubGroup)
        return QStringLiteral("Choose your assignment on the Settings page first: without a "
                              "sub-group there is no shift of yours to trade or take off.");
    if (absence && !day.ownDuty)
        return candidate.kind == EntryKind::TradeOut
                   ? QStringLiteral("You are not on duty that day, so there is no shift to trade "
                                    "away.")
                   : QStringLiteral("You are not on duty that day, so there is no shift to take "
                                    "leave from.");
    if (candidate.kind == EntryKind::TradeIn && day.ownDuty)
        return QStringLiteral("You are on duty that day: a trade where you work for someone goes "
                              "on a day you are not on duty.");
    if (candidate.kind == EntryKind::Note)
        return {};
    if (candidate.minutes && *candidate.minutes <= 0)
        return QStringLiteral("Give the hours: more than 0.");
    if (!candidate.minutes && !absence)
        return QStringLiteral("Give the hours of the %1.").arg(entryKindName(candidate.kind));
    if (candidate.minutes && *candidate.minutes > MaxEntryMinutes)
        return QStringLiteral("No entry can be longer than %1 hours.").arg(MaxEntryMinutes / 60);
    if (!absence)
        return {};
    int absent = entryMinutes(candidate, day.scheduledMinutes);
    for (qsizetype at = 0; at < day.entries.size(); ++at)
        if (day.entries[at].id != candidate.id && isAbsence(day.entries[at].kind))
            absent += entryMinutes(day.entries[at], day.scheduledMinutes);
    if (absent > day.scheduledMinutes)
        return QStringLiteral("Trades and leave on this day would come to %1 hours, more than its "
                              "%2-hour shift.")
            .arg(hoursText(absent), hoursText(day.scheduledMinutes));
    return {};
}
