// The rules of hours: the FLSA threshold against the published table, the periods and their
// first days, the sums of a pay period, a work period and the trade ledger, hours across the
// nights the clocks change, and the text of an amount of hours.
#include "days/hours.h"
#include "days/hourstable.h"
#include "days/schedule.h"
#include "rotation/rotation.h"

#include <QDate>
#include <QtTest>

#include <ctime>
#include <memory>

namespace {

DateSerial day(const char* iso) {
    return serialFromQDate(QDate::fromString(QString::fromLatin1(iso), Qt::ISODate));
}

DayEntry entry(DateSerial date, EntryKind kind, std::optional<int> minutes = std::nullopt,
               const QString& with = {}) {
    DayEntry made;
    made.id = QUuid::createUuid();
    made.date = date;
    made.kind = kind;
    made.minutes = minutes;
    made.with = with;
    return made;
}

// The days from `from` on where `assignment` has its own duty, as the rotation has it.
QList<DateSerial> dutyDays(const QString& assignment, DateSerial from, int count) {
    QList<DateSerial> days;
    for (DateSerial date = from; days.size() < count; ++date)
        if (ShiftLetter(date, assignment) == assignment[0])
            days.append(date);
    return days;
}

// The own duty days of `assignment` in first ... last, by the rotation.
int shifts(DateSerial first, DateSerial last, const QString& assignment) {
    int count = 0;
    for (DateSerial date = first; date <= last; ++date)
        count += ShiftLetter(date, assignment) == assignment[0];
    return count;
}

// The first day from `from` on that is neither a duty nor an RDO of `assignment`.
DateSerial offDay(const QString& assignment, DateSerial from) {
    DateSerial date = from;
    while (ShiftLetter(date, assignment) == assignment[0] || ShiftLetter(date, assignment) == 'X')
        ++date;
    return date;
}

// Whose hours: an assignment on every day, and the hours settings.
struct Who {
    QString assignment;
    HoursSettings settings;
};

Who basis(const QString& assignment, HoursSettings settings = {}) {
    return {assignment, settings};
}

// A schedule of the given entries alone, as the hours see it.
std::unique_ptr<Schedule> scheduleOf(const Who& who, const QList<DayEntry>& entries) {
    auto schedule = std::make_unique<Schedule>();
    schedule->setCurrentAssignment(who.assignment);
    schedule->setPayPeriodStart(DefaultPayPeriodStart);
    schedule->setHoursSettings(who.settings);
    schedule->setEntries(entries);
    return schedule;
}

QList<PayPeriodHours> payPeriodsOf(DateSerial first, DateSerial last, const Who& who,
                                   const QList<DayEntry>& entries) {
    return scheduleOf(who, entries)->payPeriods(first, last);
}

QList<WorkPeriodHours> workPeriodsOf(DateSerial first, DateSerial last, const Who& who,
                                     const QList<DayEntry>& entries) {
    return scheduleOf(who, entries)->workPeriods(first, last);
}

HoursTotals hoursOf(DateSerial first, DateSerial last, const Who& who,
                    const QList<DayEntry>& entries) {
    return scheduleOf(who, entries)->hours(first, last);
}

QList<TradeBalance> ledgerOf(const QList<DayEntry>& entries, const Who& who) {
    return scheduleOf(who, entries)->trades();
}

WorkPeriodRule ruleOf(const Who& who) {
    return workPeriodRule(who.settings, DefaultPayPeriodStart);
}

// The process's local zone for the test: ShiftLengthMinutes reads local time.
class LocalZone {
public:
    explicit LocalZone(const QByteArray& zone) : m_saved(qgetenv("TZ")) { set(zone); }
    ~LocalZone() { set(m_saved); }

private:
    static void set(const QByteArray& zone) {
        if (zone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        tzset();
    }
    QByteArray m_saved;
};

} // namespace

class HoursTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void thresholdIsThePublishedTable();
    void hoursText_data();
    void hoursText();
    void periodFirstDays_data();
    void periodFirstDays();
    void payPeriodRowsAndLabels();
    void payPeriodSums();
    void workPeriodOvertime_data();
    void workPeriodOvertime();
    void clockChangeNights_data();
    void clockChangeNights();
    void tradeBalances();
    void tables();
    void tradeBalanceInWords_data();
    void tradeBalanceInWords();
};

