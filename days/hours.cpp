#include "days/hours.h"

#include "days/partnernames.h"
#include "rotation/rotation.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

void add(HoursTotals& totals, const DayFacts& facts) {
    totals.scheduled += facts.scheduledMinutes;
    totals.worked += facts.workedMinutes;
    totals.leave += facts.leaveMinutes;
    totals.tradedOut += facts.tradedOutMinutes;
    totals.tradedIn += facts.tradedInMinutes;
    totals.extra += facts.extraMinutes;
    totals.flsa += facts.flsaMinutes;
}

// The first days of the `length`-day periods that hold a day of first ... last.
QList<DateSerial> periodStarts(DateSerial first, DateSerial last, DateSerial anchor, int length) {
    QList<DateSerial> starts;
    for (DateSerial start = PeriodFirstDay(first, anchor, length); start <= std::floor(last);
         start += length)
        starts.append(start);
    return starts;
}

} // namespace

int flsaThresholdHours(int days) {
    // 212 × days / 28 = 53 × days / 7, which never ends in exactly one half.
    return (2 * 53 * days + 7) / 14;
}

WorkPeriodRule workPeriodRule(const HoursSettings& settings, DateSerial payPeriodStart) {
    return {std::clamp(settings.workPeriodDays, ShortestWorkPeriod, LongestWorkPeriod),
            settings.workPeriodStart.value_or(payPeriodStart)};
}

DateSerial workPeriodFirstDay(DateSerial day, const WorkPeriodRule& rule) {
    return PeriodFirstDay(day, rule.anchor, rule.days);
}

HoursTotals hoursOfDays(DateSerial first, DateSerial last, const DayFactsSource& days) {
    HoursTotals totals;
    for (DateSerial day = std::floor(first); day <= last; ++day)
        add(totals, days(day));
    return totals;
}

QList<PayPeriodHours> payPeriodHours(DateSerial first, DateSerial last, DateSerial payPeriodStart,
                                     const DayFactsSource& days) {
    QList<PayPeriodHours> rows;
    for (DateSerial start : periodStarts(first, last, payPeriodStart, PayPeriodDays)) {
        PayPeriodHours row;
        row.label = PayPeriodLabel(start, payPeriodStart);
        row.first = start;
        row.last = start + PayPeriodDays - 1;
        row.totals = hoursOfDays(row.first, row.last, days);
        rows.append(row);
    }
    return rows;
}

QList<WorkPeriodHours> workPeriodHours(DateSerial first, DateSerial last,
                                       const WorkPeriodRule& rule, const DayFactsSource& days) {
    QList<WorkPeriodHours> rows;
    for (DateSerial start : periodStarts(first, last, rule.anchor, rule.days)) {
        WorkPeriodHours row;
        row.first = start;
        row.last = start + rule.days - 1;
        row.days = rule.days;
        row.flsaMinutes = hoursOfDays(row.first, row.last, days).flsa;
        row.thresholdHours = flsaThresholdHours(rule.days);
        row.overtimeMinutes = std::max(0, row.flsaMinutes - row.thresholdHours * 60);
        rows.append(row);
    }
    return rows;
}

DaySpan daysOfPayPeriods(DateSerial first, DateSerial last, DateSerial payPeriodStart) {
    return {PayPeriodFirstDay(first, payPeriodStart),
            PayPeriodFirstDay(last, payPeriodStart) + PayPeriodDays - 1};
}

DaySpan daysOfWorkPeriods(DateSerial first, DateSerial last, const WorkPeriodRule& rule) {
    return {workPeriodFirstDay(first, rule), workPeriodFirstDay(last, rule) + rule.days - 1};
}

QList<TradeBalance> tradeLedger(const QList<DayFacts>& daysWithEntries) {
    QMap<QString, TradeBalance> partners; // by the folded name, for the order
    for (const DayFacts& facts : daysWithEntries) {
        for (qsizetype at = 0; at < facts.entries.size(); ++at) {
            const DayEntry& entry = facts.entries[at];
            if (entry.kind != EntryKind::TradeOut && entry.kind != EntryKind::TradeIn)
                continue;
            if (!facts.fits[at])
                continue;
            const QString name = entry.with.simplified();
            // The name as it was written last stands for all its spellings.
            TradeBalance& partner = partners[personKey(name)];
            partner.with = name;
            (entry.kind == EntryKind::TradeOut ? partner.theyWorkedMinutes
                                               : partner.iWorkedMinutes) +=
                facts.countedMinutes[at];
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

QString durationText(int minutes) {
    if (minutes % 60 == 0)
        return QStringLiteral("%1 h").arg(minutes / 60);
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}
