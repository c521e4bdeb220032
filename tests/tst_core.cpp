// Date serials, the calendar arithmetic of the month view, the integer text form and the clock.
#include "core/calendar.h"
#include "core/clock.h"
#include "core/dateserial.h"
#include "core/integertext.h"
#include "core/localformat.h"

#include <QDate>
#include <QtTest>

#include <cmath>
#include <limits>

class CoreTest : public QObject {
    Q_OBJECT

private slots:
    void serialsOfKnownDates_data();
    void serialsOfKnownDates();
    void serialRoundTripAcrossViewRange();
    void wholeDaysTruncateTowardZero();
    void clampToViewRange_data();
    void clampToViewRange();
    void firstGridDay_data();
    void firstGridDay();
    void monthStep_data();
    void monthStep();
    void monthStepKeepsTimeOfDay();
    void integerText_data();
    void integerText();
    void clockIsReplaceable();
    void datePatterns_data();
    void datePatterns();
};

void CoreTest::serialsOfKnownDates_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("serial");
    QTest::addColumn<int>("weekday");
    QTest::newRow("day zero, a Saturday") << 1899 << 12 << 30 << 0.0 << 7;
    QTest::newRow("rotation epoch, a Tuesday") << 2012 << 1 << 17 << 40925.0 << 3;
    QTest::newRow("crew epoch, a Saturday") << 2011 << 12 << 31 << 40908.0 << 7;
    QTest::newRow("payday epoch, a Friday") << 2012 << 1 << 6 << 40914.0 << 6;
    QTest::newRow("first viewable day") << 2016 << 1 << 1 << 42370.0 << 6;
    QTest::newRow("default pay-period start, a Sunday") << 2020 << 12 << 20 << 44185.0 << 1;
    QTest::newRow("leap day 2024") << 2024 << 2 << 29 << 45351.0 << 5;
    QTest::newRow("last viewable day") << 2060 << 12 << 31 << 58806.0 << 6;
    QTest::newRow("last grid day") << 2061 << 1 << 8 << 58814.0 << 7;
}

void CoreTest::serialsOfKnownDates() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(double, serial);
    QFETCH(int, weekday);
    QCOMPARE(serialFromYmd(year, month, day), serial);
    const YearMonthDay ymd = ymdFromSerial(serial + 0.75);
    QCOMPARE(ymd.year, year);
    QCOMPARE(ymd.month, month);
    QCOMPARE(ymd.day, day);
    QCOMPARE(dayOfWeek(serial), weekday);
    QCOMPARE(dayOfWeek(serial + 0.5), weekday);
    QCOMPARE(serialFromQDate(QDate(year, month, day)), serial);
    QCOMPARE(qdateFromSerial(serial), QDate(year, month, day));
}

void CoreTest::serialRoundTripAcrossViewRange() {
    QDate expected(2015, 12, 27);
    for (DateSerial s = 42365; s <= 58814; ++s) {
        QCOMPARE(qdateFromSerial(s), expected);
        QCOMPARE(dayOfWeek(s), expected.dayOfWeek() % 7 + 1);
        expected = expected.addDays(1);
    }
}

void CoreTest::wholeDaysTruncateTowardZero() {
    QCOMPARE(wholeDaysBetween(40925, 40925.99), std::int64_t{0});
    QCOMPARE(wholeDaysBetween(40925, 40926.25), std::int64_t{1});
    QCOMPARE(wholeDaysBetween(40925, 40924.75), std::int64_t{0});
    QCOMPARE(wholeDaysBetween(40925, 40923.5), std::int64_t{-1});
    QVERIFY(isSameDay(46000, 46000.999));
    QVERIFY(!isSameDay(46000, 46001));
}

void CoreTest::clampToViewRange_data() {
    QTest::addColumn<double>("date");
    QTest::addColumn<double>("expected");
    QTest::newRow("zero") << 0.0 << 42370.0;
    QTest::newRow("31 December 2015") << 42369.0 << 42370.0;
    QTest::newRow("inside") << 46000.0 << 46000.0;
    QTest::newRow("first day") << 42370.0 << 42370.0;
    QTest::newRow("last day") << 58806.0 << 58806.0;
    QTest::newRow("31 January 2061") << 58837.0 << 58806.0;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 42370.0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 58806.0;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << 42370.0;
}

void CoreTest::clampToViewRange() {
    QFETCH(double, date);
    QFETCH(double, expected);
    QCOMPARE(::clampToViewRange(date), expected);
}

void CoreTest::firstGridDay_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("first");
    QTest::newRow("January 2016") << QDate(2016, 1, 15) << QDate(2015, 12, 27);
    QTest::newRow("February 2026, starts on a Sunday") << QDate(2026, 2, 28) << QDate(2026, 2, 1);
    QTest::newRow("December 2060") << QDate(2060, 12, 31) << QDate(2060, 11, 28);
    QTest::newRow("month starting on Saturday") << QDate(2016, 10, 1) << QDate(2016, 9, 25);
}

void CoreTest::firstGridDay() {
    QFETCH(QDate, date);
    QFETCH(QDate, first);
    const DateSerial gridStart = ::firstGridDay(serialFromQDate(date));
    QCOMPARE(qdateFromSerial(gridStart), first);
    QCOMPARE(dayOfWeek(gridStart), 1);
    if (date.year() == 2060)
        QCOMPARE(qdateFromSerial(gridStart + 41), QDate(2061, 1, 8));
    if (date.year() == 2026) // a 28-day February from a Sunday: rows 4 and 5 are March
        QCOMPARE(qdateFromSerial(gridStart + 28), QDate(2026, 3, 1));
}

