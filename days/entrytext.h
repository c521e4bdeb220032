// The user's entries in words: for the status line, the cell's reader name and the day editor.
#pragma once

#include "days/dayfacts.h"

#include <QString>

// "traded away: J. Smith works, 24 hours", "on leave (vacation), 24 hours", "working for
// J. Smith, 24 hours", "overtime, 4 hours", "note: …". `scheduledMinutes` gives the length of
// an entry that stands for the whole shift.
QString EntryPhrase(const DayEntry& entry, int scheduledMinutes);

// The same, brief, for the status line: "J. Smith works", "Vacation", "For J. Smith 12 h",
// "Overtime 4 h", "Note".
QString EntryBrief(const DayEntry& entry, int scheduledMinutes);

// The day's entries joined, each marked when it no longer fits the day.
QString DayEntriesPhrase(const DayFacts& day);
QString DayEntriesBrief(const DayFacts& day);

// The kind as a person names it: "Trade, someone works my shift", "Leave" ...
QString EntryKindTitle(EntryKind kind);
QString LeaveTypeTitle(LeaveType type);
