// The three lists of hours that the command line prints: pay periods, FLSA work periods and the
// trade ledger, as CSV or as a table aligned for a terminal.
#pragma once

#include "days/dayentry.h"
#include "days/hours.h"

#include <QList>
#include <QString>

enum class HoursList { PayPeriods, WorkPeriods, Trades };

struct HoursReport {
    HoursList list = HoursList::PayPeriods;
    bool csv = false;
    DateSerial first = 0; // the periods whose first day lies in first ... last
    DateSerial last = 0;
    HoursBasis basis;
};

// The days whose entries the report reads; the ledger reads them all.
bool HoursReportReadsAllEntries(const HoursReport& report);
DaySpan HoursReportDays(const HoursReport& report);

QString HoursReportText(const HoursReport& report, const QList<DayEntry>& entries);
