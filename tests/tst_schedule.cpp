// The assignment over time and the schedule that answers every view: what a change, a change
// back, a correction, a change dated before an earlier one and the removal of a change make of
// the history; that every day is read with the assignment that held on it; and that what the
// schedule keeps is dropped exactly when one of its inputs changes, and said so.
#include "core/calendar.h"
#include "days/entrystore.h"
#include "days/schedule.h"
#include "rotation/rotation.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(AssignmentHistory)

namespace {

DateSerial day(int year, int month, int dayOfMonth) {
    return serialFromYmd(year, month, dayOfMonth);
}

AssignmentPeriod until(const char* group, DateSerial last) {
    return {QString::fromLatin1(group), last};
}

const AssignmentHistory B2 = AssignmentHistory({}, QStringLiteral("B2"));

} // namespace

class ScheduleTest : public QObject {
    Q_OBJECT

private slots:
    void changes_data() {
        QTest::addColumn<AssignmentHistory>("made");
        QTest::addColumn<AssignmentHistory>("expected");
        const DateSerial july = day(2026, 7, 1);
        QTest::newRow("a change from 1 July")
            << B2.changedTo("A3", july)
            << AssignmentHistory({until("B2", july - 1)}, QStringLiteral("A3"));
        QTest::newRow("and back at new year")
            << B2.changedTo("A3", july).changedTo("B2", day(2027, 1, 1))
            << AssignmentHistory({until("B2", july - 1), until("A3", day(2026, 12, 31))},
                                 QStringLiteral("B2"));
        QTest::newRow("back on the same day: as if it never happened")
            << B2.changedTo("A3", july).changedTo("B2", july) << B2;
        QTest::newRow("a change dated before an earlier one takes its place")
            << B2.changedTo("A3", july).changedTo("A5", day(2026, 3, 1))
            << AssignmentHistory({until("B2", day(2026, 2, 28))}, QStringLiteral("A5"));
        QTest::newRow("a change between two earlier ones drops the later")
            << B2.changedTo("A3", july)
                   .changedTo("B7", day(2027, 1, 1))
                   .changedTo("A1", day(2026, 9, 1))
            << AssignmentHistory({until("B2", july - 1), until("A3", day(2026, 8, 31))},
                                 QStringLiteral("A1"));
        QTest::newRow("to no sub-group")
            << B2.changedTo("RDO", july)
            << AssignmentHistory({until("B2", july - 1)}, QStringLiteral("RDO"));
        QTest::newRow("a correction keeps what came before")
            << B2.changedTo("A3", july).correctedTo("A4")
            << AssignmentHistory({until("B2", july - 1)}, QStringLiteral("A4"));
        QTest::newRow("a correction to the group before joins them")
            << B2.changedTo("A3", july).correctedTo("B2") << B2;
        QTest::newRow("removing the only change: the later group holds back to the start")
            << B2.changedTo("A3", july).withoutChange(0) << AssignmentHistory({}, "A3");
        QTest::newRow("removing the first of two")
            << B2.changedTo("A3", july).changedTo("B5", day(2027, 1, 1)).withoutChange(0)
            << AssignmentHistory({until("A3", day(2026, 12, 31))}, QStringLiteral("B5"));
        QTest::newRow("rows in any order, one per day, neighbours of a group joined")
            << AssignmentHistory({until("A3", day(2026, 12, 31)), until("B2", july - 1),
                                  until("B2", day(2026, 3, 31)), until("A3", day(2026, 12, 31))},
                                 QStringLiteral("A3"))
            << AssignmentHistory({until("B2", july - 1)}, QStringLiteral("A3"));
    }
    void changes() {
        QFETCH(AssignmentHistory, made);
        QFETCH(AssignmentHistory, expected);
        QCOMPARE(made.earlier(), expected.earlier());
        QCOMPARE(made.current(), expected.current());
    }

    void assignmentOfEachDay() {
        const AssignmentHistory history(
            {until("B2", day(2026, 6, 30)), until("A3", day(2026, 12, 31))}, QStringLiteral("RDO"));
        QCOMPARE(history.on(day(2016, 1, 1)), QStringLiteral("B2"));
        QCOMPARE(history.on(day(2026, 6, 30) + 0.9), QStringLiteral("B2")); // time of day ignored
        QCOMPARE(history.on(day(2026, 7, 1)), QStringLiteral("A3"));
        QCOMPARE(history.on(day(2026, 12, 31)), QStringLiteral("A3"));
        QCOMPARE(history.on(day(2027, 1, 1)), QStringLiteral("RDO"));
        const QList<AssignmentSpan> spans = history.spans();
        QCOMPARE(spans.size(), 3);
        QCOMPARE(spans[0], (AssignmentSpan{"B2", std::nullopt, day(2026, 6, 30)}));
        QCOMPARE(spans[1], (AssignmentSpan{"A3", day(2026, 7, 1), day(2026, 12, 31)}));
        QCOMPARE(spans[2], (AssignmentSpan{"RDO", day(2027, 1, 1), std::nullopt}));
        // Where two histories begin to differ: what a view redraws.
        QCOMPARE(history.firstDifference(history), std::nullopt);
        QCOMPARE(history.firstDifference(history.correctedTo("B4")), day(2027, 1, 1));
        QCOMPARE(history.firstDifference(history.withoutChange(0)), MinViewDate);
    }

