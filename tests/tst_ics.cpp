// The calendar file: which days become events and what the user's entries make of them, the
// RFC 5545 text (escaping, folding, whole-day dates, floating times, stable UIDs, SEQUENCE)
// against a golden file, and the file as two real iCalendar readers see it.
#include "core/calendar.h"
#include "core/clock.h"
#include "days/entrystore.h"
#include "export/calendarfile.h"
#include "export/icalendarwriter.h"
#include "rotation/rotation.h"
#include "tourwise_version.h"

#include <QDir>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>

namespace {

DateSerial day(int year, int month, int dayOfMonth) {
    return serialFromYmd(year, month, dayOfMonth);
}

const QDateTime FixedStamp(QDate(2026, 3, 1), QTime(7, 8, 9), Qt::UTC);

// One assignment on every day, with the user's entries and the days' change counters.
std::unique_ptr<Schedule> scheduleOf(const QString& assignment, const QList<DayEntry>& entries = {},
                                     const QHash<qint64, qint64>& counters = {},
                                     int shiftStart = DefaultShiftStart) {
    auto schedule = std::make_unique<Schedule>();
    schedule->setCurrentAssignment(assignment);
    schedule->setPayPeriodStart(DefaultPayPeriodStart);
    HoursSettings hours;
    hours.shiftStart = shiftStart;
    schedule->setHoursSettings(hours);
    schedule->setEntries(entries);
    schedule->setChangeCounters(counters);
    return schedule;
}

// A calendar file's request with the schedule it reads.
struct Export {
    std::unique_ptr<Schedule> days;
    CalendarExport request;

