// Whether an entry may be recorded on its day: a trade-out or leave only on the user's own duty
// days and never beyond the day's shift, a trade-in only on a day the user is not on duty.
#pragma once

#include "days/dayfacts.h"

#include <QString>

// One sentence saying why `candidate` is refused, or empty when it may be stored. `day` holds the
// day's facts with its other entries (the candidate's earlier version left out).
QString EntryRefusal(const DayEntry& candidate, const DayFacts& day);
