#include "days/dayfacts.h"

#include "days/entryrules.h"
#include "rotation/rotation.h"

#include <algorithm>

bool IsSubGroup(QStringView assignment) {
    return assignment.size() == 2 && (assignment[0] == u'A' || assignment[0] == u'B') &&
           assignment[1] >= u'1' && assignment[1] <= u'7';
}

DayShift shiftOf(const DayFacts& facts) {
    return {facts.hasSubGroup, facts.ownDuty, facts.scheduledMinutes, facts.wholeShiftMinutes};
}

int entryMinutes(const DayEntry& entry, const DayShift& shift) {
    if (entry.kind == EntryKind::Note)
        return 0;
    if (entry.minutes)
        return std::max(0, *entry.minutes);
    return isAbsence(entry.kind) ? shift.scheduledMinutes : shift.wholeShiftMinutes;
}

int entryMinutes(const DayEntry& entry, const DayFacts& facts) {
    return entryMinutes(entry, shiftOf(facts));
}

DayFacts dayFacts(DateSerial day, QStringView assignment, DateSerial payPeriodStart,
                  const QList<DayEntry>& entries, int shiftStart) {
    DayFacts facts;
    facts.day = day;
    facts.assignment = assignment.toString();
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
    // The length of a duty starting that day: the own shift, or what an entry of a whole shift
    // stands for.
    facts.wholeShiftMinutes = ShiftLengthMinutes(day, shiftStart);
    if (facts.ownDuty)
        facts.scheduledMinutes = facts.wholeShiftMinutes;

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

    // An entry counts where the rules would let it be recorded beside the others; trades and
    // leave beyond the shift, for one, then do not count at all.
    const DayShift shift = shiftOf(facts);
    for (const DayEntry& entry : facts.entries) {
        const bool fits = EntryRefusal(entry, shift, facts.entries).isEmpty();
        facts.fits.append(fits);
        facts.countedMinutes.append(fits ? entryMinutes(entry, shift) : 0);
        if (!fits)
            continue;
        if (entry.kind == EntryKind::TradeOut)
            facts.tradedOutMinutes += facts.countedMinutes.last();
        else if (entry.kind == EntryKind::Leave)
            facts.leaveMinutes += facts.countedMinutes.last();
    }
    // Training on a day the user works the own shift, or part of it, is part of that shift:
    // regular hours are paid time already, and what runs past them is a holdover.
    const bool worksOwnShift = facts.ownShiftWorkedMinutes() > 0;
    for (qsizetype at = 0; at < facts.entries.size(); ++at) {
        int& minutes = facts.countedMinutes[at];
        switch (facts.entries[at].kind) {
        case EntryKind::TradeIn:
            facts.tradedInMinutes += minutes;
            break;
        case EntryKind::Training:
            if (worksOwnShift)
                minutes = 0;
            facts.extraMinutes += minutes;
            break;
        case EntryKind::Overtime:
        case EntryKind::Holdover:
            facts.extraMinutes += minutes;
            break;
        case EntryKind::TradeOut:
        case EntryKind::Leave:
        case EntryKind::Note:
            break;
        }
    }
    facts.workedMinutes = facts.ownShiftWorkedMinutes() + facts.extraWorkMinutes();
    // Traded hours are left out for the substitute, and the absent member is credited as if they
    // had worked; paid leave is not hours worked.
    facts.flsaMinutes = facts.scheduledMinutes - facts.leaveMinutes + facts.extraMinutes;
    return facts;
}
