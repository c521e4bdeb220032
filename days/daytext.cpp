#include "days/daytext.h"

#include "days/hours.h"

#include <QHash>
#include <QStringList>

namespace {

const QString NotFitting = QStringLiteral(" (does not fit this day)");
const QString Dash = QStringLiteral(" \u2013 ");

QString hoursWords(int minutes) {
    return minutes == 60 ? QStringLiteral("1 hour") : hoursText(minutes) + QStringLiteral(" hours");
}

QString withOr(const QString& with, const QString& fallback) {
    return with.trimmed().isEmpty() ? fallback : with.trimmed();
}

// The day's entries in the order their words are said: notes last, so that a long note cut at
// the end of a line never hides a trade or leave.
QList<qsizetype> wordOrder(const DayFacts& day) {
    QList<qsizetype> order;
    for (bool notes : {false, true})
        for (qsizetype at = 0; at < day.entries.size(); ++at)
            if ((day.entries[at].kind == EntryKind::Note) == notes)
                order << at;
    return order;
}

template <class Phrase> QString joined(const DayFacts& day, Phrase phrase, const QString& glue) {
    QStringList parts;
    for (qsizetype at : wordOrder(day)) {
        QString part = phrase(day.entries[at], entryMinutes(day.entries[at], day));
        if (!day.fits.value(at, true))
            part += NotFitting;
        parts << part;
    }
    return parts.join(glue);
}

// One trade-out or leave of a duty day: "J. Smith works 12 h (trade)", "vacation".
QString absenceText(const DayEntry& entry, int minutes, bool withHours) {
    const QString hours = withHours ? u' ' + durationText(minutes) : QString();
    if (entry.kind == EntryKind::Leave)
        return LeavePhrase(entry.leaveType) + hours;
    if (entry.with.trimmed().isEmpty())
        return QStringLiteral("traded") + hours;
    return entry.with.trimmed() + QStringLiteral(" works") + hours;
}

} // namespace

QString EntryPhrase(const DayEntry& entry, int minutes) {
    const QString hours = hoursWords(minutes);
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

QString EntryBrief(const DayEntry& entry, int minutes, int scheduledMinutes) {
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
    case EntryKind::Note: {
        const QString text = NoteLine(entry);
        return text.isEmpty() ? QStringLiteral("Note") : QStringLiteral("Note: ") + text;
    }
    }
    return {};
}

QString EntryCellWords(const DayEntry& entry, int minutes, const DayFacts& day) {
    const QString hours = QLatin1Char(' ') + hoursText(minutes) + QLatin1Char('h');
    const QString partly = minutes != day.scheduledMinutes ? hours : QString();
    switch (entry.kind) {
    case EntryKind::TradeOut:
        return QStringLiteral("Trade") + partly;
    case EntryKind::TradeIn:
        return QStringLiteral("Trade in") + (minutes != day.wholeShiftMinutes ? hours : QString());
    case EntryKind::Leave: {
        static const QHash<LeaveType, QString> shortNames{
            {LeaveType::Vacation, QStringLiteral("Vac")},
            {LeaveType::Sick, QStringLiteral("Sick")},
            {LeaveType::Comp, QStringLiteral("Comp")},
            {LeaveType::Holiday, QStringLiteral("Hol")},
        };
        return shortNames.value(entry.leaveType, QStringLiteral("Leave")) + partly;
    }
    case EntryKind::Overtime:
        return QStringLiteral("OT") + hours;
    case EntryKind::Holdover:
        return QStringLiteral("HO") + hours;
    case EntryKind::Training:
        return QStringLiteral("Trng") + hours;
    case EntryKind::Note:
        return QStringLiteral("Note");
    }
    return {};
}

QStringList DayCellWords(const DayFacts& day) {
    QStringList words;
    for (qsizetype at : wordOrder(day))
        words << EntryCellWords(day.entries[at], entryMinutes(day.entries[at], day), day);
    return words;
}

QStringList DaySheetWords(const DayFacts& day) {
    QStringList words;
    for (qsizetype at : wordOrder(day)) {
        const DayEntry& entry = day.entries[at];
        if (!day.fits.value(at, true))
            continue;
        const int counted = day.countedMinutes.value(at);
        const QString hours = hoursText(counted) + QStringLiteral(" h");
        const QString partly = counted != day.scheduledMinutes ? u' ' + hours : QString();
        const QString with = entry.with.trimmed();
        switch (entry.kind) {
        case EntryKind::TradeOut:
            words << (with.isEmpty() ? QStringLiteral("Trade")
                                     : QStringLiteral("Trade") + Dash + with) +
                         partly;
            break;
        case EntryKind::TradeIn:
            words << (with.isEmpty() ? QStringLiteral("Trade in") : QStringLiteral("For ") + with) +
                         QStringLiteral(" +") + hours;
            break;
        case EntryKind::Leave: {
            const bool named =
                entry.leaveType != LeaveType::None && entry.leaveType != LeaveType::Other;
            words << (named ? LeaveTypeTitle(entry.leaveType) : QStringLiteral("Leave")) + partly;
            break;
        }
        case EntryKind::Overtime:
            words << QStringLiteral("OT +") + hours;
            break;
        case EntryKind::Holdover:
            words << QStringLiteral("Holdover +") + hours;
            break;
        case EntryKind::Training:
            // Training inside the user's own shift adds nothing: it says its length without a sign.
            words << (counted > 0 ? QStringLiteral("Training +") + hours
                                  : QStringLiteral("Training ") +
                                        hoursText(entryMinutes(entry, day)) + QStringLiteral(" h"));
            break;
        case EntryKind::Note:
            words << QStringLiteral("Note");
            break;
        }
    }
    return words;
}

