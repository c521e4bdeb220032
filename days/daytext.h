// The words of a day and of its entries, written once for every view that says them: the status
// line, a screen reader's name of a cell, the day editor and the calendar file's summaries.
#pragma once

#include "days/dayfacts.h"

#include <QLocale>
#include <QString>
#include <QStringList>

// "traded away: J. Smith works, 24 hours", "on leave (vacation), 24 hours", "working for
// J. Smith, 24 hours", "overtime, 4 hours", "note: …", for an entry of `minutes`.
QString EntryPhrase(const DayEntry& entry, int minutes);

// The same, brief, for the status line: "J. Smith works", "Vacation", "For J. Smith 12 h",
// "Overtime 4 h", "Note: Bring boots". A trade-out or leave of the whole shift needs no hours.
QString EntryBrief(const DayEntry& entry, int minutes, int scheduledMinutes);

// The same in a few letters, for a day cell of the grid: "Trade", "Vac", "Sick 10h", "OT 10h",
// "HO 2h", "Note", one for each entry; hours where the entry is not the whole shift, and always
// for extra work.
QString EntryCellWords(const DayEntry& entry, int minutes, const DayFacts& day);
QStringList DayCellWords(const DayFacts& day);

// The entries as the month sheet names them, one for each that counts and each note, notes
// last: "Trade – J. Smith", "Vacation", "Sick 10 h", "For K. Lee +24 h", "OT +10 h", "Note".
// Hours where the entry is not the whole shift; extra work says the hours it adds.
QStringList DaySheetWords(const DayFacts& day);

// A note's text on one line, for places that show it in a line of their own.
QString NoteLine(const DayEntry& note);

// The day's entries joined, each marked when it no longer fits the day.
QString DayEntriesPhrase(const DayFacts& day);
QString DayEntriesBrief(const DayFacts& day);

// What the day is for the user, above the day editor's list: "On duty with crew B, 24 hours",
// "Your RDO (B2)", "Off: crew A on duty", and the hours worked where there are entries.
QString DaySummary(const DayFacts& day);

// The status line's second line: the day's RDO group, with the period's label on its first day,
// or "* B2 *" on the user's own RDO; the user's group of the day follows where it is not
// `currentAssignment` ("A5 (you: B2)").
QString DayGroupLine(const DayFacts& day, const QString& currentAssignment);

// The day in words for screen readers: date, crew on duty, RDO group, payday, period, the
// user's group where it was another, the entries and whether the user works.
QString DayDescription(const DayFacts& day, const QLocale& locale,
                       const QString& currentAssignment);

// The calendar file's summaries: "On duty – crew B", "On duty – crew B, 12 h (J. Smith works
// 12 h)", "Off – vacation"; "RDO B2"; "Overtime, 4 h", "Working for J. Smith (trade), 24 h".
QString DutySummary(const DayFacts& day);
QString RdoSummary(const DayFacts& day);
QString ExtraWorkSummary(const DayEntry& entry, int minutes);
