// The one day function: the rotation's answers for a user, and how the user's entries change
// what the day is: which entries fit, the minutes that follow, and a shift over a clock change.
#include "days/dayfacts.h"
#include "days/daytext.h"
#include "rotation/rotation.h"

#include <QtTest>

#include <ctime>

Q_DECLARE_METATYPE(DayEntry)

namespace {

DateSerial day(int year, int month, int dayOfMonth) {
    return serialFromYmd(year, month, dayOfMonth);
}

DayEntry entry(EntryKind kind, DateSerial date, std::optional<int> minutes = std::nullopt,
               const QString& with = {}) {
    DayEntry made;
    made.id = QUuid::createUuid();
    made.date = date;
    made.kind = kind;
    made.minutes = minutes;
    made.with = with;
    return made;
}

// A sub-group whose crew is on duty on `date` and whose RDO it is not.
QString groupOnDuty(DateSerial date) {
    const QChar crew = ShiftLetter(date, u"RDO");
    for (int digit = 1; digit <= 7; ++digit) {
        const QString group = QString(crew) + QString::number(digit);
        if (RdoGroupOf(date) != group)
            return group;
    }
    return {};
}

void setTimeZone(const QByteArray& zone) {
    qputenv("TZ", zone);
    tzset();
}

// 2 January 2016 is a duty day of crew B; 1 January 2016 is B4's RDO; 3 January is crew A's.
const DateSerial BDuty = day(2016, 1, 2);
const DateSerial B4Rdo = day(2016, 1, 1);
const DateSerial ADuty = day(2016, 1, 3);

} // namespace

class DaysTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setTimeZone("UTC"); }

    void rotationFacts_data() {
        QTest::addColumn<DateSerial>("date");
        QTest::addColumn<QString>("assignment");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("crew");
        QTest::addColumn<bool>("ownDuty");
        QTest::addColumn<bool>("ownRdo");
        QTest::addColumn<int>("scheduled");
        QTest::newRow("before the rotation") << day(2012, 1, 16) << "A1"
                                             << "Z"
                                             << "" << false << false << 0;
        QTest::newRow("first rotation day, own RDO") << day(2012, 1, 17) << "A1"
                                                     << "X"
                                                     << "A" << false << true << 0;
        QTest::newRow("no sub-group is never on duty") << BDuty << "RDO"
                                                       << "B"
                                                       << "B" << false << false << 0;
        QTest::newRow("own RDO on the crew's duty day") << B4Rdo << "B4"
                                                        << "X"
                                                        << "B" << false << true << 0;
        QTest::newRow("own crew on duty") << BDuty << "B4"
                                          << "B"
                                          << "B" << true << false << 1440;
        QTest::newRow("other crew on duty") << ADuty << "B4"
                                            << "A"
                                            << "A" << false << false << 0;
        QTest::newRow("a text that is no group") << BDuty << "b4"
                                                 << "B"
                                                 << "B" << false << false << 0;
    }
    void rotationFacts() {
        QFETCH(DateSerial, date);
        QFETCH(QString, assignment);
        const DayFacts facts = dayFacts(date, assignment, DefaultPayPeriodStart);
        QTEST(QString(facts.letter), "letter");
        QTEST(facts.crewOnDuty.isNull() ? QString() : QString(facts.crewOnDuty), "crew");
        QTEST(facts.ownDuty, "ownDuty");
        QTEST(facts.ownRdo, "ownRdo");
        QTEST(facts.scheduledMinutes, "scheduled");
        QCOMPARE(facts.rdoGroup, RdoGroupOf(date));
        QCOMPARE(facts.payday, IsPayday(date));
        QCOMPARE(facts.payPeriodStart, IsPayPeriodStart(date, DefaultPayPeriodStart));
        QCOMPARE(facts.payPeriodLabel, PayPeriodLabel(date, DefaultPayPeriodStart));
        QCOMPARE(facts.workedMinutes, facts.scheduledMinutes);
        QCOMPARE(facts.flsaMinutes, facts.scheduledMinutes);
        QVERIFY(!facts.hasEntries());
    }

    void entries_data() {
        QTest::addColumn<DateSerial>("date");
        QTest::addColumn<QList<DayEntry>>("entries");
        QTest::addColumn<QList<bool>>("fits");
        QTest::addColumn<int>("worked");
        QTest::addColumn<int>("flsa");
        QTest::addColumn<bool>("works");

        QTest::newRow("whole-shift trade-out")
            << BDuty << QList{entry(EntryKind::TradeOut, BDuty, {}, "J. Smith")} << QList{true} << 0
            << 1440 << false;
        QTest::newRow("whole-shift leave")
            << BDuty << QList{entry(EntryKind::Leave, BDuty)} << QList{true} << 0 << 0 << false;
        QTest::newRow("half traded, half on leave")
            << BDuty
            << QList{entry(EntryKind::TradeOut, BDuty, 720), entry(EntryKind::Leave, BDuty, 720)}
            << QList{true, true} << 0 << 720 << false;
        QTest::newRow("partial trade-out") << BDuty << QList{entry(EntryKind::TradeOut, BDuty, 600)}
                                           << QList{true} << 840 << 1440 << true;
        QTest::newRow("trade and leave beyond the shift count nothing")
            << BDuty << QList{entry(EntryKind::TradeOut, BDuty), entry(EntryKind::Leave, BDuty, 60)}
            << QList{false, false} << 1440 << 1440 << true;
        QTest::newRow("trade-out on the own RDO does not fit")
            << B4Rdo << QList{entry(EntryKind::TradeOut, B4Rdo)} << QList{false} << 0 << 0 << false;
        QTest::newRow("leave on the other crew's day does not fit")
            << ADuty << QList{entry(EntryKind::Leave, ADuty, 240)} << QList{false} << 0 << 0
            << false;
        QTest::newRow("trade-in on an off day")
            << ADuty << QList{entry(EntryKind::TradeIn, ADuty, 1440, "K. Lee")} << QList{true}
            << 1440 << 0 << true;
        QTest::newRow("trade-in on the own duty day does not fit")
            << BDuty << QList{entry(EntryKind::TradeIn, BDuty, 1440)} << QList{false} << 1440
            << 1440 << true;
        QTest::newRow("overtime, holdover and training on the RDO")
            << B4Rdo
            << QList{entry(EntryKind::Overtime, B4Rdo, 240), entry(EntryKind::Holdover, B4Rdo, 90),
                     entry(EntryKind::Training, B4Rdo, 30)}
            << QList{true, true, true} << 360 << 360 << true;
        QTest::newRow("holdover after a duty")
            << BDuty << QList{entry(EntryKind::Holdover, BDuty, 120)} << QList{true} << 1560 << 1560
            << true;
        QTest::newRow("a note counts nothing")
            << ADuty << QList{entry(EntryKind::Note, ADuty, 600)} << QList{true} << 0 << 0 << false;
        QTest::newRow("entries of other days are not the day's")
            << BDuty << QList{entry(EntryKind::TradeOut, BDuty + 1), entry(EntryKind::Note, BDuty)}
            << QList{true} << 1440 << 1440 << true;
    }
    void entries() {
        QFETCH(DateSerial, date);
        QFETCH(QList<DayEntry>, entries);
        const DayFacts facts = dayFacts(date, u"B4", DefaultPayPeriodStart, entries);
        QTEST(facts.fits, "fits");
        QTEST(facts.workedMinutes, "worked");
        QTEST(facts.flsaMinutes, "flsa");
        QTEST(facts.worksToday(), "works");
        for (const DayEntry& own : facts.entries)
            QCOMPARE(dayKey(own.date), dayKey(date));
        QVERIFY(std::is_sorted(facts.entries.begin(), facts.entries.end(), entryBefore));
    }

    // A 24-hour shift is 23 hours when the clocks go forward during it and 25 when they go back,
    // and the length follows the shift start: a shift that starts after the change is 24 hours.
    void shiftOverClockChange_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<DateSerial>("date");
        QTest::addColumn<int>("shiftStart");
        QTest::addColumn<int>("minutes");
        // The clocks go forward on 8 March 2026 at 02:00.
        QTest::newRow("New York, spring forward")
            << QByteArray("America/New_York") << day(2026, 3, 7) << 8 * 60 << 23 * 60;
        QTest::newRow("New York, after the change")
            << QByteArray("America/New_York") << day(2026, 3, 8) << 8 * 60 << 24 * 60;
        QTest::newRow("New York, before it at 01:00")
            << QByteArray("America/New_York") << day(2026, 3, 7) << 1 * 60 << 24 * 60;
        QTest::newRow("New York, over it at 01:00")
            << QByteArray("America/New_York") << day(2026, 3, 8) << 1 * 60 << 23 * 60;
        QTest::newRow("New York, fall back")
            << QByteArray("America/New_York") << day(2026, 10, 31) << 8 * 60 << 25 * 60;
        QTest::newRow("Sydney, fall back")
            << QByteArray("Australia/Sydney") << day(2026, 4, 4) << 8 * 60 << 25 * 60;
        QTest::newRow("Sydney, spring forward")
            << QByteArray("Australia/Sydney") << day(2026, 10, 3) << 8 * 60 << 23 * 60;
        QTest::newRow("UTC") << QByteArray("UTC") << day(2026, 3, 8) << 8 * 60 << 24 * 60;
    }
    void shiftOverClockChange() {
        QFETCH(QByteArray, zone);
        QFETCH(DateSerial, date);
        QFETCH(int, shiftStart);
        setTimeZone(zone);
        QTEST(ShiftLengthMinutes(date, shiftStart), "minutes");
        // The day's facts use the same length for the duty and a whole-shift trade of it.
        const QString group = groupOnDuty(date);
        const DayFacts facts = dayFacts(date, group, DefaultPayPeriodStart,
                                        {entry(EntryKind::TradeOut, date)}, shiftStart);
        QTEST(facts.scheduledMinutes, "minutes");
        QTEST(facts.tradedOutMinutes, "minutes");
        QCOMPARE(facts.workedMinutes, 0);
        setTimeZone("UTC");
    }

    void words_data() {
        QTest::addColumn<DayEntry>("made");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QString>("brief");
        QTest::addColumn<QString>("cell");
        DayEntry leave = entry(EntryKind::Leave, BDuty);
        leave.leaveType = LeaveType::Vacation;
        DayEntry sick = entry(EntryKind::Leave, BDuty, 600);
        sick.leaveType = LeaveType::Sick;
        DayEntry note = entry(EntryKind::Note, BDuty);
        note.note = "Bring boots";
        DayEntry lines = entry(EntryKind::Note, BDuty);
        lines.note = "Bring boots\n  and gloves ";
        QTest::newRow("trade-out") << entry(EntryKind::TradeOut, BDuty, {}, "J. Smith")
                                   << "traded away: J. Smith works, 24 hours"
                                   << "J. Smith works"
                                   << "Trade";
        QTest::newRow("partial trade-out") << entry(EntryKind::TradeOut, BDuty, 750, "J. Smith")
                                           << "traded away: J. Smith works, 12.5 hours"
                                           << "J. Smith works 12.5 h"
                                           << "Trade 12.5h";
        QTest::newRow("leave") << leave << "on leave (vacation), 24 hours"
                               << "Vacation"
                               << "Vac";
        QTest::newRow("part of a shift sick") << sick << "on leave (sick), 10 hours"
                                              << "Sick 10 h"
                                              << "Sick 10h";
        QTest::newRow("trade-in") << entry(EntryKind::TradeIn, BDuty, 1440, "K. Lee")
                                  << "working for K. Lee, 24 hours"
                                  << "For K. Lee 24 h"
                                  << "Trade in";
        QTest::newRow("half a trade-in")
            << entry(EntryKind::TradeIn, BDuty, 720, "K. Lee") << "working for K. Lee, 12 hours"
            << "For K. Lee 12 h"
            << "Trade in 12h";
        QTest::newRow("overtime") << entry(EntryKind::Overtime, BDuty, 60) << "overtime, 1 hour"
                                  << "Overtime 1 h"
                                  << "OT 1h";
        QTest::newRow("holdover") << entry(EntryKind::Holdover, BDuty, 120) << "holdover, 2 hours"
                                  << "Holdover 2 h"
                                  << "HO 2h";
        QTest::newRow("quarter hour")
            << entry(EntryKind::Training, BDuty, 15) << "training, 0.25 hours"
            << "Training 0.25 h"
            << "Trng 0.25h";
        QTest::newRow("note") << note << "note: Bring boots"
                              << "Note: Bring boots"
                              << "Note";
        // The status line keeps one line for the entries.
        QTest::newRow("note of two lines") << lines << "note: Bring boots\n  and gloves "
                                           << "Note: Bring boots and gloves"
                                           << "Note";
        QTest::newRow("empty note") << entry(EntryKind::Note, BDuty) << "note"
                                    << "Note"
                                    << "Note";
    }
    void words() {
        QFETCH(DayEntry, made);
        const int minutes = entryMinutes(made, DayShift{true, true, 1440, 1440});
        QTEST(EntryPhrase(made, minutes), "phrase");
        QTEST(EntryBrief(made, minutes, 1440), "brief");
        const DayFacts day = dayFacts(BDuty, u"B4", DefaultPayPeriodStart, {made});
        QCOMPARE(day.scheduledMinutes, 1440);
        QTEST(EntryCellWords(made, minutes, day), "cell");
    }

    // Notes come last in every list of a day's words, whatever order their ids give.
    void notesLast() {
        DayEntry note = entry(EntryKind::Note, BDuty);
        note.id = QUuid(QStringLiteral("{00000000-0000-4000-8000-000000000001}"));
        note.note = QStringLiteral("Boots");
        DayEntry trade = entry(EntryKind::TradeOut, BDuty, 720, "J. Smith");
        trade.id = QUuid(QStringLiteral("{00000000-0000-4000-8000-000000000002}"));
        const DayFacts day = dayFacts(BDuty, u"B4", DefaultPayPeriodStart, {trade, note});
        QCOMPARE(day.entries.first().kind, EntryKind::Note);
        QCOMPARE(DayCellWords(day), (QStringList{"Trade 12h", "Note"}));
        QCOMPARE(DayEntriesBrief(day), QStringLiteral("J. Smith works 12 h \u00b7 Note: Boots"));
        QVERIFY(DayEntriesPhrase(day).endsWith(QLatin1String("note: Boots")));
    }

    void textForms() {
        for (EntryKind kind :
             {EntryKind::TradeOut, EntryKind::TradeIn, EntryKind::Leave, EntryKind::Overtime,
              EntryKind::Holdover, EntryKind::Training, EntryKind::Note})
            QCOMPARE(entryKindFromName(entryKindName(kind)), kind);
        QCOMPARE(entryKindName(EntryKind::TradeOut), QStringLiteral("trade-out"));
        QVERIFY(!entryKindFromName(u"Trade-out"));
        QCOMPARE(leaveTypeFromName(u"comp"), LeaveType::Comp);
        QVERIFY(!leaveTypeFromName(u""));
        QCOMPARE(clockFromText(u"08:00"), 480);
        QCOMPARE(clockFromText(u"23:59"), 23 * 60 + 59);
        for (QStringView bad : {u"24:00", u"8:00", u"08:60", u"08-00", u"0800 ", u""})
            QVERIFY2(!clockFromText(bad), qPrintable(bad.toString()));
        QCOMPARE(clockText(485), QStringLiteral("08:05"));
    }
};

QTEST_GUILESS_MAIN(DaysTest)
#include "tst_days.moc"