void HoursTest::initTestCase() {
    qputenv("TZ", "UTC");
    tzset();
}

void HoursTest::thresholdIsThePublishedTable() {
    // Days in the work period : maximum hours before overtime, as published for fire protection.
    const std::pair<int, int> published[] = {
        {7, 53},   {8, 61},   {9, 68},   {10, 76},  {11, 83},  {12, 91},  {13, 98},  {14, 106},
        {15, 114}, {16, 121}, {17, 129}, {18, 136}, {19, 144}, {20, 151}, {21, 159}, {22, 167},
        {23, 174}, {24, 182}, {25, 189}, {26, 197}, {27, 204}, {28, 212}};
    QCOMPARE(std::size(published), std::size_t(22));
    for (const auto& [days, hours] : published)
        QVERIFY2(flsaThresholdHours(days) == hours, qPrintable(QString::number(days)));
}

void HoursTest::hoursText_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 144 * 60 << "144";
    QTest::newRow("half") << 143 * 60 + 30 << "143.5";
    QTest::newRow("quarter") << 15 << "0.25";
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("a third rounds down") << 20 << "0.33";
    QTest::newRow("two thirds round up") << 40 << "0.67";
    QTest::newRow("ten minutes") << 10 << "0.17";
    QTest::newRow("one minute") << 1 << "0.02";
    QTest::newRow("tenths lose the zero") << 6 << "0.1";
    QTest::newRow("59 minutes") << 59 << "0.98";
    QTest::newRow("negative") << -24 * 60 << "-24";
    QTest::newRow("negative part") << -90 << "-1.5";
    QTest::newRow("a year of duty") << 8760 * 60 + 45 << "8760.75";
}

void HoursTest::hoursText() {
    QFETCH(int, minutes);
    QFETCH(QString, text);
    QCOMPARE(::hoursText(minutes), text);
}

void HoursTest::periodFirstDays_data() {
    QTest::addColumn<DateSerial>("date");
    QTest::addColumn<int>("length");
    QTest::addColumn<DateSerial>("anchor");
    QTest::addColumn<DateSerial>("first");
    const DateSerial start = DefaultPayPeriodStart; // Sunday 20 December 2020
    QTest::newRow("the anchor itself") << start << 14 << start << start;
    QTest::newRow("last day of the first period") << start + 13 << 14 << start << start;
    QTest::newRow("next period") << start + 14 << 14 << start << start + 14;
    QTest::newRow("day before the anchor") << start - 1 << 14 << start << start - 14;
    QTest::newRow("14 days before") << start - 14 << 14 << start << start - 14;
    QTest::newRow("15 days before") << start - 15 << 14 << start << start - 28;
    QTest::newRow("7-day periods") << day("2026-01-01") << 7 << start << day("2025-12-28");
    QTest::newRow("27-day periods") << start + 27 << 27 << start << start + 27;
    QTest::newRow("anchor after the day, 27") << start - 1 << 27 << start << start - 27;
    QTest::newRow("time of day ignored") << start + 13.75 << 14 << start << start;
}

void HoursTest::periodFirstDays() {
    QFETCH(DateSerial, date);
    QFETCH(int, length);
    QFETCH(DateSerial, anchor);
    QFETCH(DateSerial, first);
    HoursSettings settings;
    settings.workPeriodDays = length;
    settings.workPeriodStart = anchor;
    QCOMPARE(workPeriodFirstDay(date, ruleOf(basis("B2", settings))), first);
    if (length == PayPeriodDays && anchor == DefaultPayPeriodStart)
        QCOMPARE(PayPeriodFirstDay(date, anchor), first);
}

