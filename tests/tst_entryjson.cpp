// The JSON form of the user's days: a file read and written again gives the same bytes, a
// version 1 file still reads, and every kind of wrong file is refused with one sentence that
// names the entry or the assignment and the field.
#include "days/entryjson.h"
#include "rotation/rotation.h"

#include <QtTest>

namespace {

// Every field and kind once, text that needs escapes, text outside ASCII and a pair of UTF-16
// halves; sorted by date, then id, as the writer sorts.
const QByteArray Canonical = R"({
  "format": "tourwise-days",
  "version": 3,
  "assignmentHistory": [
    {"assignment": "B2", "until": "2024-06-30"},
    {"assignment": "RDO", "until": "2026-02-14"}
  ],
  "banks": [
    {"bank": "vacation", "asOf": "2026-01-11", "balance": 130, "accrual": 7.5, "cap": 150, "carryOver": 120, "yearStart": "01-01"},
    {"bank": "comp", "asOf": "2026-01-25", "balance": -12.25, "accrual": 0, "yearStart": "07-01"}
  ],
  "entries": [
    {"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01", "date": "2026-02-28", "kind": "trade-out", "minutes": 720, "start": "08:00", "with": "R. Okafor \"Bud\"", "revision": 3, "modified": "2026-02-20T23:59:59Z"},
    {"id": "5c1f8a0e-0e5b-4f7e-8a1c-2d3e4f5a6b7c", "date": "2026-02-28", "kind": "leave", "leaveType": "vacation", "note": "line one\nline two\ttab \\ back", "revision": 1, "modified": "2026-01-01T00:00:00Z"},
    {"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a02", "date": "2026-03-01", "kind": "trade-in", "minutes": 1440, "with": "Jörg Müller", "revision": 1, "modified": "2026-02-21T10:00:00Z"},
    {"id": "11111111-2222-4333-8444-555555555555", "date": "2026-03-02", "kind": "overtime", "minutes": 0, "start": "23:59", "comp": true, "revision": 2147483647, "modified": "2026-03-02T12:30:00Z"},
    {"id": "22222222-2222-4333-8444-555555555555", "date": "2026-03-02", "kind": "holdover", "minutes": 2880, "revision": 1, "modified": "2026-03-03T08:00:00Z"},
    {"id": "33333333-2222-4333-8444-555555555555", "date": "2026-03-03", "kind": "training", "minutes": 90, "start": "00:00", "note": "😀 \u0001 end", "revision": 1, "modified": "2026-03-03T08:00:00Z"},
    {"id": "44444444-2222-4333-8444-555555555555", "date": "2028-02-29", "kind": "leave", "leaveType": "sick", "revision": 1, "modified": "2028-02-29T06:00:00Z"},
    {"id": "55555555-2222-4333-8444-555555555555", "date": "2028-03-01", "kind": "note", "note": "just a note", "revision": 1, "modified": "2028-03-01T06:00:00Z"}
  ]
}
)";

const QByteArray Empty = "{\n  \"format\": \"tourwise-days\",\n  \"version\": 3,\n  "
                         "\"assignmentHistory\": [],\n  \"banks\": [],\n  \"entries\": []\n}\n";

// A file of one entry with the given fields after the id.
QByteArray oneEntry(const QByteArray& fields) {
    return R"({"format": "tourwise-days", "version": 1, "entries": [{"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01", )" +
           fields + "}]}";
}

const QByteArray Good =
    R"("date": "2026-03-01", "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00Z")";

} // namespace

class EntryJsonTest : public QObject {
    Q_OBJECT

private slots:
    void fileRoundTripIsExact_data();
    void fileRoundTripIsExact();
    void entriesRoundTripIsExact();
    void fieldsAreRead();
    void versionOneStillReads();
    void leftOutTimeIsTheImports();
    void refusals_data();
    void refusals();
};

void EntryJsonTest::fileRoundTripIsExact_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("every field") << Canonical;
    QTest::newRow("no entries") << Empty;
}

