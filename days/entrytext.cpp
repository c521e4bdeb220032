#include "days/entrytext.h"

#include "days/hours.h"

#include <QStringList>

namespace {

const QString NotFitting = QStringLiteral(" (does not fit this day)");

QString hoursWords(int minutes) {
    return minutes == 60 ? QStringLiteral("1 hour") : hoursText(minutes) + QStringLiteral(" hours");
}

QString withOr(const QString& with, const QString& fallback) {
    return with.trimmed().isEmpty() ? fallback : with.trimmed();
}

template <class Phrase> QString joined(const DayFacts& day, Phrase phrase, const QString& glue) {
    QStringList parts;
    for (qsizetype at = 0; at < day.entries.size(); ++at) {
        QString part = phrase(day.entries[at], day.scheduledMinutes);
        if (!day.fits.value(at, true))
            part += NotFitting;
        parts << part;
    }
    return parts.join(glue);
}

} // namespace

QString EntryPhrase(const DayEntry& entry, int scheduledMinutes) {
    const QString hours = hoursWords(entryMinutes(entry, scheduledMinutes));
    switch (entry.kind) {
    case EntryKind::TradeOut:
        return QStringLiteral("traded away: %1 works, %2")
            .arg(withOr(entry.with, QStringLiteral("someone")), hours);
    case EntryKind::TradeIn:
        return QStringLiteral("working for %1, %2")
            .arg(withOr(entry.with, QStringLiteral("someone")), hours);
    case EntryKind::Leave: {
        const QString type = leaveTypeName(entry.leaveType);
        return type.isEmpty() ? QStringLiteral("on leave, %1").arg(hours)
                              : QStringLiteral("on leave (%1), %2").arg(type, hours);
    }
    case EntryKind::Overtime:
        return QStringLiteral("overtime, %1").arg(hours);
    case EntryKind::Holdover:
        return QStringLiteral("holdover, %1").arg(hours);
    case EntryKind::Training:
        return QStringLiteral("training, %1").arg(hours);
    case EntryKind::Note:
        return entry.note.isEmpty() ? QStringLiteral("note")
                                    : QStringLiteral("note: %1").arg(entry.note);
    }
    return {};
}

QString EntryBrief(const DayEntry& entry, int scheduledMinutes) {
    const int minutes = entryMinutes(entry, scheduledMinutes);
    const bool partial = minutes != scheduledMinutes;
    const QString hours = hoursText(minutes) + QStringLiteral(" h");
    switch (entry.kind) {
    case EntryKind::TradeOut: {
        const QString who = withOr(entry.with, QStringLiteral("Traded"));
        const QString text = entry.with.trimmed().isEmpty() ? who : who + QStringLiteral(" works");
        return partial ? text + QLatin1Char(' ') + hours : text;
    }
    case EntryKind::TradeIn:
        return QStringLiteral("For %1 %2")
            .arg(withOr(entry.with, QStringLiteral("a trade")), hours);
    case EntryKind::Leave: {
        QString type = leaveTypeName(entry.leaveType);
        type = type.isEmpty() ? QStringLiteral("Leave") : type.left(1).toUpper() + type.mid(1);
        return partial ? type + QLatin1Char(' ') + hours : type;
    }
    case EntryKind::Overtime:
        return QStringLiteral("Overtime ") + hours;
    case EntryKind::Holdover:
        return QStringLiteral("Holdover ") + hours;
    case EntryKind::Training:
        return QStringLiteral("Training ") + hours;
    case EntryKind::Note:
        return QStringLiteral("Note");
    }
    return {};
}

QString DayEntriesPhrase(const DayFacts& day) {
    return joined(day, EntryPhrase, QStringLiteral(", "));
}

QString DayEntriesBrief(const DayFacts& day) {
    return joined(day, EntryBrief, QStringLiteral(" · "));
}

QString EntryKindTitle(EntryKind kind) {
    switch (kind) {
    case EntryKind::TradeOut:
        return QStringLiteral("Trade, someone works my shift");
    case EntryKind::TradeIn:
        return QStringLiteral("Trade, I work for someone");
    case EntryKind::Leave:
        return QStringLiteral("Leave");
    case EntryKind::Overtime:
        return QStringLiteral("Overtime / hire-back");
    case EntryKind::Holdover:
        return QStringLiteral("Holdover");
    case EntryKind::Training:
        return QStringLiteral("Training / detail");
    case EntryKind::Note:
        return QStringLiteral("Note");
    }
    return {};
}

QString LeaveTypeTitle(LeaveType type) {
    switch (type) {
    case LeaveType::None:
        return QStringLiteral("Not given");
    case LeaveType::Vacation:
        return QStringLiteral("Vacation");
    case LeaveType::Sick:
        return QStringLiteral("Sick");
    case LeaveType::Comp:
        return QStringLiteral("Comp time");
    case LeaveType::Holiday:
        return QStringLiteral("Holiday");
    case LeaveType::Other:
        return QStringLiteral("Other");
    }
    return {};
}
