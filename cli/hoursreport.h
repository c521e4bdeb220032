// The three lists of hours that the command line prints: pay periods, FLSA work periods and the
// trade ledger, as CSV or as a table aligned for a terminal.
#pragma once

#include "days/schedule.h"

#include <QList>
#include <QString>

enum class HoursList { PayPeriods, WorkPeriods, Trades };

struct HoursReport {
    HoursList list = HoursList::PayPeriods;
    bool csv = false;
    DateSerial first = 0; // the periods that hold a day of first ... last
    DateSerial last = 0;
};

QString HoursReportText(const HoursReport& report, const Schedule& schedule);

// The entries on the days of the report's rows that the rows leave out.
QList<NotCountedEntry> HoursReportNotCounted(const HoursReport& report, const Schedule& schedule);
