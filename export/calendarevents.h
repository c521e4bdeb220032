// The events that the calendar file carries for an assignment over a date range: the duty days
// of its crew, its RDOs, the paydays and the starts of the pay periods, and the user's own extra
// work, each with what the user's entries make of the day.
#pragma once

#include "core/dateserial.h"
#include "days/schedule.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

enum class CalendarEventKind { Duty, Rdo, Payday, PayPeriodStart, ExtraWork, Note };

struct CalendarEvent {
    CalendarEventKind kind = CalendarEventKind::Duty;
    DateSerial date = 0;
    QString summary;     // "On duty – crew B", "RDO B2", "Payday", "PP7 begins", "Overtime, 4 h"
    QString description; // the notes of the day, one a line; empty for none
    QUuid entryId;       // ExtraWork and Note: the entry the event stands for
    // A timed event, in local time written without a zone; both invalid for a whole day.
    QDateTime start;
    QDateTime end;
    qint64 sequence = 0;      // the day's change counter
    bool transparent = false; // blocks no time: a day off, a payday, a note

    friend bool operator==(const CalendarEvent&, const CalendarEvent&) = default;
};

struct CalendarContents {
    bool dutyDays = true;
    bool rdos = true;
    bool paydays = true;
    bool payPeriodStarts = true;
    // Duty days from the shift start to the next day's shift start instead of whole days.
    bool timedShifts = false;
};

using CalendarRange = DaySpan;

// The first day of today's month to the last day of next year, within the view range.
CalendarRange DefaultCalendarRange(DateSerial today);

// The events of every day of the range as the schedule has them, by date, and on one day in the
// order of the kinds (entries by entryBefore). Duty days and RDOs need a sub-group on the day.
// A duty day the user is away for keeps its event, as "Off – …". SEQUENCE is the day's change
// counter.
QList<CalendarEvent> CalendarEvents(const Schedule& schedule, const CalendarRange& range,
                                    const CalendarContents& contents);
