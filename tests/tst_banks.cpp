// The rules of the leave and comp banks, worked by hand: the amounts and their rounding, the
// set-up's checks and their sentences, and the ledger day by day in the rules' order
// (forfeiture, leave, comp, accrual), its rows by pay period, a day's balance and 45 years of
// accrual without drift.
#include "days/bankamount.h"
#include "days/bankledger.h"
#include "days/banks.h"
#include "days/banksetup.h"
#include "days/banktext.h"
#include "days/hours.h"
#include "rotation/rotation.h"

#include <QDate>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(BankSetup)
Q_DECLARE_METATYPE(BankMovement)
Q_DECLARE_METATYPE(BankSetupInput)
Q_DECLARE_METATYPE(Hundredths)
Q_DECLARE_METATYPE(AmountProblem)

namespace {

// Pay periods of the default start: 2026-01-11 … 01-24 is PP3, 01-25 … 02-07 PP4, and
// 2026-12-27 … 2027-01-09 PP2.
const DateSerial PayPeriodStart = DefaultPayPeriodStart;
const QString Header =
    QStringLiteral("period,first,last,bank,opening,forfeited,used,earned,over_cap,accrued,closing");

DateSerial day(const char* iso) {
    return serialFromQDate(QDate::fromString(QString::fromLatin1(iso), Qt::ISODate));
}

// Literal amounts of the tests; the code under test never sees a double.
Hundredths h(double hours) {
    return {std::llround(hours * 100)};
}

BankSetup bankSetup(BankKind bank, const char* asOf, double balance, double accrual,
                    std::optional<double> cap = std::nullopt,
                    std::optional<double> carryOver = std::nullopt, MonthDay yearStart = {}) {
    BankSetup setup;
    setup.bank = bank;
    setup.asOf = day(asOf);
    setup.balance = h(balance);
    setup.accrual = h(accrual);
    if (cap)
        setup.cap = h(*cap);
    if (carryOver)
        setup.carryOver = h(*carryOver);
    setup.yearStart = yearStart;
    return setup;
}

BankMovement use(BankKind bank, DateSerial on, int minutes) {
    return {on, BankMovementKind::LeaveUsed, bank, minutes};
}

BankMovement use(BankKind bank, const char* on, int minutes) {
    return use(bank, day(on), minutes);
}

BankMovement comp(const char* on, int minutes) {
    return compMovement(day(on), minutes);
}

QStringList csvLines(const QList<BankPeriodRow>& rows) {
    return csvText(bankTable(rows)).split(u'\n', Qt::SkipEmptyParts);
}

BankSetupInput input(const char* bank = "vacation", const char* asOf = "2026-01-11") {
    BankSetupInput made;
    made.bank = QString::fromLatin1(bank);
    made.asOf = QString::fromLatin1(asOf);
    made.balance = 130;
    made.accrual = 7;
    return made;
}

const QString Vacation = QStringLiteral("Vacation: ");

} // namespace

class BanksTest : public QObject {
    Q_OBJECT

private slots:
    void namesAndLeaveTypes();
    void minutesAndComp_data();
    void minutesAndComp();
    void amountsPrintAsTheHoursLists();
    void amountText_data();
    void amountText();
    void hoursRead_data();
    void hoursRead();
    void monthDays_data();
    void monthDays();
    void setupChecks_data();
    void setupChecks();
    void setupReadsBackUnchanged();
    void setupsOfAFile();
    void ledger_data();
    void ledger();
    void balanceAfterDay_data();
    void balanceAfterDay();
    void overdrawnDays();
    void afterDayText_data();
    void afterDayText();
    void projected();
    void tables();
    void fortyFiveYearsOfAccrualWithoutDrift();
    void fortyFiveYearsOfFourBanks();
};

void BanksTest::namesAndLeaveTypes() {
    const QStringList names{"vacation", "sick", "comp", "holiday"};
    const QStringList titles{"Vacation", "Sick leave", "Comp time", "Holiday"};
    const LeaveType types[] = {LeaveType::Vacation, LeaveType::Sick, LeaveType::Comp,
                               LeaveType::Holiday};
    for (std::size_t at = 0; at < AllBanks.size(); ++at) {
        const BankKind bank = AllBanks[at];
        const auto index = static_cast<qsizetype>(at);
        QCOMPARE(bankName(bank), names[index]);
        QCOMPARE(bankTitle(bank), titles[index]);
        QCOMPARE(bankFromName(names[index]), std::optional(bank));
        // The bank's name is the leave type's name.
        QCOMPARE(leaveTypeName(types[at]), names[index]);
        QCOMPARE(bankOfLeave(types[at]), std::optional(bank));
        QCOMPARE(leaveMovement(day("2026-01-13"), types[at], 60),
                 std::optional(use(bank, "2026-01-13", 60)));
    }
    QCOMPARE(bankFromName(u"Vacation"), std::nullopt);
    QCOMPARE(bankFromName(u"other"), std::nullopt);
    QCOMPARE(bankFromName(u""), std::nullopt);
    QCOMPARE(bankOfLeave(LeaveType::Other), std::nullopt);
    QCOMPARE(bankOfLeave(LeaveType::None), std::nullopt);
    QCOMPARE(leaveMovement(day("2026-01-13"), LeaveType::Other, 600), std::nullopt);
    QCOMPARE(leaveMovement(day("2026-01-13"), LeaveType::None, 600), std::nullopt);
    QCOMPARE(comp("2026-01-13", 90).bank, BankKind::Comp);
}

