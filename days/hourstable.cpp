#include "days/hourstable.h"

#include <QDate>

#include <algorithm>
#include <cstdlib>

namespace {

QString dayText(DateSerial day) {
    return qdateFromSerial(day).toString(Qt::ISODate);
}

QString optionalDay(const std::optional<DateSerial>& day) {
    return day ? dayText(*day) : QString();
}

QString csvField(const QString& field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

HoursTable payPeriodTable(const QList<PayPeriodHours>& periods) {
    HoursTable table;
    table.header = QStringList{"period", "first",      "last",      "scheduled", "worked",
                               "leave",  "traded_out", "traded_in", "extra",     "flsa"};
    table.numeric = {false, false, false, true, true, true, true, true, true, true};
    table.dates = {false, true, true, false, false, false, false, false, false, false};
    for (const PayPeriodHours& period : periods) {
        const HoursTotals& hours = period.totals;
        table.rows.append(
            {period.label, dayText(period.first), dayText(period.last), hoursText(hours.scheduled),
             hoursText(hours.worked), hoursText(hours.leave), hoursText(hours.tradedOut),
             hoursText(hours.tradedIn), hoursText(hours.extra), hoursText(hours.flsa)});
    }
    return table;
}

HoursTable assignmentTable(const QList<AssignmentSpan>& spans) {
    HoursTable table;
    table.header = QStringList{"assignment", "first", "last"};
    table.numeric = {false, false, false};
    table.dates = {false, true, true};
    for (const AssignmentSpan& span : spans)
        table.rows.append({span.assignment, optionalDay(span.first), optionalDay(span.last)});
    return table;
}

HoursTable workPeriodTable(const QList<WorkPeriodHours>& periods) {
    HoursTable table;
    table.header = QStringList{"first", "last", "days", "flsa", "threshold", "overtime"};
    table.numeric = {false, false, true, true, true, true};
    table.dates = {true, true, false, false, false, false};
    for (const WorkPeriodHours& period : periods)
        table.rows.append({dayText(period.first), dayText(period.last),
                           QString::number(period.days), hoursText(period.flsaMinutes),
                           QString::number(period.thresholdHours),
                           hoursText(period.overtimeMinutes)});
    return table;
}

HoursTable tradeTable(const QList<TradeBalance>& ledger, bool withOpen) {
    HoursTable table;
    table.header = QStringList{"with", "they_worked", "i_worked", "balance"};
    table.numeric = {false, true, true, true};
    table.dates = {false, false, false, false};
    if (withOpen) {
        table.header.append(QString());
        table.numeric.append(false);
        table.dates.append(false);
    }
    for (const TradeBalance& partner : ledger) {
        QStringList row{partner.with, hoursText(partner.theyWorkedMinutes),
                        hoursText(partner.iWorkedMinutes), hoursText(partner.balanceMinutes())};
        if (withOpen)
            row.append(partner.open() ? QString::fromLatin1(OpenTradeText) : QString());
        table.rows.append(row);
    }
    return table;
}

QString tradeBalanceSentence(const TradeBalance& partner) {
    const QString& name = partner.with;
    const QString they = durationText(partner.theyWorkedMinutes);
    const QString mine = durationText(partner.iWorkedMinutes);
    const QString owed = durationText(std::abs(partner.balanceMinutes()));
    QString worked;
    if (partner.theyWorkedMinutes > 0 && partner.iWorkedMinutes > 0)
        worked = QStringLiteral("%1 worked %2 for you and you %3 for %1").arg(name, they, mine);
    else if (partner.theyWorkedMinutes > 0)
        worked = QStringLiteral("%1 worked %2 for you").arg(name, they);
    else if (partner.iWorkedMinutes > 0)
        worked = QStringLiteral("You worked %1 for %2").arg(mine, name);
    else
        return QStringLiteral("No hours traded with %1").arg(name);
    if (partner.balanceMinutes() < 0)
        return QStringLiteral("%1: you owe %2").arg(worked, owed);
    if (partner.balanceMinutes() > 0)
        return QStringLiteral("%1: %2 owes you %3").arg(worked, name, owed);
    return worked + QStringLiteral(": you are even");
}

QString csvText(const HoursTable& table) {
    QString text;
    const auto line = [&](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted.append(csvField(field));
        text += quoted.join(u',') + u'\n';
    };
    line(table.header);
    for (const QStringList& row : table.rows)
        line(row);
    return text;
}

QString alignedText(const HoursTable& table) {
    QList<qsizetype> widths(table.header.size(), 0);
    const auto measure = [&](const QStringList& cells) {
        for (qsizetype column = 0; column < cells.size(); ++column)
            widths[column] = std::max(widths[column], cells[column].size());
    };
    measure(table.header);
    for (const QStringList& row : table.rows)
        measure(row);
    QString text;
    const auto line = [&](const QStringList& cells) {
        QString out;
        for (qsizetype column = 0; column < cells.size(); ++column) {
            if (column > 0)
                out += QStringLiteral("  ");
            const bool right = column < table.numeric.size() && table.numeric[column];
            out += right ? cells[column].rightJustified(widths[column])
                         : cells[column].leftJustified(widths[column]);
        }
        while (out.endsWith(u' '))
            out.chop(1);
        text += out + u'\n';
    };
    line(table.header);
    for (const QStringList& row : table.rows)
        line(row);
    return text;
}
