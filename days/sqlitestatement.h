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
    sqlite3_stmt* m_statement = nullptr;
    int m_prepared = 0;
};

// Runs SQL text without results (several statements allowed); returns the SQLite result code.
int sqliteExec(sqlite3* db, const char* sql);
