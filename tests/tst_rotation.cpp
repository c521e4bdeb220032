// The duty rotation rules: the RDO table against its generating rule, known days, the periods
// and invariants over every day the month view can show, time of day and dates before the epochs.
#include "rotation/rotation.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

namespace {

// Every day the month view can show: 27 December 2015 ... 8 January 2061.
constexpr DateSerial FirstGridDay = 42365;
constexpr DateSerial LastGridDay = 58814;

// The fifteen items of the assignment box.
constexpr std::array<QStringView, 15> Assignments = {
    u"RDO", u"A1", u"A2", u"A3", u"A4", u"A5", u"A6", u"A7",
    u"B1",  u"B2", u"B3", u"B4", u"B5", u"B6", u"B7",
};

QString text(std::string_view entry) {
    return QLatin1StringView(entry.data(), static_cast<qsizetype>(entry.size()));
}

QByteArray onDay(DateSerial date, const char* what) {
    return QByteArray::number(date, 'f', 2) + ": " + what;
}

} // namespace

class RotationTest : public QObject {
    Q_OBJECT

private slots:
    void tableFollowsGeneratingRule();
    void groupAdvancesAlongEachCrewsDutyDays();
    void knownDays_data();
    void knownDays();
    void rotationAndCrewCycleOverViewRange();
    void eachSubGroupHas14RdosPerCycle();
    void payCalendarOverViewRange_data();
    void payCalendarOverViewRange();
    void timeOfDayChangesNothing_data();
    void timeOfDayChangesNothing();
    void neutralBeforeEpoch_data();
    void neutralBeforeEpoch();
};

void RotationTest::tableFollowsGeneratingRule() {
    for (int row = 0; row < 14; ++row) {
        // The crew on duty on each day of the row, seen from the rotation's first day.
        const char* crews = row % 2 == 0 ? "ABBAABBAABBAAB" : "BAABBAABBAABBA";
        int dutyDaysSoFar[2] = {0, 0};
        for (int column = 0; column < 14; ++column) {
            const char crew = crews[column];
            const int k = dutyDaysSoFar[crew - 'A']++;
            const int digit = ((std::min(k, 5) - row) % 7 + 7) % 7 + 1;
            const QString expected = QString(QLatin1Char(crew)) + QString::number(digit);
            const int index = 14 * row + column;
            const QString actual = text(RdoRotation[static_cast<std::size_t>(index)]);
            QVERIFY2(actual == expected,
                     qPrintable(QStringLiteral("entry %1 is %2, the rule gives %3")
                                    .arg(index)
                                    .arg(actual, expected)));
        }
    }
}

// Read across row boundaries and across the end of the table back to its start, which the
// row-by-row rule does not show.
void RotationTest::groupAdvancesAlongEachCrewsDutyDays() {
    for (const char crew : {'A', 'B'}) {
        std::vector<int> digits;
        std::vector<int> positionInRow;
        int k = 0;
        for (int index = 0; index < RdoRotationLength; ++index) {
            if (index % 14 == 0)
                k = 0;
            const std::string_view entry = RdoRotation[static_cast<std::size_t>(index)];
            if (entry[0] != crew)
                continue;
            digits.push_back(entry[1] - '0');
            positionInRow.push_back(k++);
        }
        QCOMPARE(digits.size(), std::size_t{98});
        for (std::size_t i = 0; i < digits.size(); ++i) {
            const std::size_t next = (i + 1) % digits.size();
            const int expected = positionInRow[next] == 6 ? digits[i] : digits[i] % 7 + 1;
            QVERIFY2(digits[next] == expected,
                     qPrintable(QStringLiteral("crew %1, duty day %2").arg(crew).arg(next)));
        }
    }
}

