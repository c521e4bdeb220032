#include "cli/hoursreport.h"

#include "days/hourstable.h"

bool HoursReportReadsAllEntries(const HoursReport& report) {
    return report.list == HoursList::Trades;
}

DaySpan HoursReportDays(const HoursReport& report) {
    return daysOfPeriods(report.first, report.last);
}

QString HoursReportText(const HoursReport& report, const QList<DayEntry>& entries) {
    HoursTable table;
    switch (report.list) {
    case HoursList::PayPeriods:
        table = payPeriodTable(payPeriodHours(report.first, report.last, report.basis, entries));
        break;
    case HoursList::WorkPeriods:
        table = workPeriodTable(workPeriodHours(report.first, report.last, report.basis, entries));
        break;
    case HoursList::Trades:
        table = tradeTable(tradeLedger(entries, report.basis), !report.csv);
        break;
    }
    return report.csv ? csvText(table) : alignedText(table);
}