void HoursTest::payPeriodRowsAndLabels() {
    // 2026: every period that holds a day of the year. The first began Sunday 28 December 2025
    // (20 December 2020 plus 131 × 14 days) and holds 1 to 10 January; the first to begin in
    // the year is 11 January, and the last 27 December: 27 periods.
    const QList<PayPeriodHours> year =
        payPeriodsOf(day("2026-01-01"), day("2026-12-31"), basis("B2"), {});
    QCOMPARE(year.size(), 27);
    QCOMPARE(year.first().first, day("2025-12-28"));
    QCOMPARE(year.first().last, day("2026-01-10"));
    QCOMPARE(year[1].first, day("2026-01-11"));
    QCOMPARE(year.last().first, day("2026-12-27"));
    QCOMPARE(year.last().last, day("2027-01-09"));
    // 132 periods after PP1 of 2020: 132 mod 26 = 2, so PP3.
    QCOMPARE(year.first().label, QStringLiteral("PP2"));
    QCOMPARE(year[1].label, QStringLiteral("PP3"));
    QCOMPARE(year[25].label, QStringLiteral("PP1"));
    // A range of one day, and one inside a period: the period that holds it.
    const QList<PayPeriodHours> one =
        payPeriodsOf(day("2026-01-11"), day("2026-01-11"), basis("B2"), {});
    QCOMPARE(one.size(), 1);
    const QList<PayPeriodHours> inside =
        payPeriodsOf(day("2026-01-12"), day("2026-01-24"), basis("B2"), {});
    QCOMPARE(inside.size(), 1);
    QCOMPARE(inside.first().first, day("2026-01-11"));
    // Before the pay-period start the periods run on, unnamed.
    const QList<PayPeriodHours> before =
        payPeriodsOf(DefaultPayPeriodStart - 28, DefaultPayPeriodStart, basis("B2"), {});
    QCOMPARE(before.size(), 3);
    QCOMPARE(before[0].label, QString());
    QCOMPARE(before[1].label, QString());
    QCOMPARE(before[2].label, QStringLiteral("PP1"));
}

void HoursTest::payPeriodSums() {
    // Seven duty days of crew B, one of them B2's RDO.
    const DateSerial first = day("2026-01-11");
    QCOMPARE(shifts(first, first + 13, "B2"), 6);
    const QList<PayPeriodHours> plain = payPeriodsOf(first, first, basis("B2"), {});
    QCOMPARE(plain.first().totals.scheduled, 6 * 24 * 60);
    QCOMPARE(plain.first().totals.worked, 6 * 24 * 60);
    QCOMPARE(plain.first().totals.flsa, 6 * 24 * 60);
    QCOMPARE(payPeriodsOf(first, first, basis("RDO"), {}).first().totals, HoursTotals{});

    const QList<DateSerial> duty = dutyDays("B2", first, 4);
    const DateSerial off = offDay("B2", first);
    const QList<DayEntry> entries{
        entry(duty[0], EntryKind::TradeOut, std::nullopt, "Okafor"), // 24 h away, traded
        entry(duty[1], EntryKind::Leave),                            // 24 h leave
        entry(duty[2], EntryKind::TradeOut, 10 * 60, "Lind"),        // 10 h of it traded
        entry(duty[2], EntryKind::Holdover, 90),                     // 1.5 h held over
        entry(duty[3], EntryKind::Note),                             // counts nothing
        entry(off, EntryKind::TradeIn, 24 * 60, "Okafor"),           // 24 h for someone
        entry(off + 0.5, EntryKind::Training, 4 * 60),               // time of day ignored
        entry(offDay("B2", off + 1), EntryKind::TradeIn, std::nullopt, "Lind"), // a whole shift
        entry(first + 14, EntryKind::Overtime, 600),                            // the next period
    };
    const HoursTotals totals = payPeriodsOf(first, first, basis("B2"), entries).first().totals;
    HoursTotals expected;
    expected.scheduled = 144 * 60;
    expected.tradedOut = 34 * 60;
    expected.leave = 24 * 60;
    expected.tradedIn = 48 * 60;
    expected.extra = 5 * 60 + 30;
    expected.worked = (144 - 34 - 24 + 48 + 5.5) * 60;
    // Traded hours stay with the absent member; leave is not hours worked.
    expected.flsa = (144 - 24 + 5.5) * 60;
    QCOMPARE(totals, expected);
    QCOMPARE(hoursOf(first, first + 13, basis("B2"), entries), expected);
}

void HoursTest::workPeriodOvertime_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<DateSerial>("start");
    QTest::addColumn<int>("extraHours");
    QTest::newRow("28 days at the pay-period start") << 28 << DefaultPayPeriodStart << 0;
    QTest::newRow("28 days, a week later") << 28 << DefaultPayPeriodStart + 7 << 0;
    QTest::newRow("28 days with overtime") << 28 << DefaultPayPeriodStart + 3 << 10;
    QTest::newRow("14 days") << 14 << DefaultPayPeriodStart + 5 << 0;
    QTest::newRow("7 days") << 7 << DefaultPayPeriodStart + 1 << 0;
    QTest::newRow("27 days") << 27 << DefaultPayPeriodStart + 2 << 3;
}

