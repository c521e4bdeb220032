#include "days/entrybackups.h"

#include "days/sqlitestatement.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <sqlite3.h>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// VACUUM INTO does not sync what it writes; a copy that is renamed into place must be on disk.
bool syncFile(const QString& path) {
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

const QRegularExpression& backupName() {
    static const QRegularExpression name(
        QStringLiteral("^Tourwise-days-\\d{4}-\\d{2}-\\d{2}\\.sqlite$"));
    return name;
}

void removeOldBackups(const QString& daysFolder) {
    QStringList files = backupFiles(daysFolder);
    while (files.size() > KeptBackups)
        QFile::remove(files.takeFirst());
    // A copy cut short by a killed program stays behind under its temporary name; one an hour
    // old is no other program's copy in progress.
    const QDir folder(backupFolder(daysFolder));
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QFileInfo& partial :
         folder.entryInfoList({QStringLiteral(".partial-*")}, QDir::Files | QDir::Hidden))
        if (partial.lastModified().toUTC() < stale)
            QFile::remove(partial.filePath());
}

} // namespace

QString backupFolder(const QString& daysFolder) {
    return daysFolder + QStringLiteral("/Backups");
}

QString backupPath(const QString& daysFolder, DateSerial day) {
    return backupFolder(daysFolder) + QStringLiteral("/Tourwise-days-") +
           qdateFromSerial(day).toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".sqlite");
}

QStringList backupFiles(const QString& daysFolder) {
    const QDir folder(backupFolder(daysFolder));
    QStringList files;
    // The dates in the names sort as the days do.
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        if (backupName().match(name).hasMatch())
            files.append(folder.filePath(name));
    return files;
}

bool makeDailyBackup(sqlite3* db, const QString& daysFolder, DateSerial day, QString* error) {
    const QString target = backupPath(daysFolder, day);
    if (QFileInfo(target).isFile())
        return true;
    const QString folder = backupFolder(daysFolder);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        *error = QStringLiteral("The folder for the daily copies, %1, cannot be made.").arg(folder);
        return false;
    }
    // Made under a name of its own and renamed when complete, so that a copy under the day's
    // name is always whole, even when two programs make it at once.
    const QString partial =
        folder + QStringLiteral("/.partial-") + QUuid::createUuid().toString(QUuid::Id128);
    SqliteStatement vacuum(db, "VACUUM INTO ?");
    vacuum.bind(1, partial);
    const int result = vacuum.run();
    if (result != SQLITE_DONE) {
        QFile::remove(partial);
        *error = QStringLiteral("The daily copy %1 cannot be written (%2).")
                     .arg(target, QString::fromUtf8(sqlite3_errstr(result)));
        return false;
    }
    if (!syncFile(partial) || std::rename(QFile::encodeName(partial).constData(),
                                          QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        *error = QStringLiteral("The daily copy %1 cannot be written.").arg(target);
        return false;
    }
    removeOldBackups(daysFolder);
    return true;
}
