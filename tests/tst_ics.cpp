// The calendar file: which days become events, the RFC 5545 text (escaping, folding, whole-day
// dates, stable UIDs) against a golden file, and the file as a real iCalendar reader sees it.
#include "core/calendar.h"
#include "core/clock.h"
#include "export/calendarfile.h"
#include "export/icalendarwriter.h"
#include "rotation/rotation.h"
#include "tourwise_version.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

DateSerial day(int year, int month, int dayOfMonth) {
    return serialFromYmd(year, month, dayOfMonth);
}

const QDateTime FixedStamp(QDate(2026, 3, 1), QTime(7, 8, 9), Qt::UTC);

CalendarExport exportOf(const QString& assignment, CalendarRange range,
                        const QString& agency = QStringLiteral("Velmora Fire")) {
    CalendarExport request;
    request.range = range;
    request.assignment = assignment;
    request.payPeriodStart = DefaultPayPeriodStart;
    request.agency = agency;
    return request;
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

// The file read back by the icalendar package, or an empty object when it is not installed.
QJsonObject readBack(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral(DEBIAN_PYTHON3), {QStringLiteral(ICS_READBACK_SCRIPT), path});
    if (!reader.waitForFinished(-1) || reader.exitCode() != 0) {
        qWarning().noquote() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

bool readerInstalled() {
    return QProcess::execute(QStringLiteral(DEBIAN_PYTHON3),
                             {QStringLiteral("-c"), QStringLiteral("import icalendar")}) == 0;
}

} // namespace

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
    void uidsAreStableAndDistinct();
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
    const QList<CalendarEvent> events =
        CalendarEvents(range, assignment, {}, DefaultPayPeriodStart);
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
             CalendarEvents(year, QStringLiteral("B2"), contents, DefaultPayPeriodStart))
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
    const CalendarExport request =
        exportOf(QStringLiteral("B2"), {day(2026, 2, 20), day(2026, 3, 12)});
    QFile golden(QFINDTESTDATA("data/ics/b2-2026-02-20-to-03-12.ics"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QByteArray expected = golden.readAll();
    expected.replace("@VERSION@", ProductVersion);
    const QByteArray written = CalendarFileBytes(request, FixedStamp);
    QCOMPARE(QString::fromUtf8(written), QString::fromUtf8(expected));
}

void IcsTest::uidsAreStableAndDistinct() {
    const CalendarRange year{day(2026, 1, 1), day(2026, 12, 31)};
    QSet<QString> uids;
    qsizetype count = 0;
    for (const QString& subGroup : {QStringLiteral("A2"), QStringLiteral("B2")}) {
        for (const CalendarEvent& event :
             CalendarEvents(year, subGroup, {}, DefaultPayPeriodStart)) {
            const QString uid = CalendarEventUid(event, subGroup);
            QCOMPARE(CalendarEventUid(event, subGroup), uid);
            QVERIFY(!QUuid::fromString(uid).isNull());
            uids.insert(uid);
            ++count;
        }
    }
    // Paydays fall on the same dates in both files and still never share a UID.
    QCOMPARE(uids.size(), count);
    // The same day under another kind is another event.
    const CalendarEvent payday{CalendarEventKind::Payday, day(2026, 1, 2), "Payday"};
    CalendarEvent start = payday;
    start.kind = CalendarEventKind::PayPeriodStart;
    QVERIFY(CalendarEventUid(payday, "B2") != CalendarEventUid(start, "B2"));
    // A new text (the pay period renumbered) keeps the UID: a re-import updates the event.
    start.summary = QStringLiteral("PP9 begins");
    QCOMPARE(
        CalendarEventUid(start, "B2"),
        CalendarEventUid({CalendarEventKind::PayPeriodStart, day(2026, 1, 2), "PP1 begins"}, "B2"));
    QCOMPARE(CalendarEventUid(payday, "B2"),
             QStringLiteral("b6e1cc15-c1b6-5a7e-9579-8fbcf0d74ca6")); // fixed across releases
}

void IcsTest::secondExportDiffersOnlyInTheStamp() {
    const CalendarExport request =
        exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 12, 31)});
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
        path, exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 1, 31)}));
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
            target, exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 1, 31)}), &error));
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
        path, exportOf(QStringLiteral("B2"), {day(2026, 1, 1), day(2026, 12, 31)})));
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
        const bool marker = summary == QStringLiteral("Payday") || summary.endsWith(" begins");
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
        path, exportOf(QStringLiteral("B2"), {day(2026, 2, 1), day(2026, 2, 7)}, title)));
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
