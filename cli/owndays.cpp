#include "cli/owndays.h"

CalendarEntries CalendarEntriesOf(const EntryStore& store, const CalendarRange& range,
                                  int shiftStart) {
    CalendarEntries own;
    own.entries = store.entriesByDay(range.first, range.last);
    own.changeCounters = store.changeCounters(range.first, range.last);
    own.shiftStart = shiftStart;
    return own;
}

EntriesByDay EntriesOfYear(const EntryStore& store, int year) {
    return store.entriesByDay(serialFromYmd(year, 1, 1), serialFromYmd(year, 12, 31));
}