void CoreTest::monthStep_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("31 Jan 2024 + 1 clamps to leap day")
        << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
    QTest::newRow("29 Feb 2024 + 1 keeps the 29th")
        << QDate(2024, 2, 29) << 1 << QDate(2024, 3, 29);
    QTest::newRow("31 Mar 2023 - 1 clamps to 28th")
        << QDate(2023, 3, 31) << -1 << QDate(2023, 2, 28);
    QTest::newRow("15 Jan 2016 - 1 leaves the range")
        << QDate(2016, 1, 15) << -1 << QDate(2015, 12, 15);
    QTest::newRow("31 Dec 2060 + 1 leaves the range")
        << QDate(2060, 12, 31) << 1 << QDate(2061, 1, 31);
    QTest::newRow("31 May - 1 clamps to 30 April")
        << QDate(2030, 5, 31) << -1 << QDate(2030, 4, 30);
    QTest::newRow("1900 is no leap year") << QDate(1900, 1, 31) << 1 << QDate(1900, 2, 28);
    QTest::newRow("2000 is a leap year") << QDate(2000, 1, 31) << 1 << QDate(2000, 2, 29);
}

void CoreTest::monthStep() {
    QFETCH(QDate, from);
    QFETCH(int, months);
    QFETCH(QDate, expected);
    QCOMPARE(qdateFromSerial(::monthStep(serialFromQDate(from), months)), expected);
}

void CoreTest::monthStepKeepsTimeOfDay() {
    const DateSerial stepped = ::monthStep(serialFromYmd(2024, 1, 31) + 0.75, 1);
    QCOMPARE(stepped, serialFromYmd(2024, 2, 29) + 0.75);
}

void CoreTest::integerText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value");
    QTest::newRow("decimal") << "255" << true << qint64(255);
    QTest::newRow("leading blanks") << "  255" << true << qint64(255);
    QTest::newRow("trailing blank") << "255 " << false << qint64(0);
    QTest::newRow("plus") << "+7" << true << qint64(7);
    QTest::newRow("minus") << "-16776961" << true << qint64(-16776961);
    QTest::newRow("dollar hex") << "$FF" << true << qint64(255);
    QTest::newRow("x hex") << "xff" << true << qint64(255);
    QTest::newRow("X hex") << "XfF" << true << qint64(255);
    QTest::newRow("0x hex") << "0x1" << true << qint64(1);
    QTest::newRow("0X hex") << "0X10" << true << qint64(16);
    QTest::newRow("negative hex") << "-$10" << true << qint64(-16);
    QTest::newRow("16 hex digits") << "$FFFFFFFFFFFFFFFF" << true << qint64(-1);
    QTest::newRow("leading zeros are not significant")
        << "$0000FFFFFFFFFFFFFFFF" << true << qint64(-1);
    QTest::newRow("17 hex digits") << "$1FFFFFFFFFFFFFFFF" << false << qint64(0);
    QTest::newRow("largest decimal")
        << "9223372036854775807" << true << std::numeric_limits<qint64>::max();
    QTest::newRow("smallest decimal")
        << "-9223372036854775808" << true << std::numeric_limits<qint64>::min();
    QTest::newRow("decimal overflow") << "9223372036854775808" << false << qint64(0);
    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("sign alone") << "-" << false << qint64(0);
    QTest::newRow("mark alone") << "$" << false << qint64(0);
    QTest::newRow("0x alone") << "0x" << false << qint64(0);
    QTest::newRow("bad hex digit") << "$GG0000" << false << qint64(0);
    QTest::newRow("word") << "yes" << false << qint64(0);
    QTest::newRow("inner blank") << "1 2" << false << qint64(0);
    QTest::newRow("Arabic-Indic digit") << QString::fromUtf8("\u0661") << false << qint64(0);
}

void CoreTest::integerText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, value);
    const auto parsed = parseIntegerText(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void CoreTest::clockIsReplaceable() {
    setTodayProvider([] { return serialFromYmd(2031, 7, 4); });
    QCOMPARE(today(), serialFromYmd(2031, 7, 4));
    QCOMPARE(currentYear(), 2031);
    // Restored, it is the system's date, whichever day the test runs on, midnight included.
    setTodayProvider({});
    const DateSerial before = serialFromQDate(QDate::currentDate());
    const DateSerial restored = today();
    const DateSerial after = serialFromQDate(QDate::currentDate());
    QVERIFY(restored == before || restored == after);
}

void CoreTest::datePatterns_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("fullYear");
    QTest::addColumn<QString>("numeric");
    QTest::newRow("en_US widens yy") << "en_US"
                                     << "M/d/yyyy"
                                     << "M/d/yyyy";
    QTest::newRow("de_DE widens yy") << "de_DE"
                                     << "dd.MM.yyyy"
                                     << "dd.MM.yyyy";
    QTest::newRow("en_GB has yyyy") << "en_GB"
                                    << "dd/MM/yyyy"
                                    << "dd/MM/yyyy";
    QTest::newRow("ja_JP year first") << "ja_JP"
                                      << "yyyy/MM/dd"
                                      << "yyyy/MM/dd";
    QTest::newRow("C names the month") << "C"
                                       << "d MMM yyyy"
                                       << "yyyy-MM-dd";
}

void CoreTest::datePatterns() {
    QFETCH(QString, locale);
    QFETCH(QString, fullYear);
    QFETCH(QString, numeric);
    QCOMPARE(fullYearShortDatePattern(QLocale(locale)), fullYear);
    QCOMPARE(numericShortDatePattern(QLocale(locale)), numeric);
}

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