void BanksTest::minutesAndComp_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("compEarned");
    QTest::newRow("none") << 0 << "0"
                          << "0";
    // 1/60 h = 0.0167 → 0.02; 1.5 × 0.02 = 0.03.
    QTest::newRow("1 minute") << 1 << "0.02"
                              << "0.03";
    // 0.333 → 0.33; 1.5 × 0.33 = 0.495, a half: up to 0.5.
    QTest::newRow("20 minutes") << 20 << "0.33"
                                << "0.5";
    // 0.667 → 0.67; 1.005 → 1.01.
    QTest::newRow("40 minutes") << 40 << "0.67"
                                << "1.01";
    // 0.983 → 0.98; 1.5 × 0.98 = 1.47 (1.5 × 59 minutes would be 1.475 → 1.48).
    QTest::newRow("59 minutes") << 59 << "0.98"
                                << "1.47";
    QTest::newRow("an hour") << 60 << "1"
                             << "1.5";
    // 12.083 → 12.08; 1.5 × 12.08 = 18.12 (from the minutes it would be 18.125 → 18.13).
    QTest::newRow("725 minutes") << 725 << "12.08"
                                 << "18.12";
    QTest::newRow("a shift") << 24 * 60 << "24"
                             << "36";
    QTest::newRow("a clock-change shift") << 25 * 60 << "25"
                                          << "37.5";
    QTest::newRow("the longest entry") << MaxEntryMinutes << "48"
                                       << "72";
}

void BanksTest::minutesAndComp() {
    QFETCH(int, minutes);
    QFETCH(QString, hours);
    QFETCH(QString, compEarned);
    const Hundredths amount = hundredthsFromMinutes(minutes);
    QCOMPARE(hundredthsText(amount), hours);
    QCOMPARE(hundredthsText(compEarnedFor(amount)), compEarned);
    // A negative amount mirrors its positive.
    QCOMPARE(hundredthsFromMinutes(-minutes), -amount);
    QCOMPARE(compEarnedFor(-amount), -compEarnedFor(amount));
}

void BanksTest::amountsPrintAsTheHoursLists() {
    for (int minutes = -3 * 60; minutes <= MaxEntryMinutes; ++minutes)
        QVERIFY2(hundredthsText(hundredthsFromMinutes(minutes)) == hoursText(minutes),
                 qPrintable(QString::number(minutes)));
}

void BanksTest::amountText_data() {
    QTest::addColumn<Hundredths>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << Hundredths{13000} << "130";
    QTest::newRow("tenths lose the zero") << Hundredths{750} << "7.5";
    QTest::newRow("hundredths") << Hundredths{25} << "0.25";
    QTest::newRow("one hundredth") << Hundredths{1} << "0.01";
    QTest::newRow("zero") << Hundredths{} << "0";
    QTest::newRow("negative") << Hundredths{-1200} << "-12";
    QTest::newRow("negative part") << Hundredths{-5} << "-0.05";
    QTest::newRow("the largest set-up") << MaxBankAmount << "99999.99";
    QTest::newRow("beyond qint32") << Hundredths{1'000'000'000'001} << "10000000000.01";
}

void BanksTest::amountText() {
    QFETCH(Hundredths, amount);
    QFETCH(QString, text);
    QCOMPARE(hundredthsText(amount), text);
}

void BanksTest::hoursRead_data() {
    QTest::addColumn<double>("hours");
    QTest::addColumn<AmountProblem>("problem");
    QTest::addColumn<qint64>("hundredths");
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("whole") << 130.0 << AmountProblem::None << qint64(13000);
    QTest::newRow("half") << 7.5 << AmountProblem::None << qint64(750);
    // A double holds 4.62 as 4.61999…, and 4.62 × 100 as 462.00000000000006.
    QTest::newRow("4.62") << 4.62 << AmountProblem::None << qint64(462);
    QTest::newRow("0.29") << 0.29 << AmountProblem::None << qint64(29);
    QTest::newRow("one hundredth") << 0.01 << AmountProblem::None << qint64(1);
    QTest::newRow("negative") << -12.25 << AmountProblem::None << qint64(-1225);
    QTest::newRow("negative zero") << -0.0 << AmountProblem::None << qint64(0);
    QTest::newRow("the largest") << 99999.99 << AmountProblem::None << qint64(9999999);
    QTest::newRow("the largest below zero") << -99999.99 << AmountProblem::None << qint64(-9999999);
    QTest::newRow("three decimals") << 4.625 << AmountProblem::TooManyDecimals << qint64(0);
    QTest::newRow("a tiny part") << 1e-9 << AmountProblem::TooManyDecimals << qint64(0);
    // What a sum of doubles gives is not a number of two decimals.
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << AmountProblem::TooManyDecimals << qint64(0);
    QTest::newRow("100000") << 100000.0 << AmountProblem::TooLarge << qint64(0);
    QTest::newRow("100000.01") << 100000.01 << AmountProblem::TooLarge << qint64(0);
    QTest::newRow("-999999.99") << -999999.99 << AmountProblem::TooLarge << qint64(0);
    QTest::newRow("-1e300") << -1e300 << AmountProblem::TooLarge << qint64(0);
    QTest::newRow("not a number") << std::nan("") << AmountProblem::NotANumber << qint64(0);
    QTest::newRow("infinite") << infinity << AmountProblem::NotANumber << qint64(0);
}

void BanksTest::hoursRead() {
    QFETCH(double, hours);
    QFETCH(AmountProblem, problem);
    QFETCH(qint64, hundredths);
    const AmountReading reading = hundredthsFromHours(hours);
    QCOMPARE(reading.problem, problem);
    if (problem != AmountProblem::None)
        return;
    QCOMPARE(reading.amount.value, hundredths);
    // Written to a file and read back: the same amount.
    QCOMPARE(hundredthsFromHours(hoursOf(reading.amount)).amount, reading.amount);
}