void EntryJsonTest::fileRoundTripIsExact() {
    QFETCH(QByteArray, file);
    QString error;
    const std::optional<DaysFile> days = daysFromJson(file, &error);
    QVERIFY2(days, qPrintable(error));
    QVERIFY(days->assignmentHistory);
    const BankSetupsCheck banks = checkBankSetups(days->banks, DefaultPayPeriodStart);
    QVERIFY2(banks.problems.isEmpty(), qPrintable(banks.problems.join(u' ')));
    QCOMPARE(daysToJson(days->entries, *days->assignmentHistory, banks.setups), file);
}

void EntryJsonTest::entriesRoundTripIsExact() {
    // Out of order, with text that needs escapes.
    DayEntry late;
    late.id = QUuid::createUuid();
    late.date = serialFromYmd(2030, 7, 4);
    late.kind = EntryKind::Note;
    late.note = QStringLiteral("\"quoted\"\r\n\u0007 \U0001F692");
    late.modified = QDateTime(QDate(2030, 7, 4), QTime(1, 2, 3), Qt::UTC);
    DayEntry early = late;
    early.id = QUuid::createUuid();
    early.date = serialFromYmd(2016, 1, 1);
    early.kind = EntryKind::Leave;
    early.leaveType = LeaveType::Holiday;
    early.minutes = 600;
    early.note.clear();
    early.revision = 9;
    const QList<AssignmentPeriod> history{{QStringLiteral("A3"), serialFromYmd(2030, 1, 1)},
                                          {QStringLiteral("B7"), serialFromYmd(2020, 5, 5)}};
    const std::optional<DaysFile> back = daysFromJson(daysToJson({late, early}, history), nullptr);
    QVERIFY(back);
    QCOMPARE(back->entries, (QList<DayEntry>{early, late}));
    // Written in date order, read as written.
    QCOMPARE(*back->assignmentHistory, (QList<AssignmentPeriod>{history[1], history[0]}));
}

void EntryJsonTest::fieldsAreRead() {
    const std::optional<DaysFile> days = daysFromJson(Canonical, nullptr);
    QVERIFY(days);
    QCOMPARE(*days->assignmentHistory,
             (QList<AssignmentPeriod>{{QStringLiteral("B2"), serialFromYmd(2024, 6, 30)},
                                      {QStringLiteral("RDO"), serialFromYmd(2026, 2, 14)}}));
    QCOMPARE(days->banks.size(), 2);
    QCOMPARE(days->banks[0].bank, QStringLiteral("vacation"));
    QCOMPARE(days->banks[0].accrual, 7.5);
    QCOMPARE(days->banks[1].balance, -12.25);
    QVERIFY(!days->banks[1].cap && !days->banks[1].carryOver);
    const QList<DayEntry>* entries = &days->entries;
    QVERIFY(entries->at(3).comp);
    QVERIFY(!entries->at(2).comp);
    const DayEntry& trade = entries->at(0);
    QCOMPARE(trade.id, QUuid::fromString(QStringLiteral("0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01")));
    QCOMPARE(trade.date, serialFromYmd(2026, 2, 28));
    QCOMPARE(trade.kind, EntryKind::TradeOut);
    QCOMPARE(trade.minutes, 720);
    QCOMPARE(trade.start, 8 * 60);
    QCOMPARE(trade.with, QStringLiteral("R. Okafor \"Bud\""));
    QCOMPARE(trade.revision, 3);
    QCOMPARE(trade.modified, QDateTime(QDate(2026, 2, 20), QTime(23, 59, 59), Qt::UTC));
    const DayEntry& leave = entries->at(1);
    QCOMPARE(leave.leaveType, LeaveType::Vacation);
    QCOMPARE(leave.minutes, std::nullopt); // the whole shift
    QCOMPARE(leave.note, QStringLiteral("line one\nline two\ttab \\ back"));
    QCOMPARE(entries->at(2).with, QStringLiteral("J\u00f6rg M\u00fcller"));
    QCOMPARE(entries->at(5).note, QStringLiteral("\U0001F600 \u0001 end"));
}

void EntryJsonTest::versionOneStillReads() {
    QByteArray file = Canonical;
    file.replace("\"version\": 3", "\"version\": 1");
    file.replace("\"comp\": true, ", "");
    const qsizetype history = file.indexOf("  \"assignmentHistory\"");
    file.remove(history, file.indexOf("  \"entries\"") - history);
    QString error;
    const std::optional<DaysFile> days = daysFromJson(file, &error);
    QVERIFY2(days, qPrintable(error));
    QCOMPARE(days->entries.size(), 8);
    // A file without a history leaves the stored one as it is.
    QVERIFY(!days->assignmentHistory);
}

