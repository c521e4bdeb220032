// A prepared SQLite statement that finalizes itself, with the few binds and reads the store uses.
#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // The result of preparing; SQLITE_OK when the statement can run.
    int prepared() const { return m_prepared; }

    // A bind that fails (a text too long, an index out of range) is kept and returned by the
    // next step(), so the statement never runs with a parameter missing.
    void bind(int index, const QString& text);
    void bind(int index, qint64 value);
    void bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Steps to the end; SQLITE_DONE on success.
    int run();

    bool isNull(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;

private:
    void noteBind(int result);

    sqlite3_stmt* m_statement = nullptr;
    int m_prepared = 0;
    int m_bindFailure = 0;
};

// A transaction that cannot be left open: BEGIN IMMEDIATE when made, ROLLBACK when destroyed
// unless commit() succeeded.
class SqliteTransaction {
public:
    explicit SqliteTransaction(sqlite3* db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // The result of BEGIN; SQLITE_OK when the transaction is open.
    int begun() const { return m_begun; }
    int commit();
    // Ends it now, undone; the destructor then has nothing left to do.
    void rollback();

private:
    sqlite3* m_db;
    int m_begun;
    bool m_open;
};

// Runs SQL text without results (several statements allowed); returns the SQLite result code.
int sqliteExec(sqlite3* db, const char* sql);