    void setEntries(const QList<DayEntry>& entries, const QHash<qint64, qint64>& counters) {
        days->setEntries(entries);
        days->setChangeCounters(counters);
    }
};

Export exportOf(const QString& assignment, CalendarRange range,
                const QString& agency = QStringLiteral("Velmora Fire")) {
    Export made{scheduleOf(assignment), {}};
    made.request.schedule = made.days.get();
    made.request.range = range;
    made.request.agency = agency;
    return made;
}

QList<QByteArray> physicalLines(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The file with its folded lines joined again (RFC 5545 section 3.1).
QList<QByteArray> unfoldedLines(const QByteArray& file) {
    QByteArray joined = file;
    joined.replace("\r\n ", "");
    return physicalLines(joined);
}

QByteArray withoutStamps(const QByteArray& file) {
    QByteArray kept;
    for (const QByteArray& line : unfoldedLines(file))
        if (!line.startsWith("DTSTAMP:"))
            kept += line + '\n';
    return kept;
}

// What the rotation rules say about one day, as the summaries that the file must hold.
QStringList expectedSummaries(DateSerial date, const QString& subGroup) {
    QStringList summaries;
    const QChar letter = ShiftLetter(date, subGroup);
    if (letter == subGroup.at(0))
        summaries << QStringLiteral("On duty \u2013 crew %1").arg(subGroup.at(0));
    if (letter == u'X')
        summaries << QStringLiteral("RDO ") + subGroup;
    if (IsPayday(date))
        summaries << QStringLiteral("Payday");
    if (IsPayPeriodStart(date, DefaultPayPeriodStart))
        summaries << PayPeriodLabel(date, DefaultPayPeriodStart) + QStringLiteral(" begins");
    return summaries;
}

// The file read back by a reader's script (the icalendar package by default), or an empty
// object when it fails.
QJsonObject readBack(const QString& path,
                     const QString& script = QStringLiteral(ICS_READBACK_SCRIPT)) {
    QProcess reader;
    reader.start(QStringLiteral(DEBIAN_PYTHON3), {script, path});
    if (!reader.waitForFinished(-1) || reader.exitCode() != 0) {
        qWarning().noquote() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

bool readerInstalled(const QString& module = QStringLiteral("icalendar")) {
    return QProcess::execute(QStringLiteral(DEBIAN_PYTHON3),
                             {QStringLiteral("-c"), QStringLiteral("import ") + module}) == 0;
}

DayEntry entryOf(const char* id, DateSerial date, EntryKind kind, std::optional<int> minutes = {},
                 const QString& with = {}) {
    DayEntry entry;
    entry.id = QUuid(QString::fromLatin1(id));
    entry.date = date;
    entry.kind = kind;
    entry.minutes = minutes;
    entry.with = with;
    return entry;
}

DayEntry leaveOf(const char* id, DateSerial date, LeaveType type, std::optional<int> minutes = {}) {
    DayEntry entry = entryOf(id, date, EntryKind::Leave, minutes);
    entry.leaveType = type;
    return entry;
}

DayEntry noteOf(const char* id, DateSerial date, const QString& text) {
    DayEntry entry = entryOf(id, date, EntryKind::Note);
    entry.note = text;
    return entry;
}

// B2 in March 2026, far from any change of the clocks: 1, 2 and 5 are duty days, 6 is the RDO,
// 3 and 4 are crew A's.
const DateSerial DutyDay = serialFromYmd(2026, 3, 5);
const DateSerial OffDay = serialFromYmd(2026, 3, 3);

CalendarEvent eventOf(CalendarEventKind kind, DateSerial date, const QString& summary = {}) {
    CalendarEvent event;
    event.kind = kind;
    event.date = date;
    event.summary = summary;
    return event;
}

QList<CalendarEvent> eventsOn(const QList<CalendarEvent>& events, DateSerial date) {
    QList<CalendarEvent> found;
    for (const CalendarEvent& event : events)
        if (event.date == date)
            found << event;
    return found;
}

struct Reader {
    const char* module;
    const char* script;
};

// The two readers: the icalendar package and vobject, which shares no code with it.
const Reader Readers[] = {{"icalendar", ICS_READBACK_SCRIPT},
                          {"vobject", ICS_READBACK_VOBJECT_SCRIPT}};

QMap<QString, QJsonObject> eventsByUid(const QJsonObject& calendar) {
    QMap<QString, QJsonObject> events;
    for (const QJsonValue& value : calendar.value("events").toArray())
        events.insert(value.toObject().value("uid").toString(), value.toObject());
    return events;
}

} // namespace

Q_DECLARE_METATYPE(QList<DayEntry>)

class IcsTest : public QObject {
    Q_OBJECT

private slots:
    void defaultRange_data();
    void defaultRange();
    void eventsOfARange_data();
    void eventsOfARange();
    void contentsLeaveOutWhatIsUnchecked();
    void escaping_data();
    void escaping();
    void folding_data();
    void folding();
    void goldenFile();
    void oneEventFormHasTheFilesLines();
    void uidsComeFromDayAndRole();
    void dutyDayWithEntries_data();
    void dutyDayWithEntries();
    void extraWorkAndNotes();
    void timedShiftsRunShiftStartToShiftStart();
    void changeWithinACrewUpdatesEachDateInPlace();
    void skippedShiftStartIsTimedAsTheHoursCountIt();
    void switchingTimedShiftsRaisesTheSequence();
    void readersSeeAnEditedDay_data();
    void readersSeeAnEditedDay();
    void keptFileIsRewrittenOnlyOnChange();
    void secondExportDiffersOnlyInTheStamp();
    void stampComesFromTheClockInUtc();
    void unwritableTargetLeavesNothing();
    void readerSeesTheRotationForAYear();
    void readerSeesHostileAndNonAsciiTitles_data();
    void readerSeesHostileAndNonAsciiTitles();
};

void IcsTest::defaultRange_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::newRow("mid-year") << QDate(2026, 7, 15) << QDate(2026, 7, 1) << QDate(2027, 12, 31);
    QTest::newRow("new year's eve")
        << QDate(2026, 12, 31) << QDate(2026, 12, 1) << QDate(2027, 12, 31);
    QTest::newRow("before the view range")
        << QDate(2014, 5, 5) << QDate(2016, 1, 1) << QDate(2016, 1, 1);
    QTest::newRow("last year of the view range")
        << QDate(2060, 3, 3) << QDate(2060, 3, 1) << QDate(2060, 12, 31);
}

void IcsTest::defaultRange() {
    QFETCH(QDate, today);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    const CalendarRange range = DefaultCalendarRange(serialFromQDate(today));
    QCOMPARE(qdateFromSerial(range.first), first);
    QCOMPARE(qdateFromSerial(range.last), last);
}

void IcsTest::eventsOfARange_data() {
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    // Each range is checked day by day against the rules: both ends included, a fraction of a
    // day in the first serial ignored, crews A and B, and no sub-group at all.
    QTest::newRow("B2, three weeks") << "B2" << QDate(2026, 2, 20) << QDate(2026, 3, 12);
    QTest::newRow("A2, a whole RDO cycle") << "A2" << QDate(2026, 1, 1) << QDate(2026, 7, 16);
    QTest::newRow("B7, one day") << "B7" << QDate(2026, 1, 1) << QDate(2026, 1, 1);
    QTest::newRow("A1, first days of the view range")
        << "A1" << QDate(2016, 1, 1) << QDate(2016, 2, 29);
    QTest::newRow("RDO, no sub-group") << "RDO" << QDate(2026, 1, 1) << QDate(2026, 3, 31);
}

void IcsTest::eventsOfARange() {
    QFETCH(QString, assignment);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    const CalendarRange range{serialFromQDate(first) + 0.75, serialFromQDate(last)};
    const QList<CalendarEvent> events = CalendarEvents(*scheduleOf(assignment), range, {});
    qsizetype next = 0;
    int ownDays = 0;
    for (QDate date = first; date <= last; date = date.addDays(1)) {
        QStringList expected;
        if (assignment != QStringLiteral("RDO"))
            expected = expectedSummaries(serialFromQDate(date), assignment);
        else if (IsPayday(serialFromQDate(date)))
            expected << QStringLiteral("Payday");
        else if (IsPayPeriodStart(serialFromQDate(date), DefaultPayPeriodStart))
            expected << PayPeriodLabel(serialFromQDate(date), DefaultPayPeriodStart) + " begins";
        QStringList found;
        for (; next < events.size() && qdateFromSerial(events[next].date) == date; ++next) {
            QCOMPARE(events[next].date, std::floor(events[next].date));
            found << events[next].summary;
        }
        QVERIFY2(found == expected, qPrintable(date.toString(Qt::ISODate) + ": " +
                                               found.join(u'|') + " vs " + expected.join(u'|')));
        ownDays += found.filter(QStringLiteral("crew")).size() + found.filter("RDO ").size();
    }
    QCOMPARE(next, events.size());
    // A crew works every other pair of days: its sub-groups have half of all days.
    if (assignment != QStringLiteral("RDO") && first.daysTo(last) > 100)
        QVERIFY(qAbs(ownDays - (first.daysTo(last) + 1) / 2) <= 2);
}

void IcsTest::contentsLeaveOutWhatIsUnchecked() {
    const CalendarRange year{day(2026, 1, 1), day(2026, 12, 31)};
    const auto kinds = [&](const CalendarContents& contents) {
        QSet<CalendarEventKind> seen;
        for (const CalendarEvent& event :
             CalendarEvents(*scheduleOf(QStringLiteral("B2")), year, contents))
            seen.insert(event.kind);
        return seen;
    };
    using K = CalendarEventKind;
    QCOMPARE(kinds({}), (QSet<K>{K::Duty, K::Rdo, K::Payday, K::PayPeriodStart}));
    QCOMPARE(kinds({false, true, true, true}), (QSet<K>{K::Rdo, K::Payday, K::PayPeriodStart}));
    QCOMPARE(kinds({true, false, true, true}), (QSet<K>{K::Duty, K::Payday, K::PayPeriodStart}));
    QCOMPARE(kinds({true, true, false, true}), (QSet<K>{K::Duty, K::Rdo, K::PayPeriodStart}));
    QCOMPARE(kinds({true, true, true, false}), (QSet<K>{K::Duty, K::Rdo, K::Payday}));
    QCOMPARE(kinds({false, false, false, false}), QSet<K>{});
}

void IcsTest::escaping_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "Velmora Fire"
                           << "Velmora Fire";
    QTest::newRow("semicolon") << "Station 3; Engine"
                               << "Station 3\\; Engine";
    QTest::newRow("comma") << "Fire, Rescue"
                           << "Fire\\, Rescue";
    QTest::newRow("backslash") << "C:\\temp"
                               << "C:\\\\temp";
    QTest::newRow("escape already in text") << "a\\nb"
                                            << "a\\\\nb";
    QTest::newRow("LF") << "one\ntwo"
                        << "one\\ntwo";
    QTest::newRow("CR, the program's line separator") << "one\rtwo"
                                                      << "one\\ntwo";
    QTest::newRow("CR LF is one line break") << "one\r\ntwo"
                                             << "one\\ntwo";
    QTest::newRow("LF CR is two") << "one\n\rtwo"
                                  << "one\\n\\ntwo";
    QTest::newRow("other controls dropped, tab kept") << QString("a\x01"
                                                                 "b\x1f"
                                                                 "c\x7f"
                                                                 "d\te")
                                                      << "abcd\te";
    QTest::newRow("colon and quote stay") << "Crew \"B\": 24h"
                                          << "Crew \"B\": 24h";
    QTest::newRow("non-ASCII stays") << "Pompiers de Montréal – Caserne ☎"
                                     << "Pompiers de Montréal – Caserne ☎";
}

void IcsTest::escaping() {
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(EscapeCalendarText(text), escaped);
}

void IcsTest::folding_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("short") << "Velmora Fire";
    QTest::newRow("exactly 75 octets") << QString(75 - 13, u'x');
    QTest::newRow("76 octets") << QString(76 - 13, u'x');
    QTest::newRow("long ASCII") << QString(400, u'y');
    // A two-, three- and four-octet character at every offset of the cut.
    for (int shift = 0; shift < 4; ++shift) {
        QTest::addRow("2-octet, shift %d", shift) << QString(shift, u'.') + QString(90, u'é');
        QTest::addRow("3-octet, shift %d", shift) << QString(shift, u'.') + QString(90, u'–');
        QTest::addRow("4-octet, shift %d", shift)
            << QString(shift, u'.') + QString::fromUtf8("🚒").repeated(60);
    }
    QTest::newRow("mixed")
        << QString::fromUtf8("Feuerwehr Mönchengladbach – Wache 7 – 消防署 🚒 ").repeated(4);
}

