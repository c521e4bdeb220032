#include "days/sqlitestatement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    m_prepared = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

void SqliteStatement::noteBind(int result) {
    if (result != SQLITE_OK && m_bindFailure == SQLITE_OK)
        m_bindFailure = result;
}

void SqliteStatement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    noteBind(sqlite3_bind_text(m_statement, index, utf8.constData(), static_cast<int>(utf8.size()),
                               SQLITE_TRANSIENT));
}

void SqliteStatement::bind(int index, qint64 value) {
    noteBind(sqlite3_bind_int64(m_statement, index, value));
}

void SqliteStatement::bindNull(int index) {
    noteBind(sqlite3_bind_null(m_statement, index));
}

int SqliteStatement::step() {
    if (m_prepared != SQLITE_OK)
        return m_prepared;
    if (m_bindFailure != SQLITE_OK)
        return m_bindFailure;
    return sqlite3_step(m_statement);
}

int SqliteStatement::run() {
    int result = step();
    while (result == SQLITE_ROW)
        result = step();
    return result;
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QString SqliteStatement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column));
}

qint64 SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

int sqliteExec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

SqliteTransaction::SqliteTransaction(sqlite3* db)
    : m_db(db), m_begun(sqliteExec(db, "BEGIN IMMEDIATE")), m_open(m_begun == SQLITE_OK) {}

SqliteTransaction::~SqliteTransaction() {
    rollback();
}

void SqliteTransaction::rollback() {
    if (m_open && !sqlite3_get_autocommit(m_db))
        sqliteExec(m_db, "ROLLBACK");
    m_open = false;
}

int SqliteTransaction::commit() {
    if (!m_open)
        return m_begun == SQLITE_OK ? SQLITE_MISUSE : m_begun;
    const int result = sqliteExec(m_db, "COMMIT");
    if (result == SQLITE_OK)
        m_open = false;
    return result;
}