void HoursTest::workPeriodOvertime() {
    QFETCH(int, length);
    QFETCH(DateSerial, start);
    QFETCH(int, extraHours);
    HoursSettings settings;
    settings.workPeriodDays = length;
    settings.workPeriodStart = start;
    const Who b2 = basis("B2", settings);
    const DateSerial from = day("2026-03-01");
    const DateSerial to = day("2026-06-30");
    const QList<DayEntry> extra{
        entry(offDay("B2", day("2026-03-20")), EntryKind::Overtime, extraHours * 60)};
    const QList<WorkPeriodHours> rows = workPeriodsOf(from, to, b2, extra);
    const auto holds = [&](const WorkPeriodHours& row) {
        return row.first <= extra[0].date && extra[0].date <= row.last;
    };
    QVERIFY(!rows.isEmpty());
    // Every period that holds a day of the range, the first holding its first day.
    QVERIFY(rows.first().first <= from && from <= rows.first().last);
    QCOMPARE(workPeriodFirstDay(rows.first().first, ruleOf(b2)), rows.first().first);
    QVERIFY(rows.last().first <= to && to <= rows.last().last);
    int total = 0;
    for (const WorkPeriodHours& row : rows) {
        QCOMPARE(row.days, length);
        QCOMPARE(row.last, row.first + length - 1);
        QCOMPARE(row.thresholdHours, flsaThresholdHours(length));
        QCOMPARE(row.flsaMinutes,
                 (shifts(row.first, row.last, "B2") * 24 + (holds(row) ? extraHours : 0)) * 60);
        QCOMPARE(row.overtimeMinutes, std::max(0, row.flsaMinutes - row.thresholdHours * 60));
        total += row.flsaMinutes;
    }
    QVERIFY(total > 0);
}

void HoursTest::clockChangeNights_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<DateSerial>("night");
    QTest::addColumn<int>("shiftStart");
    QTest::addColumn<int>("hours");
    // The week of the work-period check lies after the night, or before it where the next
    // day's shift is the one that runs over the change.
    QTest::addColumn<bool>("weekAfter");
    // The shift that starts the day before the change runs over the night it happens.
    QTest::newRow("New York, spring")
        << QByteArray("America/New_York") << day("2026-03-07") << 8 * 60 << 23 << true;
    QTest::newRow("New York, autumn")
        << QByteArray("America/New_York") << day("2026-10-31") << 8 * 60 << 25 << true;
    QTest::newRow("New York, shift after the change")
        << QByteArray("America/New_York") << day("2026-03-08") << 8 * 60 << 24 << true;
    QTest::newRow("New York, shift from 01:30 on the spring day")
        << QByteArray("America/New_York") << day("2026-03-08") << 90 << 23 << true;
    // A start in the hour the clocks repeat is its first time; one in the hour they skip is
    // read with the offset before the change. Either way no hour is lost or counted twice.
    QTest::newRow("New York, 01:30 the day before the clocks go back")
        << QByteArray("America/New_York") << day("2026-10-31") << 90 << 24 << false;
    QTest::newRow("New York, 01:30 on the day the clocks go back")
        << QByteArray("America/New_York") << day("2026-11-01") << 90 << 25 << true;
    QTest::newRow("New York, 02:30 the day before the skipped hour")
        << QByteArray("America/New_York") << day("2026-03-07") << 150 << 24 << false;
    QTest::newRow("New York, 02:30 on the day of the skipped hour")
        << QByteArray("America/New_York") << day("2026-03-08") << 150 << 23 << true;
    QTest::newRow("Sydney, 02:30 on the day the clocks go back")
        << QByteArray("Australia/Sydney") << day("2026-04-05") << 150 << 25 << true;
    QTest::newRow("Sydney, 02:30 on the day of the skipped hour")
        << QByteArray("Australia/Sydney") << day("2026-10-04") << 150 << 23 << true;
    QTest::newRow("Sydney, spring (October)")
        << QByteArray("Australia/Sydney") << day("2026-10-03") << 8 * 60 << 23 << true;
    QTest::newRow("Sydney, autumn (April)")
        << QByteArray("Australia/Sydney") << day("2026-04-04") << 7 * 60 << 25 << true;
    QTest::newRow("UTC") << QByteArray("UTC") << day("2026-03-07") << 8 * 60 << 24 << true;
}

