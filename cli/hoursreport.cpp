#include "cli/hoursreport.h"

#include "days/hourstable.h"

namespace {} // namespace

QString HoursReportText(const HoursReport& report, const Schedule& schedule) {
    HoursTable table;
    switch (report.list) {
    case HoursList::PayPeriods:
        table = payPeriodTable(schedule.payPeriods(report.first, report.last));
        break;
    case HoursList::WorkPeriods:
        table = workPeriodTable(schedule.workPeriods(report.first, report.last));
        break;
    case HoursList::Trades:
        table = tradeTable(schedule.trades(), !report.csv);
        break;
    }
    return report.csv ? csvText(table) : alignedText(table);
}

QList<NotCountedEntry> HoursReportNotCounted(const HoursReport& report, const Schedule& schedule) {
    DaySpan days;
    switch (report.list) {
    case HoursList::PayPeriods:
        days = daysOfPayPeriods(report.first, report.last, schedule.payPeriodStart());
        break;
    case HoursList::WorkPeriods:
        days = daysOfWorkPeriods(report.first, report.last, schedule.workPeriodRule());
        break;
    case HoursList::Trades:
        return NotCountedIn(schedule.daysWithEntries());
    }
    return schedule.notCounted(days.first, days.last);
}