void BanksTest::monthDays_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("new year") << "01-01" << true;
    QTest::newRow("a fiscal year") << "07-01" << true;
    QTest::newRow("28 February") << "02-28" << true;
    QTest::newRow("the last day") << "12-31" << true;
    QTest::newRow("29 February, not every year") << "02-29" << false;
    QTest::newRow("30 February") << "02-30" << false;
    QTest::newRow("31 April") << "04-31" << false;
    QTest::newRow("month 13") << "13-01" << false;
    QTest::newRow("month 0") << "00-10" << false;
    QTest::newRow("day 0") << "01-00" << false;
    QTest::newRow("one digit") << "1-1" << false;
    QTest::newRow("day first") << "31-12" << false;
    QTest::newRow("slash") << "01/01" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a whole date") << "2026-01-01" << false;
    QTest::newRow("other digits") << QString::fromUtf8("０1-01") << false;
}

void BanksTest::monthDays() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<MonthDay> read = monthDayFromText(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(monthDayText(*read), text);
}

void BanksTest::setupChecks_data() {
    QTest::addColumn<BankSetupInput>("given");
    QTest::addColumn<QStringList>("problems");
    const QString notStart =
        QStringLiteral("the as-of day %1 is not the first day of a pay period; the nearest is %2.");

    QTest::newRow("a whole set-up") << input() << QStringList{};
    BankSetupInput full = input("comp");
    full.cap = 480;
    full.carryOver = 240;
    full.yearStart = QStringLiteral("07-01");
    QTest::newRow("with cap and carry-over") << full << QStringList{};
    BankSetupInput owed = input();
    owed.balance = -12.5;
    owed.accrual = 0;
    QTest::newRow("a negative balance, no accrual") << owed << QStringList{};

    // 2026-01-11 and 2026-01-25 begin periods.
    QTest::newRow("a day into a period")
        << input("vacation", "2026-01-12")
        << QStringList{Vacation + notStart.arg("2026-01-12", "2026-01-11")};
    QTest::newRow("the day before a period")
        << input("vacation", "2026-01-24")
        << QStringList{Vacation + notStart.arg("2026-01-24", "2026-01-25")};
    QTest::newRow("six days before a period")
        << input("vacation", "2026-01-19")
        << QStringList{Vacation + notStart.arg("2026-01-19", "2026-01-25")};
    QTest::newRow("midway: the earlier")
        << input("vacation", "2026-01-18")
        << QStringList{Vacation + notStart.arg("2026-01-18", "2026-01-11")};
    QTest::newRow("before the pay-period start")
        << input("vacation", "2020-12-19")
        << QStringList{Vacation + notStart.arg("2020-12-19", "2020-12-20")};
    QTest::newRow("a period before the pay-period start")
        << input("vacation", "2020-12-06") << QStringList{};
    QTest::newRow("not a date")
        << input("vacation", "2026-02-30")
        << QStringList{Vacation + "the as-of day \"2026-02-30\" is not a date (YYYY-MM-DD)."};
    QTest::newRow("a short date")
        << input("vacation", "2026-1-11")
        << QStringList{Vacation + "the as-of day \"2026-1-11\" is not a date (YYYY-MM-DD)."};

    BankSetupInput accrual = input();
    accrual.accrual = -2;
    QTest::newRow("negative accrual")
        << accrual << QStringList{Vacation + "the accrual may not be negative."};
    BankSetupInput cap = input("comp");
    cap.cap = -480;
    QTest::newRow("negative cap") << cap << QStringList{"Comp time: the cap may not be negative."};
    BankSetupInput carry = input("sick");
    carry.carryOver = -0.01;
    QTest::newRow("negative carry-over")
        << carry << QStringList{"Sick leave: the carry-over may not be negative."};
    BankSetupInput zeroCap = input("holiday");
    zeroCap.cap = 0;
    zeroCap.carryOver = 0;
    QTest::newRow("a cap and carry-over of 0") << zeroCap << QStringList{};

    BankSetupInput decimals = input();
    decimals.balance = 4.625;
    QTest::newRow("three decimals")
        << decimals << QStringList{Vacation + "the balance 4.625 has more than two decimals."};
    BankSetupInput capDecimals = input();
    capDecimals.cap = 150.001;
    QTest::newRow("three decimals in the cap")
        << capDecimals << QStringList{Vacation + "the cap 150.001 has more than two decimals."};
    BankSetupInput twoDecimals = input();
    twoDecimals.accrual = 4.62;
    QTest::newRow("two decimals") << twoDecimals << QStringList{};
    BankSetupInput nan = input();
    nan.balance = std::nan("");
    QTest::newRow("not a number") << nan
                                  << QStringList{Vacation +
                                                 "the balance is not a number of hours."};
    BankSetupInput large = input();
    large.balance = 1e6;
    QTest::newRow("too large")
        << large << QStringList{Vacation + "the balance of 1000000 hours is more than 99999.99."};
    BankSetupInput noBalance = input();
    noBalance.balance.reset();
    QTest::newRow("no balance") << noBalance << QStringList{Vacation + "the balance is missing."};
    BankSetupInput noAccrual = input();
    noAccrual.accrual.reset();
    QTest::newRow("no accrual")
        << noAccrual
        << QStringList{Vacation + "the accrual is missing (0 when nothing is credited)."};

    const QString yearStart = QStringLiteral(
        "the year start must be a day every year has, as MM-DD (such as 01-01), not \"%1\".");
    for (const char* text : {"02-29", "13-01", "1-1", ""}) {
        BankSetupInput bad = input();
        bad.yearStart = QString::fromLatin1(text);
        QTest::addRow("year start \"%s\"", text)
            << bad << QStringList{Vacation + yearStart.arg(text)};
    }

    QTest::newRow("not a bank")
        << input("pto")
        << QStringList{"\"pto\": not a bank; the banks are vacation, sick, comp and holiday."};
    QTest::newRow("a title is not a name")
        << input("Vacation")
        << QStringList{"\"Vacation\": not a bank; the banks are vacation, sick, comp and holiday."};
    BankSetupInput several = input("vacation", "2026-01-12");
    several.accrual = -7;
    several.yearStart = QStringLiteral("02-29");
    QTest::newRow("each problem its sentence")
        << several
        << QStringList{Vacation + notStart.arg("2026-01-12", "2026-01-11"),
                       Vacation + "the accrual may not be negative.",
                       Vacation + yearStart.arg("02-29")};
}