void RotationTest::knownDays_data() {
    QTest::addColumn<double>("date");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QChar>("crew");
    QTest::addColumn<bool>("payday");
    QTest::addColumn<bool>("periodStart");
    QTest::addColumn<QString>("label");

    QTest::newRow("Mon 16 Jan 2012, day before the rotation")
        << 40924.0 << QString() << QChar(u'Z') << false << false << QString();
    QTest::newRow("Tue 17 Jan 2012, rotation epoch")
        << 40925.0 << QStringLiteral("A1") << QChar(u'A') << false << false << QString();
    QTest::newRow("Fri 1 Jan 2016, first viewable day")
        << 42370.0 << QStringLiteral("B4") << QChar(u'B') << true << false << QString();
    QTest::newRow("Sat 2 Jan 2016")
        << 42371.0 << QStringLiteral("B5") << QChar(u'B') << false << false << QString();
    QTest::newRow("Tue 3 May 2016, a cycle begins")
        << 42493.0 << QStringLiteral("A1") << QChar(u'A') << false << false << QString();
    QTest::newRow("Sun 20 Dec 2020, default pay-period start")
        << 44185.0 << QStringLiteral("A5") << QChar(u'A') << false << true << QStringLiteral("PP1");
    QTest::newRow("Sun 5 Dec 2021, period 26 begins")
        << 44535.0 << QStringLiteral("B1") << QChar(u'B') << false << true
        << QStringLiteral("PP26");
    QTest::newRow("Sat 18 Dec 2021, last day of period 26")
        << 44548.0 << QStringLiteral("A7") << QChar(u'A') << false << false
        << QStringLiteral("PP26");
    QTest::newRow("Sun 19 Dec 2021, numbering restarts")
        << 44549.0 << QStringLiteral("A7") << QChar(u'A') << false << true << QStringLiteral("PP1");
    QTest::newRow("Tue 9 Dec 2025") << 46000.0 << QStringLiteral("A6") << QChar(u'A') << false
                                    << false << QStringLiteral("PP26");
    QTest::newRow("Fri 2 Jan 2026")
        << 46024.0 << QStringLiteral("A2") << QChar(u'A') << true << false << QStringLiteral("PP2");
    QTest::newRow("Tue 14 Jul 2026, a cycle begins")
        << 46217.0 << QStringLiteral("A1") << QChar(u'A') << false << false
        << QStringLiteral("PP16");
    QTest::newRow("Fri 31 Dec 2060, last viewable day")
        << 58806.0 << QStringLiteral("B6") << QChar(u'B') << true << false << QStringLiteral("PP5");
}

void RotationTest::knownDays() {
    QFETCH(double, date);
    QFETCH(QString, group);
    QFETCH(QChar, crew);
    QFETCH(bool, payday);
    QFETCH(bool, periodStart);
    QFETCH(QString, label);

    QCOMPARE(RdoGroupOf(date), group);
    // Only the sub-group that is off that day sees "X"; everyone else sees the crew on duty.
    for (const QStringView assignment : Assignments) {
        const QChar expected = assignment == group ? QChar(u'X') : crew;
        QVERIFY2(ShiftLetter(date, assignment) == expected, qPrintable(assignment.toString()));
    }
    QCOMPARE(IsPayday(date), payday);
    QCOMPARE(IsPayPeriodStart(date, DefaultPayPeriodStart), periodStart);
    QCOMPARE(PayPeriodLabel(date, DefaultPayPeriodStart), label);
}

void RotationTest::rotationAndCrewCycleOverViewRange() {
    for (DateSerial date = FirstGridDay; date <= LastGridDay; ++date) {
        const QString group = RdoGroupOf(date);
        const QChar crew = ShiftLetter(date, u"RDO");
        if (crew != u'A' && crew != u'B')
            QFAIL(
                onDay(date, "the assignment \"RDO\" must only ever see a crew letter").constData());
        if (group.size() != 2 || group[0] != crew)
            QFAIL(onDay(date, "the group off must belong to the crew on duty").constData());
        if (ShiftLetter(date + 4, u"RDO") != crew)
            QFAIL(onDay(date, "the crew cycle must repeat after 4 days").constData());
        if (RdoGroupOf(date + RdoRotationLength) != group)
            QFAIL(onDay(date, "the group off must repeat after 196 days").constData());
        if (RdoGroupOf(date + 0.5) != group)
            QFAIL(onDay(date, "noon must give the day's group").constData());
        for (const QStringView assignment : Assignments) {
            const QChar letter = ShiftLetter(date, assignment);
            if (letter != (assignment == group ? QChar(u'X') : crew))
                QFAIL(onDay(date, "\"X\" exactly for the group off, else the crew on duty")
                          .constData());
            if (ShiftLetter(date + RdoRotationLength, assignment) != letter)
                QFAIL(onDay(date, "the duty letter must repeat after 196 days").constData());
            if (ShiftLetter(date + 0.75, assignment) != letter)
                QFAIL(onDay(date, "an evening must give the day's duty letter").constData());
        }
    }
}

