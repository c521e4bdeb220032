#include "days/schedule.h"

#include "core/calendar.h"
#include "core/localformat.h"
#include "days/entryrules.h"
#include "days/entrystore.h"
#include "rotation/rotation.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

struct Schedule::Private {
    EntryStore* store = nullptr;
    QString current = QStringLiteral("RDO");
    std::optional<QString> everyDay;
    DateSerial payPeriodStart = DefaultPayPeriodStart;
    std::optional<HoursSettings> hoursOverride;

    // What is read from the store, when needed and until it changes. Without a store it is
    // what was given, and counts as read.
    mutable std::optional<AssignmentHistory> history;
    mutable std::optional<HoursSettings> hours;
    mutable QSet<int> yearsRead;
    mutable bool allRead = false;
    mutable EntriesByDay entries;
    mutable QHash<qint64, qint64> counters;
    mutable std::optional<QList<BankSetup>> setups;
    QList<AssignmentPeriod> givenEarlier;
    HoursSettings givenHours;

    // Answers, until an input changes. A node-based map: a reference to a day survives the
    // answering of others.
    mutable std::unordered_map<qint64, DayFacts> facts;
    mutable QHash<qint64, HoursTotals> periodTotals;
    mutable std::optional<BankLedger> ledger;

    void forgetAnswers() {
        facts.clear();
        periodTotals.clear();
        ledger.reset();
    }

    void forgetAnswersOf(DateSerial first, DateSerial last) {
        for (auto it = facts.begin(); it != facts.end();)
            it = it->first >= first && it->first <= last ? facts.erase(it) : std::next(it);
        ledger.reset();
        // A period's total reaches 13 days before its first day's key.
        for (auto it = periodTotals.begin(); it != periodTotals.end();)
            it = it.key() + PayPeriodDays - 1 >= first && it.key() <= last ? periodTotals.erase(it)
                                                                           : std::next(it);
    }

    void forgetRead() {
        if (!store)
            return;
        history.reset();
        hours.reset();
        setups.reset();
        yearsRead.clear();
        allRead = false;
        entries.clear();
        counters.clear();
    }

    void forgetReadYears(int firstYear, int lastYear) {
        if (!store)
            return;
        allRead = false;
        for (int year = firstYear; year <= lastYear; ++year)
            yearsRead.remove(year);
        for (auto it = entries.begin(); it != entries.end();) {
            const int year = ymdFromSerial(static_cast<DateSerial>(it.key())).year;
            it = year >= firstYear && year <= lastYear ? entries.erase(it) : std::next(it);
        }
        for (auto it = counters.begin(); it != counters.end();) {
            const int year = ymdFromSerial(static_cast<DateSerial>(it.key())).year;
            it = year >= firstYear && year <= lastYear ? counters.erase(it) : std::next(it);
        }
    }

    void readYear(int year) const {
        if (!store || allRead || yearsRead.contains(year))
            return;
        const DateSerial first = serialFromYmd(year, 1, 1);
        const DateSerial last = serialFromYmd(year, 12, 31);
        for (const DayEntry& entry : store->entriesBetween(first, last))
            entries[dayKey(entry.date)].append(entry);
        const QHash<qint64, qint64> read = store->changeCounters(first, last);
        for (auto it = read.cbegin(); it != read.cend(); ++it)
            counters.insert(it.key(), it.value());
        yearsRead.insert(year);
    }

    void readAll() const {
        if (!store || allRead)
            return;
        entries.clear();
        counters.clear();
        for (const DayEntry& entry : store->allEntries())
            entries[dayKey(entry.date)].append(entry);
        counters = store->changeCounters(serialFromYmd(1, 1, 1), serialFromYmd(9999, 12, 31));
        allRead = true;
    }

    const AssignmentHistory& readHistory() const {
        if (!history)
            history =
                AssignmentHistory(store ? store->earlierAssignments() : givenEarlier, current);
        return *history;
    }

    HoursSettings readHours() const {
        if (hoursOverride)
            return *hoursOverride;
        if (!hours)
            hours = store ? store->hoursSettings() : givenHours;
        return *hours;
    }
};

Schedule::Schedule(EntryStore* store, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>()) {
    d->store = store;
    d->allRead = store == nullptr;
    if (!store)
        return;
    connect(store, &EntryStore::changed, this, [this](DateSerial first, DateSerial last) {
        if (first <= MinViewDate && last >= MaxViewDate) {
            // The hours settings or the earlier assignments may have changed too.
            d->forgetRead();
            d->forgetAnswers();
        } else {
            d->forgetReadYears(ymdFromSerial(first).year, ymdFromSerial(last).year);
            d->forgetAnswersOf(std::floor(first), std::floor(last));
        }
        emit changed(first, last);
    });
}

Schedule::~Schedule() = default;

