// The tables of the days file and the steps that bring a file of any earlier version up to the
// current one. The version is the file's `PRAGMA user_version`; 0 is a file with no tables yet.
#pragma once

struct sqlite3;

inline constexpr int DaysSchemaVersion = 5;

// The file's version, or -1 when it cannot be read.
int daysSchemaVersion(sqlite3* db);

// Runs every step from `fromVersion` to DaysSchemaVersion and records the version. The caller
// holds the write transaction, so the steps and the change that needed them commit together.
// Returns an SQLite result code.
int migrateDaysSchema(sqlite3* db, int fromVersion);