void IcsTest::folding() {
    QFETCH(QString, value);
    const QByteArray line = "X-WR-CALNAME:" + value.toUtf8();
    const QByteArray folded = FoldContentLine(line);
    QVERIFY(folded.endsWith("\r\n"));
    const QList<QByteArray> lines = physicalLines(folded);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVERIFY2(lines[i].endsWith('\r'), "every line ends with CR LF");
        const QByteArray content = lines[i].chopped(1);
        QVERIFY2(content.size() <= 75,
                 qPrintable(QString("line %1 has %2 octets").arg(i).arg(content.size())));
        QCOMPARE(content.startsWith(' '), i > 0);
        QVERIFY2(QString::fromUtf8(content).toUtf8() == content,
                 qPrintable(QString("line %1 is not whole UTF-8").arg(i)));
        // No line is cut shorter than it had to be: the next character would not have fitted.
        if (i + 1 < lines.size()) {
            const auto lead = static_cast<unsigned char>(lines[i + 1].at(1));
            const int nextLength = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            QVERIFY(content.size() + nextLength > 75);
        }
    }
    QCOMPARE(unfoldedLines(folded), QList<QByteArray>{line + '\r'});
}

void IcsTest::goldenFile() {
    const Export made = exportOf(QStringLiteral("B2"), {day(2026, 2, 20), day(2026, 3, 12)});
    const CalendarExport& request = made.request;
    QFile golden(QFINDTESTDATA("data/ics/b2-2026-02-20-to-03-12.ics"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QByteArray expected = golden.readAll();
    expected.replace("@VERSION@", ProductVersion);
    const QByteArray written = CalendarFileBytes(request, FixedStamp);
    QCOMPARE(QString::fromUtf8(written), QString::fromUtf8(expected));
}

// A calendar server keeps each event as a calendar of its own: the file's head without its name,
// the event's lines exactly as in the file, and the end.
void IcsTest::oneEventFormHasTheFilesLines() {
    const CalendarRange range{day(2026, 2, 20), day(2026, 3, 12)};
    DayEntry note;
    note.kind = EntryKind::Note;
    note.id = QUuid(QStringLiteral("{1b4e28ba-2fa1-11d2-883f-0016d3cca427}"));
    note.date = day(2026, 2, 21);
    note.note = QStringLiteral("Bring the long ladder, the one with the rope; \\ and a "
                               "note long enough to be folded into several lines");
    const QList<CalendarEvent> events =
        CalendarEvents(*scheduleOf(QStringLiteral("B2"), {note}), range, {});
    QVERIFY(events.size() > 10);
    const CalendarFileHeader header{QStringLiteral("Velmora Fire"), CalendarProductId(),
                                    FixedStamp};
    const QByteArray file = WriteICalendar(header, events);
    const qsizetype firstEvent = file.indexOf("BEGIN:VEVENT\r\n");
    const QByteArray head = file.left(file.indexOf("X-WR-CALNAME:"));
    QCOMPARE(head.count("\r\n"), 4);
    QVERIFY(file.contains("\r\n ")); // a folded line among the events
    QByteArray rebuilt = file.left(firstEvent);
    for (const CalendarEvent& event : events) {
        const QByteArray one = WriteICalendarEvent(header, event);
        QVERIFY(one.startsWith(head + "BEGIN:VEVENT\r\n"));
        QVERIFY(one.endsWith("END:VEVENT\r\nEND:VCALENDAR\r\n"));
        QCOMPARE(one.count("BEGIN:VEVENT"), 1);
        QVERIFY(one.contains("UID:" + CalendarEventUid(event).toLatin1() + "\r\n"));
        rebuilt +=
            one.mid(head.size(), one.size() - head.size() - qsizetype(strlen("END:VCALENDAR\r\n")));
    }
    rebuilt += "END:VCALENDAR\r\n";
    QCOMPARE(QString::fromUtf8(rebuilt), QString::fromUtf8(file));
}

void IcsTest::uidsComeFromDayAndRole() {
    const CalendarRange year{day(2026, 1, 1), day(2026, 12, 31)};
    // Every event of a file has a UID of its own; paydays and pay-period starts have the same
    // UIDs for every assignment, so a member who changes group updates them on a re-import.
    QMap<QString, QString> markerUids; // "date summary" -> UID
    for (const QString& subGroup :
         {QStringLiteral("A2"), QStringLiteral("B2"), QStringLiteral("B5")}) {
        QSet<QString> uids;
        const QList<CalendarEvent> events = CalendarEvents(*scheduleOf(subGroup), year, {});
        for (const CalendarEvent& event : events) {
            const QString uid = CalendarEventUid(event);
            QVERIFY(!QUuid::fromString(uid).isNull());
            uids.insert(uid);
            if (event.kind != CalendarEventKind::Payday &&
                event.kind != CalendarEventKind::PayPeriodStart)
                continue;
            const QString key = qdateFromSerial(event.date).toString(Qt::ISODate) + event.summary;
            if (markerUids.contains(key))
                QCOMPARE(uid, markerUids.value(key));
            markerUids.insert(key, uid);
        }
        QCOMPARE(uids.size(), events.size());
    }
    QCOMPARE(markerUids.size(), 26 + 26);
    // The same day in another role is another event; a new text keeps the UID.
    const CalendarEvent payday = eventOf(CalendarEventKind::Payday, day(2026, 1, 2), "Payday");
    CalendarEvent start = payday;
    start.kind = CalendarEventKind::PayPeriodStart;
    QVERIFY(CalendarEventUid(payday) != CalendarEventUid(start));
    CalendarEvent renumbered = start;
    renumbered.summary = QStringLiteral("PP9 begins");
    QCOMPARE(CalendarEventUid(renumbered), CalendarEventUid(start));
    CalendarEvent duty = payday;
    duty.kind = CalendarEventKind::Duty;
    CalendarEvent rdo = payday;
    rdo.kind = CalendarEventKind::Rdo;
    // A date is the member's duty day or RDO, never both: one event, updated in place when the
    // group changes within a crew.
    QCOMPARE(CalendarEventUid(duty), CalendarEventUid(rdo));
    // An entry's event is named by the entry.
    CalendarEvent overtime = payday;
    overtime.kind = CalendarEventKind::ExtraWork;
    overtime.entryId = QUuid(QStringLiteral("{0b5a2c1e-1111-4222-8333-944455556666}"));
    QCOMPARE(CalendarEventUid(overtime), QStringLiteral("0b5a2c1e-1111-4222-8333-944455556666"));
    QCOMPARE(CalendarEventUid(payday),
             QStringLiteral("24cabbd2-bb0e-5b28-8db4-5ebaf070aa2a")); // fixed across releases
}

void IcsTest::dutyDayWithEntries_data() {
    QTest::addColumn<QList<DayEntry>>("entries");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<bool>("transparent");
    using K = EntryKind;
    const char* a = "{00000000-0000-4000-8000-00000000000a}";
    const char* b = "{00000000-0000-4000-8000-00000000000b}";
    QTest::newRow("no entry") << QList<DayEntry>{} << "On duty \u2013 crew B" << false;
    QTest::newRow("traded away") << QList<DayEntry>{entryOf(a, DutyDay, K::TradeOut, {},
                                                            "J. Smith")}
                                 << "Off \u2013 J. Smith works (trade)" << true;
    QTest::newRow("traded, nobody named")
        << QList<DayEntry>{entryOf(a, DutyDay, K::TradeOut)} << "Off \u2013 traded" << true;
    QTest::newRow("vacation") << QList<DayEntry>{leaveOf(a, DutyDay, LeaveType::Vacation)}
                              << "Off \u2013 vacation" << true;
    QTest::newRow("half traded") << QList<DayEntry>{entryOf(a, DutyDay, K::TradeOut, 12 * 60,
                                                            "J. Smith")}
                                 << "On duty \u2013 crew B, 12 h (J. Smith works 12 h)" << false;
    QTest::newRow("part on sick leave")
        << QList<DayEntry>{leaveOf(a, DutyDay, LeaveType::Sick, 150)}
        << "On duty \u2013 crew B, 21 h 30 min (sick leave 2 h 30 min)" << false;
    QTest::newRow("half traded, half vacation")
        << QList<DayEntry>{entryOf(a, DutyDay, K::TradeOut, 12 * 60, "J. Smith"),
                           leaveOf(b, DutyDay, LeaveType::Vacation, 12 * 60)}
        << "Off \u2013 J. Smith works 12 h (trade), vacation 12 h" << true;
    // More away than the shift holds does not fit: the day reads as it was.
    QTest::newRow("overbooked") << QList<DayEntry>{entryOf(a, DutyDay, K::TradeOut, {}, "J. Smith"),
                                                   leaveOf(b, DutyDay, LeaveType::Vacation)}
                                << "On duty \u2013 crew B" << false;
}

void IcsTest::dutyDayWithEntries() {
    QFETCH(QList<DayEntry>, entries);
    QFETCH(QString, summary);
    QFETCH(bool, transparent);
    const QList<CalendarEvent> events =
        eventsOn(CalendarEvents(*scheduleOf("B2", entries), {DutyDay, DutyDay}, {}), DutyDay);
    // The duty event stays, whatever the day holds: a phone never deletes what a file omits.
    QCOMPARE(events.size(), 1);
    QCOMPARE(events[0].kind, CalendarEventKind::Duty);
    QCOMPARE(events[0].summary, summary);
    QCOMPARE(events[0].transparent, transparent);
    QCOMPARE(CalendarEventUid(events[0]),
             CalendarEventUid(eventOf(CalendarEventKind::Duty, DutyDay)));
}

void IcsTest::extraWorkAndNotes() {
    using K = EntryKind;
    DayEntry overtime = entryOf("{00000000-0000-4000-8000-000000000001}", OffDay, K::Overtime, 600);
    overtime.start = 7 * 60;
    overtime.note = QStringLiteral("Station 4");
    // With the overtime, 22 of the day's 24 hours: nobody works more in a day.
    const DayEntry tradeIn =
        entryOf("{00000000-0000-4000-8000-000000000002}", OffDay, K::TradeIn, 12 * 60, "K. Lee");
    const DayEntry training =
        entryOf("{00000000-0000-4000-8000-000000000003}", DutyDay, K::Training, 90);
    const DayEntry dayNote =
        noteOf("{00000000-0000-4000-8000-000000000004}", DutyDay, "Bring the boots");
    const DateSerial quietDay = day(2026, 3, 4); // crew A's, no payday
    const DayEntry loneNote =
        noteOf("{00000000-0000-4000-8000-000000000005}", quietDay, "Dentist 10:00\nthen shopping");
    const QList<CalendarEvent> events =
        CalendarEvents(*scheduleOf("B2", {overtime, tradeIn, training, dayNote, loneNote},
                                   {{dayKey(OffDay), 7}, {dayKey(DutyDay), 3}}),
                       {day(2026, 3, 1), day(2026, 3, 31)}, {});

    const QList<CalendarEvent> off = eventsOn(events, OffDay);
    QCOMPARE(off.size(), 2); // in entryBefore order
    QCOMPARE(off[0].summary, QStringLiteral("Overtime, 10 h"));
    QCOMPARE(off[0].entryId, overtime.id);
    QCOMPARE(off[0].start, QDateTime(QDate(2026, 3, 3), QTime(7, 0), Qt::LocalTime));
    QCOMPARE(off[0].end, QDateTime(QDate(2026, 3, 3), QTime(17, 0), Qt::LocalTime));
    QCOMPARE(off[0].description, QStringLiteral("Station 4"));
    QCOMPARE(off[0].sequence, 7);
    QVERIFY(!off[0].transparent);
    QCOMPARE(off[1].summary, QStringLiteral("Working for K. Lee (trade), 12 h"));
    QVERIFY(!off[1].start.isValid()); // no start: a whole day
    QCOMPARE(off[1].sequence, 7);

    // The note of the day goes with every event of the day.
    const QList<CalendarEvent> duty = eventsOn(events, DutyDay);
    QCOMPARE(duty.size(), 2);
    QCOMPARE(duty[0].summary, QStringLiteral("On duty \u2013 crew B"));
    QCOMPARE(duty[1].summary, QStringLiteral("Training, 1 h 30 min"));
    for (const CalendarEvent& event : duty) {
        QCOMPARE(event.description, QStringLiteral("Bring the boots"));
        QCOMPARE(event.sequence, 3);
    }
    // A note on a day without events gets one of its own, which blocks no time.
    const QList<CalendarEvent> quiet = eventsOn(events, quietDay);
    QCOMPARE(quiet.size(), 1);
    QCOMPARE(quiet[0].kind, CalendarEventKind::Note);
    QCOMPARE(quiet[0].summary, QStringLiteral("Note: Dentist 10:00"));
    QCOMPARE(quiet[0].description, QStringLiteral("Dentist 10:00\nthen shopping"));
    QCOMPARE(CalendarEventUid(quiet[0]), QStringLiteral("00000000-0000-4000-8000-000000000005"));
    QVERIFY(quiet[0].transparent);
    // Days without entries or counters are as before.
    for (const CalendarEvent& event : events)
        if (event.date != OffDay && event.date != DutyDay)
            QCOMPARE(event.sequence, 0);
}

void IcsTest::timedShiftsRunShiftStartToShiftStart() {
    CalendarContents contents;
    contents.timedShifts = true;
    const QList<CalendarEvent> events = CalendarEvents(
        *scheduleOf("B2", {}, {}, 7 * 60 + 30), {day(2026, 3, 1), day(2026, 3, 6)}, contents);
    int duty = 0;
    for (const CalendarEvent& event : events) {
        if (event.kind != CalendarEventKind::Duty) {
            QVERIFY(!event.start.isValid()); // RDO, payday: still whole days
            continue;
        }
        ++duty;
        const QDate date = qdateFromSerial(event.date);
        QCOMPARE(event.start, QDateTime(date, QTime(7, 30), Qt::LocalTime));
        QCOMPARE(event.end, QDateTime(date.addDays(1), QTime(7, 30), Qt::LocalTime));
    }
    QCOMPARE(duty, 3);
    const QByteArray file = WriteICalendar({"Velmora Fire", "-//x//y//EN", FixedStamp}, events);
    QVERIFY(file.contains("DTSTART:20260301T073000\r\nDTEND:20260302T073000\r\n"));
}

// B2 and B5 share their crew's duty days and differ in their RDOs: after a change from one to
// the other, every member's day of the new file has the UID of the old file's event of that date.
void IcsTest::changeWithinACrewUpdatesEachDateInPlace() {
    const CalendarRange year{day(2026, 1, 1), day(2026, 12, 31)};
    const auto memberDays = [&](const QString& group) {
        QMap<QString, QString> byUid; // UID -> summary
        for (const CalendarEvent& event : CalendarEvents(*scheduleOf(group), year, {}))
            if (event.kind == CalendarEventKind::Duty || event.kind == CalendarEventKind::Rdo)
                byUid.insert(CalendarEventUid(event), event.summary);
        return byUid;
    };
    const QMap<QString, QString> b2 = memberDays(QStringLiteral("B2"));
    const QMap<QString, QString> b5 = memberDays(QStringLiteral("B5"));
    QCOMPARE(b2.keys(), b5.keys());
    int changed = 0;
    for (auto it = b2.cbegin(); it != b2.cend(); ++it)
        changed += it.value() != b5.value(it.key());
    // Each group has about 26 RDOs a year; where one has its RDO the other is on duty.
    QVERIFY2(changed >= 40 && changed <= 60, qPrintable(QString::number(changed)));
}

// 02:30 does not exist in New York on 8 March 2026: the shift is counted from 02:30 with the
// offset before the change, which the clock shows as 03:30, and ends at 02:30 the next day.
void IcsTest::skippedShiftStartIsTimedAsTheHoursCountIt() {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    CalendarContents contents;
    contents.timedShifts = true;
    const DateSerial skipped = day(2026, 3, 8);
    QString group; // a group on duty that day
    for (const QString candidate : {"A1", "A2", "B1", "B2"})
        if (ShiftLetter(skipped, candidate) == candidate[0])
            group = candidate;
    QList<CalendarEvent> events =
        CalendarEvents(*scheduleOf(group, {}, {}, 150), {skipped, skipped}, contents);
    qputenv("TZ", zone);
    tzset();
    events.removeIf(
        [](const CalendarEvent& event) { return event.kind != CalendarEventKind::Duty; });
    QCOMPARE(events.size(), 1);
    QCOMPARE(events[0].start, QDateTime(QDate(2026, 3, 8), QTime(3, 30), Qt::LocalTime));
    QCOMPARE(events[0].end, QDateTime(QDate(2026, 3, 9), QTime(2, 30), Qt::LocalTime));
}

// Turning timed duty days on or off changes the times of every member's day: each must reach a
// calendar as an update, so its sequence rises; other events keep theirs.
void IcsTest::switchingTimedShiftsRaisesTheSequence() {
    QTemporaryDir folder;
    EntryStore store(folder.filePath(QStringLiteral("days.sqlite")));
    Schedule schedule(&store);
    schedule.setCurrentAssignment(QStringLiteral("B2"));
    const CalendarRange march{day(2026, 3, 1), day(2026, 3, 31)};
    const auto sequences = [&](bool timed) {
        CalendarContents contents;
        contents.timedShifts = timed;
        QMap<QString, qint64> byUid;
        if (!store.noteDutyTiming(timed).ok)
            return byUid;
        for (const CalendarEvent& event : CalendarEvents(schedule, march, contents))
            byUid.insert(CalendarEventUid(event) + u' ' + event.summary, event.sequence);
        return byUid;
    };
    const QMap<QString, qint64> whole = sequences(false);
    QVERIFY(!whole.isEmpty());
    QCOMPARE(store.dutySequenceBase(), 0); // no switch yet: whole days were the default
    const QMap<QString, qint64> timed = sequences(true);
    const QMap<QString, qint64> again = sequences(true);
    const QMap<QString, qint64> back = sequences(false);
    QCOMPARE(again, timed);
    for (auto it = whole.cbegin(); it != whole.cend(); ++it) {
        const bool memberDay =
            it.key().contains(QLatin1String("crew")) || it.key().contains(QLatin1String("RDO "));
        if (memberDay) {
            QVERIFY2(timed.value(it.key()) > it.value(), qPrintable(it.key()));
            QVERIFY2(back.value(it.key()) > timed.value(it.key()), qPrintable(it.key()));
        } else {
            QCOMPARE(timed.value(it.key()), it.value());
        }
    }
}

void IcsTest::readersSeeAnEditedDay_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("script");
    for (const Reader& reader : Readers)
        QTest::newRow(reader.module) << reader.module << reader.script;
}

// The same month exported before and after the user traded a duty day away and added overtime,
// as each reader takes it: the duty day keeps its UID with a higher SEQUENCE, the overtime is a
// floating timed event, markers and RDOs block no time, and the file has no METHOD.
void IcsTest::readersSeeAnEditedDay() {
    QFETCH(QString, module);
    QFETCH(QString, script);
    if (!readerInstalled(module))
        QSKIP(qPrintable(module + " is not installed (python3-" + module + ")"));
    QTemporaryDir folder;
    Export made = exportOf("B2", {day(2026, 3, 1), day(2026, 3, 31)});
    const CalendarExport& request = made.request;
    const QString beforePath = folder.filePath("before.ics");
    QVERIFY(WriteCalendarFile(beforePath, request));

    DayEntry overtime =
        entryOf("{4a1c9e2b-7d3f-4e6a-9b8c-1d2e3f4a5b6c}", OffDay, EntryKind::Overtime, 600);
    overtime.start = 22 * 60; // into the next day
    made.setEntries(
        {entryOf("{7e0f1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}", DutyDay, EntryKind::TradeOut, {},
                 "J. Smith"),
         noteOf("{9f8e7d6c-5b4a-4392-8170-6f5e4d3c2b1a}", DutyDay, "Swap agreed; by phone"),
         overtime},
        {{dayKey(DutyDay), 4}, {dayKey(OffDay), 1}});
    const QString afterPath = folder.filePath("after.ics");
    QVERIFY(WriteCalendarFile(afterPath, request));

    const QJsonObject before = readBack(beforePath, script);
    const QJsonObject after = readBack(afterPath, script);
    QVERIFY(!before.isEmpty() && !after.isEmpty());
    QCOMPARE(after.value("method").toString(), QString());
    QCOMPARE(after.value("name").toString(), QStringLiteral("Velmora Fire"));
    const QMap<QString, QJsonObject> old = eventsByUid(before);
    const QMap<QString, QJsonObject> now = eventsByUid(after);
    QCOMPARE(now.size(), after.value("events").toArray().size());

    // Every event of the first file is in the second, on the same day.
    const QString dutyUid = CalendarEventUid(eventOf(CalendarEventKind::Duty, DutyDay));
    for (auto event = old.cbegin(); event != old.cend(); ++event) {
        QVERIFY2(now.contains(event.key()), qPrintable(event.value().value("summary").toString()));
        const QJsonObject& edited = now[event.key()];
        QCOMPARE(edited.value("start").toObject().value("date"),
                 event.value().value("start").toObject().value("date"));
        const QString summary = edited.value("summary").toString();
        const bool blocksNoTime = summary == "Payday" || summary.endsWith(" begins") ||
                                  summary.startsWith("RDO ") || summary.startsWith("Off ");
        QCOMPARE(edited.value("transp").toString(),
                 blocksNoTime ? QStringLiteral("TRANSPARENT") : QStringLiteral("OPAQUE"));
        if (event.key() != dutyUid)
            QCOMPARE(edited, event.value());
    }
    const QJsonObject traded = now[dutyUid];
    QCOMPARE(traded.value("summary").toString(),
             QStringLiteral("Off \u2013 J. Smith works (trade)"));
    QCOMPARE(traded.value("description").toString(), QStringLiteral("Swap agreed; by phone"));
    QVERIFY(traded.value("sequence").toInt() > old[dutyUid].value("sequence").toInt());
    QCOMPARE(traded.value("start").toObject().value("whole_day").toBool(), true);

    QVERIFY(!old.contains(overtime.id.toString(QUuid::WithoutBraces)));
    const QJsonObject extra = now[overtime.id.toString(QUuid::WithoutBraces)];
    QCOMPARE(extra.value("summary").toString(), QStringLiteral("Overtime, 10 h"));
    QCOMPARE(extra.value("sequence").toInt(), 1);
    const QJsonObject start = extra.value("start").toObject();
    const QJsonObject end = extra.value("end").toObject();
    QCOMPARE(start.value("whole_day").toBool(), false);
    QCOMPARE(start.value("floating").toBool(), true);
    QCOMPARE(end.value("floating").toBool(), true);
    QCOMPARE(start.value("date").toString(), QStringLiteral("2026-03-03"));
    QCOMPARE(start.value("time").toString(), QStringLiteral("22:00:00"));
    QCOMPARE(end.value("date").toString(), QStringLiteral("2026-03-04"));
    QCOMPARE(end.value("time").toString(), QStringLiteral("08:00:00"));
    QCOMPARE(now.size(), old.size() + 1);
}

void IcsTest::keptFileIsRewrittenOnlyOnChange() {
    QTemporaryDir folder;
    const QString path = folder.filePath("kept.ics");
    Export made = exportOf("B2", {day(2026, 3, 1), day(2026, 3, 31)});
    const CalendarExport& request = made.request;
    const auto readAll = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    setNowUtcProvider([] { return FixedStamp; });
    QVERIFY(WriteKeptCalendar(path, request));
    const QByteArray first = readAll();
    QVERIFY(first.contains("DTSTAMP:20260301T070809Z"));
    // A Save that changed nothing of the days leaves the file as it was, stamp included.
    setNowUtcProvider([] { return FixedStamp.addDays(1); });
    QVERIFY(WriteKeptCalendar(path, request));
    QCOMPARE(readAll(), first);
    // A change of the entries rewrites it, in one step.
    made.setEntries({entryOf("{7e0f1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}", DutyDay, EntryKind::TradeOut,
                             {}, "J. Smith")},
                    {{dayKey(DutyDay), 1}});
    QVERIFY(WriteKeptCalendar(path, request));
    setNowUtcProvider({});
    const QByteArray second = readAll();
    QVERIFY(second.contains("DTSTAMP:20260302T070809Z"));
    QVERIFY(second.contains("SUMMARY:Off \xe2\x80\x93 J. Smith works (trade)\r\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.ics"});
    // What is in the way is reported, and left alone.
    QVERIFY(QDir(folder.path()).mkdir("a-folder"));
    QString error;
    QVERIFY(!WriteKeptCalendar(folder.filePath("a-folder"), request, &error));
    QVERIFY2(error.startsWith("Unable to write to "), qPrintable(error));
}

void IcsTest::secondExportDiffersOnlyInTheStamp() {
    Export made = exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 12, 31)});
    const CalendarExport& request = made.request;
    made.setEntries({entryOf("{7e0f1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}", DutyDay, EntryKind::TradeOut,
                             12 * 60, "J. Smith"),
                     noteOf("{9f8e7d6c-5b4a-4392-8170-6f5e4d3c2b1a}", OffDay, "x")},
                    {{dayKey(DutyDay), 2}, {dayKey(OffDay), 5}});
    const QByteArray first = CalendarFileBytes(request, FixedStamp);
    const QByteArray second = CalendarFileBytes(request, FixedStamp.addSecs(86400 + 3725));
    QVERIFY(first != second);
    QCOMPARE(withoutStamps(first), withoutStamps(second));
    QCOMPARE(first.count("DTSTAMP:20260301T070809Z\r\n"), first.count("BEGIN:VEVENT"));
    QCOMPARE(second.count("DTSTAMP:20260302T081014Z\r\n"), second.count("BEGIN:VEVENT"));
}