void HoursTest::clockChangeNights() {
    QFETCH(QByteArray, zone);
    QFETCH(DateSerial, night);
    QFETCH(int, shiftStart);
    QFETCH(int, hours);
    QFETCH(bool, weekAfter);
    const LocalZone local(zone);
    // An assignment on duty that day: B2 or A2, whichever crew works it, not on its RDO.
    QString assignment;
    for (const QString candidate : {"A1", "A2", "B1", "B2"})
        if (ShiftLetter(night, candidate) == candidate[0])
            assignment = candidate;
    QVERIFY(!assignment.isEmpty());
    HoursSettings settings;
    settings.shiftStart = shiftStart;
    const Who who = basis(assignment, settings);
    QCOMPARE(hoursOf(night, night, who, {}).scheduled, hours * 60);
    // A whole-shift trade and leave take the shift's true length; a work period holding the
    // night sums it.
    const QList<DayEntry> away{entry(night, EntryKind::TradeOut, std::nullopt, "Ruiz")};
    QCOMPARE(hoursOf(night, night, who, away).tradedOut, hours * 60);
    QCOMPARE(hoursOf(night, night, who, away).worked, 0);
    QCOMPARE(hoursOf(night, night, who, away).flsa, hours * 60);
    const QList<DayEntry> leave{entry(night, EntryKind::Leave)};
    QCOMPARE(hoursOf(night, night, who, leave).leave, hours * 60);
    QCOMPARE(hoursOf(night, night, who, leave).flsa, 0);
    settings.workPeriodDays = 7;
    const DateSerial weekStart = weekAfter ? night : night - 6;
    settings.workPeriodStart = weekStart;
    const Who weekly = basis(assignment, settings);
    const QList<WorkPeriodHours> week = workPeriodsOf(weekStart, weekStart, weekly, {});
    QCOMPARE(week.size(), 1);
    QCOMPARE(week.first().flsaMinutes,
             (shifts(weekStart, weekStart + 6, assignment) * 24 + hours - 24) * 60);
    QCOMPARE(ledgerOf(away, who).first().theyWorkedMinutes, hours * 60);
    // A whole shift worked for someone else that night, by one of the other crew.
    QString other;
    for (const QString candidate : {"A1", "A2", "B1", "B2"})
        if (candidate[0] != assignment[0] && ShiftLetter(night, candidate) != u'X')
            other = candidate;
    const QList<DayEntry> forSomeone{entry(night, EntryKind::TradeIn, std::nullopt, "Ruiz")};
    QCOMPARE(hoursOf(night, night, basis(other, settings), forSomeone).tradedIn, hours * 60);
    QCOMPARE(ledgerOf(forSomeone, basis(other, settings)).first().iWorkedMinutes, hours * 60);
}

void HoursTest::tradeBalances() {
    const DateSerial first = day("2026-05-01");
    const QList<DateSerial> duty = dutyDays("A3", first, 4);
    const DateSerial off = offDay("A3", first);
    const DateSerial off2 = offDay("A3", off + 1);
    const QList<DayEntry> entries{
        entry(duty[0], EntryKind::TradeOut, std::nullopt, "Smith"), // Smith works 24 h for me
        entry(off, EntryKind::TradeIn, 12 * 60, "Smith"),           // I work 12 h for Smith
        entry(duty[1], EntryKind::TradeOut, 8 * 60, " Chen "),      // even with Chen
        entry(off2, EntryKind::TradeIn, 8 * 60, "Chen"),
        entry(off, EntryKind::TradeIn, 6 * 60, "Adams"), // I worked; Adams owes me
        // A trade-in on my own duty day does not fit and does not count.
        entry(duty[2], EntryKind::TradeIn, 24 * 60, "Zhou"),
        // Two whole-shift absences on one day do not fit together: neither counts.
        entry(duty[3], EntryKind::TradeOut, std::nullopt, "Brown"),
        entry(duty[3], EntryKind::Leave),
        entry(off2, EntryKind::Overtime, 60, "Smith"), // not a trade
    };
    const QList<TradeBalance> ledger = ledgerOf(entries, basis("A3"));
    QCOMPARE(ledger.size(), 3);
    QCOMPARE(ledger[0].with, QStringLiteral("Adams"));
    QCOMPARE(ledger[0].theyWorkedMinutes, 0);
    QCOMPARE(ledger[0].iWorkedMinutes, 6 * 60);
    QCOMPARE(ledger[0].balanceMinutes(), 6 * 60);
    QVERIFY(ledger[0].open());
    QCOMPARE(ledger[1].with, QStringLiteral("Chen"));
    QCOMPARE(ledger[1].balanceMinutes(), 0);
    QVERIFY(!ledger[1].open());
    QCOMPARE(ledger[2].with, QStringLiteral("Smith"));
    QCOMPARE(ledger[2].theyWorkedMinutes, 24 * 60);
    QCOMPARE(ledger[2].iWorkedMinutes, 12 * 60);
    QCOMPARE(ledger[2].balanceMinutes(), -12 * 60);
    QVERIFY(ledger[2].open());
}

