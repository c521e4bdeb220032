// The events that the calendar file carries for an assignment over a date range: the duty days
// of its crew, its RDOs, the paydays and the starts of the pay periods, one whole day each.
#pragma once

#include "core/dateserial.h"
#include "days/dayfacts.h"

#include <QList>
#include <QString>

enum class CalendarEventKind { Duty, Rdo, Payday, PayPeriodStart };

struct CalendarEvent {
    CalendarEventKind kind = CalendarEventKind::Duty;
    DateSerial date = 0;
    QString summary; // "On duty – crew B", "RDO B2", "Payday", "PP7 begins"

    friend bool operator==(const CalendarEvent&, const CalendarEvent&) = default;
};

struct CalendarContents {
    bool dutyDays = true;
    bool rdos = true;
    bool paydays = true;
    bool payPeriodStarts = true;
};

struct CalendarRange {
    DateSerial first = 0; // both days included
    DateSerial last = 0;
};

// The first day of today's month to the last day of next year, within the view range.
CalendarRange DefaultCalendarRange(DateSerial today);

// The events of every day of the range, by date, and on one day in the order of the kinds. Duty
// days and RDOs need a sub-group: for "RDO" (none) there are none.
QList<CalendarEvent> CalendarEvents(const CalendarRange& range, const QString& assignment,
                                    const CalendarContents& contents, DateSerial payPeriodStart);
