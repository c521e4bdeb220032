// The daily copies of the days file: one per local day in <folder>/Backups, made before the
// day's first change, the newest ten kept.
#pragma once

#include "core/dateserial.h"

#include <QString>
#include <QStringList>

struct sqlite3;

inline constexpr int KeptBackups = 10;

QString backupFolder(const QString& daysFolder);
QString backupPath(const QString& daysFolder, DateSerial day);
// The copies in the folder, oldest first.
QStringList backupFiles(const QString& daysFolder);

// Copies the database behind `db` to the copy of `day` unless that copy is there, then removes
// all but the newest KeptBackups. False with a sentence in `error` when no copy could be made.
bool makeDailyBackup(sqlite3* db, const QString& daysFolder, DateSerial day, QString* error);