void RotationTest::eachSubGroupHas14RdosPerCycle() {
    // Any 196 consecutive days hold a whole cycle; gaps are read around it, the last RDO of a
    // group to its first one in the next cycle.
    for (DateSerial start = FirstGridDay; start + RdoRotationLength <= LastGridDay + 1;
         start += RdoRotationLength) {
        std::map<QString, std::vector<int>> days;
        for (int offset = 0; offset < RdoRotationLength; ++offset)
            days[RdoGroupOf(start + offset)].push_back(offset);
        QCOMPARE(days.size(), std::size_t{14});
        for (const auto& [group, offsets] : days) {
            QVERIFY2(offsets.size() == 14, qPrintable(group));
            std::vector<int> gaps;
            for (std::size_t i = 0; i < offsets.size(); ++i) {
                const std::size_t next = (i + 1) % offsets.size();
                gaps.push_back((offsets[next] - offsets[i] + RdoRotationLength) %
                               RdoRotationLength);
            }
            std::sort(gaps.begin(), gaps.end());
            const std::vector<int> expected = {1,  3,  16, 16, 16, 16, 16,
                                               16, 16, 16, 16, 16, 16, 16};
            QVERIFY2(gaps == expected, qPrintable(group));
        }
    }
}

void RotationTest::payCalendarOverViewRange_data() {
    QTest::addColumn<double>("periodStart");
    QTest::newRow("default, a Sunday") << DefaultPayPeriodStart;
    QTest::newRow("a payday") << 46024.0;
    QTest::newRow("first grid day") << FirstGridDay;
    QTest::newRow("late in the view range") << 55000.0;
    QTest::newRow("before every epoch") << 30000.0;
}

void RotationTest::payCalendarOverViewRange() {
    QFETCH(double, periodStart);

    QCOMPARE(PayPeriodLabel(periodStart, periodStart), QStringLiteral("PP1"));
    QCOMPARE(PayPeriodLabel(periodStart + 13, periodStart), QStringLiteral("PP1"));
    QCOMPARE(PayPeriodLabel(periodStart + 14, periodStart), QStringLiteral("PP2"));
    QCOMPARE(PayPeriodLabel(periodStart + 363, periodStart), QStringLiteral("PP26"));
    QCOMPARE(PayPeriodLabel(periodStart + 364, periodStart), QStringLiteral("PP1"));

    int paydaysInPeriod = 0;
    for (DateSerial date = FirstGridDay; date <= LastGridDay; ++date) {
        const bool payday = IsPayday(date);
        if (payday && dayOfWeek(date) != 6)
            QFAIL(onDay(date, "a payday must be a Friday").constData());
        if (IsPayday(date + 14) != payday)
            QFAIL(onDay(date, "paydays must repeat every 14 days").constData());
        if (IsPayday(date + 0.5) != payday)
            QFAIL(onDay(date, "noon must give the day's payday").constData());
        if (date < periodStart)
            continue;

        const bool start = IsPayPeriodStart(date, periodStart);
        const QString label = PayPeriodLabel(date, periodStart);
        if (IsPayPeriodStart(date + 14, periodStart) != start)
            QFAIL(onDay(date, "period starts must repeat every 14 days").constData());
        if (PayPeriodLabel(date + 364, periodStart) != label)
            QFAIL(onDay(date, "the label must repeat after 26 periods").constData());
        if (label != PayPeriodLabel(date - 1, periodStart) && !start)
            QFAIL(onDay(date, "the label must change only where a period starts").constData());
        // Paydays keep their own 14-day beat, so each period holds exactly one of them,
        // wherever it starts.
        if (start && date - 14 >= std::max(periodStart, FirstGridDay)) {
            if (paydaysInPeriod != 1)
                QFAIL(onDay(date, "the period before must hold exactly one payday").constData());
        }
        if (start)
            paydaysInPeriod = 0;
        paydaysInPeriod += payday ? 1 : 0;
    }
}

