// What an import would store, checked as the day editor checks an entry: every entry that the
// import would write (and every entry already stored on a day it changes) must fit its day under
// the assignment that held on it, beside the day's other entries.
#pragma once

#include "days/assignmenthistory.h"
#include "days/dayentry.h"
#include "days/shifttime.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ImportedDays {
    QList<DayEntry> incoming;
    QList<DayEntry> stored;    // all the user has now
    AssignmentHistory history; // as it will be after the import
    DateSerial payPeriodStart = 0;
    HoursSettings hours;
};

// One line for each entry that would not fit, "entry 1b2c… on 2026-03-04: You are not on duty
// that day, …", in date order; none when the import may go ahead.
QStringList ImportRefusals(const ImportedDays& days);
