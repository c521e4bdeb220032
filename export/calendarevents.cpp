#include "export/calendarevents.h"

#include "core/calendar.h"
#include "days/daytext.h"

#include <QStringList>

#include <cmath>
#include <span>

namespace {

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
    std::span<CalendarEvent> added() {
        return {m_out.data() + m_first, static_cast<size_t>(m_out.size() - m_first)};
    }

private:
    const DayFacts& m_facts;
    qint64 m_sequence;
    QList<CalendarEvent>& m_out;
    qsizetype m_first;
};

void addDuty(DayEvents& day, const DayFacts& facts, const CalendarContents& contents,
             int shiftStart) {
    QList<const DayEntry*> absences;
    for (qsizetype at = 0; at < facts.entries.size(); ++at)
        if (facts.fits[at] && isAbsence(facts.entries[at].kind))
            absences << &facts.entries[at];
    CalendarEvent& event = day.add(CalendarEventKind::Duty, DutySummary(facts), absences);
    event.transparent = facts.awayAllShift();
    if (contents.timedShifts) {
        // The shift ends at the same clock time the next day, whatever the clocks do between;
        // a start the clocks skip is timed from where the hours count it, never dropped to a
        // whole day.
        event.start = ShiftStartTime(facts.day, shiftStart);
        event.end = ShiftStartTime(facts.day + 1, shiftStart);
    }
}

// Work the user does beside the own duty is an appointment of its own: a shift worked for
// someone, overtime, a holdover, and training (which inside the own shift adds no hours, but is
// still somewhere to be). An entry that does not fit the day makes none.
void addEntries(DayEvents& day, const DayFacts& facts) {
    for (qsizetype at = 0; at < facts.entries.size(); ++at) {
        const DayEntry& entry = facts.entries[at];
        if (!facts.fits[at] || (!isExtraWork(entry.kind) && entry.kind != EntryKind::TradeIn))
            continue;
        // A whole shift needs no hours in its name, as a duty day has none.
        const int minutes = entryMinutes(entry, facts);
        CalendarEvent& event =
            day.add(CalendarEventKind::ExtraWork,
                    ExtraWorkSummary(entry, entry.minutes.value_or(0)), {&entry});
        event.entryId = entry.id;
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

QList<CalendarEvent> CalendarEvents(const Schedule& schedule, const CalendarRange& range,
                                    const CalendarContents& contents) {
    QList<CalendarEvent> events;
    const int shiftStart = schedule.hoursSettings().shiftStart;
    // The member's day is one event, duty or RDO; it is raised past every earlier version when
    // its times or its group changed, which the day's own counter does not see.
    const qint64 dutyBase = schedule.dutySequenceBase();
    for (DateSerial date = std::floor(range.first); date <= range.last; date += 1) {
        const DayFacts& facts = schedule.day(date);
        DayEvents day(facts, schedule.changeCounter(date), events);
        if (contents.dutyDays && facts.ownDuty)
            addDuty(day, facts, contents, shiftStart);
        if (contents.rdos && facts.ownRdo)
            day.add(CalendarEventKind::Rdo, RdoSummary(facts)).transparent = true;
        for (CalendarEvent& event : day.added())
            if (event.kind == CalendarEventKind::Duty || event.kind == CalendarEventKind::Rdo)
                event.sequence += dutyBase;
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
