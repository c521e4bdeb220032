#include "days/entryschema.h"

#include "days/sqlitestatement.h"

#include <sqlite3.h>

#include <array>

namespace {

// Step n brings a file from version n to n + 1. Steps are never edited once released: a new
// version adds a step.
constexpr std::array<const char*, DaysSchemaVersion> Steps = {
    // Dates are 'YYYY-MM-DD' so that text order is date order; minutes NULL stands for the whole
    // shift; modified is ISO 8601 in UTC.
    "CREATE TABLE entries ("
    " id TEXT PRIMARY KEY NOT NULL,"
    " date TEXT NOT NULL,"
    " kind TEXT NOT NULL,"
    " minutes INTEGER,"
    " start TEXT,"
    " with_whom TEXT NOT NULL DEFAULT '',"
    " leave_type TEXT,"
    " note TEXT NOT NULL DEFAULT '',"
    " revision INTEGER NOT NULL,"
    " modified TEXT NOT NULL);"
    "CREATE INDEX entries_by_date ON entries(date);"
    // Raised for every date a change touches, never lowered: views compare it to what they
    // drew, so a removed entry must raise it too.
    "CREATE TABLE day_changes (date TEXT PRIMARY KEY NOT NULL, counter INTEGER NOT NULL)"
    " WITHOUT ROWID;"
    "CREATE TABLE settings (key TEXT PRIMARY KEY NOT NULL, value TEXT NOT NULL) WITHOUT ROWID;",
    // The user's earlier assignments, each with the last day it held; the settings file keeps
    // the one that holds from the last change on.
    "CREATE TABLE assignments (until TEXT PRIMARY KEY NOT NULL, assignment TEXT NOT NULL)"
    " WITHOUT ROWID;",
    // Overtime and holdovers taken as comp time; the banks as the user set them up, amounts in
    // hundredths of an hour, so that no balance drifts.
    "ALTER TABLE entries ADD COLUMN comp INTEGER NOT NULL DEFAULT 0;"
    "CREATE TABLE banks (bank TEXT PRIMARY KEY NOT NULL, as_of TEXT NOT NULL,"
    " balance INTEGER NOT NULL, accrual INTEGER NOT NULL, cap INTEGER, carry_over INTEGER,"
    " year_start TEXT NOT NULL) WITHOUT ROWID;",
    // What was published to each calendar on a server, so that the next publish sends only what
    // changed and removes only what this program put there. calendar is the collection's URL
    // without user name or password; etag is the server's, quotes and all, '' when it sent none;
    // content_hash is of the event's text without its DTSTAMP.
    "CREATE TABLE published ("
    " calendar TEXT NOT NULL,"
    " uid TEXT NOT NULL,"
    " href TEXT NOT NULL,"
    " etag TEXT NOT NULL,"
    " content_hash TEXT NOT NULL,"
    " PRIMARY KEY (calendar, uid)) WITHOUT ROWID;",
    // Every change takes the highest counter plus one; without an index that is a scan of all
    // the days ever changed, and an import of thousands of entries grows with its square.
    "CREATE INDEX day_changes_by_counter ON day_changes(counter);",
};

} // namespace

int daysSchemaVersion(sqlite3* db) {
    SqliteStatement statement(db, "PRAGMA user_version");
    if (statement.step() != SQLITE_ROW)
        return -1;
    return static_cast<int>(statement.integer(0));
}

int migrateDaysSchema(sqlite3* db, int fromVersion) {
    for (int version = fromVersion; version < DaysSchemaVersion; ++version) {
        if (const int result = sqliteExec(db, Steps[static_cast<size_t>(version)]);
            result != SQLITE_OK)
            return result;
    }
    if (fromVersion == DaysSchemaVersion)
        return SQLITE_OK;
    const QByteArray set = "PRAGMA user_version = " + QByteArray::number(DaysSchemaVersion);
    return sqliteExec(db, set.constData());
}