void RotationTest::timeOfDayChangesNothing_data() {
    QTest::addColumn<double>("epoch");
    QTest::newRow("rotation epoch") << RdoEpoch;
    QTest::newRow("crew epoch") << CrewEpoch;
    QTest::newRow("payday epoch") << PaydayEpoch;
    QTest::newRow("pay-period start") << DefaultPayPeriodStart;
}

// The count of whole days is truncated toward zero, so the evening before an epoch also counts
// 0 days; only the comparison as real numbers keeps it on its own side.
void RotationTest::timeOfDayChangesNothing() {
    QFETCH(double, epoch);
    for (const DateSerial day : {epoch - 2, epoch - 1, epoch, epoch + 1}) {
        for (const double time : {0.1, 0.5, 0.9, 0.999}) {
            const DateSerial moment = day + time;
            const QByteArray where = QByteArray::number(moment, 'f', 3);
            for (const QStringView assignment : Assignments)
                QVERIFY2(ShiftLetter(moment, assignment) == ShiftLetter(day, assignment),
                         where.constData());
            QVERIFY2(RdoGroupOf(moment) == RdoGroupOf(day), where.constData());
            QVERIFY2(IsPayday(moment) == IsPayday(day), where.constData());
            QVERIFY2(IsPayPeriodStart(moment, epoch) == IsPayPeriodStart(day, epoch),
                     where.constData());
            QVERIFY2(PayPeriodLabel(moment, epoch) == PayPeriodLabel(day, epoch),
                     where.constData());
        }
    }
}

void RotationTest::neutralBeforeEpoch_data() {
    QTest::addColumn<double>("date");
    QTest::addColumn<double>("periodStart");
    QTest::addColumn<bool>("beforeRotation");
    QTest::addColumn<bool>("beforePayday");
    QTest::addColumn<bool>("beforePeriodStart");

    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("day zero") << 0.0 << DefaultPayPeriodStart << true << true << true;
    QTest::newRow("negative serial, start negative too")
        << -800.5 << -800.0 << true << true << true;
    QTest::newRow("evening before the payday epoch")
        << 40913.99 << DefaultPayPeriodStart << true << true << true;
    QTest::newRow("evening before the rotation epoch")
        << 40924.9 << DefaultPayPeriodStart << true << false << true;
    QTest::newRow("evening before the pay-period start")
        << 44184.9 << DefaultPayPeriodStart << false << false << true;
    QTest::newRow("in the view range, start later") << 50000.0 << 58806.0 << false << false << true;
    QTest::newRow("not a number") << nan << DefaultPayPeriodStart << true << true << true;
    QTest::newRow("start not a number") << 50000.0 << nan << false << false << true;
}

void RotationTest::neutralBeforeEpoch() {
    QFETCH(double, date);
    QFETCH(double, periodStart);
    QFETCH(bool, beforeRotation);
    QFETCH(bool, beforePayday);
    QFETCH(bool, beforePeriodStart);

    if (beforeRotation) {
        for (const QStringView assignment : Assignments)
            QCOMPARE(ShiftLetter(date, assignment), QChar(u'Z'));
        QCOMPARE(RdoGroupOf(date), QString());
    }
    if (beforePayday)
        QVERIFY(!IsPayday(date));
    if (beforePeriodStart) {
        QVERIFY(!IsPayPeriodStart(date, periodStart));
        QCOMPARE(PayPeriodLabel(date, periodStart), QString());
    }
}

QTEST_GUILESS_MAIN(RotationTest)
#include "tst_rotation.moc"
