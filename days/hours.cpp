#include "days/hours.h"

#include "days/dayfacts.h"
#include "rotation/rotation.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The first day of the `length`-day period holding `day`, periods running back and forth
// from `anchor`.
DateSerial periodFirstDay(DateSerial day, DateSerial anchor, int length) {
    const auto offset = static_cast<std::int64_t>(std::floor(day) - std::floor(anchor));
    const std::int64_t periods = offset >= 0 ? offset / length : -((-offset + length - 1) / length);
    return std::floor(anchor) + static_cast<DateSerial>(periods * length);
}

// The first period start on or after `day`.
DateSerial firstStartFrom(DateSerial day, DateSerial anchor, int length) {
    const DateSerial start = periodFirstDay(day, anchor, length);
    return start < std::floor(day) ? start + length : start;
}

int workPeriodLength(const HoursBasis& basis) {
    return std::clamp(basis.settings.workPeriodDays, ShortestWorkPeriod, LongestWorkPeriod);
}

void add(HoursTotals& totals, const DayFacts& facts) {
    totals.scheduled += facts.scheduledMinutes;
    totals.worked += facts.workedMinutes;
    totals.leave += facts.leaveMinutes;
    totals.tradedOut += facts.tradedOutMinutes;
    totals.tradedIn += facts.tradedInMinutes;
    totals.extra += facts.extraMinutes;
    totals.flsa += facts.flsaMinutes;
}

EntriesByDay byDay(const QList<DayEntry>& entries) {
    EntriesByDay days;
    for (const DayEntry& entry : entries)
        days[dayKey(entry.date)].append(entry);
    return days;
}

HoursTotals sumDays(DateSerial first, DateSerial last, const HoursBasis& basis,
                    const EntriesByDay& entries) {
    HoursTotals totals;
    for (DateSerial day = std::floor(first); day <= last; ++day)
        add(totals, dayFacts(day, basis.assignment, basis.payPeriodStart, entriesOn(entries, day),
                             basis.settings.shiftStart));
    return totals;
}

} // namespace

int flsaThresholdHours(int days) {
    // 212 × days / 28 = 53 × days / 7, which never ends in exactly one half.
    return (2 * 53 * days + 7) / 14;
}

DateSerial payPeriodFirstDay(DateSerial day, DateSerial payPeriodStart) {
    return periodFirstDay(day, payPeriodStart, PayPeriodDays);
}

DateSerial workPeriodFirstDay(DateSerial day, const HoursBasis& basis) {
    return periodFirstDay(day, basis.settings.workPeriodStart.value_or(basis.payPeriodStart),
                          workPeriodLength(basis));
}

HoursTotals hoursOfDays(DateSerial first, DateSerial last, const HoursBasis& basis,
                        const QList<DayEntry>& entries) {
    return sumDays(first, last, basis, byDay(entries));
}

QList<PayPeriodHours> payPeriodHours(DateSerial first, DateSerial last, const HoursBasis& basis,
                                     const QList<DayEntry>& entries) {
    const EntriesByDay days = byDay(entries);
    QList<PayPeriodHours> rows;
    for (DateSerial start = firstStartFrom(first, basis.payPeriodStart, PayPeriodDays);
         start <= last; start += PayPeriodDays) {
        PayPeriodHours row;
        row.label = PayPeriodLabel(start, basis.payPeriodStart);
        row.first = start;
        row.last = start + PayPeriodDays - 1;
        row.totals = sumDays(row.first, row.last, basis, days);
        rows.append(row);
    }
    return rows;
}

QList<WorkPeriodHours> workPeriodHours(DateSerial first, DateSerial last, const HoursBasis& basis,
                                       const QList<DayEntry>& entries) {
    const EntriesByDay days = byDay(entries);
    const int length = workPeriodLength(basis);
    QList<WorkPeriodHours> rows;
    for (DateSerial start = firstStartFrom(first, workPeriodFirstDay(first, basis), length);
         start <= last; start += length) {
        WorkPeriodHours row;
        row.first = start;
        row.last = start + length - 1;
        row.days = length;
        row.flsaMinutes = sumDays(row.first, row.last, basis, days).flsa;
        row.thresholdHours = flsaThresholdHours(length);
        row.overtimeMinutes = std::max(0, row.flsaMinutes - row.thresholdHours * 60);
        rows.append(row);
    }
    return rows;
}

DaySpan daysOfPeriods(DateSerial first, DateSerial last) {
    return {std::floor(first), std::floor(last) + LongestWorkPeriod - 1};
}

QList<TradeBalance> tradeLedger(const QList<DayEntry>& entries, const HoursBasis& basis) {
    QMap<QString, TradeBalance> partners; // keyed by folded name, for the order
    const EntriesByDay days = byDay(entries);
    for (auto day = days.cbegin(); day != days.cend(); ++day) {
        const DayFacts facts =
            dayFacts(static_cast<DateSerial>(day.key()), basis.assignment, basis.payPeriodStart,
                     day.value(), basis.settings.shiftStart);
        for (qsizetype at = 0; at < facts.entries.size(); ++at) {
            const DayEntry& entry = facts.entries[at];
            if (entry.kind != EntryKind::TradeOut && entry.kind != EntryKind::TradeIn)
                continue;
            if (!facts.fits[at])
                continue;
            const QString name = entry.with.trimmed();
            TradeBalance& partner = partners[name.toCaseFolded() + u'\n' + name];
            partner.with = name;
            const int minutes = entryMinutes(entry, facts);
            (entry.kind == EntryKind::TradeOut ? partner.theyWorkedMinutes
                                               : partner.iWorkedMinutes) += minutes;
        }
    }
    return partners.values();
}

QString hoursText(int minutes) {
    // Hundredths of an hour: 5 × minutes / 3 ends in a third or nothing, never in a half.
    const long long hundredths = (10LL * std::llabs(minutes) + 3) / 6;
    QString text = QString::number(hundredths / 100);
    if (const long long rest = hundredths % 100; rest != 0) {
        text += u'.' + QStringLiteral("%1").arg(rest, 2, 10, QLatin1Char('0'));
        if (text.endsWith(u'0'))
            text.chop(1);
    }
    return minutes < 0 && hundredths != 0 ? u'-' + text : text;
}
