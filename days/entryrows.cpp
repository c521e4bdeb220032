#include "days/entryrows.h"

#include "days/sqlitestatement.h"

#include <QDate>
#include <QDateTime>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <limits>

namespace entryrows {

QString dateText(DateSerial date) {
    const YearMonthDay ymd = ymdFromSerial(date);
    return QString::asprintf("%04d-%02d-%02d", std::clamp(ymd.year, 0, 9999), ymd.month, ymd.day);
}

// "yyyy-MM-dd" read by hand: every entry read passes here, and QDate::fromString with a format
// runs a whole date parser each time (a third of opening the Hours dialog over 5,000 entries).
std::optional<DateSerial> dateFromText(const QString& text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    const auto number = [&text](qsizetype first, qsizetype count) {
        int value = 0;
        for (qsizetype at = first; at < first + count; ++at) {
            const char16_t digit = text[at].unicode();
            if (digit < u'0' || digit > u'9')
                return -1;
            value = value * 10 + (digit - u'0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    // -1 marks a field that is not all digits; QDate takes -1 for a year before year 1.
    const QDate date = year < 0 || month < 0 || day < 0 ? QDate() : QDate(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return serialFromQDate(date);
}

QString modifiedText(const QDateTime& time) {
    const QDateTime utc = time.toUTC();
    return utc.toString(utc.time().msec() == 0 ? Qt::ISODate : Qt::ISODateWithMs);
}

std::optional<DayEntry> entryFromRow(const SqliteStatement& row) {
    DayEntry entry;
    entry.id = QUuid::fromString(row.text(0));
    const std::optional<DateSerial> date = dateFromText(row.text(1));
    const std::optional<EntryKind> kind = entryKindFromName(row.text(2));
    if (entry.id.isNull() || !date || !kind)
        return std::nullopt;
    entry.date = *date;
    entry.kind = *kind;
    if (!row.isNull(3)) {
        const qint64 minutes = row.integer(3);
        if (minutes < 0 || minutes > MaxStoredMinutes)
            return std::nullopt;
        entry.minutes = static_cast<int>(minutes);
    }
    if (!row.isNull(4)) {
        entry.start = clockFromText(row.text(4));
        if (!entry.start)
            return std::nullopt;
    }
    entry.with = row.text(5);
    if (!row.isNull(6) && !row.text(6).isEmpty()) {
        const std::optional<LeaveType> leave = leaveTypeFromName(row.text(6));
        if (!leave)
            return std::nullopt;
        entry.leaveType = *leave;
    }
    entry.note = row.text(7);
    const qint64 revision = row.integer(8);
    if (revision < 1 || revision > std::numeric_limits<int>::max())
        return std::nullopt;
    entry.revision = static_cast<int>(revision);
    entry.modified = QDateTime::fromString(row.text(9), Qt::ISODateWithMs);
    if (!entry.modified.isValid())
        return std::nullopt;
    entry.modified = entry.modified.toUTC();
    entry.comp = row.integer(10) != 0;
    return entry;
}

bool storable(const DayEntry& entry) {
    const YearMonthDay ymd = ymdFromSerial(entry.date);
    return ymd.year >= 1 && ymd.year <= 9999 &&
           (!entry.minutes || (*entry.minutes >= 0 && *entry.minutes <= MaxStoredMinutes)) &&
           (!entry.start || (*entry.start >= 0 && *entry.start < 24 * 60)) && entry.revision >= 1 &&
           entry.modified.isValid();
}

int raiseCounter(sqlite3* db, DateSerial date) {
    // One count over all days, not one per day: an entry moved to another day must carry a
    // higher number there than it had on the day it left, or a phone keeps the old event.
    SqliteStatement raise(db,
                          "INSERT INTO day_changes (date, counter) "
                          "VALUES (?1, (SELECT coalesce(max(counter), 0) + 1 FROM day_changes)) "
                          "ON CONFLICT (date) DO UPDATE SET counter = excluded.counter");
    raise.bind(1, dateText(date));
    return raise.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
}

int putEntry(sqlite3* db, const DayEntry& entry) {
    SqliteStatement put(db, "INSERT OR REPLACE INTO entries (id, date, kind, minutes, start, "
                            "with_whom, leave_type, note, revision, modified, comp) "
                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    put.bind(1, entry.id.toString(QUuid::WithoutBraces));
    put.bind(2, dateText(entry.date));
    put.bind(3, entryKindName(entry.kind));
    if (entry.minutes)
        put.bind(4, qint64(*entry.minutes));
    else
        put.bindNull(4);
    if (entry.start)
        put.bind(5, clockText(*entry.start));
    else
        put.bindNull(5);
    put.bind(6, entry.with);
    if (entry.leaveType != LeaveType::None)
        put.bind(7, leaveTypeName(entry.leaveType));
    else
        put.bindNull(7);
    put.bind(8, entry.note);
    put.bind(9, qint64(entry.revision));
    put.bind(10, modifiedText(entry.modified));
    put.bind(11, qint64(entry.comp ? 1 : 0));
    if (put.run() != SQLITE_DONE)
        return sqlite3_errcode(db);
    if (const int result = raiseCounter(db, entry.date); result != SQLITE_OK)
        return result;
    return SQLITE_OK;
}

namespace {

// Steps through a query's rows; SQLITE_OK when all were read.
template <class Row> int eachRow(SqliteStatement& query, Row row) {
    int result = SQLITE_OK;
    while ((result = query.step()) == SQLITE_ROW)
        row(query);
    return result == SQLITE_DONE ? SQLITE_OK : result;
}

} // namespace

namespace {

// What the file's version holds of the entry's columns.
QByteArray entryColumnsOf(int version) {
    if (version >= 3)
        return EntryColumns;
    return "id, date, kind, minutes, start, with_whom, leave_type, note, revision, modified, 0";
}

} // namespace

int selectEntries(sqlite3* db, int version, const QString& first, const QString& last,
                  QList<DayEntry>* entries) {
    if (version < 1)
        return SQLITE_OK;
    const QByteArray sql = "SELECT " + entryColumnsOf(version) + " FROM entries" +
                           (first.isNull() ? "" : " WHERE date BETWEEN ? AND ?");
    SqliteStatement query(db, sql.constData());
    if (!first.isNull()) {
        query.bind(1, first);
        query.bind(2, last);
    }
    return eachRow(query, [&](const SqliteStatement& row) {
        if (const std::optional<DayEntry> entry = entryFromRow(row))
            entries->append(*entry);
    });
}

int selectEntry(sqlite3* db, int version, const QUuid& id, QList<DayEntry>* entries) {
    if (version < 1)
        return SQLITE_OK;
    const QByteArray sql = "SELECT " + entryColumnsOf(version) + " FROM entries WHERE id = ?";
    SqliteStatement query(db, sql.constData());
    query.bind(1, id.toString(QUuid::WithoutBraces));
    return eachRow(query, [&](const SqliteStatement& row) {
        if (const std::optional<DayEntry> entry = entryFromRow(row))
            entries->append(*entry);
    });
}

int deleteEntry(sqlite3* db, const QUuid& id) {
    SqliteStatement erase(db, "DELETE FROM entries WHERE id = ?");
    erase.bind(1, id.toString(QUuid::WithoutBraces));
    return erase.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
}

int readSetting(sqlite3* db, int version, const char* key, QString* value) {
    *value = QString();
    if (version < 1)
        return SQLITE_OK;
    SqliteStatement query(db, "SELECT value FROM settings WHERE key = ?");
    query.bind(1, QString::fromLatin1(key));
    return eachRow(query, [&](const SqliteStatement& row) { *value = row.text(0); });
}

int putSetting(sqlite3* db, const char* key, const QString& value) {
    SqliteStatement put(db, value.isNull()
                                ? "DELETE FROM settings WHERE key = ?"
                                : "INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)");
    put.bind(1, QString::fromLatin1(key));
    if (!value.isNull())
        put.bind(2, value);
    return put.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
}

int readCounters(sqlite3* db, int version, DateSerial first, DateSerial last,
                 QHash<qint64, qint64>* counters) {
    if (version < 1)
        return SQLITE_OK;
    SqliteStatement query(db, "SELECT date, counter FROM day_changes WHERE date BETWEEN ? AND ?");
    query.bind(1, dateText(first));
    query.bind(2, dateText(last));
    return eachRow(query, [&](const SqliteStatement& row) {
        if (const std::optional<DateSerial> date = dateFromText(row.text(0)))
            counters->insert(dayKey(*date), row.integer(1));
    });
}

namespace {

std::optional<Hundredths> optionalAmount(const SqliteStatement& row, int column) {
    if (row.isNull(column))
        return std::nullopt;
    return Hundredths{row.integer(column)};
}

void bindOptional(SqliteStatement& put, int index, const std::optional<Hundredths>& amount) {
    if (amount)
        put.bind(index, amount->value);
    else
        put.bindNull(index);
}

} // namespace

int readBankSetups(sqlite3* db, int version, QList<BankSetup>* setups) {
    if (version < 3)
        return SQLITE_OK;
    SqliteStatement query(db, "SELECT bank, as_of, balance, accrual, cap, carry_over, year_start "
                              "FROM banks");
    return eachRow(query, [&](const SqliteStatement& row) {
        const std::optional<BankKind> bank = bankFromName(row.text(0));
        const std::optional<DateSerial> asOf = dateFromText(row.text(1));
        const std::optional<MonthDay> yearStart = monthDayFromText(row.text(6));
        if (!bank || !asOf || !yearStart)
            return;
        BankSetup setup;
        setup.bank = *bank;
        setup.asOf = *asOf;
        setup.balance = Hundredths{row.integer(2)};
        setup.accrual = Hundredths{row.integer(3)};
        setup.cap = optionalAmount(row, 4);
        setup.carryOver = optionalAmount(row, 5);
        setup.yearStart = *yearStart;
        setups->append(setup);
    });
}

int putBankSetup(sqlite3* db, const BankSetup& setup) {
    SqliteStatement put(db, "INSERT OR REPLACE INTO banks (bank, as_of, balance, accrual, cap, "
                            "carry_over, year_start) VALUES (?, ?, ?, ?, ?, ?, ?)");
    put.bind(1, bankName(setup.bank));
    put.bind(2, dateText(setup.asOf));
    put.bind(3, setup.balance.value);
    put.bind(4, setup.accrual.value);
    bindOptional(put, 5, setup.cap);
    bindOptional(put, 6, setup.carryOver);
    put.bind(7, monthDayText(setup.yearStart));
    return put.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
}

int removeBankSetup(sqlite3* db, BankKind bank) {
    SqliteStatement erase(db, "DELETE FROM banks WHERE bank = ?");
    erase.bind(1, bankName(bank));
    return erase.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
}

int readEarlierAssignments(sqlite3* db, int version, QList<AssignmentPeriod>* periods) {
    if (version < 2)
        return SQLITE_OK;
    SqliteStatement query(db, "SELECT until, assignment FROM assignments ORDER BY until");
    return eachRow(query, [&](const SqliteStatement& row) {
        if (const std::optional<DateSerial> until = dateFromText(row.text(0)))
            periods->append({row.text(1), *until});
    });
}

int putEarlierAssignments(sqlite3* db, const QList<AssignmentPeriod>& periods) {
    if (const int result = sqliteExec(db, "DELETE FROM assignments"); result != SQLITE_OK)
        return result;
    for (const AssignmentPeriod& period : periods) {
        SqliteStatement put(db, "INSERT OR REPLACE INTO assignments (until, assignment) "
                                "VALUES (?, ?)");
        put.bind(1, dateText(period.until));
        put.bind(2, period.assignment);
        if (put.run() != SQLITE_DONE)
            return sqlite3_errcode(db);
    }
    return SQLITE_OK;
}

std::optional<StoredHead> storedHead(sqlite3* db, const QUuid& id, int* result) {
    SqliteStatement query(db, "SELECT date, revision FROM entries WHERE id = ?");
    query.bind(1, id.toString(QUuid::WithoutBraces));
    const int step = query.step();
    *result = step == SQLITE_ROW || step == SQLITE_DONE ? SQLITE_OK : step;
    if (step != SQLITE_ROW)
        return std::nullopt;
    return StoredHead{dateFromText(query.text(0)).value_or(0),
                      static_cast<int>(std::clamp<qint64>(query.integer(1), 0, INT_MAX))};
}

} // namespace entryrows
