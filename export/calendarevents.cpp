#include "export/calendarevents.h"

#include "core/calendar.h"
#include "rotation/rotation.h"

#include <cmath>

namespace {

// The crew of a sub-group is its letter: A2 works with crew A.
QChar crewOf(const QString& subGroup) {
    return subGroup.at(0);
}

} // namespace

CalendarRange DefaultCalendarRange(DateSerial today) {
    const YearMonthDay now = ymdFromSerial(today);
    return {clampToViewRange(serialFromYmd(now.year, now.month, 1)),
            clampToViewRange(serialFromYmd(now.year + 1, 12, 31))};
}

bool IsSubGroup(const QString& assignment) {
    return assignment.size() == 2 && (assignment[0] == u'A' || assignment[0] == u'B') &&
           assignment[1] >= u'1' && assignment[1] <= u'7';
}

QList<CalendarEvent> CalendarEvents(const CalendarRange& range, const QString& assignment,
                                    const CalendarContents& contents, DateSerial payPeriodStart) {
    QList<CalendarEvent> events;
    const bool ownDays = IsSubGroup(assignment);
    const QString dutySummary =
        ownDays ? QStringLiteral("On duty \u2013 crew %1").arg(crewOf(assignment)) : QString();
    const QString rdoSummary = QStringLiteral("RDO %1").arg(assignment);
    for (DateSerial day = std::floor(range.first); day <= range.last; day += 1) {
        if (ownDays) {
            const QChar letter = ShiftLetter(day, assignment);
            if (contents.dutyDays && letter == crewOf(assignment))
                events.append({CalendarEventKind::Duty, day, dutySummary});
            if (contents.rdos && letter == u'X')
                events.append({CalendarEventKind::Rdo, day, rdoSummary});
        }
        if (contents.paydays && IsPayday(day))
            events.append({CalendarEventKind::Payday, day, QStringLiteral("Payday")});
        if (contents.payPeriodStarts && IsPayPeriodStart(day, payPeriodStart))
            events.append({CalendarEventKind::PayPeriodStart, day,
                           PayPeriodLabel(day, payPeriodStart) + QStringLiteral(" begins")});
    }
    return events;
}