void IcsTest::stampComesFromTheClockInUtc() {
    QTemporaryDir folder;
    const QString path = folder.filePath("out.ics");
    // 09:30 in Auckland (UTC+13 in summer) is 20:30 of the day before in UTC.
    setNowUtcProvider(
        [] { return QDateTime(QDate(2026, 1, 15), QTime(9, 30), QTimeZone("Pacific/Auckland")); });
    const bool written = WriteCalendarFile(
        path, exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 1, 31)}).request);
    setNowUtcProvider({});
    QVERIFY(written);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.count("DTSTAMP:") > 0);
    QCOMPARE(bytes.count("DTSTAMP:20260114T203000Z\r\n"), bytes.count("DTSTAMP:"));
}

void IcsTest::unwritableTargetLeavesNothing() {
    QTemporaryDir folder;
    QFile blocker(folder.filePath("plain-file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(QDir(folder.path()).mkdir("a-folder"));
    // Root ignores permissions, so the writes are made to fail by what is in the way.
    for (const QString& target :
         {folder.filePath("plain-file/out.ics"), folder.filePath("a-folder")}) {
        QString error;
        QVERIFY(!WriteCalendarFile(
            target, exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 1, 31)}).request,
            &error));
        QVERIFY2(error.startsWith(QStringLiteral("Unable to write to ") + target),
                 qPrintable(error));
        QVERIFY(!error.contains(u'\n'));
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"a-folder", "plain-file"}));
    QVERIFY(QDir(folder.filePath("a-folder")).isEmpty());
}

