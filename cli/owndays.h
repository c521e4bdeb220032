// The user's entries, read from the store as the plain data that the calendar file and the
// sheets take.
#pragma once

#include "days/entrystore.h"
#include "export/calendarevents.h"

CalendarEntries CalendarEntriesOf(const EntryStore& store, const CalendarRange& range,
                                  int shiftStart);

// The entries of every day of the year.
EntriesByDay EntriesOfYear(const EntryStore& store, int year);
