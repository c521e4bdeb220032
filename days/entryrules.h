// Whether an entry may stand on its day: a trade-out or leave only on the user's own duty days
// and never beyond the day's shift, a trade-in only on a day the user is not on duty, trade-ins
// and overtime never beyond the day's whole shift, and hours that are more than nothing. The same
// rules decide what the editor refuses, what an import refuses and which stored entries count.
#pragma once

#include "days/dayfacts.h"

#include <QList>
#include <QString>

// One sentence saying why `candidate` cannot stand on a day of that shift beside `others` (the
// day's other entries; an entry of the candidate's id among them is its earlier version and left
// out), or empty when it may.
QString EntryRefusal(const DayEntry& candidate, const DayShift& shift,
                     const QList<DayEntry>& others);
// The same against the day's facts, whose entries are the others.
QString EntryRefusal(const DayEntry& candidate, const DayFacts& day);

// Whether an entry of `kind` may go on such a day at all, whatever its hours and the day's other
// entries: one sentence why not, or empty.
QString KindRefusal(EntryKind kind, const DayShift& shift);

// Trades, leave and a hire-back stand for a whole shift when they give no hours; a holdover and
// training always give theirs, and a note has none.
bool wholeShiftWithoutHours(EntryKind kind);