void BanksTest::setupChecks() {
    QFETCH(BankSetupInput, given);
    QFETCH(QStringList, problems);
    const BankSetupCheck check = checkBankSetup(given, PayPeriodStart);
    QCOMPARE(check.problems, problems);
    QCOMPARE(check.setup.has_value(), problems.isEmpty());
}

void BanksTest::setupReadsBackUnchanged() {
    BankSetupInput given = input("comp");
    given.balance = -12.34;
    given.accrual = 4.62;
    given.cap = 480;
    given.carryOver = 99999.99;
    given.yearStart = QStringLiteral("07-01");
    const BankSetupCheck check = checkBankSetup(given, PayPeriodStart);
    QVERIFY(check.setup);
    const BankSetup expected =
        bankSetup(BankKind::Comp, "2026-01-11", -12.34, 4.62, 480, 99999.99, MonthDay{7, 1});
    QCOMPARE(*check.setup, expected);
    QCOMPARE(bankSetupInput(*check.setup).yearStart, QStringLiteral("07-01"));
    QCOMPARE(bankSetupInput(*check.setup).asOf, QStringLiteral("2026-01-11"));
    QCOMPARE(checkBankSetup(bankSetupInput(*check.setup), PayPeriodStart).setup, check.setup);
    // Without a cap or a carry-over they stay absent.
    const BankSetup plain = bankSetup(BankKind::Sick, "2026-01-25", 0, 0);
    const BankSetupInput written = bankSetupInput(plain);
    QCOMPARE(written.cap, std::nullopt);
    QCOMPARE(written.carryOver, std::nullopt);
    QCOMPARE(checkBankSetup(written, PayPeriodStart).setup, std::optional(plain));
}

void BanksTest::setupsOfAFile() {
    const QString twice =
        QStringLiteral("Vacation: set up twice; a bank has one set-up (as of one day).");
    const BankSetupsCheck good =
        checkBankSetups({input("vacation"), input("sick"), input("comp")}, PayPeriodStart);
    QCOMPARE(good.problems, QStringList{});
    QCOMPARE(good.setups.size(), 3);
    QCOMPARE(good.setups[1].bank, BankKind::Sick);

    const BankSetupsCheck doubled = checkBankSetups(
        {input("vacation"), input("sick"), input("vacation", "2026-01-25"), input("vacation")},
        PayPeriodStart);
    QCOMPARE(doubled.problems, QStringList{twice});
    QVERIFY(doubled.setups.isEmpty());

    // One bad set-up refuses them all.
    const BankSetupsCheck bad = checkBankSetups({input("sick"), input("pto")}, PayPeriodStart);
    QCOMPARE(bad.problems.size(), 1);
    QVERIFY(bad.setups.isEmpty());
    QCOMPARE(checkBankSetups({}, PayPeriodStart).problems, QStringList{});
}