void IcsTest::readerSeesTheRotationForAYear() {
    if (!readerInstalled())
        QSKIP("python3-icalendar is not installed");
    QTemporaryDir folder;
    const QString path = folder.filePath("b2-2026.ics");
    QVERIFY(WriteCalendarFile(
        path, exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 12, 31)}).request));
    const QJsonObject calendar = readBack(path);
    QCOMPARE(calendar.value("version").toString(), QStringLiteral("2.0"));
    QCOMPARE(calendar.value("prodid").toString(), CalendarProductId());
    QCOMPARE(calendar.value("name").toString(), QStringLiteral("Velmora Fire"));

    QMap<QDate, QStringList> found;
    QSet<QString> uids;
    const QJsonArray events = calendar.value("events").toArray();
    for (const QJsonValue& value : events) {
        const QJsonObject event = value.toObject();
        const QJsonObject start = event.value("start").toObject();
        const QJsonObject end = event.value("end").toObject();
        const QDate date = QDate::fromString(start.value("date").toString(), Qt::ISODate);
        QVERIFY(start.value("whole_day").toBool());
        QVERIFY(end.value("whole_day").toBool());
        QCOMPARE(QDate::fromString(end.value("date").toString(), Qt::ISODate), date.addDays(1));
        const QString summary = event.value("summary").toString();
        const bool marker = summary == QStringLiteral("Payday") || summary.endsWith(" begins") ||
                            summary.startsWith(QStringLiteral("RDO "));
        QCOMPARE(event.value("transp").toString(),
                 marker ? QStringLiteral("TRANSPARENT") : QStringLiteral("OPAQUE"));
        uids.insert(event.value("uid").toString());
        found[date] << summary;
    }
    QCOMPARE(uids.size(), events.size());
    int days = 0;
    for (QDate date(2026, 1, 1); date.year() == 2026; date = date.addDays(1), ++days) {
        const QStringList expected = expectedSummaries(serialFromQDate(date), QStringLiteral("B2"));
        QVERIFY2(found.value(date) == expected,
                 qPrintable(date.toString(Qt::ISODate) + ": " + found.value(date).join(u'|')));
        found.remove(date);
    }
    QCOMPARE(days, 365);
    QVERIFY2(found.isEmpty(), "no event outside the range");
}