void HoursTest::tables() {
    const QList<TradeBalance> ledger{{QStringLiteral("Smith, J."), 24 * 60, 12 * 60},
                                     {QStringLiteral("Lee \"Red\""), 90, 90}};
    QCOMPARE(csvText(tradeTable(ledger)), QStringLiteral("with,they_worked,i_worked,balance\n"
                                                         "\"Smith, J.\",24,12,-12\n"
                                                         "\"Lee \"\"Red\"\"\",1.5,1.5,0\n"));
    QCOMPARE(alignedText(tradeTable(ledger, true)),
             QStringLiteral("with       they_worked  i_worked  balance\n"
                            "Smith, J.           24        12      -12  open\n"
                            "Lee \"Red\"          1.5       1.5        0\n"));
    const QList<PayPeriodHours> periods =
        payPeriodsOf(day("2026-01-11"), day("2026-01-11"), basis("B2"), {});
    QCOMPARE(csvText(payPeriodTable(periods)),
             QStringLiteral("period,first,last,scheduled,worked,leave,traded_out,traded_in,extra,"
                            "flsa\nPP3,2026-01-11,2026-01-24,144,144,0,0,0,0,144\n"));
    HoursSettings settings;
    settings.workPeriodStart = day("2026-01-11");
    const QList<WorkPeriodHours> work =
        workPeriodsOf(day("2026-01-11"), day("2026-01-11"), basis("B2", settings), {});
    QCOMPARE(csvText(workPeriodTable(work)),
             QStringLiteral("first,last,days,flsa,threshold,overtime\n"
                            "2026-01-11,2026-02-07,28,288,212,76\n"));
}

void HoursTest::tradeBalanceInWords_data() {
    QTest::addColumn<int>("theyWorked");
    QTest::addColumn<int>("iWorked");
    QTest::addColumn<QString>("words");
    QTest::newRow("they worked for me")
        << 36 * 60 << 0 << "J. Smith worked 36 h for you: you owe 36 h";
    QTest::newRow("I worked for them")
        << 0 << 12 * 60 << "You worked 12 h for J. Smith: J. Smith owes you 12 h";
    QTest::newRow("both, I owe")
        << 24 * 60 << 90
        << "J. Smith worked 24 h for you and you 1 h 30 min for J. Smith: you owe 22 h 30 min";
    QTest::newRow("both, they owe")
        << 12 * 60 << 24 * 60
        << "J. Smith worked 12 h for you and you 24 h for J. Smith: J. Smith owes you 12 h";
    QTest::newRow("even") << 8 * 60 << 8 * 60
                          << "J. Smith worked 8 h for you and you 8 h for J. Smith: you are even";
}

// The sentence agrees with the CSV's sign: balance = i_worked - they_worked, above zero when the
// partner owes the user.
void HoursTest::tradeBalanceInWords() {
    QFETCH(int, theyWorked);
    QFETCH(int, iWorked);
    const TradeBalance partner{QStringLiteral("J. Smith"), theyWorked, iWorked};
    QTEST(tradeBalanceSentence(partner), "words");
    const QString balance = tradeTable({partner}).rows.first().at(3);
    QCOMPARE(balance.toDouble() > 0,
             tradeBalanceSentence(partner).endsWith(QLatin1String("owes you ") +
                                                    durationText(iWorked - theyWorked)));
}

QTEST_GUILESS_MAIN(HoursTest)
#include "tst_hours.moc"
