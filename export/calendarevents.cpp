#include "export/calendarevents.h"

#include "core/calendar.h"

#include <QStringList>

#include <cmath>

namespace {

const QString Dash = QStringLiteral(" \u2013 ");

QString leaveText(LeaveType type) {
    switch (type) {
    case LeaveType::Vacation:
        return QStringLiteral("vacation");
    case LeaveType::Sick:
        return QStringLiteral("sick leave");
    case LeaveType::Comp:
        return QStringLiteral("comp time");
    case LeaveType::Holiday:
        return QStringLiteral("holiday");
    case LeaveType::None:
    case LeaveType::Other:
        break;
    }
    return QStringLiteral("leave");
}

// One trade-out or leave of a duty day: "J. Smith works 12 h (trade)", "vacation".
QString absenceText(const DayEntry& entry, int minutes, bool withHours) {
    const QString hours = withHours ? u' ' + HoursText(minutes) : QString();
    if (entry.kind == EntryKind::Leave)
        return leaveText(entry.leaveType) + hours;
    if (entry.with.trimmed().isEmpty())
        return QStringLiteral("traded") + hours;
    return entry.with.trimmed() + QStringLiteral(" works") + hours;
}

QList<qsizetype> fittingAbsences(const DayFacts& facts) {
    QList<qsizetype> found;
    for (qsizetype at = 0; at < facts.entries.size(); ++at)
        if (facts.fits[at] && isAbsence(facts.entries[at].kind))
            found.append(at);
    return found;
}

// "On duty – crew B", "On duty – crew B, 12 h (J. Smith works 12 h)", "Off – vacation".
QString dutySummary(const DayFacts& facts) {
    const QString onDuty =
        QStringLiteral("On duty") + Dash + QStringLiteral("crew ") + facts.crewOnDuty;
    const QList<qsizetype> absences = fittingAbsences(facts);
    if (absences.isEmpty())
        return onDuty;
    QStringList parts;
    const bool away = facts.awayAllShift();
    // A single entry that takes the whole shift needs no hours.
    const bool withHours = !away || absences.size() > 1;
    for (qsizetype at : absences) {
        const DayEntry& entry = facts.entries[at];
        QString part = absenceText(entry, entryMinutes(entry, facts.scheduledMinutes), withHours);
        if (away && entry.kind == EntryKind::TradeOut && !entry.with.trimmed().isEmpty())
            part += QStringLiteral(" (trade)");
        parts << part;
    }
    if (away)
        return QStringLiteral("Off") + Dash + parts.join(QStringLiteral(", "));
    return onDuty +
           QStringLiteral(", %1 (%2)")
               .arg(HoursText(facts.ownShiftWorkedMinutes()), parts.join(QStringLiteral(", ")));
}

QString extraWorkSummary(const DayEntry& entry) {
    QString summary;
    switch (entry.kind) {
    case EntryKind::TradeIn:
        summary = entry.with.trimmed().isEmpty()
                      ? QStringLiteral("Working a trade")
                      : QStringLiteral("Working for %1 (trade)").arg(entry.with.trimmed());
        break;
    case EntryKind::Overtime:
        summary = QStringLiteral("Overtime");
        break;
    case EntryKind::Holdover:
        summary = QStringLiteral("Holdover");
        break;
    case EntryKind::Training:
        summary = QStringLiteral("Training");
        break;
    default:
        break;
    }
    const int minutes = entryMinutes(entry, 0);
    if (minutes > 0)
        summary += QStringLiteral(", ") + HoursText(minutes);
    return summary;
}

QDateTime localTime(DateSerial day, int minutesAfterMidnight) {
    return QDateTime(qdateFromSerial(day), QTime(0, 0).addSecs(minutesAfterMidnight * 60),
                     Qt::LocalTime);
}

// The notes of the day's entries, apart from those the event stands for itself.
QString notesOf(const QList<DayEntry>& entries, const QList<const DayEntry*>& own) {
    QStringList lines;
    for (const DayEntry* entry : own)
        if (!entry->note.trimmed().isEmpty())
            lines << entry->note.trimmed();
    for (const DayEntry& entry : entries)
        if (entry.kind == EntryKind::Note && !entry.note.trimmed().isEmpty() &&
            !own.contains(&entry))
            lines << entry.note.trimmed();
    return lines.join(u'\n');
}

class DayEvents {
public:
    DayEvents(const DayFacts& facts, qint64 sequence, QList<CalendarEvent>& out)
        : m_facts(facts), m_sequence(sequence), m_out(out), m_first(out.size()) {}

