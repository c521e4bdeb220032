#include "days/dayfacts.h"

#include "rotation/rotation.h"

#include <algorithm>

namespace {

// Whether an entry may stand on a day as the rotation has it for the user.
bool kindFitsDay(EntryKind kind, const DayFacts& facts) {
    switch (kind) {
    case EntryKind::TradeOut:
    case EntryKind::Leave:
        return facts.ownDuty;
    case EntryKind::TradeIn:
        return !facts.ownDuty;
    default:
        return true;
    }
}

} // namespace

bool IsSubGroup(QStringView assignment) {
    return assignment.size() == 2 && (assignment[0] == u'A' || assignment[0] == u'B') &&
           assignment[1] >= u'1' && assignment[1] <= u'7';
}

int entryMinutes(const DayEntry& entry, int scheduledMinutes) {
    if (entry.kind == EntryKind::Note)
        return 0;
    if (entry.minutes)
        return std::max(0, *entry.minutes);
    return isAbsence(entry.kind) ? scheduledMinutes : 0;
}

int entryMinutes(const DayEntry& entry, const DayFacts& facts) {
    if (entry.kind != EntryKind::Note && !entry.minutes && !isAbsence(entry.kind))
        return facts.wholeShiftMinutes;
    return entryMinutes(entry, facts.scheduledMinutes);
}

DayFacts dayFacts(DateSerial day, QStringView assignment, DateSerial payPeriodStart,
                  const QList<DayEntry>& entries, int shiftStart) {
    DayFacts facts;
    facts.day = day;
    facts.letter = ShiftLetter(day, assignment);
    facts.rdoGroup = RdoGroupOf(day);
    facts.hasSubGroup = IsSubGroup(assignment);
    facts.ownRdo = facts.letter == u'X';
    // Every RDO falls on a duty day of its sub-group's crew.
    if (facts.ownRdo)
        facts.crewOnDuty = assignment[0];
    else if (facts.letter == u'A' || facts.letter == u'B')
        facts.crewOnDuty = facts.letter;
    facts.ownDuty = facts.hasSubGroup && !facts.ownRdo && facts.crewOnDuty == assignment[0];
    facts.payday = IsPayday(day);
    facts.payPeriodStart = IsPayPeriodStart(day, payPeriodStart);
    facts.payPeriodLabel = PayPeriodLabel(day, payPeriodStart);
    if (facts.ownDuty)
        facts.scheduledMinutes = ShiftLengthMinutes(day, shiftStart);

    const qint64 key = dayKey(day);
    for (const DayEntry& entry : entries)
        if (dayKey(entry.date) == key)
            facts.entries.append(entry);
    if (facts.entries.isEmpty()) {
        facts.workedMinutes = facts.scheduledMinutes;
        facts.flsaMinutes = facts.scheduledMinutes;
        return facts;
    }
    std::sort(facts.entries.begin(), facts.entries.end(), entryBefore);
    facts.wholeShiftMinutes =
        facts.ownDuty ? facts.scheduledMinutes : ShiftLengthMinutes(day, shiftStart);

    int absent = 0;
    for (const DayEntry& entry : facts.entries) {
        const bool fits = kindFitsDay(entry.kind, facts);
        facts.fits.append(fits);
        if (fits && isAbsence(entry.kind))
            absent += entryMinutes(entry, facts);
    }
    // Trades and leave beyond the day's shift do not fit together: none of them counts.
    const bool overbooked = absent > facts.scheduledMinutes;
    for (qsizetype at = 0; at < facts.entries.size(); ++at) {
        const DayEntry& entry = facts.entries[at];
        if (overbooked && isAbsence(entry.kind))
            facts.fits[at] = false;
        if (!facts.fits[at])
            continue;
        const int minutes = entryMinutes(entry, facts);
        switch (entry.kind) {
        case EntryKind::TradeOut:
            facts.tradedOutMinutes += minutes;
            break;
        case EntryKind::Leave:
            facts.leaveMinutes += minutes;
            break;
        case EntryKind::TradeIn:
            facts.tradedInMinutes += minutes;
            break;
        case EntryKind::Overtime:
        case EntryKind::Holdover:
        case EntryKind::Training:
            facts.extraMinutes += minutes;
            break;
        case EntryKind::Note:
            break;
        }
    }
    facts.workedMinutes = facts.scheduledMinutes - facts.tradedOutMinutes - facts.leaveMinutes +
                          facts.tradedInMinutes + facts.extraMinutes;
    // Traded hours are left out for the substitute, and the absent member is credited as if they
    // had worked; paid leave is not hours worked.
    facts.flsaMinutes = facts.scheduledMinutes - facts.leaveMinutes + facts.extraMinutes;
    return facts;
}
