// The user's assignments over time. The settings file keeps the assignment from the last change
// on; the days file keeps the earlier ones, each with the last day it held. Before the earliest
// of them its assignment applies, so a user who never changed group has no rows at all.
#pragma once

#include "core/dateserial.h"

#include <QList>
#include <QString>

#include <optional>

struct AssignmentPeriod {
    QString assignment; // "A1" ... "B7" or "RDO"
    DateSerial until = 0;

    friend bool operator==(const AssignmentPeriod&, const AssignmentPeriod&) = default;
};

// One assignment and the days it held, for lists: no first day for the earliest, no last day for
// the current one.
struct AssignmentSpan {
    QString assignment;
    std::optional<DateSerial> first;
    std::optional<DateSerial> last;

    friend bool operator==(const AssignmentSpan&, const AssignmentSpan&) = default;
};

class AssignmentHistory {
public:
    AssignmentHistory() = default;
    // Rows in any order; they are kept sorted, one per last day, neighbours of the same group
    // joined, and none that would only repeat the current assignment.
    AssignmentHistory(QList<AssignmentPeriod> earlier, QString current);

    const QList<AssignmentPeriod>& earlier() const { return m_earlier; }
    const QString& current() const { return m_current; }
    bool hasChanges() const { return !m_earlier.isEmpty(); }

    // The assignment that held on the day.
    const QString& on(DateSerial day) const;
    QList<AssignmentSpan> spans() const;

    // `next` from `effective` on: what held the day before keeps every day up to it, and what
    // was recorded for `effective` or later gives way.
    AssignmentHistory changedTo(const QString& next, DateSerial effective) const;
    // The group was `next` all along, where the current one held (a correction).
    AssignmentHistory correctedTo(const QString& next) const;
    // Without the change that ends earlier()[index]: the assignment after it holds back to the
    // change before.
    AssignmentHistory withoutChange(qsizetype index) const;

    // The first day on which the two histories give different assignments, or none.
    std::optional<DateSerial> firstDifference(const AssignmentHistory& other) const;

    friend bool operator==(const AssignmentHistory&, const AssignmentHistory&) = default;

private:
    void normalize();

    QList<AssignmentPeriod> m_earlier; // sorted by until
    QString m_current;
};
