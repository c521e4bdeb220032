#include "export/calendarevents.h"

#include "core/calendar.h"

#include <cmath>

CalendarRange DefaultCalendarRange(DateSerial today) {
    const YearMonthDay now = ymdFromSerial(today);
    return {clampToViewRange(serialFromYmd(now.year, now.month, 1)),
            clampToViewRange(serialFromYmd(now.year + 1, 12, 31))};
}

QList<CalendarEvent> CalendarEvents(const CalendarRange& range, const QString& assignment,
                                    const CalendarContents& contents, DateSerial payPeriodStart) {
    QList<CalendarEvent> events;
    const QString rdoSummary = QStringLiteral("RDO %1").arg(assignment);
    for (DateSerial day = std::floor(range.first); day <= range.last; day += 1) {
        const DayFacts facts = dayFacts(day, assignment, payPeriodStart);
        if (contents.dutyDays && facts.ownDuty)
            events.append({CalendarEventKind::Duty, day,
                           QStringLiteral("On duty \u2013 crew %1").arg(facts.crewOnDuty)});
        if (contents.rdos && facts.ownRdo)
            events.append({CalendarEventKind::Rdo, day, rdoSummary});
        if (contents.paydays && facts.payday)
            events.append({CalendarEventKind::Payday, day, QStringLiteral("Payday")});
        if (contents.payPeriodStarts && facts.payPeriodStart)
            events.append({CalendarEventKind::PayPeriodStart, day,
                           facts.payPeriodLabel + QStringLiteral(" begins")});
    }
    return events;
}