void EntryJsonTest::leftOutTimeIsTheImports() {
    const QDateTime now(QDate(2026, 12, 11), QTime(9, 30, 15, 250), Qt::UTC);
    const QByteArray file = oneEntry(R"("date": "2026-03-01", "kind": "note", "revision": 1)");
    QString error;
    const std::optional<DaysFile> days = daysFromJson(file, &error, now);
    QVERIFY2(days, qPrintable(error));
    QCOMPARE(days->entries.first().modified,
             QDateTime(QDate(2026, 12, 11), QTime(9, 30, 15), Qt::UTC));
    // Where nobody gives the time of the import, the field is needed.
    QVERIFY(!daysFromJson(file, &error));
    QCOMPARE(error, QStringLiteral("Entry 1 (0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01): the field "
                                   "\"modified\" is missing."));
}

void EntryJsonTest::refusals_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error"); // the whole sentence

    const QString entry = QStringLiteral("Entry 1 (0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01): ");
    QTest::newRow("not JSON") << QByteArray("{\"format\": ")
                              << QStringLiteral(
                                     "The file is not JSON: unterminated object at byte 11.");
    QTest::newRow("a list")
        << QByteArray("[]")
        << QStringLiteral("The file is not in the tourwise-days form: it holds no object.");
    QTest::newRow("wrong format")
        << QByteArray(R"({"format": "tourwise-ini", "version": 1, "entries": []})")
        << QStringLiteral("The file is not in the tourwise-days form: its \"format\" is not "
                          "\"tourwise-days\".");
    QTest::newRow("version 4")
        << QByteArray(R"({"format": "tourwise-days", "version": 4, "entries": []})")
        << QStringLiteral("The file is not version 1, 2 or 3 of the tourwise-days form, the ones "
                          "this Tourwise reads.");
    QTest::newRow("version as text")
        << QByteArray(R"({"format": "tourwise-days", "version": "1", "entries": []})")
        << QStringLiteral("The file is not version 1, 2 or 3 of the tourwise-days form, the ones "
                          "this Tourwise reads.");
    const QByteArray v3 = R"({"format": "tourwise-days", "version": 3, "entries": [], )";
    QTest::newRow("banks in version 2")
        << QByteArray(R"({"format": "tourwise-days", "version": 2, "entries": [], "banks": []})")
        << QStringLiteral("The file has \"banks\", which only version 3 of the form has.");
    QTest::newRow("banks not a list")
        << v3 + R"("banks": 7})" << QStringLiteral("The file's \"banks\" is not a list.");
    QTest::newRow("bank without asOf")
        << v3 + R"("banks": [{"bank": "sick", "balance": 1, "accrual": 1}]})"
        << QStringLiteral("Bank 1: the field \"asOf\" is missing or not text.");
    QTest::newRow("balance as text")
        << v3 +
               R"("banks": [{"bank": "sick", "asOf": "2026-01-11", "balance": "12", "accrual": 1}]})"
        << QStringLiteral("Bank 1: \"balance\" is not a number of hours.");
    QTest::newRow("no accrual")
        << v3 + R"("banks": [{"bank": "sick", "asOf": "2026-01-11", "balance": 12}]})"
        << QStringLiteral("Bank 1: \"accrual\" is missing.");
    QTest::newRow("unknown field of a bank")
        << v3 +
               R"("banks": [{"bank": "sick", "asOf": "2026-01-11", "balance": 1, "accrual": 1, "max": 3}]})"
        << QStringLiteral("Bank 1: it has a field \"max\" that Tourwise does not know.");
    QTest::newRow("comp time on leave")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "leave", "comp": true, "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("it is taken as comp time but is not overtime or a holdover.");
    QTest::newRow("comp as text")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "comp": "yes", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("\"comp\" is not true or false.");
    const QByteArray v2 = R"({"format": "tourwise-days", "version": 2, "entries": [], )";
    QTest::newRow("history in version 1")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [], "assignmentHistory": []})")
        << QStringLiteral("The file has an \"assignmentHistory\", which version 1 of the form "
                          "does not.");
    QTest::newRow("history not a list")
        << v2 + R"("assignmentHistory": {}})"
        << QStringLiteral("The file's \"assignmentHistory\" is not a list.");
    QTest::newRow("history of a number")
        << v2 + R"("assignmentHistory": [3]})"
        << QStringLiteral("Assignment 1 of the history is not an object.");
    QTest::newRow("unknown group")
        << v2 + R"("assignmentHistory": [{"assignment": "C1", "until": "2026-01-01"}]})"
        << QStringLiteral("Assignment 1 of the history: the assignment \"C1\" is not one of A1 "
                          "... A7, B1 ... B7 or RDO.");
    QTest::newRow("lower-case group")
        << v2 + R"("assignmentHistory": [{"assignment": "b2", "until": "2026-01-01"}]})"
        << QStringLiteral("Assignment 1 of the history: the assignment \"b2\" is not one of A1 "
                          "... A7, B1 ... B7 or RDO.");
    QTest::newRow("no last day")
        << v2 + R"("assignmentHistory": [{"assignment": "B2"}]})"
        << QStringLiteral("Assignment 1 of the history: its \"until\" \"\" is not a day of the "
                          "form YYYY-MM-DD.");
    QTest::newRow("a day that does not exist")
        << v2 + R"("assignmentHistory": [{"assignment": "B2", "until": "2026-02-30"}]})"
        << QStringLiteral("Assignment 1 of the history: its \"until\" \"2026-02-30\" is not a "
                          "day of the form YYYY-MM-DD.");
    QTest::newRow("one last day twice")
        << v2 +
               R"("assignmentHistory": [{"assignment": "B2", "until": "2026-06-30"}, {"assignment": "A3", "until": "2026-06-30"}]})"
        << QStringLiteral("Assignment 2 of the history: 2026-06-30 is the last day of assignment "
                          "1 too.");
    QTest::newRow("unknown field of an assignment")
        << v2 +
               R"("assignmentHistory": [{"assignment": "B2", "until": "2026-06-30", "from": "2020-01-01"}]})"
        << QStringLiteral("Assignment 1 of the history: it has a field \"from\" that Tourwise "
                          "does not know.");
    QTest::newRow("no entries") << QByteArray(R"({"format": "tourwise-days", "version": 1})")
                                << QStringLiteral("The file has no list of \"entries\".");
    QTest::newRow("unknown top field")
        << QByteArray(R"({"format": "tourwise-days", "version": 1, "entries": [], "x": 1})")
        << QStringLiteral("The file has a field \"x\" that Tourwise does not know.");
    QTest::newRow("entry not an object")
        << QByteArray(R"({"format": "tourwise-days", "version": 1, "entries": [7]})")
        << QStringLiteral("Entry 1 is not an object.");
    QTest::newRow("no id")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [{"date": "2026-03-01"}]})")
        << QStringLiteral("Entry 1: the field \"id\" is missing.");
    QTest::newRow("upper-case id")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [{"id": "0B6A0A64-5D1E-4C5E-9A51-7F0B9D6C1A01"}]})")
        << QStringLiteral("Entry 1 (0B6A0A64-5D1E-4C5E-9A51-7F0B9D6C1A01): the id "
                          "\"0B6A0A64-5D1E-4C5E-9A51-7F0B9D6C1A01\" is not a lower-case UUID.");
    QTest::newRow("id in braces")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [{"id": "{0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01}"}]})")
        << QStringLiteral("Entry 1 ({0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01}): the id "
                          "\"{0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01}\" is not a lower-case UUID.");
    QTest::newRow("null id")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [{"id": "00000000-0000-0000-0000-000000000000"}]})")
        << QStringLiteral("Entry 1 (00000000-0000-0000-0000-000000000000): the id "
                          "\"00000000-0000-0000-0000-000000000000\" is not a lower-case UUID.");
    QTest::newRow("duplicate id")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [{"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01", )" +
               Good + R"(}, {"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01", )" + Good + "}]}")
        << QStringLiteral(
               "Entry 2 (0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01): the id is that of entry 1 too.");
    QTest::newRow("second entry named by place")
        << QByteArray(
               R"({"format": "tourwise-days", "version": 1, "entries": [{"id": "0b6a0a64-5d1e-4c5e-9a51-7f0b9d6c1a01", )" +
               Good + R"(}, {"id": "", )" + Good + "}]}")
        << QStringLiteral("Entry 2: the id \"\" is not a lower-case UUID.");
    QTest::newRow("30 February")
        << oneEntry(
               R"("date": "2026-02-30", "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the date \"2026-02-30\" does not exist.");
    QTest::newRow("29 February of a common year")
        << oneEntry(
               R"("date": "2027-02-29", "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the date \"2027-02-29\" does not exist.");
    QTest::newRow("date with a time")
        << oneEntry(
               R"("date": "2026-03-01T00:00:00", "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry +
               QStringLiteral("the date \"2026-03-01T00:00:00\" is not of the form YYYY-MM-DD.");
    QTest::newRow("date as a number")
        << oneEntry(
               R"("date": 20260301, "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("\"date\" is not text.");
    QTest::newRow("unknown kind")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "nap", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the kind \"nap\" is not one of trade-out, trade-in, leave, "
                                  "overtime, holdover, training, note.");
    QTest::newRow("negative minutes")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "minutes": -1, "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the minutes, -1, are negative.");
    QTest::newRow("more than 48 hours")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "minutes": 2881, "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the minutes, 2881, are more than 48 hours.");
    QTest::newRow("minutes with a fraction")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "minutes": 90.5, "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("\"minutes\" is not a whole number.");
    QTest::newRow("start 24:00")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "start": "24:00", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the start \"24:00\" is not a time 00:00 ... 23:59.");
    QTest::newRow("start without a leading zero")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "start": "8:00", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the start \"8:00\" is not a time 00:00 ... 23:59.");
    QTest::newRow("start with a line break, quoted as in the file")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "start": "08:00\n", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the start \"08:00\\n\" is not a time 00:00 ... 23:59.");
    QTest::newRow("leaveType on overtime")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "overtime", "leaveType": "sick", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("it has a leaveType but is not leave.");
    QTest::newRow("unknown leaveType")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "leave", "leaveType": "beach", "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry +
               QStringLiteral(
                   "the leaveType \"beach\" is not one of vacation, sick, comp, holiday, other.");
    QTest::newRow("revision 0")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "note", "revision": 0, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the revision, 0, is not 1 or more.");
    QTest::newRow("no revision")
        << oneEntry(R"("date": "2026-03-01", "kind": "note", "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("the field \"revision\" is missing.");
    QTest::newRow("local time")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00")")
        << entry + QStringLiteral("the time \"2026-03-01T06:00:00\" is not a UTC time of the form "
                                  "YYYY-MM-DDTHH:MM:SSZ.");
    QTest::newRow("offset time")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "note", "revision": 1, "modified": "2026-03-01T06:00:00+01:00")")
        << entry + QStringLiteral("the time \"2026-03-01T06:00:00+01:00\" is not a UTC time of the "
                                  "form YYYY-MM-DDTHH:MM:SSZ.");
    QTest::newRow("hour 24")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "note", "revision": 1, "modified": "2026-03-01T24:00:00Z")")
        << entry + QStringLiteral("the time \"2026-03-01T24:00:00Z\" is not a UTC time of the form "
                                  "YYYY-MM-DDTHH:MM:SSZ.");
    QTest::newRow("note as a number")
        << oneEntry(
               R"("date": "2026-03-01", "kind": "note", "note": 5, "revision": 1, "modified": "2026-03-01T06:00:00Z")")
        << entry + QStringLiteral("\"note\" is not text.");
    QTest::newRow("half of a UTF-16 pair")
        << oneEntry(Good + R"(, "note": "\ud83d alone")")
        << entry + QStringLiteral("\"note\" is not valid Unicode text.");
    QTest::newRow("unknown field")
        << oneEntry(Good + R"(, "colour": "red")")
        << entry + QStringLiteral("it has a field \"colour\" that Tourwise does not know.");
}

void EntryJsonTest::refusals() {
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    QString said;
    QVERIFY(!daysFromJson(file, &said));
    QCOMPARE(said, error);
}

QTEST_GUILESS_MAIN(EntryJsonTest)
#include "tst_entryjson.moc"
