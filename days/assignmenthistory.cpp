#include "days/assignmenthistory.h"

#include "core/calendar.h"

#include <algorithm>
#include <cmath>

AssignmentHistory::AssignmentHistory(QList<AssignmentPeriod> earlier, QString current)
    : m_earlier(std::move(earlier)), m_current(std::move(current)) {
    normalize();
}

void AssignmentHistory::normalize() {
    for (AssignmentPeriod& period : m_earlier)
        period.until = std::floor(period.until);
    std::stable_sort(
        m_earlier.begin(), m_earlier.end(),
        [](const AssignmentPeriod& a, const AssignmentPeriod& b) { return a.until < b.until; });
    // Of two rows for one last day the later-given wins; a row followed by one of the same group
    // is only part of that one's days.
    QList<AssignmentPeriod> kept;
    for (const AssignmentPeriod& period : m_earlier) {
        if (!kept.isEmpty() && kept.last().until == period.until)
            kept.removeLast();
        kept.append(period);
    }
    QList<AssignmentPeriod> joined;
    for (qsizetype at = 0; at < kept.size(); ++at) {
        const QString& after = at + 1 < kept.size() ? kept[at + 1].assignment : m_current;
        if (kept[at].assignment != after)
            joined.append(kept[at]);
    }
    m_earlier = joined;
}

const QString& AssignmentHistory::on(DateSerial day) const {
    const DateSerial whole = std::floor(day);
    const auto found = std::lower_bound(
        m_earlier.cbegin(), m_earlier.cend(), whole,
        [](const AssignmentPeriod& period, DateSerial date) { return period.until < date; });
    return found == m_earlier.cend() ? m_current : found->assignment;
}

QList<AssignmentSpan> AssignmentHistory::spans() const {
    QList<AssignmentSpan> spans;
    std::optional<DateSerial> first;
    for (const AssignmentPeriod& period : m_earlier) {
        spans.append({period.assignment, first, period.until});
        first = period.until + 1;
    }
    spans.append({m_current, first, std::nullopt});
    return spans;
}

AssignmentHistory AssignmentHistory::changedTo(const QString& next, DateSerial effective) const {
    const DateSerial dayBefore = std::floor(effective) - 1;
    QList<AssignmentPeriod> earlier;
    for (const AssignmentPeriod& period : m_earlier)
        if (period.until < dayBefore)
            earlier.append(period);
    earlier.append({on(dayBefore), dayBefore});
    return {earlier, next};
}

AssignmentHistory AssignmentHistory::correctedTo(const QString& next) const {
    return {m_earlier, next};
}

AssignmentHistory AssignmentHistory::withoutChange(qsizetype index) const {
    QList<AssignmentPeriod> earlier = m_earlier;
    if (index >= 0 && index < earlier.size())
        earlier.removeAt(index);
    return {earlier, m_current};
}

std::optional<DateSerial> AssignmentHistory::firstDifference(const AssignmentHistory& other) const {
    // Assignments change only on the day after a row's last day: those days, and the first day
    // of all, are the only places where two histories can begin to differ.
    QList<DateSerial> starts;
    for (const AssignmentPeriod& period : m_earlier)
        starts.append(period.until + 1);
    for (const AssignmentPeriod& period : other.m_earlier)
        starts.append(period.until + 1);
    std::sort(starts.begin(), starts.end());
    const auto differ = [&](DateSerial day) { return on(day) != other.on(day); };
    // Before every row each gives its earliest assignment: then they differ from the first day.
    const DateSerial earliest = starts.isEmpty() ? MinViewDate : starts.first() - 1;
    if (differ(earliest))
        return std::min(earliest, static_cast<DateSerial>(MinViewDate));
    for (DateSerial start : starts)
        if (differ(start))
            return start;
    return std::nullopt;
}