void BanksTest::ledger_data() {
    QTest::addColumn<QList<BankSetup>>("setups");
    QTest::addColumn<QList<BankMovement>>("movements");
    QTest::addColumn<DateSerial>("first");
    QTest::addColumn<DateSerial>("last");
    QTest::addColumn<QStringList>("rows"); // CSV lines after the header

    const BankSetup vacation = bankSetup(BankKind::Vacation, "2026-01-11", 130, 7);
    const DateSerial pp3 = day("2026-01-11");
    const DateSerial pp4 = day("2026-01-25");
    const QString pp3Vacation = QStringLiteral("PP3,2026-01-11,2026-01-24,vacation,");
    const QString pp4Vacation = QStringLiteral("PP4,2026-01-25,2026-02-07,vacation,");
    const QString pp3Comp = QStringLiteral("PP3,2026-01-11,2026-01-24,comp,");
    const QString pp2Vacation = QStringLiteral("PP2,2026-12-27,2027-01-09,vacation,");

    // The accrual comes on the period's last day.
    QTest::newRow("accrual") << QList<BankSetup>{vacation} << QList<BankMovement>{} << pp3 << pp3
                             << QStringList{pp3Vacation + "130,0,0,0,0,7,137"};
    QTest::newRow("leave used") << QList<BankSetup>{vacation}
                                << QList<BankMovement>{use(BankKind::Vacation, "2026-01-13",
                                                           24 * 60)}
                                << pp3 << pp3 << QStringList{pp3Vacation + "130,0,24,0,0,7,113"};
    // 725 and 59 minutes are 12.08 + 0.98 = 13.06; their 784 minutes at once would be 13.07.
    QTest::newRow("each entry rounded on its own")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", 0, 0)}
        << QList<BankMovement>{use(BankKind::Vacation, "2026-01-13", 725),
                               use(BankKind::Vacation, "2026-01-13", 59)}
        << pp3 << pp3 << QStringList{pp3Vacation + "0,0,13.06,0,0,0,-13.06"};
    QTest::newRow("overdrawn")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", 10, 7)}
        << QList<BankMovement>{use(BankKind::Vacation, "2026-01-13", 24 * 60)} << pp3 << pp4
        << QStringList{pp3Vacation + "10,0,24,0,0,7,-7", pp4Vacation + "-7,0,0,0,0,7,0"};
    // Set up in the reverse order; the rows are by period, then vacation, sick, comp, holiday.
    QTest::newRow("each type from its own bank")
        << QList<BankSetup>{bankSetup(BankKind::Holiday, "2026-01-11", 100, 0),
                            bankSetup(BankKind::Comp, "2026-01-11", 100, 0),
                            bankSetup(BankKind::Sick, "2026-01-11", 100, 4),
                            bankSetup(BankKind::Vacation, "2026-01-11", 100, 0)}
        << QList<BankMovement>{use(BankKind::Sick, "2026-01-12", 12 * 60),
                               use(BankKind::Holiday, "2026-01-13", 24 * 60),
                               use(BankKind::Comp, "2026-01-14", 10 * 60)}
        << pp3 << pp4
        << QStringList{pp3Vacation + "100,0,0,0,0,0,100",
                       "PP3,2026-01-11,2026-01-24,sick,100,0,12,0,0,4,92",
                       pp3Comp + "100,0,10,0,0,0,90",
                       "PP3,2026-01-11,2026-01-24,holiday,100,0,24,0,0,0,76",
                       pp4Vacation + "100,0,0,0,0,0,100",
                       "PP4,2026-01-25,2026-02-07,sick,92,0,0,0,0,4,96",
                       "PP4,2026-01-25,2026-02-07,comp,90,0,0,0,0,0,90",
                       "PP4,2026-01-25,2026-02-07,holiday,76,0,0,0,0,0,76"};
    QTest::newRow("leave of a bank not set up")
        << QList<BankSetup>{vacation}
        << QList<BankMovement>{use(BankKind::Sick, "2026-01-13", 24 * 60)} << pp3 << pp3
        << QStringList{pp3Vacation + "130,0,0,0,0,7,137"};
    QTest::newRow("leave before asOf is in the balance")
        << QList<BankSetup>{vacation}
        << QList<BankMovement>{use(BankKind::Vacation, "2026-01-10", 24 * 60),
                               use(BankKind::Vacation, "2025-06-01", 24 * 60)}
        << pp3 << pp3 << QStringList{pp3Vacation + "130,0,0,0,0,7,137"};

    // The cap.
    QTest::newRow("cap reached by accrual")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", 146, 7, 150)}
        << QList<BankMovement>{} << pp3 << pp4
        << QStringList{pp3Vacation + "146,0,0,0,0,4,150", pp4Vacation + "150,0,0,0,0,0,150"};
    // Above the cap it is kept and only stops growing; after 12 h used, 2 of the 7 fit.
    QTest::newRow("set up above the cap")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", 160, 7, 150)}
        << QList<BankMovement>{use(BankKind::Vacation, "2026-01-27", 12 * 60)} << pp3 << pp4
        << QStringList{pp3Vacation + "160,0,0,0,0,0,160", pp4Vacation + "160,0,12,0,0,2,150"};
    QTest::newRow("a cap of 0") << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", -3,
                                                              7, 0)}
                                << QList<BankMovement>{} << pp3 << pp4
                                << QStringList{pp3Vacation + "-3,0,0,0,0,3,0",
                                               pp4Vacation + "0,0,0,0,0,0,0"};

    // The leave year: forfeiture on its first day, before anything else of the day.
    const auto yearEnd = [](double balance, std::optional<double> carryOver) {
        return QList<BankSetup>{
            bankSetup(BankKind::Vacation, "2026-12-27", balance, 7, std::nullopt, carryOver)};
    };
    const DateSerial pp2 = day("2026-12-27");
    QTest::newRow("forfeiture at the year start")
        << yearEnd(150, 120) << QList<BankMovement>{} << pp2 << pp2
        << QStringList{pp2Vacation + "150,30,0,0,0,7,127"};
    QTest::newRow("at the carry-over, nothing forfeited")
        << yearEnd(120, 120) << QList<BankMovement>{} << pp2 << pp2
        << QStringList{pp2Vacation + "120,0,0,0,0,7,127"};
    QTest::newRow("below the carry-over") << yearEnd(100, 120) << QList<BankMovement>{} << pp2
                                          << pp2 << QStringList{pp2Vacation + "100,0,0,0,0,7,107"};
    QTest::newRow("negative, nothing forfeited")
        << yearEnd(-10, 0) << QList<BankMovement>{} << pp2 << pp2
        << QStringList{pp2Vacation + "-10,0,0,0,0,7,-3"};
    QTest::newRow("a carry-over of 0 forfeits all")
        << yearEnd(150, 0) << QList<BankMovement>{} << pp2 << pp2
        << QStringList{pp2Vacation + "150,150,0,0,0,7,7"};
    QTest::newRow("no carry-over, nothing forfeited")
        << yearEnd(150, std::nullopt) << QList<BankMovement>{} << pp2 << pp2
        << QStringList{pp2Vacation + "150,0,0,0,0,7,157"};
    // Leave on 2026-12-31 comes before the cut, leave on 2027-01-01 after it.
    QTest::newRow("leave the day before the year start")
        << yearEnd(150, 120) << QList<BankMovement>{use(BankKind::Vacation, "2026-12-31", 24 * 60)}
        << pp2 << pp2 << QStringList{pp2Vacation + "150,6,24,0,0,7,127"};
    QTest::newRow("leave on the year start")
        << yearEnd(150, 120) << QList<BankMovement>{use(BankKind::Vacation, "2027-01-01", 24 * 60)}
        << pp2 << pp2 << QStringList{pp2Vacation + "150,30,24,0,0,7,103"};
    QTest::newRow("asOf is the year start")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", 150, 7, std::nullopt, 120,
                                      MonthDay{1, 11})}
        << QList<BankMovement>{} << pp3 << pp3 << QStringList{pp3Vacation + "150,30,0,0,0,7,127"};
    // The year starts on the period's last day: the cut comes before that day's accrual.
    QTest::newRow("year start on accrual day")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-11", 150, 7, std::nullopt, 120,
                                      MonthDay{1, 24})}
        << QList<BankMovement>{} << pp3 << pp3 << QStringList{pp3Vacation + "150,30,0,0,0,7,127"};

    // Comp time: 600 minutes of comp-marked overtime earn 15 hours.
    const auto compBank = [](double balance, std::optional<double> cap, double accrual = 0) {
        return QList<BankSetup>{bankSetup(BankKind::Comp, "2026-01-11", balance, accrual, cap)};
    };
    QTest::newRow("comp earned") << compBank(0, 480) << QList<BankMovement>{comp("2026-01-13", 600)}
                                 << pp3 << pp3 << QStringList{pp3Comp + "0,0,0,15,0,0,15"};
    QTest::newRow("comp over the cap")
        << compBank(470, 480) << QList<BankMovement>{comp("2026-01-13", 600)} << pp3 << pp3
        << QStringList{pp3Comp + "470,0,0,10,5,0,480"};
    QTest::newRow("comp at the cap")
        << compBank(480, 480) << QList<BankMovement>{comp("2026-01-13", 600)} << pp3 << pp3
        << QStringList{pp3Comp + "480,0,0,0,15,0,480"};
    QTest::newRow("comp above the cap")
        << compBank(490, 480) << QList<BankMovement>{comp("2026-01-13", 600)} << pp3 << pp3
        << QStringList{pp3Comp + "490,0,0,0,15,0,490"};
    QTest::newRow("comp without a cap")
        << compBank(470, std::nullopt) << QList<BankMovement>{comp("2026-01-13", 600)} << pp3 << pp3
        << QStringList{pp3Comp + "470,0,0,15,0,0,485"};
    // Listed earning first: the day's leave is still taken first and makes room.
    QTest::newRow("comp used before comp earned")
        << compBank(480, 480)
        << QList<BankMovement>{comp("2026-01-13", 600), use(BankKind::Comp, "2026-01-13", 600)}
        << pp3 << pp3 << QStringList{pp3Comp + "480,0,10,10,5,0,480"};
    // Two entries of 20 minutes earn 0.5 each; one of 40 minutes would earn 1.01.
    QTest::newRow("two comp entries on one day")
        << compBank(0, std::nullopt)
        << QList<BankMovement>{comp("2026-01-13", 20), comp("2026-01-13", 20)} << pp3 << pp3
        << QStringList{pp3Comp + "0,0,0,1,0,0,1"};
    QTest::newRow("one comp entry of 40 minutes")
        << compBank(0, std::nullopt) << QList<BankMovement>{comp("2026-01-13", 40)} << pp3 << pp3
        << QStringList{pp3Comp + "0,0,0,1.01,0,0,1.01"};
    // Two entries that pass the cap: 10 fit, 5 and 15 over.
    QTest::newRow("two comp entries over the cap")
        << compBank(470, 480)
        << QList<BankMovement>{comp("2026-01-13", 600), comp("2026-01-20", 600)} << pp3 << pp3
        << QStringList{pp3Comp + "470,0,0,10,20,0,480"};
    // On the period's last day comp comes before the accrual, which then finds no room.
    QTest::newRow("comp before the accrual")
        << compBank(470, 480, 7) << QList<BankMovement>{comp("2026-01-24", 600)} << pp3 << pp3
        << QStringList{pp3Comp + "470,0,0,10,5,0,480"};
    QTest::newRow("comp without a comp bank")
        << QList<BankSetup>{vacation} << QList<BankMovement>{comp("2026-01-13", 600)} << pp3 << pp3
        << QStringList{pp3Vacation + "130,0,0,0,0,7,137"};

    // Which rows.
    QTest::newRow("rows only from asOf")
        << QList<BankSetup>{vacation} << QList<BankMovement>{} << day("2025-12-01")
        << day("2026-01-30")
        << QStringList{pp3Vacation + "130,0,0,0,0,7,137", pp4Vacation + "137,0,0,0,0,7,144"};
    QTest::newRow("a range from mid-period")
        << QList<BankSetup>{vacation} << QList<BankMovement>{} << day("2026-01-20")
        << day("2026-01-25")
        << QStringList{pp3Vacation + "130,0,0,0,0,7,137", pp4Vacation + "137,0,0,0,0,7,144"};
    QTest::newRow("a range inside a period")
        << QList<BankSetup>{vacation} << QList<BankMovement>{} << day("2026-01-26")
        << day("2026-01-27") << QStringList{pp4Vacation + "137,0,0,0,0,7,144"};
    QTest::newRow("a range after asOf")
        << QList<BankSetup>{vacation}
        << QList<BankMovement>{use(BankKind::Vacation, "2026-01-13", 600)} << day("2026-02-08")
        << day("2026-02-08") << QStringList{"PP5,2026-02-08,2026-02-21,vacation,134,0,0,0,0,7,141"};
    QTest::newRow("a range before asOf") << QList<BankSetup>{vacation} << QList<BankMovement>{}
                                         << day("2025-12-01") << day("2026-01-10") << QStringList{};
    QTest::newRow("a range backwards") << QList<BankSetup>{vacation} << QList<BankMovement>{}
                                       << day("2026-01-25") << day("2026-01-20") << QStringList{};
    QTest::newRow("no banks") << QList<BankSetup>{} << QList<BankMovement>{comp("2026-01-13", 600)}
                              << pp3 << pp4 << QStringList{};
    QTest::newRow("a bank set up mid-year")
        << QList<BankSetup>{bankSetup(BankKind::Sick, "2026-01-25", 50, 4.62), vacation}
        << QList<BankMovement>{} << pp3 << pp4
        << QStringList{pp3Vacation + "130,0,0,0,0,7,137", pp4Vacation + "137,0,0,0,0,7,144",
                       "PP4,2026-01-25,2026-02-07,sick,50,0,0,0,0,4.62,54.62"};
    // Set up before the pay-period start moved to 2026-01-12: counted from its asOf, with rows
    // from the first whole period on.
    QTest::newRow("asOf no longer a period start")
        << QList<BankSetup>{bankSetup(BankKind::Vacation, "2026-01-12", 100, 7)}
        << QList<BankMovement>{use(BankKind::Vacation, "2026-01-13", 24 * 60)} << pp3 << pp4
        << QStringList{pp4Vacation + "83,0,0,0,0,7,90"};
}