void IcsTest::readerSeesHostileAndNonAsciiTitles_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("readAs");
    QTest::newRow("hostile") << "Fire; Rescue, \\Station\\ 3\r\nline two\rthree\nfour"
                             << "Fire; Rescue, \\Station\\ 3\nline two\nthree\nfour";
    // Not read back: a text holding "\n" itself (the escaping table covers it), since
    // python3-icalendar 4.0.3 unescapes "\\n" as a backslash and a line break.
    const QString german = QString::fromUtf8("Freiwillige Feuerwehr Mönchengladbach-Rheydt – "
                                             "Löschzug Süd – Brandschutz für alle Bürger");
    QTest::newRow("German, long") << german << german;
    const QString mixed =
        QString::fromUtf8("消防署 🚒 Пожарная часть № 7 – Corpo de Bombeiros ").repeated(3);
    QTest::newRow("CJK, emoji, Cyrillic, long") << mixed << mixed;
}

void IcsTest::readerSeesHostileAndNonAsciiTitles() {
    if (!readerInstalled())
        QSKIP("python3-icalendar is not installed");
    QFETCH(QString, title);
    QFETCH(QString, readAs);
    QTemporaryDir folder;
    const QString path = folder.filePath("title.ics");
    QVERIFY(WriteCalendarFile(
        path, exportOf(QStringLiteral("B2"), {day(2026, 2, 1), day(2026, 2, 7)}, title).request));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (const QByteArray& line : physicalLines(bytes)) {
        QVERIFY(line.endsWith('\r'));
        QVERIFY(line.size() - 1 <= 75);
    }
    // One content line per property: no raw line break of the title escaped the escaping.
    const QList<QByteArray> lines = unfoldedLines(bytes);
    QCOMPARE(std::count_if(lines.begin(), lines.end(),
                           [](const QByteArray& line) { return line.contains("X-WR-CALNAME"); }),
             1);
    QCOMPARE(readBack(path).value("name").toString(), readAs);
}

QTEST_GUILESS_MAIN(IcsTest)
#include "tst_ics.moc"
