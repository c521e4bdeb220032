#include "days/publishledgerstore.h"

#include "days/sqlitestatement.h"

#include <sqlite3.h>

namespace {

bool failed(const StoreResult& result, QString* error) {
    if (!result.ok && error)
        *error = result.error;
    return !result.ok;
}

// A file of an earlier version has no such table until its first change.
bool hasPublishedTable(sqlite3* db) {
    SqliteStatement query(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = "
                              "'published'");
    return query.step() == SQLITE_ROW;
}

} // namespace

std::optional<QList<PublishedRecord>> DaysFilePublishLedger::load(const QString& calendarUrl,
                                                                  QString* error) {
    QList<PublishedRecord> records;
    const StoreResult result = m_store.readOtherTables([&](sqlite3* db) {
        if (!hasPublishedTable(db))
            return SQLITE_OK;
        SqliteStatement query(db, "SELECT uid, href, etag, content_hash FROM published WHERE "
                                  "calendar = ? ORDER BY uid");
        query.bind(1, calendarUrl);
        int code = SQLITE_OK;
        while ((code = query.step()) == SQLITE_ROW)
            records.append({query.text(0), query.text(1), query.text(2), query.text(3)});
        return code == SQLITE_DONE ? SQLITE_OK : code;
    });
    if (failed(result, error))
        return std::nullopt;
    return records;
}

bool DaysFilePublishLedger::record(const QString& calendarUrl, const PublishedRecord& record,
                                   QString* error) {
    return !failed(m_store.writeOtherTables([&](sqlite3* db) {
        SqliteStatement put(db, "INSERT OR REPLACE INTO published (calendar, uid, href, etag, "
                                "content_hash) VALUES (?, ?, ?, ?, ?)");
        put.bind(1, calendarUrl);
        put.bind(2, record.uid);
        put.bind(3, record.href);
        put.bind(4, record.etag);
        put.bind(5, record.contentHash);
        return put.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
    }),
                   error);
}

bool DaysFilePublishLedger::forget(const QString& calendarUrl, const QString& uid, QString* error) {
    return !failed(m_store.writeOtherTables([&](sqlite3* db) {
        SqliteStatement erase(db, "DELETE FROM published WHERE calendar = ? AND uid = ?");
        erase.bind(1, calendarUrl);
        erase.bind(2, uid);
        return erase.run() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
    }),
                   error);
}