    // A change mid pay period: the period's days before it are the old group's, after it the
    // new group's, and its hours sum the two; a day that held B2 keeps its entries' fit.
    void daysAreReadWithTheirAssignment() {
        Schedule schedule;
        const DateSerial change = day(2026, 7, 8); // a Wednesday inside a pay period
        schedule.setCurrentAssignment(QStringLiteral("A3"));
        schedule.setEarlierAssignments({until("B2", change - 1)});
        DayEntry trade;
        trade.id = QUuid::createUuid();
        trade.kind = EntryKind::TradeOut;
        DateSerial b2Duty = day(2026, 1, 1);
        while (ShiftLetter(b2Duty, u"B2") != u'B')
            ++b2Duty;
        trade.date = b2Duty;
        schedule.setEntries({trade});
        const DayFacts& january = schedule.day(b2Duty);
        QCOMPARE(january.assignment, QStringLiteral("B2"));
        QVERIFY(january.ownDuty);
        QVERIFY(january.allFit());
        QCOMPARE(january.tradedOutMinutes, 24 * 60);
        const PayPeriodHours period = schedule.payPeriodOf(change);
        QVERIFY(period.first < change && change < period.last);
        int expected = 0;
        for (DateSerial date = period.first; date <= period.last; ++date) {
            const QString group = date < change ? QStringLiteral("B2") : QStringLiteral("A3");
            QCOMPARE(schedule.day(date).assignment, group);
            expected += ShiftLetter(date, group) == group[0] ? 24 * 60 : 0;
        }
        QCOMPARE(period.totals.scheduled, expected);
        // What the status line says of a day of another group.
        QCOMPARE(schedule.assignmentsBetween(period.first, period.last).size(), 2);
        // The what-if of the command line holds on every day.
        schedule.setAssignmentOnEveryDay(QStringLiteral("A3"));
        QCOMPARE(schedule.day(b2Duty).assignment, QStringLiteral("A3"));
        QVERIFY(!schedule.day(b2Duty).allFit());
    }

    // What the schedule keeps goes when its input changes, and the days that read differently
    // are named: an entry's day, a change of assignment from its first day on, a new pay-period
    // start everywhere.
    void changesAreToldAndForgotten() {
        QTemporaryDir folder;
        EntryStore store(folder.filePath(QStringLiteral("days.sqlite")));
        Schedule schedule(&store);
        schedule.setCurrentAssignment(QStringLiteral("B2"));
        QSignalSpy told(&schedule, &Schedule::changed);
        DateSerial duty = day(2026, 3, 1);
        while (ShiftLetter(duty, u"B2") != u'B')
            ++duty;
        QVERIFY(schedule.day(duty).ownDuty);
        QCOMPARE(schedule.payPeriodOf(duty).totals.tradedOut, 0);
        DayEntry trade;
        trade.date = duty;
        trade.kind = EntryKind::TradeOut;
        QVERIFY(store.add(trade).ok);
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0][0].toDouble(), duty);
        QCOMPARE(told[0][1].toDouble(), duty);
        QCOMPARE(schedule.day(duty).tradedOutMinutes, 24 * 60);
        QCOMPARE(schedule.payPeriodOf(duty).totals.tradedOut, 24 * 60);

        QVERIFY(store.setEarlierAssignments({until("A1", day(2026, 2, 28))}).ok);
        QCOMPARE(told.size(), 2);
        QCOMPARE(schedule.day(day(2026, 2, 1)).assignment, QStringLiteral("A1"));
        schedule.setCurrentAssignment(QStringLiteral("B5"));
        QCOMPARE(told.size(), 3);
        QCOMPARE(told[2][0].toDouble(), day(2026, 3, 1)); // from the day the current one holds
        QCOMPARE(schedule.day(duty).assignment, QStringLiteral("B5"));
        schedule.setCurrentAssignment(QStringLiteral("B5")); // the same: nothing to tell
        QCOMPARE(told.size(), 3);
        schedule.setPayPeriodStart(DefaultPayPeriodStart + 7);
        QCOMPARE(told.size(), 4);
        QCOMPARE(schedule.payPeriodOf(duty).first,
                 PayPeriodFirstDay(duty, DefaultPayPeriodStart + 7));
    }
};

QTEST_GUILESS_MAIN(ScheduleTest)
#include "tst_schedule.moc"
