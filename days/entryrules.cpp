#include "days/entryrules.h"

#include "days/hours.h"

namespace {

// Entries whose minutes a sum of the others takes: the kind decides, and a note adds nothing.
int othersMinutes(const DayEntry& candidate, const DayShift& shift, const QList<DayEntry>& others,
                  bool (*counts)(EntryKind)) {
    int minutes = 0;
    for (const DayEntry& other : others)
        if (other.id != candidate.id && counts(other.kind))
            minutes += entryMinutes(other, shift);
    return minutes;
}

bool tradeInOrOvertime(EntryKind kind) {
    return kind == EntryKind::TradeIn || kind == EntryKind::Overtime;
}

} // namespace

QString KindRefusal(EntryKind kind, const DayShift& shift) {
    const bool absence = isAbsence(kind);
    if (absence && !shift.hasSubGroup)
        return QStringLiteral("Choose your assignment on the Settings page first: without a "
                              "sub-group there is no shift of yours to trade or take off.");
    if (absence && !shift.ownDuty)
        return kind == EntryKind::TradeOut
                   ? QStringLiteral("You are not on duty that day, so there is no shift to trade "
                                    "away.")
                   : QStringLiteral("You are not on duty that day, so there is no shift to take "
                                    "leave from.");
    if (kind == EntryKind::TradeIn && shift.ownDuty)
        return QStringLiteral("You are on duty that day: a trade where you work for someone goes "
                              "on a day you are not on duty.");
    return {};
}

bool wholeShiftWithoutHours(EntryKind kind) {
    return kind != EntryKind::Holdover && kind != EntryKind::Training && kind != EntryKind::Note;
}

QString EntryRefusal(const DayEntry& candidate, const DayShift& shift,
                     const QList<DayEntry>& others) {
    const EntryKind kind = candidate.kind;
    const bool absence = isAbsence(kind);
    if (QString refusal = KindRefusal(kind, shift); !refusal.isEmpty())
        return refusal;
    if (candidate.comp && kind != EntryKind::Overtime && kind != EntryKind::Holdover)
        return QStringLiteral("Only overtime and a holdover can be taken as comp time.");
    if (kind == EntryKind::Note)
        return {};
    if (candidate.minutes && *candidate.minutes <= 0)
        return QStringLiteral("Give the hours: more than 0.");
    // A holdover or training runs for some hours.
    if (!candidate.minutes && !wholeShiftWithoutHours(kind))
        return QStringLiteral("Give the hours of the %1.").arg(entryKindName(kind));
    if (candidate.minutes && *candidate.minutes > MaxEntryMinutes)
        return QStringLiteral("No entry can be longer than %1 hours.").arg(MaxEntryMinutes / 60);
    const int own = entryMinutes(candidate, shift);
    if (absence) {
        const int absent = own + othersMinutes(candidate, shift, others, isAbsence);
        if (absent > shift.scheduledMinutes)
            return QStringLiteral("Trades and leave on this day would come to %1 hours, more "
                                  "than its %2-hour shift.")
                .arg(hoursText(absent), hoursText(shift.scheduledMinutes));
        return {};
    }
    if (!tradeInOrOvertime(kind))
        return {};
    // Nobody works more than the day's whole shift in one day: the own shift still worked,
    // the shifts worked for others and the hire-backs together.
    const int ownShift =
        shift.scheduledMinutes - othersMinutes(candidate, shift, others, isAbsence);
    const int extra = own + othersMinutes(candidate, shift, others, tradeInOrOvertime);
    if (ownShift > 0 && ownShift + extra > shift.wholeShiftMinutes)
        return QStringLiteral("With the %1 hours of your own shift, trades worked and overtime on "
                              "this day would come to %2 hours, more than its %3-hour shift.")
            .arg(hoursText(ownShift), hoursText(ownShift + extra),
                 hoursText(shift.wholeShiftMinutes));
    if (extra > shift.wholeShiftMinutes)
        return QStringLiteral("Trades worked and overtime on this day would come to %1 hours, more "
                              "than its %2-hour shift.")
            .arg(hoursText(extra), hoursText(shift.wholeShiftMinutes));
    return {};
}

QString EntryRefusal(const DayEntry& candidate, const DayFacts& day) {
    return EntryRefusal(candidate, shiftOf(day), day.entries);
}
