// The rows of the days file's tables as entries and back: dates as 'YYYY-MM-DD', times as
// ISO 8601 in UTC, the day counters that every written entry raises, the settings kept with the
// entries and the earlier assignments. SQL of the tables lives here and in entryschema.cpp only;
// the store itself runs only the pragmas and transactions of opening and writing.
#pragma once

#include "days/assignmenthistory.h"
#include "days/banksetup.h"
#include "days/dayentry.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class SqliteStatement;
struct sqlite3;

// Only the store uses these; a namespace of their own keeps their short names out of the way.
namespace entryrows {

inline constexpr int MaxStoredMinutes = MaxEntryMinutes;

QString dateText(DateSerial date);
std::optional<DateSerial> dateFromText(const QString& text);
QString modifiedText(const QDateTime& time);

// The columns entryFromRow() reads, in its order.
inline constexpr const char* EntryColumns =
    "id, date, kind, minutes, start, with_whom, leave_type, note, revision, modified, comp";
// The row as an entry, or none when the row is not one this program could have written.
std::optional<DayEntry> entryFromRow(const SqliteStatement& row);

// Whether every field fits its column and reads back as it was.
bool storable(const DayEntry& entry);

// The following return an SQLite result code and run inside the caller's transaction.
int raiseCounter(sqlite3* db, DateSerial date);
// Writes the whole row, replacing one of the same id, and raises the counter of its date.
int putEntry(sqlite3* db, const DayEntry& entry);

// The reads take the file's schema version: a file is brought up to the current version only by
// its first write, and until then reads as its version has it (no comp time before version 3,
// no earlier assignments before version 2, nothing at all in a file without tables).

// Entries of the dates first ... last, or of every date when both are null, in no particular
// order; rows that this program could not have written are skipped.
int selectEntries(sqlite3* db, int version, const QString& first, const QString& last,
                  QList<DayEntry>* entries);
int selectEntry(sqlite3* db, int version, const QUuid& id, QList<DayEntry>* entries);
int deleteEntry(sqlite3* db, const QUuid& id);

// A null value when the key is not there.
int readSetting(sqlite3* db, int version, const char* key, QString* value);
// A null value removes the key.
int putSetting(sqlite3* db, const char* key, const QString& value);

int readCounters(sqlite3* db, int version, DateSerial first, DateSerial last,
                 QHash<qint64, qint64>* counters);

// Rows that name no date are skipped, as the history cannot use them.
// The banks' set-ups; rows that name no bank or day are skipped.
int readBankSetups(sqlite3* db, int version, QList<BankSetup>* setups);
// Replaces the set-up of each bank given, or removes it where `remove` names it.
int putBankSetup(sqlite3* db, const BankSetup& setup);
int removeBankSetup(sqlite3* db, BankKind bank);

int readEarlierAssignments(sqlite3* db, int version, QList<AssignmentPeriod>* periods);
int putEarlierAssignments(sqlite3* db, const QList<AssignmentPeriod>& periods);

struct StoredHead {
    DateSerial date = 0;
    int revision = 0;
};
// The date and revision of the stored entry of that id; an error code through `result`.
std::optional<StoredHead> storedHead(sqlite3* db, const QUuid& id, int* result);

} // namespace entryrows
