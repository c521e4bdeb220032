// Looks at a database path before SQLite is let near it: a FIFO there would block the first read
// for ever and a link to a device reads as an empty database, so only a regular file of sane size
// that starts with the SQLite header is handed on. Reads at most the header; changes nothing.
#pragma once

#include <QString>

struct DatabaseFileCheck {
    enum class Kind {
        Missing,  // nothing at the path (its folder may be missing too)
        Empty,    // a regular file of no bytes: taken as a new database
        Database, // a regular file that starts with the SQLite header
        Unusable  // anything else; `reason` says what, as "it is a folder"
    };
    Kind kind = Kind::Missing;
    QString reason;
};

// Files larger than this are not a store of anyone's days.
inline constexpr qint64 MaxDatabaseFileBytes = qint64(1) << 30;

DatabaseFileCheck checkDatabaseFile(const QString& path);