    CalendarEvent& add(CalendarEventKind kind, const QString& summary,
                       const QList<const DayEntry*>& own = {}) {
        CalendarEvent event;
        event.kind = kind;
        event.date = m_facts.day;
        event.summary = summary;
        event.description = notesOf(m_facts.entries, own);
        event.sequence = m_sequence;
        m_out.append(event);
        return m_out.last();
    }
    bool none() const { return m_out.size() == m_first; }

private:
    const DayFacts& m_facts;
    qint64 m_sequence;
    QList<CalendarEvent>& m_out;
    qsizetype m_first;
};

void addDuty(DayEvents& day, const DayFacts& facts, const CalendarContents& contents,
             int shiftStart) {
    QList<const DayEntry*> absences;
    for (qsizetype at : fittingAbsences(facts))
        absences << &facts.entries[at];
    CalendarEvent& event = day.add(CalendarEventKind::Duty, dutySummary(facts), absences);
    event.transparent = facts.awayAllShift();
    if (contents.timedShifts) {
        // The shift ends at the same clock time the next day, whatever the clocks do between.
        event.start = localTime(facts.day, shiftStart);
        event.end = localTime(facts.day + 1, shiftStart);
    }
}

void addEntries(DayEvents& day, const DayFacts& facts) {
    for (const DayEntry& entry : facts.entries) {
        if (!isExtraWork(entry.kind) && entry.kind != EntryKind::TradeIn)
            continue;
        CalendarEvent& event =
            day.add(CalendarEventKind::ExtraWork, extraWorkSummary(entry), {&entry});
        event.entryId = entry.id;
        const int minutes = entryMinutes(entry, 0);
        if (entry.start && minutes > 0) {
            event.start = localTime(facts.day, *entry.start);
            event.end = event.start.addSecs(qint64(minutes) * 60);
        }
    }
}

// A note on a day that has no other event would reach no calendar: it gets one of its own.
void addLoneNotes(DayEvents& day, const DayFacts& facts) {
    if (!day.none())
        return;
    for (const DayEntry& entry : facts.entries) {
        if (entry.kind != EntryKind::Note || entry.note.trimmed().isEmpty())
            continue;
        CalendarEvent& event =
            day.add(CalendarEventKind::Note,
                    QStringLiteral("Note: ") + entry.note.trimmed().section(u'\n', 0, 0), {&entry});
        event.entryId = entry.id;
        event.transparent = true;
    }
}

} // namespace

CalendarRange DefaultCalendarRange(DateSerial today) {
    const YearMonthDay now = ymdFromSerial(today);
    return {clampToViewRange(serialFromYmd(now.year, now.month, 1)),
            clampToViewRange(serialFromYmd(now.year + 1, 12, 31))};
}

QString HoursText(int minutes) {
    if (minutes % 60 == 0)
        return QStringLiteral("%1 h").arg(minutes / 60);
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QList<CalendarEvent> CalendarEvents(const CalendarRange& range, const QString& assignment,
                                    const CalendarContents& contents, DateSerial payPeriodStart,
                                    const CalendarEntries& own) {
    QList<CalendarEvent> events;
    const QString rdoSummary = QStringLiteral("RDO %1").arg(assignment);
    for (DateSerial date = std::floor(range.first); date <= range.last; date += 1) {
        const DayFacts facts = dayFacts(date, assignment, payPeriodStart,
                                        entriesOn(own.entries, date), own.shiftStart);
        DayEvents day(facts, own.changeCounters.value(dayKey(date), 0), events);
        if (contents.dutyDays && facts.ownDuty)
            addDuty(day, facts, contents, own.shiftStart);
        if (contents.rdos && facts.ownRdo)
            day.add(CalendarEventKind::Rdo, rdoSummary).transparent = true;
        if (contents.paydays && facts.payday)
            day.add(CalendarEventKind::Payday, QStringLiteral("Payday")).transparent = true;
        if (contents.payPeriodStarts && facts.payPeriodStart)
            day.add(CalendarEventKind::PayPeriodStart,
                    facts.payPeriodLabel + QStringLiteral(" begins"))
                .transparent = true;
        addEntries(day, facts);
        addLoneNotes(day, facts);
    }
    return events;
}