void BanksTest::ledger() {
    QFETCH(QList<BankSetup>, setups);
    QFETCH(QList<BankMovement>, movements);
    QFETCH(DateSerial, first);
    QFETCH(DateSerial, last);
    QFETCH(QStringList, rows);
    const BankLedger ledger(setups, PayPeriodStart, movements);
    QCOMPARE(csvLines(ledger.rows(first, last)), QStringList{Header} + rows);
    // The order of the movements given makes no difference.
    std::reverse(movements.begin(), movements.end());
    QCOMPARE(csvLines(BankLedger(setups, PayPeriodStart, movements).rows(first, last)),
             QStringList{Header} + rows);
}

void BanksTest::balanceAfterDay_data() {
    QTest::addColumn<BankSetup>("setup");
    QTest::addColumn<BankKind>("bank");
    QTest::addColumn<DateSerial>("on");
    QTest::addColumn<QString>("balance"); // empty: none

    // 130 h, 24 h used on 2026-01-13, 7 h on each period's last day.
    const BankSetup vacation = bankSetup(BankKind::Vacation, "2026-01-11", 130, 7);
    QTest::newRow("before asOf") << vacation << BankKind::Vacation << day("2026-01-10") << "";
    QTest::newRow("a bank not set up") << vacation << BankKind::Sick << day("2026-01-13") << "";
    QTest::newRow("asOf") << vacation << BankKind::Vacation << day("2026-01-11") << "130";
    QTest::newRow("the day of the leave")
        << vacation << BankKind::Vacation << day("2026-01-13") << "106";
    QTest::newRow("time of day ignored")
        << vacation << BankKind::Vacation << day("2026-01-13") + 0.75 << "106";
    QTest::newRow("the day before the accrual")
        << vacation << BankKind::Vacation << day("2026-01-23") << "106";
    QTest::newRow("the period's last day")
        << vacation << BankKind::Vacation << day("2026-01-24") << "113";
    QTest::newRow("a later period") << vacation << BankKind::Vacation << day("2026-02-07") << "120";
    // From 2026-12-27 at 150 with a carry-over of 120: cut to 120 on 2027-01-01; the 26
    // periods ending 2027-01-09 … 2027-12-25 add 182; cut again to 120 on 2028-01-01.
    const BankSetup yearly = bankSetup(BankKind::Vacation, "2026-12-27", 150, 7, std::nullopt, 120);
    QTest::newRow("the first year start")
        << yearly << BankKind::Vacation << day("2027-01-01") << "120";
    QTest::newRow("the year's last day")
        << yearly << BankKind::Vacation << day("2027-12-31") << "302";
    QTest::newRow("the next year start")
        << yearly << BankKind::Vacation << day("2028-01-01") << "120";
}