QString NoteLine(const DayEntry& note) {
    return note.note.simplified();
}

QString DayEntriesPhrase(const DayFacts& day) {
    return joined(day, EntryPhrase, QStringLiteral(", "));
}

QString DayEntriesBrief(const DayFacts& day) {
    return joined(
        day,
        [&day](const DayEntry& entry, int minutes) {
            return EntryBrief(entry, minutes, day.scheduledMinutes);
        },
        QStringLiteral(" \u00b7 "));
}

QString DaySummary(const DayFacts& day) {
    QString text;
    if (day.ownRdo)
        text = QStringLiteral("Your RDO (%1)").arg(day.rdoGroup);
    else if (day.ownDuty)
        text = QStringLiteral("On duty with crew %1, %2 hours")
                   .arg(day.crewOnDuty)
                   .arg(hoursText(day.scheduledMinutes));
    else if (!day.crewOnDuty.isNull())
        text = QStringLiteral("Off: crew %1 on duty").arg(day.crewOnDuty);
    if (day.hasEntries())
        text += QStringLiteral("\nYou work %1 hours").arg(hoursText(day.workedMinutes));
    return text;
}

QString DayGroupLine(const DayFacts& day, const QString& currentAssignment) {
    QString text;
    if (day.ownRdo)
        text = QStringLiteral("* ") + day.rdoGroup + QStringLiteral(" *");
    else if (day.payPeriodStart)
        text = day.payPeriodLabel + QStringLiteral(" - ") + day.rdoGroup;
    else
        text = day.rdoGroup;
    if (day.assignment != currentAssignment)
        text += QStringLiteral(" (you: %1)").arg(day.assignment);
    return text;
}

QString DayDescription(const DayFacts& day, const QLocale& locale,
                       const QString& currentAssignment) {
    QStringList parts;
    parts << locale.toString(qdateFromSerial(day.day), QLocale::LongFormat);
    if (day.ownRdo)
        parts << QStringLiteral("your RDO (%1)").arg(day.rdoGroup);
    else if (!day.crewOnDuty.isNull())
        parts << QStringLiteral("crew %1 on duty").arg(day.crewOnDuty);
    if (!day.rdoGroup.isEmpty() && !day.ownRdo)
        parts << QStringLiteral("RDO group %1").arg(day.rdoGroup);
    if (day.payday)
        parts << QStringLiteral("payday");
    if (day.payPeriodStart)
        parts << QStringLiteral("%1 begins").arg(day.payPeriodLabel);
    if (day.assignment != currentAssignment)
        parts << QStringLiteral("your assignment then %1").arg(day.assignment);
    if (day.hasEntries()) {
        parts << DayEntriesPhrase(day);
        parts << (day.worksToday() ? QStringLiteral("you work") : QStringLiteral("you are off"));
    }
    return parts.join(QStringLiteral(", "));
}

QString DutySummary(const DayFacts& day) {
    const QString onDuty =
        QStringLiteral("On duty") + Dash + QStringLiteral("crew ") + day.crewOnDuty;
    QList<qsizetype> absences;
    for (qsizetype at = 0; at < day.entries.size(); ++at)
        if (day.fits[at] && isAbsence(day.entries[at].kind))
            absences.append(at);
    if (absences.isEmpty())
        return onDuty;
    QStringList parts;
    const bool away = day.awayAllShift();
    // A single entry that takes the whole shift needs no hours.
    const bool withHours = !away || absences.size() > 1;
    for (qsizetype at : absences) {
        const DayEntry& entry = day.entries[at];
        QString part = absenceText(entry, day.countedMinutes[at], withHours);
        if (away && entry.kind == EntryKind::TradeOut && !entry.with.trimmed().isEmpty())
            part += QStringLiteral(" (trade)");
        parts << part;
    }
    if (away)
        return QStringLiteral("Off") + Dash + parts.join(QStringLiteral(", "));
    return onDuty +
           QStringLiteral(", %1 (%2)")
               .arg(durationText(day.ownShiftWorkedMinutes()), parts.join(QStringLiteral(", ")));
}

QString RdoSummary(const DayFacts& day) {
    return QStringLiteral("RDO %1").arg(day.assignment);
}

QString ExtraWorkSummary(const DayEntry& entry, int minutes) {
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
    if (minutes > 0)
        summary += QStringLiteral(", ") + durationText(minutes);
    return summary;
}