void Schedule::setCurrentAssignment(const QString& assignment) {
    if (assignment == d->current)
        return;
    const AssignmentHistory before = history();
    d->current = assignment;
    d->history.reset();
    const std::optional<DateSerial> from = history().firstDifference(before);
    d->forgetAnswers();
    if (from && !d->everyDay)
        emit changed(*from, MaxViewDate);
}

void Schedule::setPayPeriodStart(DateSerial start) {
    if (start == d->payPeriodStart)
        return;
    d->payPeriodStart = start;
    d->forgetAnswers();
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::overrideHoursSettings(const HoursSettings& settings) {
    d->hoursOverride = settings;
    d->forgetAnswers();
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::setAssignmentOnEveryDay(const QString& assignment) {
    d->everyDay = assignment;
    d->forgetAnswers();
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::setEntries(const QList<DayEntry>& entries) {
    if (d->store)
        return;
    d->entries.clear();
    for (const DayEntry& entry : entries)
        d->entries[dayKey(entry.date)].append(entry);
    d->forgetAnswers();
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::setEarlierAssignments(const QList<AssignmentPeriod>& earlier) {
    if (d->store)
        return;
    d->givenEarlier = earlier;
    d->history.reset();
    d->forgetAnswers();
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::setHoursSettings(const HoursSettings& settings) {
    if (d->store)
        return;
    d->givenHours = settings;
    d->hours.reset();
    d->forgetAnswers();
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::setChangeCounters(const QHash<qint64, qint64>& counters) {
    if (d->store)
        return;
    d->counters = counters;
    emit changed(MinViewDate, MaxViewDate);
}

void Schedule::setBankSetups(const QList<BankSetup>& setups) {
    if (d->store)
        return;
    d->setups = setups;
    d->ledger.reset();
    emit changed(MinViewDate, MaxViewDate);
}

EntryStore* Schedule::store() const {
    return d->store;
}

QString Schedule::problem() const {
    if (!d->store)
        return {};
    if (!d->store->problem().isEmpty())
        return d->store->problem();
    return d->store->readError();
}

const AssignmentHistory& Schedule::history() const {
    return d->readHistory();
}

const QString& Schedule::currentAssignment() const {
    return d->current;
}

const QString& Schedule::assignmentOn(DateSerial day) const {
    return d->everyDay ? *d->everyDay : history().on(day);
}

QList<AssignmentSpan> Schedule::assignmentsBetween(DateSerial first, DateSerial last) const {
    first = std::floor(first);
    last = std::floor(last);
    if (d->everyDay)
        return {{*d->everyDay, first, last}};
    QList<AssignmentSpan> found;
    for (const AssignmentSpan& span : history().spans()) {
        const DateSerial from = std::max(first, span.first.value_or(first));
        const DateSerial to = std::min(last, span.last.value_or(last));
        if (from <= to)
            found.append({span.assignment, from, to});
    }
    return found;
}

DateSerial Schedule::payPeriodStart() const {
    return d->payPeriodStart;
}

HoursSettings Schedule::hoursSettings() const {
    return d->readHours();
}

WorkPeriodRule Schedule::workPeriodRule() const {
    return ::workPeriodRule(hoursSettings(), d->payPeriodStart);
}

const DayFacts& Schedule::day(DateSerial date) const {
    const qint64 key = dayKey(date);
    if (const auto found = d->facts.find(key); found != d->facts.end())
        return found->second;
    const DateSerial whole = static_cast<DateSerial>(key);
    d->readYear(ymdFromSerial(whole).year);
    return d->facts
        .emplace(key, dayFacts(whole, assignmentOn(whole), d->payPeriodStart,
                               entriesOn(d->entries, whole), hoursSettings().shiftStart))
        .first->second;
}

QList<DayFacts> Schedule::days(DateSerial first, DateSerial last) const {
    QList<DayFacts> found;
    for (DateSerial date = std::floor(first); date <= last; ++date)
        found.append(day(date));
    return found;
}

QList<DayFacts> Schedule::daysWithEntries(DateSerial first, DateSerial last) const {
    for (int year = ymdFromSerial(first).year; year <= ymdFromSerial(last).year; ++year)
        d->readYear(year);
    QList<qint64> keys;
    for (auto it = d->entries.cbegin(); it != d->entries.cend(); ++it)
        if (it.key() >= dayKey(first) && it.key() <= dayKey(last) && !it.value().isEmpty())
            keys.append(it.key());
    std::sort(keys.begin(), keys.end());
    QList<DayFacts> found;
    for (qint64 key : keys)
        found.append(day(static_cast<DateSerial>(key)));
    return found;
}

QList<DayFacts> Schedule::daysWithEntries() const {
    d->readAll();
    QList<qint64> keys = d->entries.keys();
    std::sort(keys.begin(), keys.end());
    QList<DayFacts> found;
    for (qint64 key : keys)
        if (!d->entries.value(key).isEmpty())
            found.append(day(static_cast<DateSerial>(key)));
    return found;
}

qint64 Schedule::changeCounter(DateSerial date) const {
    d->readYear(ymdFromSerial(date).year);
    return d->counters.value(dayKey(date), 0);
}

qint64 Schedule::dutySequenceBase() const {
    return d->store ? d->store->dutySequenceBase() : 0;
}

HoursTotals Schedule::hours(DateSerial first, DateSerial last) const {
    return hoursOfDays(first, last,
                       [this](DateSerial date) -> const DayFacts& { return day(date); });
}

PayPeriodHours Schedule::payPeriodOf(DateSerial date) const {
    PayPeriodHours period;
    period.first = PayPeriodFirstDay(date, d->payPeriodStart);
    period.last = period.first + PayPeriodDays - 1;
    period.label = PayPeriodLabel(period.first, d->payPeriodStart);
    const qint64 key = dayKey(period.first);
    if (const auto found = d->periodTotals.constFind(key); found != d->periodTotals.constEnd()) {
        period.totals = *found;
        return period;
    }
    period.totals = hours(period.first, period.last);
    d->periodTotals.insert(key, period.totals);
    return period;
}

QList<PayPeriodHours> Schedule::payPeriods(DateSerial first, DateSerial last) const {
    QList<PayPeriodHours> rows;
    const DaySpan span = daysOfPayPeriods(first, last, d->payPeriodStart);
    for (DateSerial start = span.first; start <= span.last; start += PayPeriodDays)
        rows.append(payPeriodOf(start));
    return rows;
}

QList<WorkPeriodHours> Schedule::workPeriods(DateSerial first, DateSerial last) const {
    return workPeriodHours(first, last, workPeriodRule(),
                           [this](DateSerial date) -> const DayFacts& { return day(date); });
}

QList<TradeBalance> Schedule::trades() const {
    return tradeLedger(daysWithEntries());
}

QList<NotCountedEntry> Schedule::notCounted(DateSerial first, DateSerial last) const {
    return NotCountedIn(daysWithEntries(first, last));
}

QList<BankSetup> Schedule::bankSetups() const {
    if (!d->setups)
        d->setups = d->store ? d->store->bankSetups() : QList<BankSetup>();
    return *d->setups;
}

const BankLedger& Schedule::banks() const {
    if (d->ledger)
        return *d->ledger;
    // What the banks see of a day is what its hours count: leave that fits, and comp time of
    // overtime and holdovers that count as extra work.
    QList<BankMovement> movements;
    for (const DayFacts& facts : daysWithEntries()) {
        for (qsizetype at = 0; at < facts.entries.size(); ++at) {
            const DayEntry& entry = facts.entries[at];
            const int minutes = facts.countedMinutes[at];
            if (!facts.fits[at] || minutes <= 0)
                continue;
            if (entry.kind == EntryKind::Leave) {
                if (const std::optional<BankMovement> used =
                        leaveMovement(facts.day, entry.leaveType, minutes))
                    movements.append(*used);
            } else if (entry.comp &&
                       (entry.kind == EntryKind::Overtime || entry.kind == EntryKind::Holdover)) {
                movements.append(compMovement(facts.day, minutes));
            }
        }
    }
    d->ledger.emplace(bankSetups(), d->payPeriodStart, movements);
    return *d->ledger;
}

QList<NotCountedEntry> NotCountedIn(const QList<DayFacts>& days) {
    QList<NotCountedEntry> found;
    for (const DayFacts& facts : days)
        for (qsizetype at = 0; at < facts.entries.size(); ++at)
            if (!facts.fits[at])
                found.append({facts.entries[at], EntryRefusal(facts.entries[at], facts)});
    return found;
}

namespace {

QString notCountedText(const QList<NotCountedEntry>& entries,
                       const std::function<QString(DateSerial)>& dayText) {
    if (entries.isEmpty())
        return {};
    constexpr qsizetype Named = 3;
    QStringList days;
    for (qsizetype at = 0; at < std::min(Named, entries.size()); ++at)
        days << QStringLiteral("%1 (%2)").arg(dayText(entries[at].entry.date),
                                              entryKindName(entries[at].entry.kind));
    if (entries.size() > Named)
        days << QStringLiteral("%1 more").arg(entries.size() - Named);
    return entries.size() == 1
               ? QStringLiteral("1 entry is not counted, as it does not fit its day: %1.")
                     .arg(days.join(QStringLiteral(", ")))
               : QStringLiteral("%1 entries are not counted, as they do not fit their days: %2.")
                     .arg(entries.size())
                     .arg(days.join(QStringLiteral(", ")));
}

} // namespace

QString NotCountedText(const QList<NotCountedEntry>& entries) {
    return notCountedText(
        entries, [](DateSerial day) { return qdateFromSerial(day).toString(Qt::ISODate); });
}

QString NotCountedText(const QList<NotCountedEntry>& entries, const QLocale& locale) {
    return notCountedText(entries,
                          [&locale](DateSerial day) { return shortDateText(locale, day); });
}