void BanksTest::balanceAfterDay() {
    QFETCH(BankSetup, setup);
    QFETCH(BankKind, bank);
    QFETCH(DateSerial, on);
    QFETCH(QString, balance);
    const BankLedger ledger({setup}, PayPeriodStart,
                            {use(BankKind::Vacation, "2026-01-13", 24 * 60)});
    const std::optional<Hundredths> after = ledger.balanceAfter(bank, on);
    QCOMPARE(after ? hundredthsText(*after) : QString(), balance);
}

void BanksTest::overdrawnDays() {
    const QList<BankSetup> setups{bankSetup(BankKind::Vacation, "2026-01-11", 10, 7),
                                  bankSetup(BankKind::Sick, "2026-01-11", 0, 0),
                                  bankSetup(BankKind::Holiday, "2026-01-11", 20, 7)};
    const BankLedger ledger(
        setups, PayPeriodStart,
        {use(BankKind::Sick, "2026-01-13", 12 * 60), use(BankKind::Vacation, "2026-01-20", 60),
         use(BankKind::Vacation, "2026-01-13", 24 * 60), use(BankKind::Vacation, "2026-01-26", 60),
         // −4 before the period's accrual, 3 at the end of the day.
         use(BankKind::Holiday, "2026-01-24", 24 * 60)});
    const QList<OverdrawnDay> all{{day("2026-01-13"), BankKind::Vacation, h(-14)},
                                  {day("2026-01-13"), BankKind::Sick, h(-12)},
                                  {day("2026-01-20"), BankKind::Vacation, h(-15)},
                                  {day("2026-01-26"), BankKind::Vacation, h(-9)}};
    QCOMPARE(ledger.overdrawnDays(day("2026-01-01"), day("2026-02-28")), all);
    QCOMPARE(ledger.overdrawnDays(day("2026-01-14"), day("2026-01-25")),
             QList<OverdrawnDay>{all[2]});
    QCOMPARE(ledger.balanceAfter(BankKind::Holiday, day("2026-01-24")), std::optional(h(3)));
    // Below zero without leave that day is not marked.
    QCOMPARE(ledger.overdrawnDays(day("2026-01-14"), day("2026-01-19")), QList<OverdrawnDay>{});
}

void BanksTest::afterDayText_data() {
    QTest::addColumn<BankKind>("bank");
    QTest::addColumn<Hundredths>("balance");
    QTest::addColumn<QString>("text");
    QTest::newRow("overdrawn") << BankKind::Vacation << h(-12)
                               << QString::fromUtf8("Vacation would be −12 h after this day");
    QTest::newRow("a part overdrawn")
        << BankKind::Comp << h(-0.5)
        << QString::fromUtf8("Comp time would be −0.5 h after this day");
    QTest::newRow("left") << BankKind::Sick << h(118.25)
                          << QStringLiteral("Sick leave would be 118.25 h after this day");
    QTest::newRow("empty") << BankKind::Holiday << h(0)
                           << QStringLiteral("Holiday would be 0 h after this day");
}

void BanksTest::afterDayText() {
    QFETCH(BankKind, bank);
    QFETCH(Hundredths, balance);
    QFETCH(QString, text);
    QCOMPARE(bankAfterDayText(bank, balance), text);
    QCOMPARE(text.contains(QChar(0x2212)), balance < Hundredths{});
}

void BanksTest::projected() {
    BankPeriodRow row;
    row.first = day("2026-01-11");
    row.last = day("2026-01-24");
    QVERIFY(isProjected(row, day("2026-01-11")));
    QVERIFY(isProjected(row, day("2026-01-23") + 0.99));
    QVERIFY(!isProjected(row, day("2026-01-24")));
    QVERIFY(!isProjected(row, day("2026-01-24") + 0.5));
    QVERIFY(!isProjected(row, day("2026-02-01")));
}

void BanksTest::tables() {
    const BankLedger ledger({bankSetup(BankKind::Vacation, "2026-01-11", 130, 7),
                             bankSetup(BankKind::Comp, "2026-01-11", 470, 0, 480)},
                            PayPeriodStart,
                            {use(BankKind::Vacation, "2026-01-13", 750), comp("2026-01-14", 600)});
    const QList<BankPeriodRow> rows = ledger.rows(day("2026-01-11"), day("2026-01-11"));
    QCOMPARE(csvText(bankTable(rows)),
             QStringLiteral("period,first,last,bank,opening,forfeited,used,earned,over_cap,"
                            "accrued,closing\n"
                            "PP3,2026-01-11,2026-01-24,vacation,130,0,12.5,0,0,7,124.5\n"
                            "PP3,2026-01-11,2026-01-24,comp,470,0,0,10,5,0,480\n"));
    QCOMPARE(alignedText(bankTable(rows)),
             QStringLiteral("period  first       last        bank      opening  forfeited  used  "
                            "earned  over_cap  accrued  closing\n"
                            "PP3     2026-01-11  2026-01-24  vacation      130          0  12.5  "
                            "     0         0        7    124.5\n"
                            "PP3     2026-01-11  2026-01-24  comp          470          0     0  "
                            "    10         5        0      480\n"));
    QCOMPARE(csvText(bankTable({})), Header + u'\n');
}

void BanksTest::fortyFiveYearsOfAccrualWithoutDrift() {
    // 2016-01-10 is the first period start of 2016; 1174 periods run to 2061-01-08, the last one
    // holding 2060-12-31. 1174 × 4.62 = 5423.88 exactly; a double adding 4.62 as often ends at
    // 5423.879999999897.
    const BankSetup setup = bankSetup(BankKind::Vacation, "2016-01-10", 0, 4.62);
    const BankLedger ledger({setup}, PayPeriodStart, {});
    const QList<BankPeriodRow> rows = ledger.rows(day("2016-01-01"), day("2060-12-31"));
    QCOMPARE(rows.size(), 1174);
    QCOMPARE(rows.first().first, day("2016-01-10"));
    QCOMPARE(rows.last().last, day("2061-01-08"));
    QCOMPARE(hundredthsText(rows.last().closing), QStringLiteral("5423.88"));
    for (qsizetype at = 0; at < rows.size(); ++at) {
        QCOMPARE(rows[at].accrued, h(4.62));
        QCOMPARE(rows[at].closing, Hundredths{462 * (at + 1)});
    }
    // Unnamed before the pay-period start, as the hours lists print them.
    QCOMPARE(rows.first().label, QString());
    const auto pp1 = std::find_if(rows.cbegin(), rows.cend(), [](const BankPeriodRow& row) {
        return row.first == PayPeriodStart;
    });
    QVERIFY(pp1 != rows.cend());
    QCOMPARE(pp1->label, QStringLiteral("PP1"));
    QCOMPARE(ledger.balanceAfter(BankKind::Vacation, day("2060-12-31")),
             std::optional(Hundredths{462 * 1173}));
}

void BanksTest::fortyFiveYearsOfFourBanks() {
    // Every bank with a cap, a carry-over and leave every period, comp earned every week: each
    // row follows from the one before and balances, whatever the rules did inside it.
    QList<BankSetup> setups;
    for (BankKind bank : AllBanks)
        setups.append(bankSetup(bank, "2016-01-10", 100, 4.62, 300, 120, MonthDay{7, 1}));
    QList<BankMovement> movements;
    for (DateSerial on = day("2016-01-10"); on <= day("2061-01-08"); on += 7) {
        movements.append(use(AllBanks[qint64(on) % 4], on, 725));
        movements.append(compMovement(on + 3, 20 + qint64(on) % 600));
    }
    const BankLedger ledger(setups, PayPeriodStart, movements);
    QList<BankPeriodRow> rows;
    QBENCHMARK {
        rows = ledger.rows(day("2016-01-01"), day("2060-12-31"));
    }
    QCOMPARE(rows.size(), 4 * 1174);
    for (qsizetype at = 0; at < rows.size(); ++at) {
        const BankPeriodRow& row = rows[at];
        QCOMPARE(row.bank, AllBanks[at % 4]);
        QCOMPARE(row.closing, row.opening - row.forfeited - row.used + row.earned + row.accrued);
        if (at >= 4) {
            QCOMPARE(row.opening, rows[at - 4].closing);
            QCOMPARE(row.first, rows[at - 4].first + PayPeriodDays);
        }
        QVERIFY(row.closing <= h(300));
        QVERIFY(row.overCap == Hundredths{} || row.bank == BankKind::Comp);
    }
    QCOMPARE(ledger.balanceAfter(BankKind::Holiday, rows.last().last), rows.last().closing);
}

QTEST_GUILESS_MAIN(BanksTest)
#include "tst_banks.moc"
